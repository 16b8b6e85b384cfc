#include "app_rig.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>
#include <cerrno>
#include <cstring>

using namespace tarnwick;
using Answer = MessageBox::Answer;
using Buttons = MessageBox::Buttons;
using Icon = MessageBox::Icon;

namespace {

// A menu's items as "caption<TAB>shortcut", separators as "-".
QStringList itemsOf(QMenu* menu)
{
    QStringList items;
    for (QAction* a : menu->actions())
        items << (a->isSeparator() ? QStringLiteral("-")
                                   : a->text() + u'\t' + a->shortcut().toString(QKeySequence::PortableText));
    return items;
}

} // namespace

class TestMainWindowGui : public QObject
{
    Q_OBJECT
private slots:
    void menuTree_data();
    void menuTree();
    void runStartsTheCommandBoxText_data();
    void runStartsTheCommandBoxText();
    void pasteAndRefresh();
    void hideAndShowPages_data();
    void hideAndShowPages();
    void firstRunLayout_data();
    void firstRunLayout();
    void commandsAskAndOpen_data();
    void commandsAskAndOpen();
};

void TestMainWindowGui::menuTree_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("File") << 0 << "File"
                          << QStringList{"&Open settings...\tCtrl+O",
                                         "&Save settings...\tCtrl+S",
                                         "-",
                                         "&Export .bat file...\tCtrl+B",
                                         "-",
                                         "Check &file/folder locations...\tF8",
                                         "-",
                                         "&Clear history...\tF9",
                                         "-",
                                         "&Save settings now\tF11",
                                         "&Reset all...\tF12",
                                         "-",
                                         "E&xit\t"};
    QTest::newRow("Game") << 1 << "Game"
                          << QStringList{"&Run game\tF2",
                                         "Refresh &command line\tF5",
                                         "-",
                                         "&Game WAD Locations...\tF4",
                                         "ZDoom Cajun &Bot Editor...\tCtrl+F1",
                                         "ZDoom &INI Editor...\tCtrl+F2",
                                         "-",
                                         "Gameplay Options (&DMFLAGS)...\tF3",
                                         "&Obsolete Options...\tCtrl+E"};
    QTest::newRow("Window") << 2 << "Window"
                            << QStringList{"Tile &horizontal\tCtrl+H",
                                           "Tile &vertical\tCtrl+T",
                                           "&Cascade\tCtrl+D",
                                           "&Arrange icons\tCtrl+R",
                                           "-",
                                           "4 by 4\tCtrl+F4",
                                           "Show &Game Options\tShift+F1",
                                           "Show &Play Options\tShift+F2",
                                           "Show &Sound and Video Options\tShift+F3",
                                           "Show &Miscellaneous Options\tShift+F4"};
    QTest::newRow("Help") << 3 << "Help"
                          << QStringList{"&Contents...\t",
                                         "&Send feedback...\tF6",
                                         "&About...\tF7",
                                         "-",
                                         "&ZDoom website...\tCtrl+W"};
}

void TestMainWindowGui::menuTree()
{
    QFETCH(int, position);
    QFETCH(QString, title);
    QFETCH(QStringList, items);
    test::AppRig rig;
    const QList<QAction*> bar = rig.window.menuBar()->actions();
    QCOMPARE(bar.size(), 4);
    QCOMPARE(bar.at(position)->menu()->title(), title);
    QCOMPARE(itemsOf(bar.at(position)->menu()), items);
}

void TestMainWindowGui::runStartsTheCommandBoxText_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::newRow("F2") << false;
    QTest::newRow("Run button") << true;
}

void TestMainWindowGui::runStartsTheCommandBoxText()
{
    QFETCH(bool, byButton);
    test::AppRig rig;
    QVERIFY(rig.start());
    rig.app.game.setFolder(rig.temp.dir.path());
    QLineEdit* box = rig.window.commandBox();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("\"/opt/my port/zdoom\" -warp 7 -file \"a b.wad\""));
    if (byButton)
        QTest::mouseClick(test::captioned<QPushButton>(&rig.window, QStringLiteral("Run")), Qt::LeftButton);
    else
        QTest::keySequence(&rig.window, QKeySequence(Qt::Key_F2));
    QCOMPARE(rig.app.processes.starts.size(), 1);
    QCOMPARE(rig.app.processes.starts[0].program, QStringLiteral("/opt/my port/zdoom"));
    QCOMPARE(rig.app.processes.starts[0].arguments, (QStringList{"-warp", "7", "-file", "a b.wad"}));
    QCOMPARE(rig.app.processes.starts[0].folder, rig.temp.dir.path());
}

