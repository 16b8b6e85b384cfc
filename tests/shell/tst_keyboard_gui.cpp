// The program from the keyboard, as a player reaches it: keys go to whichever control has
// the focus, focus moves with Tab, and the window is shown as it is at start-up.
//
// Controls are named as a player sees them: by the label that names them ("&Timer:"), by
// their own caption or tooltip (buttons), or by their frame's title and kind ("Skill/box").

#include "app_rig.h"

#include "pages/game/iwad_locations_dialog.h"
#include "pages/secondary/gameplay_flags_dialog.h"
#include "pages/secondary/obsolete_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMdiArea>
#include <QTreeWidget>

#include <memory>

using namespace tarnwick;

namespace {

QString describe(QWidget* w)
{
    if (!w) return QStringLiteral("<nothing>");
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text().isEmpty() ? b->toolTip() : b->text();
    if (qobject_cast<QLineEdit*>(w) && w->toolTip().startsWith(QLatin1StringView("The command line")))
        return QStringLiteral("command");
    QWidget* outer = qobject_cast<QComboBox*>(w->parentWidget()) ? w->parentWidget() : w;
    for (QLabel* label : w->window()->findChildren<QLabel*>())
        if (label->buddy() == outer) return label->text();
    QString kind = qobject_cast<QComboBox*>(outer) ? "box" : qobject_cast<QLineEdit*>(outer) ? "text" : "list";
    for (QWidget* p = outer->parentWidget(); p; p = p->parentWidget())
        if (auto* frame = qobject_cast<QGroupBox*>(p)) return frame->title() + u'/' + kind;
    return outer->metaObject()->className();
}

// The window a row works in: a page ("1" to "4") or a dialog ("flags", "obsolete", "locations").
struct Window
{
    test::AppRig rig;
    std::unique_ptr<QDialog> dialog;
    QWidget* root = nullptr;

    bool open(const QString& name)
    {
        if (!rig.start()) return false;
        if (name == QLatin1StringView("flags"))
            dialog = std::make_unique<GameplayFlagsDialog>(rig.app.session, rig.app.flags, &rig.window);
        else if (name == QLatin1StringView("obsolete"))
            dialog = std::make_unique<ObsoleteDialog>(rig.app.session, rig.app.obsolete, rig.app.histories, &rig.window);
        else if (name == QLatin1StringView("locations"))
            dialog = std::make_unique<IwadLocationsDialog>(rig.app.iwads, &rig.window);
        if (dialog) {
            dialog->show();
            QApplication::setActiveWindow(dialog.get());
            root = dialog.get();
            return QTest::qWaitForWindowActive(dialog.get());
        }
        QMdiSubWindow* sub = rig.window.pageWindow(name.toInt());
        rig.window.findChild<QMdiArea*>()->setActiveSubWindow(sub);
        root = sub->widget();
        return true;
    }
};

bool tabTo(const QString& name)
{
    return test::tabUntil([&name](QWidget* focus) { return describe(focus) == name; });
}

// Records the caption of every menu item the keys trigger. Exit, Contents and About would
// close the window or open the help: they are only recorded.
void recordMenuItems(QMainWindow& window, QStringList& triggered)
{
    for (QAction* menu : window.menuBar()->actions())
        for (QAction* a : menu->menu()->actions()) {
            if (QStringList{"E&xit", "&Contents...", "&About..."}.contains(a->text()))
                QObject::disconnect(a, &QAction::triggered, &window, nullptr);
            QObject::connect(a, &QAction::triggered, &window, [&triggered, a] { triggered << a->text(); });
        }
}

} // namespace

class TestKeyboardGui : public QObject
{
    Q_OBJECT
private slots:
    void accessKeys_data();
    void accessKeys();
    void tabOrder_data();
    void tabOrder();
    void shortcutsWhereverTheFocusIs_data();
    void shortcutsWhereverTheFocusIs();
    void menuBarFromTheKeyboard_data();
    void menuBarFromTheKeyboard();
};

