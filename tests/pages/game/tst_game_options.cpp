#include "core_rig.h"
#include "temp_store.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;

namespace {

struct Page
{
    test::TempStore t;
    test::CoreRig r{t.store};
    Page()
    {
        r.flags.setAddToCommandLine(0);
        r.session.MainProc();
    }
};

const QString kAll = QStringLiteral("All files (*.*)|*.*");

} // namespace

class TestGameOptions : public QObject
{
    Q_OBJECT
private slots:
    void reset_data();
    void reset();
    void demoEnabling_data();
    void demoEnabling();
    void browse_data();
    void browse();
    void maxDemo_data();
    void maxDemo();
    void iwadMenu_data();
    void iwadMenu();
    void locationsDialog();
};

void TestGameOptions::reset_data()
{
    QTest::addColumn<int>("resetLocations");
    QTest::addColumn<QString>("command");
    QTest::newRow("locations kept") << 0 << "zdoom -WARP 1 1 -SKILL 3";
    QTest::newRow("locations cleared too") << 1 << "-WARP 1 1 -SKILL 3";
}

void TestGameOptions::reset()
{
    QFETCH(int, resetLocations);
    QFETCH(QString, command);
    QTemporaryDir saves;
    QVERIFY(test::writeBytes(saves.filePath("a.zds"), test::saveGameBytes({{"Title", "t"}, {"Game WAD", "DOOM.WAD"}})));
    Page g;
    auto& r = g.r;
    r.game.setExe(QStringLiteral("zdoom"));
    r.game.setFolder(saves.path());
    r.game.chooseSaveGame(2);
    r.game.setIni(QStringLiteral("z.ini"));
    r.game.setIwad(QStringLiteral("doom.wad"));
    r.game.setParm(QStringLiteral("p.txt"));
    r.game.setDemos(1);
    r.game.selectRecordDemo();
    r.game.setDemoFile(QStringLiteral("d.lmp"));
    r.game.setTimeDemo(1);
    r.game.setMaxDemo(QStringLiteral("64"));
    r.game.setResetLocations(resetLocations);
    QVERIFY(!r.p().wbPic.isEmpty());

    QSignalSpy compositions(&r.session, &LaunchSession::changed);
    r.game.reset();
    QCOMPARE(compositions.count(), 1);
    QCOMPARE(r.command(), command);
    QCOMPARE(r.p().txtFol.isEmpty(), resetLocations == 1);
    QCOMPARE(r.p().lvwLGRows.size(), resetLocations == 1 ? 1 : 2);
    QCOMPARE(r.p().lvwLG, 1);
    QCOMPARE(r.p().ZDSs, -1);
    QVERIFY(r.p().wbPic.isEmpty());
    QVERIFY(r.p().optPlay && !r.p().optRecord);
    QVERIFY(!r.game.demoControlsEnabled());
    QVERIFY(r.p().txtLMP.isEmpty() && r.p().txtMaxdemo.isEmpty() && r.p().chkTimedemo == 0);
    QCOMPARE(r.p().chkReset, resetLocations);
}

void TestGameOptions::demoEnabling_data()
{
    QTest::addColumn<int>("demos");
    QTest::addColumn<bool>("record");
    QTest::addColumn<QString>("enabled"); // demo controls, time demo, max demo
    QTest::newRow("off, play") << 0 << false << "0 0 0";
    QTest::newRow("off, record") << 0 << true << "0 0 0";
    QTest::newRow("on, play") << 1 << false << "1 1 0";
    QTest::newRow("on, record") << 1 << true << "1 0 1";
}

void TestGameOptions::demoEnabling()
{
    QFETCH(int, demos);
    QFETCH(bool, record);
    QFETCH(QString, enabled);
    Page g;
    auto& game = g.r.game;
    if (record) game.selectRecordDemo();
    game.setDemos(demos);
    QCOMPARE(QStringLiteral("%1 %2 %3").arg(int(game.demoControlsEnabled())).arg(int(game.timeDemoEnabled()))
                 .arg(int(game.maxDemoEnabled())), enabled);
}

