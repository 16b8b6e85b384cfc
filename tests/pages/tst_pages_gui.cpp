// The four pages and the two option dialogs, driven through their widgets as a player does:
// focus moves with Tab, keys go to the focused control. Each row is a short script of
// clicks and keystrokes with what the command box (or a widget) must show.
//
//   click|<caption>            click the button, check box or option button so captioned
//   type|<control>|<text>      Tab to the control, select all, Delete, type the text
//   pick|<control>|<row>       Tab to a drop-down or list and choose a row with the arrow keys
//   key|<keys>                 press the keys ("Tab", "Home", "Return") in the focused control
//   keys|<text>                type the text into the focused control
//   history|<list>|<text>      the history list ("ZFolder") holds the text
//   menu                       open the menu bar's first menu and close it with Esc
//   away                       another window comes to the front, then the program again
//   file|<path>                the next file dialog answers this path
//   shows|<control>|<text>     the control displays this text
//   label|<text>               a label reads exactly this
//   disabled|<caption>         the button so captioned is greyed out
//   cmd+|<text>, cmd-|<text>   the command box does / does not contain the text
//
// A <control> is named by the label that names it ("&Timer:") or by its frame's title
// ("Skill", "Ma&p WAD File(s)/list" for the frame's list); "Frame>Caption" finds a caption
// (or a tooltip) inside one frame.

#include "app_rig.h"

#include "pages/secondary/gameplay_flags_dialog.h"
#include "pages/secondary/obsolete_dialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QWheelEvent>
#include <QGroupBox>
#include <QImage>
#include <QListWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QTreeWidget>

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
    if (!in) return nullptr;
    QList<QAbstractButton*> found;
    for (QAbstractButton* b : in->findChildren<QAbstractButton*>())
        if (b->text() == caption || (b->text().isEmpty() && b->toolTip() == caption)) found << b;
    if (found.size() != 1) QTest::qFail(qPrintable(QStringLiteral("%1 buttons '%2'").arg(found.size()).arg(caption)), __FILE__, __LINE__);
    return found.size() == 1 ? found.first() : nullptr;
}

// A control named by its label, or the first input control of a frame with that title
// ("Title/list": the frame's list).
QWidget* control(QWidget* root, QString name)
{
    for (QLabel* label : root->findChildren<QLabel*>())
        if (label->text() == name && label->buddy()) return label->buddy();
    const bool list = name.endsWith(QLatin1StringView("/list"));
    if (list) name.chop(5);
    for (QGroupBox* box : root->findChildren<QGroupBox*>()) {
        if (box->title() != name) continue;
        for (QWidget* w : box->findChildren<QWidget*>())
            if ((!list && qobject_cast<QComboBox*>(w)) || qobject_cast<QListWidget*>(w) ||
                (!list && qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w->parentWidget())))
                return w;
    }
    QTest::qFail(qPrintable(QStringLiteral("no control named '%1'").arg(name)), __FILE__, __LINE__);
    return nullptr;
}

// Tab until `w` (or the text inside it) has the focus.
bool tabTo(QWidget* w)
{
    return test::tabUntil([w](QWidget* focus) { return focus && (focus == w || w->isAncestorOf(focus)); });
}

QString shownText(QWidget* w)
{
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* box = qobject_cast<QComboBox*>(w)) return box->currentText();
    if (auto* list = qobject_cast<QListWidget*>(w)) return list->selectedItems().value(0) ? list->selectedItems()[0]->text() : QString();
    return QStringLiteral("<not a text control>");
}

// A row of a drop-down or a list, chosen with the arrow keys.
bool pick(QWidget* w, int row)
{
    auto* box = qobject_cast<QComboBox*>(w);
    auto* list = qobject_cast<QListWidget*>(w);
    const auto current = [&] { return box ? box->currentIndex() : list ? list->currentRow() : -2; };
    if (!tabTo(w)) return false;
    for (int step = 0; step < 100 && current() > -2 && current() != row; ++step)
        test::press(current() < row ? Qt::Key_Down : Qt::Key_Up);
    return current() == row;
}