void TestMainWindowGui::pasteAndRefresh()
{
    test::AppRig rig;
    QVERIFY(rig.start());
    const QString composed = rig.command();
    QLineEdit* box = rig.window.commandBox();
    QGuiApplication::clipboard()->setText(QStringLiteral("zdoom -warp 7\r\n-fast\r\n-skill 4"));
    box->selectAll();
    QTest::keySequence(box, QKeySequence::Paste);
    QCOMPARE(box->text(), QStringLiteral("zdoom -warp 7 -fast -skill 4"));
    QCOMPARE(rig.app.session.commandText(), box->text());
    QTest::keySequence(&rig.window, QKeySequence(Qt::Key_F5));
    QCOMPARE(rig.command(), composed);
}

void TestMainWindowGui::hideAndShowPages_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("byTitleBar"); // the child window's own close hides it too
    for (int page = 1; page <= 4; ++page) QTest::addRow("page %d, Hide", page) << page << false;
    QTest::newRow("page 2, title bar") << 2 << true;
}

void TestMainWindowGui::hideAndShowPages()
{
    QFETCH(int, page);
    QFETCH(bool, byTitleBar);
    test::AppRig rig;
    QVERIFY(rig.start());
    QMdiSubWindow* sub = rig.window.pageWindow(page);
    QAction* show = rig.window.showPageAction(page);
    QVERIFY(sub->isVisible() && !show->isVisible());
    if (byTitleBar)
        sub->close();
    else
        QTest::mouseClick(test::captioned<QPushButton>(rig.page(page), QStringLiteral("&Hide")), Qt::LeftButton);
    QVERIFY(!sub->isVisible() && show->isVisible());
    QTest::keySequence(&rig.window, QKeySequence(Qt::SHIFT | Qt::Key(Qt::Key_F1 + page - 1)));
    QVERIFY(sub->isVisible() && !show->isVisible());
    QCOMPARE(rig.temp.store.read(QStringLiteral("Tarnwick"), QStringLiteral("Form%1Visible").arg(page)),
             QStringLiteral("True"));
}

void TestMainWindowGui::firstRunLayout_data()
{
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<bool>("placedBefore");
    QTest::addColumn<QString>("layout");
    QTest::newRow("first run, 1024") << 1024 << false << "tiled";
    QTest::newRow("first run, 800") << 800 << false << "cascaded";
    QTest::newRow("placed before, 1280") << 1280 << true << "kept";
}

void TestMainWindowGui::firstRunLayout()
{
    QFETCH(int, screenWidth);
    QFETCH(bool, placedBefore);
    QFETCH(QString, layout);
    test::AppRig rig;
    auto saved = [](int page) { return QPoint(30 * page + 5, 20 * page + 3); };
    for (int page = 1; placedBefore && page <= 4; ++page) {
        rig.temp.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form%1Left").arg(page), QString::number(saved(page).x()));
        rig.temp.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form%1Top").arg(page), QString::number(saved(page).y()));
    }
    QVERIFY(rig.start(screenWidth));
    QVERIFY(!rig.temp.store.read(QStringLiteral("Tarnwick"), QStringLiteral("URLAbout")).isEmpty());
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
    } else {
        QCOMPARE(at, (QList<QPoint>{saved(1), saved(2), saved(3), saved(4)}));
    }
}

