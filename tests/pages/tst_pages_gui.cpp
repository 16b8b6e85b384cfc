// The four pages and the two option dialogs, driven through their widgets: each row is a
// short script of clicks and keystrokes with what the command box (or a widget) must show.
//
//   click|<caption>            click the button, check box or option button so captioned
//   type|<control>|<text>      replace the control's text by typing
//   pick|<control>|<row>       choose a row of a drop-down (by keyboard) or a list (by mouse)
//   file|<path>                the next file dialog answers this path
//   shows|<control>|<text>     the control displays this text
//   label|<text>               a label reads exactly this
//   disabled|<caption>         the button so captioned is greyed out
//   cmd+|<text>, cmd-|<text>   the command box does / does not contain the text
//
// A <control> is named by the label that names it ("&Timer:") or by its frame's title
// ("Skill"); "Frame>Caption" finds a caption inside one frame.

#include "app_rig.h"

#include "pages/secondary/gameplay_flags_dialog.h"
#include "pages/secondary/obsolete_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>

#include <memory>

using namespace tarnwick;

namespace {

// "Frame>Caption": the frame to search in and the caption; the root itself without a frame.
QWidget* scope(QWidget* root, QString& name)
{
    const qsizetype split = name.indexOf(u'>');
    if (split < 0) return root;
    const QString frame = name.left(split);
    name = name.mid(split + 1);
    for (QGroupBox* box : root->findChildren<QGroupBox*>())
        if (box->title() == frame) return box;
    QTest::qFail(qPrintable(QStringLiteral("no frame '%1'").arg(frame)), __FILE__, __LINE__);
    return nullptr;
}

QAbstractButton* button(QWidget* root, QString caption)
{
    QWidget* in = scope(root, caption);
    return in ? test::captioned<QAbstractButton>(in, caption) : nullptr;
}

// A control named by its label, or the first input control of a frame with that title.
QWidget* control(QWidget* root, const QString& name)
{
    for (QLabel* label : root->findChildren<QLabel*>())
        if (label->text() == name && label->buddy()) return label->buddy();
    for (QGroupBox* box : root->findChildren<QGroupBox*>()) {
        if (box->title() != name) continue;
        for (QWidget* w : box->findChildren<QWidget*>())
            if (qobject_cast<QComboBox*>(w) || qobject_cast<QListWidget*>(w) ||
                (qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w->parentWidget())))
                return w;
    }
    QTest::qFail(qPrintable(QStringLiteral("no control named '%1'").arg(name)), __FILE__, __LINE__);
    return nullptr;
}

QString shownText(QWidget* w)
{
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* box = qobject_cast<QComboBox*>(w)) return box->currentText();
    if (auto* list = qobject_cast<QListWidget*>(w)) return list->currentItem() ? list->currentItem()->text() : QString();
    return QStringLiteral("<not a text control>");
}

// A row of a drop-down or a list, chosen by keyboard.
bool pick(QWidget* w, int row)
{
    auto* box = qobject_cast<QComboBox*>(w);
    auto* list = qobject_cast<QListWidget*>(w);
    const auto current = [&] { return box ? box->currentIndex() : list ? list->currentRow() : -2; };
    for (int step = 0; step < 100 && current() > -2 && current() != row; ++step)
        QTest::keyClick(w, current() < row ? Qt::Key_Down : Qt::Key_Up);
    return current() == row;
}

void type(QWidget* w, const QString& text)
{
    auto* edit = qobject_cast<QLineEdit*>(w);
    if (auto* box = qobject_cast<QComboBox*>(w)) edit = box->lineEdit();
    QVERIFY2(edit, "not a text control");
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

} // namespace

class TestPagesGui : public QObject
{
    Q_OBJECT
private slots:
    void clicksAndKeystrokesReachTheCommandLine_data();
    void clicksAndKeystrokesReachTheCommandLine();
};