bool type(QWidget* w, const QString& text)
{
    if (!tabTo(w)) return false;
    test::press(QKeySequence::SelectAll);
    test::press(Qt::Key_Delete);
    test::typeKeys(text);
    return true;
}

// Another window comes to the front and goes again, as when the player looks elsewhere.
bool lookAway(QWidget* program)
{
    QWidget other;
    other.setWindowTitle(QStringLiteral("elsewhere"));
    other.show();
    QApplication::setActiveWindow(&other);
    if (!QTest::qWaitForWindowActive(&other)) return false;
    other.close();
    QApplication::setActiveWindow(program);
    return QTest::qWaitForWindowActive(program);
}

} // namespace

class TestPagesGui : public QObject
{
    Q_OBJECT
private slots:
    void clicksAndKeystrokesReachTheCommandLine_data();
    void clicksAndKeystrokesReachTheCommandLine();
    void pictureFollowsTheFile();
    void pictureReadAheadFollowsTheFile_data();
    void pictureReadAheadFollowsTheFile();
    void historyShowsWhenTheBoxIsReached_data();
    void historyShowsWhenTheBoxIsReached();
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

    QTest::newRow("game: the folder box appends what is typed, with its completion") << "1" << QStringList{
        "history|ZFolder|/games/zdoom", "type|ZDoom &folder:|/home/me", "shows|ZDoom &folder:|/home/me",
        "key|Home", "keys|x", "shows|ZDoom &folder:|/home/mex", "key|Home", "key|Delete",
        "shows|ZDoom &folder:|home/mex", "key|Left", "key|Backspace", "shows|ZDoom &folder:|home/me"};
    QTest::newRow("play: a file list tabbed into has no selection to move or remove") << "2" << QStringList{
        "file|/maps/a.wad", "click|Ma&p WAD File(s)>Add", "file|/maps/b.wad", "click|Ma&p WAD File(s)>Add",
        "pick|&Map:|3", "type|Ma&p WAD File(s)|", "key|Tab", "key|Tab", "key|Tab", "shows|Ma&p WAD File(s)/list|",
        "click|Ma&p WAD File(s)>\u2715", "click|Ma&p WAD File(s)>Move down", "click|Ma&p WAD File(s)>Move up",
        "cmd+| -FILE /maps/a.wad /maps/b.wad ", "key|Down", "click|Ma&p WAD File(s)>\u2715",
        "cmd+| -FILE /maps/a.wad "};
    QTest::newRow("play: turbo's lower bound waits until another control has the focus") << "2" << QStringList{
        "type|Tur&bo:|5", "menu", "shows|Tur&bo:|5", "away", "shows|Tur&bo:|5", "cmd+|-TURBO 5",
        "key|Tab", "shows|Tur&bo:|10", "cmd+|-TURBO 10"};
    QTest::newRow("sound: Width and Height show what the command line says") << "3" << QStringList{
        "type|&Width:|8", "shows|&Width:|8", "cmd+|-WIDTH 8", "key|Return", "shows|&Height:|", "cmd-|-HEIGHT",
        "type|&Width:|800", "key|Return", "key|Tab", "shows|&Height:|", "type|&Width:|800x", "shows|&Width:|1",
        "shows|&Height:|", "cmd-|-HEIGHT", "pick|&Height:|3", "shows|&Width:|1152", "shows|&Height:|864"};
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
    if (!dialog) rig.window.findChild<QMdiArea*>()->setActiveSubWindow(rig.window.pageWindow(window.toInt()));

