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
    void refreshRecomposesAfterAHandEdit();
    void pastedLineBreaksBecomeBlanks();
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
    QMenu* menu = bar.at(position)->menu();
    QVERIFY(menu);
    QCOMPARE(menu->title(), title);
    QCOMPARE(itemsOf(menu), items);
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
    rig.app.gamePage.setFolder(rig.temp.dir.path());
    QLineEdit* box = rig.window.commandBox();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("\"/opt/my port/zdoom\" -warp 7 -file \"a b.wad\""));

    if (byButton)
        QTest::mouseClick(test::captioned<QPushButton>(&rig.window, QStringLiteral("Run")), Qt::LeftButton);
    else
        QTest::keySequence(&rig.window, QKeySequence(Qt::Key_F2));

    QCOMPARE(rig.processes.starts.size(), 1);
    const auto& start = rig.processes.starts.first();
    QCOMPARE(start.program, QStringLiteral("/opt/my port/zdoom"));
    QCOMPARE(start.arguments, (QStringList{"-warp", "7", "-file", "a b.wad"}));
    QCOMPARE(start.folder, rig.temp.dir.path());
    QVERIFY(rig.messages.prompts.isEmpty());
}

void TestMainWindowGui::refreshRecomposesAfterAHandEdit()
{
    test::AppRig rig;
    QVERIFY(rig.start());
    const QString composed = rig.command();
    QVERIFY(!composed.isEmpty());
    QTest::keyClick(rig.window.commandBox(), Qt::Key_End);
    QTest::keyClicks(rig.window.commandBox(), QStringLiteral(" -edited"));
    QCOMPARE(rig.app.session.commandText(), composed + QStringLiteral(" -edited"));

    QTest::keySequence(&rig.window, QKeySequence(Qt::Key_F5));
    QCOMPARE(rig.command(), composed);
}

void TestMainWindowGui::pastedLineBreaksBecomeBlanks()
{
    test::AppRig rig;
    QVERIFY(rig.start());
    QLineEdit* box = rig.window.commandBox();
    QGuiApplication::clipboard()->setText(QStringLiteral("zdoom -warp 7\r\n-fast\r\n-skill 4"));
    box->selectAll();
    QTest::keySequence(box, QKeySequence::Paste);
    QCOMPARE(box->text(), QStringLiteral("zdoom -warp 7 -fast -skill 4"));
    QCOMPARE(rig.app.session.commandText(), box->text());
}

void TestMainWindowGui::hideAndShowPages_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("byTitleBar"); // the child window's own close hides it too
    for (int page = 1; page <= 4; ++page)
        QTest::addRow("page %d, Hide", page) << page << false;
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
    QVERIFY(sub->isVisible());
    QVERIFY(!show->isVisible());

    if (byTitleBar)
        sub->close();
    else
        QTest::mouseClick(test::captioned<QPushButton>(rig.page(page), QStringLiteral("&Hide")), Qt::LeftButton);
    QVERIFY(!sub->isVisible());
    QVERIFY(show->isVisible());
    const QString key = QStringLiteral("Form%1Visible").arg(page);
    QCOMPARE(rig.temp.store.read(QStringLiteral("Tarnwick"), key), QString());

    QTest::keySequence(&rig.window, QKeySequence(Qt::SHIFT | Qt::Key(Qt::Key_F1 + page - 1)));
    QVERIFY(sub->isVisible());
    QVERIFY(!show->isVisible());
    QCOMPARE(rig.temp.store.read(QStringLiteral("Tarnwick"), key), QStringLiteral("True"));
}

void TestMainWindowGui::firstRunLayout_data()
{
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<bool>("placedBefore");
    QTest::addColumn<QString>("layout");
    QTest::newRow("first run, 1280") << 1280 << false << "tiled";
    QTest::newRow("first run, 1024") << 1024 << false << "tiled";
    QTest::newRow("first run, 800") << 800 << false << "cascaded";
    QTest::newRow("placed before, 1280") << 1280 << true << "kept";
    QTest::newRow("placed before, 800") << 800 << true << "kept";
}

