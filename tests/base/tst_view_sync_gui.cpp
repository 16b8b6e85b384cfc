#include "base/qt_view_sync.h"

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>

using namespace tarnwick;

class TestViewSync : public QObject
{
    Q_OBJECT
private slots:
    void historyBoxIsSizedAsTheQtPolicy_data();
    void historyBoxIsSizedAsTheQtPolicy();
    void historyBoxCompletesAsQtsOwn_data();
    void historyBoxCompletesAsQtsOwn();
};

// A history box works out the size QComboBox gives with the policy that keeps room for the
// minimum contents and an icon; a Qt that computes it otherwise fails here, not on screen.
void TestViewSync::historyBoxIsSizedAsTheQtPolicy_data()
{
    QTest::addColumn<int>("characters");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<QString>("placeholder");
    QTest::addColumn<bool>("rows");
    QTest::newRow("4 characters") << 4 << 0 << QString() << false;
    QTest::newRow("20 characters, rows") << 20 << 0 << QString() << true;
    QTest::newRow("large font") << 12 << 22 << QString() << false;
    QTest::newRow("long placeholder") << 2 << 0 << QStringLiteral("a placeholder wider than two characters") << true;
}

void TestViewSync::historyBoxIsSizedAsTheQtPolicy()
{
    QFETCH(int, characters);
    QFETCH(int, pointSize);
    QFETCH(QString, placeholder);
    QFETCH(bool, rows);
    QWidget parent;
    if (pointSize) {
        QFont font = parent.font();
        font.setPointSize(pointSize);
        parent.setFont(font);
    }
    QComboBox* ours = view::historyCombo(&parent, QString(), characters);
    auto* qts = new QComboBox(&parent);
    qts->setEditable(true);
    qts->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    qts->setMinimumContentsLength(characters);
    for (QComboBox* box : {ours, qts}) {
        box->setPlaceholderText(placeholder);
        if (rows) box->addItems({QStringLiteral("a row far longer than the box is wide, which the policy ignores")});
    }
    QCOMPARE(ours->sizeHint(), qts->sizeHint());
    QCOMPARE(ours->minimumSizeHint(), qts->minimumSizeHint());
}

// A history box makes its inline completion late; typed into, it must offer what an
// editable QComboBox offers, and a box made without completion offers nothing.
void TestViewSync::historyBoxCompletesAsQtsOwn_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("completes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("offered");
    QTest::newRow("prefix, other case") << "dOO" << true << "dOOM2.WAD" << "M2.WAD";
    QTest::newRow("second row") << "/usr/g" << true << "/usr/games/doom" << "ames/doom";
    QTest::newRow("no row starts so") << "xyz" << true << "xyz" << "";
    QTest::newRow("without completion") << "dOO" << false << "dOO" << "";
}

void TestViewSync::historyBoxCompletesAsQtsOwn()
{
    QFETCH(QString, typed);
    QFETCH(bool, completes);
    QFETCH(QString, text);
    QFETCH(QString, offered);
    const QStringList rows{QStringLiteral("DOOM2.WAD"), QStringLiteral("/usr/games/doom")};
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    using Completion = view::HistoryBox::Completion;
    QComboBox* ours = view::historyCombo(&window, QString(), 12, completes ? Completion::Inline : Completion::None);
    auto* qts = new QComboBox(&window);
    qts->setEditable(true);
    qts->setInsertPolicy(QComboBox::NoInsert);
    for (QComboBox* box : {ours, qts}) {
        box->addItems(rows);
        box->setEditText(QString());
        layout->addWidget(box);
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // What each offers while it has focus: leaving a box puts a matching row's own text in.
    auto typeInto = [&typed](QComboBox* box) {
        box->setFocus();
        if (!QTest::qWaitFor([box] { return box->hasFocus(); })) return QStringList{QStringLiteral("no focus")};
        QTest::keyClicks(QApplication::focusWidget(), typed);
        return QStringList{box->currentText(), box->lineEdit()->selectedText()};
    };
    const QStringList ourOffer = typeInto(ours);
    const QStringList qtsOffer = typeInto(qts);
    QCOMPARE(ourOffer, (QStringList{text, offered}));
    if (completes) QCOMPARE(ourOffer, qtsOffer);
}

QTEST_MAIN(TestViewSync)
#include "tst_view_sync_gui.moc"
