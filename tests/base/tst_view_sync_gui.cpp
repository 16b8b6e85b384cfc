#include "base/qt_view_sync.h"

#include <QApplication>
#include <QTest>

using namespace tarnwick;

class TestViewSync : public QObject
{
    Q_OBJECT
private slots:
    void historyBoxIsSizedAsTheQtPolicy_data();
    void historyBoxIsSizedAsTheQtPolicy();
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

QTEST_MAIN(TestViewSync)
#include "tst_view_sync_gui.moc"
