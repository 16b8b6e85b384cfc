#include "app_rig.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstring>

using namespace tarnwick;
using Answer = MessageBox::Answer;
using Buttons = MessageBox::Buttons;
using Icon = MessageBox::Icon;

namespace {

// A menu's items as "caption=shortcut", separators as "-", joined by "; ".
QString itemsOf(QMenu* menu)
{
    QStringList items;
    for (QAction* a : menu->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text() + u'=' + a->shortcut().toString(QKeySequence::PortableText));
    return items.join(QStringLiteral("; "));
}

} // namespace

class TestMainWindowGui : public QObject
{
    Q_OBJECT
private slots:
    void menuTree();
    void commandBox();
    void hideAndShowPages();
    void firstRunLayout();
    void layoutsFit_data();
    void layoutsFit();
    void closedAtOnceKeepsTheFirstStartsLinks();
    void commandsAskAndOpen();
};

// The menu bar: each menu's title and its items with their shortcuts.
void TestMainWindowGui::menuTree()
{
    test::AppRig rig;
    QStringList menus;
    for (QAction* menu : rig.window.menuBar()->actions()) menus << menu->menu()->title() + ": " + itemsOf(menu->menu());
    QCOMPARE(menus, (QStringList{
        "File: &Open settings...=Ctrl+O; &Save settings...=Ctrl+S; -; &Export .bat file...=Ctrl+B; -; Check &file/folder "
        "locations...=F8; -; &Clear history...=F9; -; &Save settings now=F11; &Reset all...=F12; -; E&xit=",
        "Game: &Run game=F2; Refresh &command line=F5; -; &Game WAD Locations...=F4; ZDoom Cajun &Bot Editor...=Ctrl+F1; "
        "ZDoom &INI Editor...=Ctrl+F2; -; Gameplay Options (&DMFLAGS)...=F3; &Obsolete Options...=Ctrl+E",
        "Window: Tile &horizontal=Ctrl+H; Tile &vertical=Ctrl+T; &Cascade=Ctrl+D; &Arrange icons=Ctrl+R; -; 4 by 4=Ctrl+F4; "
        "Show &Game Options=Shift+F1; Show &Play Options=Shift+F2; Show &Sound and Video Options=Shift+F3; "
        "Show &Miscellaneous Options=Shift+F4",
        "Help: &Contents...=; &Send feedback...=F6; &About...=F7; -; &ZDoom website...=Ctrl+W"}));
}

// A save clicked on page 1 and F2: the port gets the save's name as it is on disk. Then F2
// and "Run" start the box's text as it stands; a pasted line break becomes a blank; F5 recomposes.
void TestMainWindowGui::commandBox()
{
    test::AppRig rig;
    QVERIFY(rig.start());
    QVERIFY(test::makeSaves(rig.temp.dir.path(), {"Zdoomsv0:wad", "zdoomsv1:wad"}));
    QVERIFY(test::putFile(rig.temp.path(QStringLiteral("zdoom")), "")); // every file named exists: no question
    rig.app.game.setExe(rig.temp.path(QStringLiteral("zdoom")));
    rig.app.game.setFolder(rig.temp.dir.path());
    auto* saves = rig.page(1)->findChild<QTreeWidget*>();
    QVERIFY(saves && saves->topLevelItemCount() == 3);
    const QRect row = saves->visualItemRect(saves->topLevelItem(2)); // wider than the view: click its name
    QTest::mouseClick(saves->viewport(), Qt::LeftButton, {}, QPoint(row.left() + 10, row.center().y()));
    QTest::keySequence(&rig.window, QKeySequence(Qt::Key_F2));
    QCOMPARE(rig.app.processes.starts.size(), 1);
    QCOMPARE(rig.app.processes.starts.takeFirst().arguments.mid(0, 2), (QStringList{"-LOADGAME", "zdoomsv1.zds"}));

    const QString composed = rig.command();
    QLineEdit* box = rig.window.commandBox();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("\"/opt/my port/zdoom\" -warp 7 -file \"a b.wad\""));
    // Neither file exists: each start asks first, and "Run anyway" starts the line as it stands.
    rig.app.messages.expect(MessageBox::Answer::RunAnyway);
    rig.app.messages.expect(MessageBox::Answer::RunAnyway);
    QTest::keySequence(&rig.window, QKeySequence(Qt::Key_F2));
    QTest::mouseClick(test::captioned<QPushButton>(&rig.window, QStringLiteral("Run")), Qt::LeftButton);
    QCOMPARE(rig.app.messages.prompts.size(), 2);
    QCOMPARE(rig.app.processes.starts.size(), 2);
    for (const auto& start : rig.app.processes.starts) {
        QCOMPARE(start.program, QStringLiteral("/opt/my port/zdoom"));
        QCOMPARE(start.arguments, (QStringList{"-warp", "7", "-file", "a b.wad"}));
        QCOMPARE(start.folder, rig.temp.dir.path());
    }
    QGuiApplication::clipboard()->setText(QStringLiteral("zdoom -warp 7\r\n-fast\r\n-skill 4"));
    box->selectAll();
    QTest::keySequence(box, QKeySequence::Paste);
    QCOMPARE(box->text(), QStringLiteral("zdoom -warp 7 -fast -skill 4"));
    QCOMPARE(rig.app.session.commandText(), box->text());
    QTest::keySequence(&rig.window, QKeySequence(Qt::Key_F5));
    QCOMPARE(rig.command(), composed);
}