void TestMainWindowGui::commandsAskAndOpen_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("folder"); // {tmp}: an existing folder
    QTest::addColumn<int>("answer");     // -1: no message box expected
    QTest::addColumn<QString>("prompt"); // title|text|buttons|icon, {command}, {folder}, {enoent} filled in
    QTest::addColumn<QString>("opens");  // the modal window shown afterwards, if any
    QTest::addColumn<QString>("cleared"); // "history", "pages" or nothing

    auto prompt = [](const char* title, const char* text, Buttons b, Icon i) {
        return QStringLiteral("%1|%2|%3|%4").arg(QLatin1StringView(title), QLatin1StringView(text)).arg(int(b)).arg(int(i));
    };
    const QString missing = QStringLiteral("{tmp}/no such folder");
    QTest::newRow("run, missing folder") << QKeySequence(Qt::Key_F2) << missing << int(Answer::Ok)
        << prompt("Run Error", "An error occurred when trying to run '{command}' - {enoent}.  Make sure that the ZDoom "
                  "EXE location ('') is valid.  Also check that the ZDoom folder is valid ('{folder}').",
                  Buttons::Ok, Icon::Critical) << "" << "";
    QTest::newRow("clear history") << QKeySequence(Qt::Key_F9) << "" << int(Answer::Yes)
        << prompt("Clear History", "Are you sure you want to clear the history (the ComboBoxes)?", Buttons::YesNo,
                  Icon::Question) << "" << "history";
    QTest::newRow("reset all") << QKeySequence(Qt::Key_F12) << "" << int(Answer::Yes)
        << prompt("Reset All", "Are you sure that you want to reset all of the forms?", Buttons::YesNo, Icon::Question)
        << "" << "pages";
    QTest::newRow("INI editor, no executable") << QKeySequence(QStringLiteral("Ctrl+F2")) << "{tmp}" << int(Answer::Ok)
        << prompt("Configuration File Editor Error", "Cannot find the correct the correct ZDoom files.  Make sure that "
                  "the 'ZDoom folder' TextBox is set to where the files are.", Buttons::Ok, Icon::Exclamation) << "" << "";
    QTest::newRow("bot editor, no roster, yes") << QKeySequence(QStringLiteral("Ctrl+F1")) << "{tmp}" << int(Answer::Yes)
        << prompt("ZDoom Cajun Bot Editor", "Cannot find the Bots.cfg file - '{folder}/zcajun/Bots.cfg'.  Do you want "
                  "to create a new one?", Buttons::YesNo, Icon::Question) << "ZDoom Cajun Bot Editor" << "";
    QTest::newRow("gameplay options") << QKeySequence(Qt::Key_F3) << "" << -1 << "" << "Gameplay Options" << "";
    QTest::newRow("obsolete options") << QKeySequence(QStringLiteral("Ctrl+E")) << "" << -1 << "" << "Obsolete Options" << "";
    QTest::newRow("game WAD locations") << QKeySequence(Qt::Key_F4) << "" << -1 << "" << "Game WAD Locations" << "";
}

void TestMainWindowGui::commandsAskAndOpen()
{
    QFETCH(QKeySequence, keys);
    QFETCH(QString, folder);
    QFETCH(int, answer);
    QFETCH(QString, prompt);
    QFETCH(QString, opens);
    QFETCH(QString, cleared);
    test::AppRig rig;
    QVERIFY(rig.start());
    folder.replace(QStringLiteral("{tmp}"), rig.temp.dir.path());
    rig.app.game.setFolder(folder);
    // Marks that show whether the histories and the pages were emptied.
    rig.app.histories.CmbProc(QStringLiteral("/games/marked"), QStringLiteral("ZEXE"), History::ZEXE);
    rig.app.misc.setExtraCommands(QStringLiteral("-marked"));
    auto* exeBox = qobject_cast<QComboBox*>(test::labelled(rig.page(1), QStringLiteral("ZDoom E&XE location:")));
    QVERIFY(exeBox && exeBox->count() == 1);
    prompt.replace(QStringLiteral("{command}"), rig.command())
        .replace(QStringLiteral("{folder}"), folder)
        .replace(QStringLiteral("{enoent}"), QString::fromLocal8Bit(std::strerror(ENOENT)) + QStringLiteral(", 2"));
    if (answer >= 0) rig.app.messages.expect(Answer(answer));

    test::ModalCloser closer;
    QTest::keySequence(&rig.window, keys);
    QStringList shown;
    for (const auto& p : rig.app.messages.prompts)
        shown << QStringLiteral("%1|%2|%3|%4").arg(p.title, p.text).arg(int(p.buttons)).arg(int(p.icon));
    QCOMPARE(shown, prompt.isEmpty() ? QStringList() : QStringList{prompt});
    QCOMPARE(closer.opened, opens.isEmpty() ? QStringList() : QStringList{opens});
    QVERIFY(rig.app.processes.starts.isEmpty());
    QCOMPARE(exeBox->count(), cleared == QLatin1StringView("history") ? 0 : 1);
    QCOMPARE(rig.command().contains(QLatin1StringView("-marked")), cleared != QLatin1StringView("pages"));
}

QTEST_MAIN(TestMainWindowGui)
#include "tst_main_window_gui.moc"