void TestPagesGui::clicksAndKeystrokesReachTheCommandLine_data()
{
    QTest::addColumn<QString>("window"); // "1" to "4", "flags" or "obsolete"
    QTest::addColumn<QStringList>("steps");

    QTest::newRow("game: executable box") << "1" << QStringList{
        "type|ZDoom E&XE location:|zdoom.exe", "cmd+|zdoom.exe -WARP 1 1 -SKILL 3"};
    QTest::newRow("game: recording, max demo keeps a number") << "1" << QStringList{
        "disabled|R&ecord demo", "click|&Use demos:", "click|R&ecord demo", "type|&Max demo:|abc",
        "shows|&Max demo:|1", "cmd+|-MAXDEMO 1 -WARP"};

    QTest::newRow("play: no monsters greys out fast, deathmatch") << "2" << QStringList{
        "click|&Fast monsters", "cmd+| -FAST", "click|Monsters &in game", "cmd+| -NOMONSTERS",
        "disabled|&Fast monsters", "click|&Deathmatch", "cmd+| -DEATHMATCH"};
    QTest::newRow("play: game, map and skill") << "2" << QStringList{
        "shows|&Map:|E1M1: Hanger", "pick|&Game:|1", "shows|&Map:|1: Entryway", "pick|&Map:|6",
        "shows|&Map:|7: Dead Simple", "pick|Skill|4", "cmd+|-WARP 7 -SKILL 5"};
    QTest::newRow("play: map WAD from the file dialog") << "2" << QStringList{
        "file|/maps/my level.wad", "click|Ma&p WAD File(s)>Add", "cmd+| -FILE \"/maps/my level.wad\" "};

    QTest::newRow("sound: sound off") << "3" << QStringList{
        "click|&Sound", "cmd+| -NOSOUND", "disabled|Sound &effects", "disabled|&Music"};

    QTest::newRow("misc: a switch and extra commands, then Reset") << "4" << QStringList{
        "click|Developer's &mode (-DEVPARM)", "type|&Extra commands:|+map e1m2", "cmd+| -DEVPARM +map e1m2 +SET",
        "click|&Reset", "cmd-| -DEVPARM", "cmd-|e1m2"};

    QTest::newRow("flags: a box counts at once, composes on close") << "flags" << QStringList{
        "label|DMFLAGS = 0", "click|&Falling damage (old)", "label|DMFLAGS = 8", "click|Allow &health",
        "label|DMFLAGS = 9", "cmd+| +SET DMFLAGS 0 ", "click|&Close", "cmd+| +SET DMFLAGS 9 +SET DMFLAGS2 0"};
    QTest::newRow("flags: second word, off the line") << "flags" << QStringList{
        "click|&Drop weapons", "label|DMFLAGS2 = 2", "click|&Add to command line", "click|&Close",
        "cmd-|+SET"};
    QTest::newRow("obsolete: edits reach the line on close") << "obsolete" << QStringList{
        "type|-&NET|1 host", "type|Heapsize in M&B (-HEAPSIZE):|abc", "shows|Heapsize in M&B (-HEAPSIZE):|1",
        "click|&Disable translucency (-NOTRANS)", "cmd-| -NET", "click|&Close",
        "cmd+| -NET 1 host -HEAPSIZE 1 -NOTRANS"};
}

void TestPagesGui::clicksAndKeystrokesReachTheCommandLine()
{
    QFETCH(QString, window);
    QFETCH(QStringList, steps);
    test::AppRig rig;
    QVERIFY(rig.start());

    std::unique_ptr<QDialog> dialog;
    if (window == QLatin1StringView("flags"))
        dialog = std::make_unique<GameplayFlagsDialog>(rig.app.session, rig.app.flags, &rig.window);
    else if (window == QLatin1StringView("obsolete"))
        dialog = std::make_unique<ObsoleteDialog>(rig.app.session, rig.app.obsolete, rig.app.histories, &rig.window);
    if (dialog) {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    QWidget* root = dialog ? dialog.get() : rig.page(window.toInt());

    for (const QString& step : steps) {
        const QStringList part = step.split(u'|');
        const QString verb = part.at(0), arg = part.value(1), value = part.value(2);
        const QString where = step + QStringLiteral("  command: ") + rig.command();
        if (verb == "file") {
            rig.app.dialog.expect(arg);
        } else if (verb == "label") {
            QVERIFY2(test::captioned<QLabel>(root, arg), qPrintable(where));
        } else if (verb == "cmd+" || verb == "cmd-") {
            QVERIFY2(rig.command().contains(arg) == (verb == "cmd+"), qPrintable(where));
        } else if (verb == "click" || verb == "disabled") {
            QAbstractButton* b = button(root, arg);
            QVERIFY2(b && b->isEnabled() == (verb == "click"), qPrintable(where));
            if (verb == "click") b->click();
        } else {
            QWidget* w = control(root, arg);
            QVERIFY2(w && w->isEnabled(), qPrintable(where));
            if (verb == "type") type(w, value);
            else if (verb == "pick") QVERIFY2(pick(w, value.toInt()), qPrintable(where));
            else QVERIFY2(verb == "shows" && shownText(w) == value, qPrintable(where + " shows: " + shownText(w)));
        }
        if (QTest::currentTestFailed()) QFAIL(qPrintable(QStringLiteral("at step: ") + step));
    }
    QVERIFY(rig.app.dialog.answers.isEmpty());
    QVERIFY(rig.app.messages.prompts.isEmpty());
}

QTEST_MAIN(TestPagesGui)
#include "tst_pages_gui.moc"