// Each page's "&Hide" (and a child window's own close) hides it and shows its menu item;
// the item shows the page again and hides itself.
void TestMainWindowGui::hideAndShowPages()
{
    test::AppRig rig;
    QVERIFY(rig.start());
    // The Window menu lists the shown pages by the titles their windows carry.
    QMenu* windows = rig.window.menuBar()->actions().at(2)->menu();
    emit windows->aboutToShow();
    const QString listed = itemsOf(windows);
    QVERIFY2(listed.endsWith(QStringLiteral("-; &1 1: Game Options=; &2 2: Play Options=; &3 3: Sound and Video Options=; "
                                            "&4 4: Miscellaneous Options=")), qPrintable(listed));
    for (int page : {1, 2, 3, 4, -2}) {
        QMdiSubWindow* sub = rig.window.pageWindow(std::abs(page));
        QAction* show = rig.window.showPageAction(std::abs(page));
        QVERIFY(sub->isVisible() && !show->isVisible());
        if (page < 0) sub->close();
        else QTest::mouseClick(test::captioned<QPushButton>(rig.page(page), QStringLiteral("&Hide")), Qt::LeftButton);
        QVERIFY(!sub->isVisible() && show->isVisible());
        QTest::keySequence(&rig.window, QKeySequence(Qt::SHIFT | Qt::Key(Qt::Key_F1 + std::abs(page) - 1)));
        QVERIFY(sub->isVisible() && !show->isVisible());
        const QString key = QStringLiteral("Form%1Visible").arg(std::abs(page));
        QCOMPARE(rig.temp.store.read(QStringLiteral("Tarnwick"), key), QStringLiteral("True"));
    }
}

// A first run tiles the pages two by two from a screen width of 1024, else cascades them;
// pages placed before come back where they were.
void TestMainWindowGui::firstRunLayout()
{
    auto saved = [](int page) { return QPoint(30 * page + 5, 20 * page + 3); };
    for (const auto& [screenWidth, layout] : {std::pair{1024, "tiled"}, {800, "cascaded"}, {1280, "kept"}}) {
        test::AppRig rig;
        for (int page = 1; layout == QLatin1StringView("kept") && page <= 4; ++page) {
            rig.temp.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form%1Left").arg(page), QString::number(saved(page).x()));
            rig.temp.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form%1Top").arg(page), QString::number(saved(page).y()));
        }
        QVERIFY(rig.start(screenWidth));
        // The web links are written just after the window is drawn.
        QTRY_VERIFY(!rig.temp.store.read(QStringLiteral("Tarnwick"), QStringLiteral("URLAbout")).isEmpty());
        QList<QPoint> at;
        for (int page = 1; page <= 4; ++page) {
            QVERIFY(rig.window.pageWindow(page)->isVisible());
            at << rig.window.pageWindow(page)->pos();
        }
        const QSize f1 = rig.window.pageWindow(1)->size(), f2 = rig.window.pageWindow(2)->size();
        if (layout == QLatin1StringView("tiled")) {
            QCOMPARE(at, (QList<QPoint>{{0, 0}, {f1.width(), 0}, {0, f1.height()}, {f2.width(), f2.height()}}));
        } else if (layout == QLatin1StringView("cascaded")) {
            // Each window a step down and to the right of the one before.
            std::sort(at.begin(), at.end(), [](QPoint a, QPoint b) { return a.x() < b.x(); });
            for (int i = 1; i < 4; ++i) QVERIFY2(at[i].x() > at[i - 1].x() && at[i].y() > at[i - 1].y(), "not cascaded");
            // Page 1 is active, so it takes the last step, in front of the title bars of the others.
            QCOMPARE(rig.window.pageWindow(1)->pos(), at.last());
        } else {
            QCOMPARE(at, (QList<QPoint>{saved(1), saved(2), saved(3), saved(4)}));
        }
    }
}