    for (const QString& step : steps) {
        const QStringList part = step.split(u'|');
        const QString verb = part.at(0), arg = part.value(1), value = part.value(2);
        const QString where = step + QStringLiteral("  command: ") + rig.command();
        if (verb == "file") {
            rig.app.dialog.expect(arg);
        } else if (verb == "history") {
            int list = 0;
            while (list < kHistoryCount && historyName(History(list)) != arg) ++list;
            QVERIFY2(list < kHistoryCount, qPrintable(where));
            rig.app.histories.CmbProc(value, arg, History(list));
        } else if (verb == "key") {
            test::press(QKeySequence(arg));
        } else if (verb == "keys") {
            test::typeKeys(arg);
        } else if (verb == "menu") {
            rig.window.menuBar()->setActiveAction(rig.window.menuBar()->actions().constFirst());
            QVERIFY2(QApplication::activePopupWidget(), "no menu opened");
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // the menu bar lets go
        } else if (verb == "away") {
            QVERIFY(lookAway(root->window()));
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
            if (verb == "type") QVERIFY2(type(w, value), qPrintable(where + " never reached with Tab"));
            else if (verb == "pick") QVERIFY2(pick(w, value.toInt()), qPrintable(where));
            else QVERIFY2(verb == "shows" && shownText(w) == value, qPrintable(where + " shows: " + shownText(w)));
        }
        if (QTest::currentTestFailed()) QFAIL(qPrintable(QStringLiteral("at step: ") + step));
    }
    QVERIFY(rig.app.dialog.answers.isEmpty());
    QVERIFY(rig.app.messages.prompts.isEmpty());
}

// A save whose picture is one colour.
static bool writePictureSave(const QString& path, const QString& title, QColor colour, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    image.setText(QStringLiteral("Title"), title);
    image.setText(QStringLiteral("Game WAD"), QStringLiteral("doom2.wad"));
    return image.save(path, "PNG");
}

// After the port rewrites the chosen save in place, bringing page 1 to the front shows the
// new picture and the new fields, though the file's name is the same.
void TestPagesGui::pictureFollowsTheFile()
{
    test::AppRig rig;
    QVERIFY(rig.start());
    const QString save = rig.temp.dir.filePath(QStringLiteral("zdoomsv0.zds"));
    auto writeSave = [&save](const QString& title, QColor colour, QSize size) {
        return writePictureSave(save, title, colour, size);
    };
    auto* picture = test::captioned<QLabel>(rig.page(1), QStringLiteral("No picture to display"));
    auto* saves = rig.page(1)->findChild<QTreeWidget*>();
    QVERIFY(picture && saves && writeSave(QStringLiteral("first"), Qt::red, {40, 30}));
    rig.app.game.setFolder(rig.temp.dir.path());
    auto* area = rig.window.findChild<QMdiArea*>();
    area->setActiveSubWindow(rig.window.pageWindow(1));
    QVERIFY(tabTo(saves));
    test::press(Qt::Key_Down);
    QCOMPARE(saves->currentItem()->text(0), QStringLiteral("first"));
    QCOMPARE(picture->pixmap().toImage().pixelColor(4, 4), QColor(Qt::red));

    QVERIFY(writeSave(QStringLiteral("second"), Qt::blue, {60, 20}));
    area->setActiveSubWindow(rig.window.pageWindow(2));
    area->setActiveSubWindow(rig.window.pageWindow(1));
    QCOMPARE(saves->currentItem()->text(0), QStringLiteral("second"));
    QCOMPARE(picture->pixmap().toImage().pixelColor(4, 4), QColor(Qt::blue));
}

// A start reads the remembered save and its picture ahead and decodes the picture while the
// window is built: the page shows the file's picture, and a file rewritten in between (the
// port writing a slot) is read again.
void TestPagesGui::pictureReadAheadFollowsTheFile_data()
{
    QTest::addColumn<bool>("rewritten");
    QTest::newRow("as read ahead") << false;
    QTest::newRow("rewritten in between") << true;
}