void TestMainWindowGui::firstRunLayout()
{
    QFETCH(int, screenWidth);
    QFETCH(bool, placedBefore);
    QFETCH(QString, layout);
    test::AppRig rig;
    auto saved = [](int page) { return QPoint(30 * page + 5, 20 * page + 3); };
    if (placedBefore) {
        for (int page = 1; page <= 4; ++page) {
            rig.temp.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form%1Left").arg(page),
                                 QString::number(saved(page).x()));
            rig.temp.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form%1Top").arg(page),
                                 QString::number(saved(page).y()));
        }
    }
    QVERIFY(rig.start(screenWidth));

    QList<QPoint> at;
    for (int page = 1; page <= 4; ++page) {
        QVERIFY(rig.window.pageWindow(page)->isVisible());
        at << rig.window.pageWindow(page)->pos();
    }
    const QMdiSubWindow* f1 = rig.window.pageWindow(1);
    const QMdiSubWindow* f2 = rig.window.pageWindow(2);
    if (layout == QLatin1StringView("tiled")) {
        QCOMPARE(at[0], QPoint(0, 0));
        QCOMPARE(at[1], QPoint(f1->width(), 0));
        QCOMPARE(at[2], QPoint(0, f1->height()));
        QCOMPARE(at[3], QPoint(f2->width(), f2->height()));
    } else if (layout == QLatin1StringView("cascaded")) {
        // Each window a step down and to the right of the one before.
        std::sort(at.begin(), at.end(), [](QPoint a, QPoint b) { return a.x() < b.x(); });
        for (int i = 1; i < 4; ++i) {
            QVERIFY2(at[i].x() > at[i - 1].x() && at[i].y() > at[i - 1].y(), "not cascaded");
        }
    } else {
        for (int page = 1; page <= 4; ++page) QCOMPARE(at[page - 1], saved(page));
    }
}

void TestMainWindowGui::commandsAskAndOpen_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("folder"); // {tmp}: an existing folder
    QTest::addColumn<int>("answer");     // -1: no message box expected
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");   // {command}, {folder}, {enoent} filled in
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("opens"); // the modal window shown afterwards, if any
    QTest::addColumn<bool>("historyKept");
    QTest::addColumn<bool>("extraKept");

    const QString missing = QStringLiteral("{tmp}/no such folder");
    const QString runError = QStringLiteral(
        "An error occurred when trying to run '{command}' - {enoent}.  Make sure that the ZDoom EXE "
        "location ('') is valid.  Also check that the ZDoom folder is valid ('{folder}').");
    const QString clear = QStringLiteral("Are you sure you want to clear the history (the ComboBoxes)?");
    const QString reset = QStringLiteral("Are you sure that you want to reset all of the forms?");
    const int Q = int(Icon::Question), X = int(Icon::Exclamation);
    const int ok = int(Buttons::Ok), yesNo = int(Buttons::YesNo);

    QTest::newRow("run, missing folder")
        << QKeySequence(Qt::Key_F2) << missing << int(Answer::Ok) << "Run Error" << runError
        << int(Icon::Critical) << ok << "" << true << true;
    QTest::newRow("clear history, yes")
        << QKeySequence(Qt::Key_F9) << "" << int(Answer::Yes) << "Clear History" << clear << Q << yesNo << ""
        << false << true;
    QTest::newRow("clear history, no")
        << QKeySequence(Qt::Key_F9) << "" << int(Answer::No) << "Clear History" << clear << Q << yesNo << ""
        << true << true;
    QTest::newRow("reset all, yes")
        << QKeySequence(Qt::Key_F12) << "" << int(Answer::Yes) << "Reset All" << reset << Q << yesNo << ""
        << true << false;
    QTest::newRow("reset all, no")
        << QKeySequence(Qt::Key_F12) << "" << int(Answer::No) << "Reset All" << reset << Q << yesNo << ""
        << true << true;
    QTest::newRow("INI editor, no executable")
        << QKeySequence(QStringLiteral("Ctrl+F2")) << "{tmp}" << int(Answer::Ok) << "Configuration File Editor Error"
        << "Cannot find the correct the correct ZDoom files.  Make sure that the 'ZDoom folder' TextBox is set "
           "to where the files are."
        << X << ok << "" << true << true;
    QTest::newRow("bot editor, missing folder")
        << QKeySequence(QStringLiteral("Ctrl+F1")) << missing << int(Answer::Ok) << "ZDoom Cajun Bot Editor Error"
        << "The folder ZDoom folder - '{folder}' does not exist.  Make sure you enter a valid folder before "
           "attempting to start the Bot editor."
        << X << ok << "" << true << true;
    const QString noRoster = QStringLiteral(
        "Cannot find the Bots.cfg file - '{folder}/zcajun/Bots.cfg'.  Do you want to create a new one?");
    QTest::newRow("bot editor, no roster, no")
        << QKeySequence(QStringLiteral("Ctrl+F1")) << "{tmp}" << int(Answer::No) << "ZDoom Cajun Bot Editor"
        << noRoster << Q << yesNo << "" << true << true;
    QTest::newRow("bot editor, no roster, yes")
        << QKeySequence(QStringLiteral("Ctrl+F1")) << "{tmp}" << int(Answer::Yes) << "ZDoom Cajun Bot Editor"
        << noRoster << Q << yesNo << "ZDoom Cajun Bot Editor" << true << true;
    QTest::newRow("gameplay options")
        << QKeySequence(Qt::Key_F3) << "" << -1 << "" << "" << 0 << 0 << "Gameplay Options" << true << true;
    QTest::newRow("obsolete options")
        << QKeySequence(QStringLiteral("Ctrl+E")) << "" << -1 << "" << "" << 0 << 0 << "Obsolete Options" << true
        << true;
    QTest::newRow("game WAD locations")
        << QKeySequence(Qt::Key_F4) << "" << -1 << "" << "" << 0 << 0 << "Game WAD Locations" << true << true;
}