void TestMainWindowGui::layoutsFit_data()
{
    QTest::addColumn<QSize>("screen"); // in the program's own (scaled) pixels
    QTest::addColumn<QString>("keys"); // the arrangement after start-up; empty: the first-run one

    // A maximized frame loses a title bar's height to the window manager; at a scale factor
    // of 1.5 a 1920x1080 screen is 1280x720 of the program's pixels.
    const struct { const char* name; QSize screen; } screens[] = {
        {"1366x768", {1366, 768}}, {"1280x1024", {1280, 1024}}, {"1920x1080 at 1.5", {1280, 720}}};
    for (const auto& sc : screens)
        for (const char* keys : {"", "Ctrl+H", "Ctrl+T", "Ctrl+D", "Ctrl+F4"})
            QTest::addRow("%s %s", sc.name, *keys ? keys : "first run") << sc.screen << QString::fromLatin1(keys);
}

// Every page at least at the size its controls need, its title bar in view (or in reach of
// the frame's scroll bars when the arrangement is larger than the frame), and "4 by 4"
// moving pages without resizing them.
void TestMainWindowGui::layoutsFit()
{
    QFETCH(QSize, screen);
    QFETCH(QString, keys);
    test::AppRig rig;
    rig.window.resize(screen - QSize(0, 30));
    QVERIFY(rig.start(screen.width()));
    auto* area = rig.window.findChild<QMdiArea*>();
    const QSize resized = rig.window.pageWindow(3)->size() + QSize(40, 30);
    if (keys == QLatin1StringView("Ctrl+F4")) rig.window.pageWindow(3)->resize(resized);
    if (!keys.isEmpty()) test::press(QKeySequence(keys));
    QVERIFY(area->activeSubWindow() && area->activeSubWindow()->isVisible());

    const QRect view = area->viewport()->rect();
    const QRect reach = view.adjusted(0, 0, area->horizontalScrollBar()->maximum(), area->verticalScrollBar()->maximum());
    const bool scrolls = keys == QLatin1StringView("Ctrl+H") || keys == QLatin1StringView("Ctrl+T");
    for (int page = 1; page <= 4; ++page) {
        QMdiSubWindow* sub = rig.window.pageWindow(page);
        const int titleHeight = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
        const QRect title(sub->geometry().topLeft(), QSize(sub->width(), titleHeight));
        const QString where = QStringLiteral("page %1 at %2,%3 %4x%5 in %6x%7").arg(page).arg(sub->x()).arg(sub->y())
            .arg(sub->width()).arg(sub->height()).arg(view.width()).arg(view.height());
        QVERIFY2((scrolls ? reach : view).contains(title), qPrintable(where + ": title bar out of view"));
        // Where the icon and the caption start, no page stacked above it covers the title bar.
        const QList<QMdiSubWindow*> stack = area->subWindowList(QMdiArea::StackingOrder);
        const QPoint caption(title.left() + titleHeight, title.center().y());
        for (qsizetype above = stack.indexOf(sub) + 1; above < stack.size(); ++above)
            QVERIFY2(!stack[above]->isVisible() || !stack[above]->geometry().contains(caption),
                     qPrintable(where + ": title bar under " + stack[above]->windowTitle()));
        const QSize need = sub->widget()->minimumSizeHint(), has = sub->widget()->size();
        QVERIFY2(has.width() >= need.width() && has.height() >= need.height(),
                 qPrintable(where + QStringLiteral(": squeezed below %1x%2").arg(need.width()).arg(need.height())));
    }
    if (keys == QLatin1StringView("Ctrl+F4")) QCOMPARE(rig.window.pageWindow(3)->size(), resized);
}