void TestPagesGui::pictureReadAheadFollowsTheFile()
{
    QFETCH(bool, rewritten);
    QString second;
    test::AppRig rig([&](test::TempStore& temp, test::CoreRig& app) {
        second = temp.dir.filePath(QStringLiteral("zdoomsv1.zds"));
        QVERIFY(writePictureSave(temp.dir.filePath(QStringLiteral("zdoomsv0.zds")), "first", Qt::red, {40, 30}));
        QVERIFY(writePictureSave(second, "second", Qt::green, {40, 30}));
        temp.store.write(SettingsStore::settingsSection(), QStringLiteral("1ZFolder"), temp.dir.path());
        temp.store.write(SettingsStore::settingsSection(), QStringLiteral("1LG"), QStringLiteral("3"));
        app.main.readAhead(false);
        if (!rewritten) return;
        app.game.savesAhead().wait();
        QVERIFY(writePictureSave(second, "second again", Qt::blue, {60, 20}));
    });
    QVERIFY(rig.start());
    auto* saves = rig.page(1)->findChild<QTreeWidget*>();
    QVERIFY(saves && saves->currentItem());
    QCOMPARE(saves->indexOfTopLevelItem(saves->currentItem()), 2);
    const QImage shown = rig.page(1)->findChildren<QLabel*>().constLast()->pixmap().toImage();
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.pixelColor(4, 4), QColor(rewritten ? Qt::blue : Qt::green));
    // Scaled to the frame as a picture decoded then: the aspect ratio of the file kept.
    QCOMPARE(shown.size(), rewritten ? QSize(160, 53) : QSize(160, 120));
}

void TestPagesGui::historyShowsWhenTheBoxIsReached_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("box");  // named by its label or frame
    QTest::addColumn<QString>("list"); // the history it shows
    QTest::addColumn<QString>("key");  // the saved text it starts with
    QTest::addColumn<QString>("how");  // focus (by keyboard), click, arrow, wheel
    QTest::addColumn<QString>("text"); // the box's text afterwards

    QTest::newRow("executable, keyboard focus") << 1 << "ZDoom E&XE location:" << "ZEXE" << "1ZEXE" << "focus" << "typed";
    QTest::newRow("folder, its arrow") << 1 << "ZDoom &folder:" << "ZFolder" << "1ZFolder" << "arrow" << "typed";
    QTest::newRow("map WAD box, a click") << 2 << "Ma&p WAD File(s)" << "PWAD" << "2PWAD" << "click" << "typed";
    // The first turn of the wheel already steps through the rows (from the top one).
    QTest::newRow("extra commands, the wheel") << 4 << "&Extra commands:" << "EC" << "4EC" << "wheel" << "b second";
}

// A history recorded in an earlier run is in the box's drop-down, sorted, by the time the
// player's first key, click or turn of the wheel reaches the box; the box keeps its text.
void TestPagesGui::historyShowsWhenTheBoxIsReached()
{
    QFETCH(int, page);
    QFETCH(QString, box);
    QFETCH(QString, list);
    QFETCH(QString, key);
    QFETCH(QString, how);
    QFETCH(QString, text);
    test::AppRig rig;
    {
        Histories earlier(rig.temp.store);
        for (const char* entry : {"b second", "A first", "c third"})
            earlier.CmbProc(QString::fromLatin1(entry), list, History::ZEXE);
    }
    rig.temp.store.write(SettingsStore::settingsSection(), key, QStringLiteral("typed"));
    QVERIFY(rig.start());
    auto* combo = qobject_cast<QComboBox*>(control(rig.page(page), box));
    QVERIFY(combo && combo->currentText() == QLatin1StringView("typed"));

    if (how == QLatin1StringView("focus")) {
        combo->setFocus(Qt::TabFocusReason);
    } else if (how == QLatin1StringView("click")) {
        QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
    } else if (how == QLatin1StringView("arrow")) {
        QTest::mouseClick(combo, Qt::LeftButton, {}, QPoint(combo->width() - 6, combo->height() / 2));
        QTRY_VERIFY(combo->view()->isVisible());
        combo->hidePopup();
    } else {
        QWheelEvent wheel(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &wheel);
    }
    QStringList rows;
    for (int i = 0; i < combo->count(); ++i) rows << combo->itemText(i);
    QCOMPARE(rows, (QStringList{"A first", "b second", "c third"}));
    QCOMPARE(combo->currentText(), text);
}

QTEST_MAIN(TestPagesGui)
#include "tst_pages_gui.moc"