void TestKeyboardGui::accessKeys_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("focus"); // the control that has the focus afterwards
    QTest::addColumn<QString>("from");  // focused with Tab first, "+N": then N more Tabs

    const struct { const char *window, *keys, *focus; } rows[] = {
        {"1", "Alt+X", "ZDoom E&XE location:"}, {"1", "Alt+C", "&Configuration File/box"},
        {"1", "Alt+P", "&Parameter File/box"}, {"1", "Alt+G", "Load &Game/list"}, {"1", "Alt+U", "&Use demos:"},
        {"2", "Alt+M", "&Map:"}, {"2", "Alt+P", "Ma&p WAD File(s)/box"}, {"2", "Alt+B", "Tur&bo:"}, {"2", "Alt+U", "-D&UP"},
        {"3", "Alt+W", "&Width:"}, {"3", "Alt+C", "&Colour Bits/text"},
        {"4", "Alt+Z", "Prevent priority of &ZDoom from dropping when it is not in focus (-NOIDLE)"},
        {"flags", "Alt+J", "Allow &jump"}, {"obsolete", "Alt+B", "Heapsize in M&B (-HEAPSIZE):"},
        {"obsolete", "Alt+T", "&Translucency cache file (-TRANSFILE):"}, {"locations", "Alt+X", "He&xen.wad"}};
    for (const auto& r : rows)
        QTest::addRow("%s %s", r.window, r.keys) << r.window << r.keys << r.focus << QString();
    // A frame's key reaches its box also after another control of the frame had the focus.
    QTest::newRow("1 Alt+C after its ...") << "1" << "Alt+C" << "&Configuration File/box" << "&Configuration File/box+1";
    QTest::newRow("2 Alt+P after Clr") << "2" << "Alt+P" << "Ma&p WAD File(s)/box" << "Ma&p WAD File(s)/box+2";
    // From the command box, an access key of the active page reaches into the page.
    QTest::newRow("1 Alt+X from the command box") << "1" << "Alt+X" << "ZDoom E&XE location:" << "command";
}

void TestKeyboardGui::accessKeys()
{
    QFETCH(QString, window);
    QFETCH(QString, keys);
    QFETCH(QString, focus);
    QFETCH(QString, from);
    Window w;
    QVERIFY(w.open(window));
    if (!from.isEmpty()) {
        QVERIFY(tabTo(from.section(u'+', 0, 0)));
        for (int i = 0; i < from.section(u'+', 1).toInt(); ++i) test::press(Qt::Key_Tab);
    }
    test::press(QKeySequence(keys));
    QCOMPARE(describe(QApplication::focusWidget()), focus);
}

void TestKeyboardGui::tabOrder_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QStringList>("stops"); // Tab from `from` on, in reading order

    QTest::newRow("game: frames top to bottom, each ... after its box") << "1" << "ZDoom E&XE location:" << QStringList{
        "ZDoom E&XE location:", "...", "ZDoom &folder:", "...", "&Configuration File/box", "...",
        "Game WAD F&ile/box", "...", "Game &WADs", "Game WAD &locations...", "&Parameter File/box", "...",
        "&Use demos:", "Load &Game/list", "Re&set ZDoom Locations", "&Reset", "&Hide"};
    QTest::newRow("play: the file frames") << "2" << "Ma&p WAD File(s)/box" << QStringList{
        "Ma&p WAD File(s)/box", "Add", "C&lr", "Ma&p WAD File(s)/list", "Move up", "Move down", "\u2715",
        "DeHackEd/BE&X File(s)/box", "Add", "Clr", "DeHackEd/BE&X File(s)/list", "Move up", "Move down", "\u2715",
        "&Single player"};
    QTest::newRow("sound") << "3" << "&Sound" << QStringList{
        "&Sound", "Sound &effects", "&Music", "&Width:", "&Height:", "&Colour Bits/text", "&Reset", "&Hide"};
    QTest::newRow("obsolete: the ... after its box") << "obsolete" << "-&NET" << QStringList{
        "-&NET", "Heapsize in M&B (-HEAPSIZE):", "&Translucency cache file (-TRANSFILE):", "&...",
        "&Primary sound (-PRIMARYSOUND)"};
    QTest::newRow("locations") << "locations" << "&Doom2f.wad" << QStringList{
        "&Doom2f.wad", "...", "Doom&2.wad", "..."};
    QTest::newRow("frame: the command box and Run follow the pages") << "4" << "&Hide" << QStringList{
        "&Hide", "command", "Run"};
}

void TestKeyboardGui::tabOrder()
{
    QFETCH(QString, window);
    QFETCH(QString, from);
    QFETCH(QStringList, stops);
    Window w;
    QVERIFY(w.open(window));
    QVERIFY2(tabTo(from), qPrintable(from + " is never reached with Tab"));
    QStringList seen;
    for (qsizetype i = 0; i < stops.size(); ++i) {
        seen << describe(QApplication::focusWidget());
        test::press(Qt::Key_Tab);
    }
    QCOMPARE(seen, stops);
}