// The web links a first start writes once the window is drawn are there when the program
// closes at once.
void TestMainWindowGui::closedAtOnceKeepsTheFirstStartsLinks()
{
    test::AppRig rig;
    QVERIFY(rig.start());
    rig.window.close();
    QCOMPARE(rig.temp.store.read(QStringLiteral("Tarnwick"), QStringLiteral("URLAbout")), QStringLiteral("https://zdoom.org/"));
}

// Each command's shortcut asks its question or opens its window; an answer reaches the model
// and the widgets redraw. "cleared": "history" (the drop-downs), "pages" (the option values).
void TestMainWindowGui::commandsAskAndOpen()
{
    using test::prompt;
    const struct { QKeySequence keys; const char* folder; int answer; QString prompt; const char *opens, *cleared; } commands[] = {
        {Qt::Key_F2, "{tmp}/no such folder", int(Answer::Ok), prompt("Run Error", "An error occurred when trying to run "
            "'{command}' - {enoent}.  Make sure that the ZDoom EXE location ('') is valid.  Also check that the ZDoom "
            "folder is valid ('{folder}').", Buttons::Ok, Icon::Critical), "", ""},
        {Qt::Key_F9, "", int(Answer::Yes), prompt("Clear History", "Are you sure you want to clear the history (the "
            "ComboBoxes)?", Buttons::YesNo, Icon::Question), "", "history"},
        {Qt::Key_F12, "", int(Answer::Yes), prompt("Reset All", "Are you sure that you want to reset all of the forms?",
            Buttons::YesNo, Icon::Question), "", "pages"},
        {QKeySequence(QStringLiteral("Ctrl+F2")), "{tmp}", int(Answer::Ok), prompt("Configuration File Editor Error",
            "Cannot find the correct the correct ZDoom files.  Make sure that the 'ZDoom folder' TextBox is set to "
            "where the files are.", Buttons::Ok, Icon::Exclamation), "", ""},
        {QKeySequence(QStringLiteral("Ctrl+F1")), "{tmp}", int(Answer::Yes), prompt("ZDoom Cajun Bot Editor", "Cannot "
            "find the Bots.cfg file - '{folder}/zcajun/Bots.cfg'.  Do you want to create a new one?", Buttons::YesNo,
            Icon::Question), "ZDoom Cajun Bot Editor", ""},
        {Qt::Key_F3, "", -1, "", "Gameplay Options", ""},
        {Qt::Key_F4, "", -1, "", "Game WAD Locations", ""}};
    for (const auto& c : commands) {
        test::AppRig rig;
        QVERIFY(rig.start());
        const QString folder = QString::fromLatin1(c.folder).replace(QStringLiteral("{tmp}"), rig.temp.dir.path());
        rig.app.game.setFolder(folder);
        // Marks that show whether the histories and the pages were emptied.
        rig.app.histories.CmbProc(QStringLiteral("/games/marked"), QStringLiteral("ZEXE"), History::ZEXE);
        rig.app.misc.setExtraCommands(QStringLiteral("-marked"));
        auto* exeBox = qobject_cast<QComboBox*>(test::captioned<QLabel>(rig.page(1), QStringLiteral("ZDoom E&XE location:"))->buddy());
        QVERIFY(exeBox);
        QTest::mouseClick(exeBox->lineEdit(), Qt::LeftButton); // its drop-down is read when reached
        QCOMPARE(exeBox->count(), 1);
        const QString expected = QString(c.prompt).replace(QStringLiteral("{command}"), rig.command())
            .replace(QStringLiteral("{folder}"), folder)
            .replace(QStringLiteral("{enoent}"), QString::fromLocal8Bit(std::strerror(ENOENT)) + QStringLiteral(", 2"));
        if (c.answer >= 0) rig.app.messages.expect(Answer(c.answer));
        test::ModalCloser closer;
        QTest::keySequence(&rig.window, c.keys);
        QCOMPARE(test::shown(rig.app.messages), expected.isEmpty() ? QStringList() : QStringList{expected});
        QCOMPARE(closer.opened.join(u'|'), QString::fromLatin1(c.opens));
        QVERIFY(rig.app.processes.starts.isEmpty());
        QCOMPARE(exeBox->count(), c.cleared == QLatin1StringView("history") ? 0 : 1);
        QCOMPARE(rig.command().contains(QLatin1StringView("-marked")), c.cleared != QLatin1StringView("pages"));
    }
}

QTEST_MAIN(TestMainWindowGui)
#include "tst_main_window_gui.moc"