void TestGameOptions::browse_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("record");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("value");
    const QString app = "Application (*.exe)|*.exe|" + kAll;
    const QString lmp = "Doom Demo Files (*.lmp)|*.lmp|" + kAll;
    QTest::newRow("exe with a blank comes quoted") << "exe" << false << "/opt/my games/zdoom" << "open"
        << "Choose ZDoom.exe" << app << "\"/opt/my games/zdoom\"";
    QTest::newRow("exe without a blank comes bare") << "exe" << false << "C:\\ZDoom\\zdoom.exe" << "open"
        << "Choose ZDoom.exe" << app << "C:\\ZDoom\\zdoom.exe";
    QTest::newRow("cancel keeps the box") << "exe" << false << "" << "open" << "Choose ZDoom.exe" << app << "old";
    QTest::newRow("configuration") << "ini" << false << "z.ini" << "open" << "Choose a ZDoom Configuration File"
        << "Configuration Settings (*.ini)|*.ini|CFG File (*.cfg)|*.cfg|" + kAll << "z.ini";
    QTest::newRow("game WAD") << "iwad" << false << "d.wad" << "open" << "Choose an IWAD File"
        << "Doom WAD File (*.wad)|*.wad|" + kAll << "d.wad";
    QTest::newRow("parameters") << "parm" << false << "p.txt" << "open" << "Choose a Parameter File"
        << "Text Document (*.txt)|*.txt|" + kAll << "p.txt";
    QTest::newRow("demo to play") << "demo" << false << "a.lmp" << "open" << "Choose a Demo File to Play" << lmp << "a.lmp";
    QTest::newRow("demo to record") << "demo" << true << "b.lmp" << "save" << "Choose a Demo File to Record" << lmp << "b.lmp";
    QTest::newRow("folder comes as chosen") << "folder" << false << "/my games" << "folder"
        << "Choose the folder that contains the ZDoom files:" << "" << "/my games";
}

void TestGameOptions::browse()
{
    QFETCH(QString, button);
    QFETCH(bool, record);
    QFETCH(QString, answer);
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QString, filter);
    QFETCH(QString, value);
    Page g;
    auto& game = g.r.game;
    using G = GameOptionsController;
    struct Button { QString LaunchProfile::*field; void (G::*set)(const QString&); void (G::*browse)(); };
    const QHash<QString, Button> buttons = {
        {"exe", {&LaunchProfile::txtEXE, &G::setExe, &G::browseExe}},
        {"ini", {&LaunchProfile::txtINI, &G::setIni, &G::browseIni}},
        {"iwad", {&LaunchProfile::txtIWAD, &G::setIwad, &G::browseIwad}},
        {"parm", {&LaunchProfile::txtParm, &G::setParm, &G::browseParm}},
        {"demo", {&LaunchProfile::txtLMP, &G::setDemoFile, &G::browseDemo}},
        {"folder", {&LaunchProfile::txtFol, &G::setFolder, &G::browseFolder}}};
    const Button b = buttons.value(button);
    (game.*b.set)(QStringLiteral("old"));
    if (record) game.selectRecordDemo();
    g.r.dialog.expect(answer);
    (game.*b.browse)();
    QCOMPARE(g.r.dialog.calls.size(), 1);
    QCOMPARE(g.r.dialog.calls[0].kind, kind);
    QCOMPARE(g.r.dialog.calls[0].title, title);
    QCOMPARE(g.r.dialog.calls[0].filter, filter);
    QCOMPARE(g.r.p().*b.field, value);
}

void TestGameOptions::maxDemo_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("command");
    QTest::newRow("12a") << QStringList{"12a"} << "1" << "-MAXDEMO 1 -WARP 1 1 -SKILL 3";
    QTest::newRow("2.9") << QStringList{"2.9"} << "2" << "-MAXDEMO 2 -WARP 1 1 -SKILL 3";
    QTest::newRow("0") << QStringList{"0"} << "1" << "-MAXDEMO 1 -WARP 1 1 -SKILL 3";
    QTest::newRow("0.5") << QStringList{"0.5"} << "1" << "-MAXDEMO 1 -WARP 1 1 -SKILL 3";
    QTest::newRow("emptied") << QStringList{"512", ""} << "" << "-WARP 1 1 -SKILL 3";
}

void TestGameOptions::maxDemo()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, shown);
    QFETCH(QString, command);
    Page g;
    g.r.game.setDemos(1);
    g.r.game.selectRecordDemo();
    for (const QString& t : typed) g.r.game.setMaxDemo(t);
    QCOMPARE(g.r.p().txtMaxdemo, shown);
    QCOMPARE(g.r.command(), command);
}