void TestKeyboardGui::shortcutsWhereverTheFocusIs_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("focus"); // the control focused with Tab before the keys
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("item"); // the menu item the keys trigger; "command": the focus goes there
    QTest::addColumn<bool>("fileDialog"); // the item asks for a file (the test cancels it)

    const struct { const char *window, *focus, *keys, *item; bool fileDialog; } rows[] = {
        {"2", "Tur&bo:", "Ctrl+E", "&Obsolete Options...", false},
        {"2", "&Map:", "Ctrl+E", "&Obsolete Options...", false},
        {"1", "Load &Game/list", "Ctrl+B", "&Export .bat file...", true},
        {"2", "&Timer:", "Ctrl+O", "&Open settings...", true},
        {"4", "&Extra commands:", "Ctrl+S", "&Save settings...", true},
        {"2", "&Timer:", "Ctrl+H", "Tile &horizontal", false},
        {"4", "&Extra commands:", "Ctrl+T", "Tile &vertical", false},
        {"2", "&Timer:", "Ctrl+D", "&Cascade", false},
        {"2", "&Timer:", "Ctrl+R", "&Arrange icons", false},
        {"2", "&Timer:", "Ctrl+W", "&ZDoom website...", false},
        {"1", "ZDoom E&XE location:", "F3", "Gameplay Options (&DMFLAGS)...", false},
        {"2", "&Game:", "F4", "&Game WAD Locations...", false},
        {"3", "&Width:", "F5", "Refresh &command line", false},
        {"2", "&Map:", "F11", "&Save settings now", false},
        {"2", "&Timer:", "Ctrl+F4", "4 by 4", false},
        {"4", "&Extra commands:", "Shift+F4", "Show &Miscellaneous Options", false},
        {"1", "ZDoom E&XE location:", "Ctrl+L", "command", false}};
    for (const auto& r : rows)
        QTest::addRow("%s in %s", r.keys, r.focus) << r.window << r.focus << r.keys << r.item << r.fileDialog;
}

void TestKeyboardGui::shortcutsWhereverTheFocusIs()
{
    QFETCH(QString, window);
    QFETCH(QString, focus);
    QFETCH(QString, keys);
    QFETCH(QString, item);
    QFETCH(bool, fileDialog);
    Window w;
    QVERIFY(w.open(window));
    QStringList triggered;
    recordMenuItems(w.rig.window, triggered);
    w.rig.app.game.setFolder(w.rig.temp.dir.path());
    if (item.startsWith(QLatin1StringView("Show "))) w.rig.app.main.hidePage(4);
    QVERIFY2(tabTo(focus), qPrintable(focus + " is never reached with Tab"));
    if (fileDialog) w.rig.app.dialog.expect(QString());
    test::ModalCloser closer;
    QWidget* focused = QApplication::focusWidget();
    const QString before = focused->property("text").toString();
    test::press(QKeySequence(keys));
    if (item == QLatin1StringView("command")) {
        QCOMPARE(QApplication::focusWidget(), w.rig.window.commandBox());
        QVERIFY(triggered.isEmpty());
    } else {
        QCOMPARE(triggered, QStringList{item});
    }
    // The key did nothing else to the control that had the focus.
    if (QPointer<QWidget>(focused) && focused->property("text").isValid())
        QCOMPARE(focused->property("text").toString(), before);
}

void TestKeyboardGui::menuBarFromTheKeyboard_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("item"); // the menu item triggered at the end

    QTest::newRow("F10, down to Exit") << "&Timer:" << QStringList{"F10", "Up", "Return"} << "E&xit";
    QTest::newRow("Alt alone, Exit by its access key") << "&Timer:" << QStringList{"Alt", "X"} << "E&xit";
    QTest::newRow("Alt alone in a combo box, right to Help") << "&Game:" << QStringList{"Alt", "Left", "C"} << "&Contents...";
    // Alt held for an access key is not Alt alone: no menu opens, the keys typed next go
    // into the box the access key reached.
    QTest::newRow("Alt held for an access key") << "&Map:" << QStringList{"Alt down", "Alt+T", "Alt up", "R"} << "";
}

void TestKeyboardGui::menuBarFromTheKeyboard()
{
    QFETCH(QString, focus);
    QFETCH(QStringList, keys);
    QFETCH(QString, item);
    Window w;
    QVERIFY(w.open(QStringLiteral("2")));
    QVERIFY2(tabTo(focus), qPrintable(focus + " is never reached with Tab"));
    QStringList triggered;
    recordMenuItems(w.rig.window, triggered);
    for (const QString& key : keys) {
        if (key == QLatin1StringView("Alt") || key == QLatin1StringView("Alt down"))
            QTest::keyPress(QApplication::focusWidget(), Qt::Key_Alt);
        if (key == QLatin1StringView("Alt") || key == QLatin1StringView("Alt up"))
            QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Alt, Qt::AltModifier);
        if (!key.startsWith(QLatin1StringView("Alt")) || key.contains(u'+')) {
            QWidget* to = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : QApplication::focusWidget();
            const QKeyCombination k = QKeySequence(key)[0];
            QTest::keyClick(to, k.key(), k.keyboardModifiers());
        }
    }
    QCOMPARE(triggered, item.isEmpty() ? QStringList() : QStringList{item});
    if (item.isEmpty()) QVERIFY2(!QApplication::activePopupWidget(), "a menu opened");
}

QTEST_MAIN(TestKeyboardGui)
#include "tst_keyboard_gui.moc"