void TestMainWindowGui::commandsAskAndOpen()
{
    QFETCH(QKeySequence, keys);
    QFETCH(QString, folder);
    QFETCH(int, answer);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(QString, opens);
    QFETCH(bool, historyKept);
    QFETCH(bool, extraKept);

    test::AppRig rig;
    QVERIFY(rig.start());
    folder.replace(QStringLiteral("{tmp}"), rig.temp.dir.path());
    rig.app.gamePage.setFolder(folder);
    // Marks that show whether the histories and the pages were emptied.
    rig.app.histories.CmbProc(QStringLiteral("/games/marked"), QStringLiteral("ZEXE"), History::ZEXE);
    rig.app.miscPage.setExtraCommands(QStringLiteral("-marked"));
    auto* exeBox = qobject_cast<QComboBox*>(test::labelled(rig.page(1), QStringLiteral("ZDoom E&XE location:")));
    QVERIFY(exeBox);
    QCOMPARE(exeBox->count(), 1);

    text.replace(QStringLiteral("{command}"), rig.command())
        .replace(QStringLiteral("{folder}"), folder)
        .replace(QStringLiteral("{enoent}"),
                 QString::fromLocal8Bit(std::strerror(ENOENT)) + QStringLiteral(", ") + QString::number(ENOENT));
    if (answer >= 0) rig.messages.expect(Answer(answer));

    test::ModalCloser closer;
    QTest::keySequence(&rig.window, keys);

    if (answer >= 0) {
        QCOMPARE(rig.messages.prompts.size(), 1);
        const auto& prompt = rig.messages.prompts.first();
        QCOMPARE(prompt.title, title);
        QCOMPARE(prompt.text, text);
        QCOMPARE(int(prompt.icon), icon);
        QCOMPARE(int(prompt.buttons), buttons);
    } else {
        QVERIFY(rig.messages.prompts.isEmpty());
    }
    QCOMPARE(closer.opened, opens.isEmpty() ? QStringList() : QStringList{opens});
    QVERIFY(rig.processes.starts.isEmpty());
    QCOMPARE(exeBox->count(), historyKept ? 1 : 0);
    QCOMPARE(rig.command().contains(QLatin1StringView("-marked")), extraKept);
}

QTEST_MAIN(TestMainWindowGui)
#include "tst_main_window_gui.moc"