void TestGameOptions::iwadMenu_data()
{
    QTest::addColumn<QString>("stored"); // the location record; "<absent>": none
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("li");
    QTest::addColumn<QString>("answer"); // "-": no dialog expected
    QTest::addColumn<QString>("iwad");
    QTest::addColumn<int>("game");
    QTest::newRow("no record asks and leaves the game") << "<absent>" << "Doom2.wad" << 1 << "/g/doom 2.wad"
        << "\"/g/doom 2.wad\"" << 0;
    QTest::newRow("record fills the box and selects the game") << "/g/doom2.wad" << "Doom2.wad" << 1 << "-"
        << "/g/doom2.wad" << 1;
    QTest::newRow("Doom2f record leaves the game") << "/g/doom2f.wad" << "Doom2f.wad" << 99 << "-" << "/g/doom2f.wad" << 0;
    QTest::newRow("Doom1 record leaves the game") << "/g/doom1.wad" << "Doom1.wad" << 99 << "-" << "/g/doom1.wad" << 0;
    QTest::newRow("Other record selects Other") << "\"/g/my.wad\"" << "Other" << 6 << "-" << "\"/g/my.wad\"" << 6;
    QTest::newRow("emptied record asks again") << "" << "Heretic.wad" << 4 << "/g/heretic.wad" << "/g/heretic.wad" << 0;
    QTest::newRow("cancel changes nothing") << "<absent>" << "Hexen.wad" << 5 << "" << "mine.wad" << 0;
}

void TestGameOptions::iwadMenu()
{
    QFETCH(QString, stored);
    QFETCH(QString, name);
    QFETCH(int, li);
    QFETCH(QString, answer);
    QFETCH(QString, iwad);
    QFETCH(int, game);
    Page g;
    auto& r = g.r;
    const QString key = QStringLiteral("IWAD") + name;
    if (stored != QLatin1StringView("<absent>")) g.t.store.write(QStringLiteral("Tarnwick"), key, stored);
    r.game.setIwad(QStringLiteral("mine.wad"));
    if (answer != QLatin1StringView("-")) r.dialog.expect(answer);

    r.iwads.IWADMenu(name, li);
    QCOMPARE(r.p().txtIWAD, iwad);
    QCOMPARE(r.p().cmbGame, game);
    QVERIFY2(r.command().startsWith("-IWAD " + iwad + " -"), qPrintable(r.command()));
    if (answer != QLatin1StringView("-")) {
        QCOMPARE(r.dialog.calls.size(), 1);
        QCOMPARE(r.dialog.calls[0].title, QStringLiteral("Choose the ") + name + QStringLiteral(" Game WAD File"));
        QCOMPARE(r.dialog.calls[0].filter, "Doom WAD File (*.wad)|*.wad|" + kAll);
        QCOMPARE(g.t.store.read(QStringLiteral("Tarnwick"), key), answer.isEmpty() ? QString() : iwad);
    }
    // A record, once there, is used without asking and selects its game.
    if (!g.t.store.read(QStringLiteral("Tarnwick"), key).isEmpty()) {
        r.game.setIwad(QStringLiteral("mine.wad"));
        r.iwads.IWADMenu(name, li);
        QCOMPARE(r.p().txtIWAD, iwad);
        QCOMPARE(r.p().cmbGame, li == 99 ? 0 : li);
    }
}

void TestGameOptions::locationsDialog()
{
    Page g;
    auto& iwads = g.r.iwads;
    std::array<QString, 9> boxes;
    for (size_t i = 0; i < boxes.size(); ++i) boxes[i] = QStringLiteral("/g/%1.wad").arg(i);
    boxes[2].clear(); // emptying a box removes that location
    iwads.save(boxes);
    QCOMPARE(iwads.load(), boxes);
    QCOMPARE(g.t.store.read(QStringLiteral("Tarnwick"), QStringLiteral("IWADDoom2f.wad")), QStringLiteral("/g/0.wad"));
    QCOMPARE(g.t.store.read(QStringLiteral("Tarnwick"), QStringLiteral("IWADOther")), QStringLiteral("/g/8.wad"));
    QVERIFY(g.t.store.contains(QStringLiteral("Tarnwick"), QStringLiteral("IWADPlutonia.wad")));

    g.r.dialog.expect(QStringLiteral("/my wads/tnt.wad"));
    QCOMPARE(iwads.browse(3, QStringLiteral("old")), QStringLiteral("\"/my wads/tnt.wad\""));
    g.r.dialog.expect(QString());
    QCOMPARE(iwads.browse(8, QStringLiteral("old")), QStringLiteral("old"));
    QCOMPARE(g.r.dialog.calls[0].title, QStringLiteral("Choose the location of TNT.wad"));
    QCOMPARE(g.r.dialog.calls[1].title, QStringLiteral("Choose Another IWAD"));
    QCOMPARE(iwads.load(), boxes); // browsing writes nothing

    g.r.dialog.expect(QStringLiteral("/g/pl.wad"));
    iwads.IWADMenu(QStringLiteral("Plutonia.wad"), 2);
    QCOMPARE(g.r.dialog.calls.size(), 3);
}

QTEST_GUILESS_MAIN(TestGameOptions)
#include "tst_game_options.moc"
