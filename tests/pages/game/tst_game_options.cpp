#include "core_rig.h"
#include "temp_store.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;

namespace {

// A fresh program with the flag words off, so command lines show only the page's part.
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

// "name:kind" save files: wad (with a game WAD field), nowad (without one), foreign (not a
// PNG), broken (a text chunk without its zero separator).
void makeSaves(const QString& folder, const QStringList& files)
{
    for (const QString& f : files) {
        const QString kind = f.section(u':', 1);
        const QByteArray title = f.section(u':', 0, 0).toUtf8();
        QByteArray bytes = kind == QLatin1StringView("foreign") ? QByteArray("not a picture")
                           : kind == QLatin1StringView("nowad") ? test::saveGameBytes({{"Title", title}})
                                                                : test::saveGameBytes({{"Title", title}, {"Game WAD", "D"}});
        if (kind == QLatin1StringView("broken")) bytes = bytes.left(8) + QByteArray("\0\0\0\5tEXtTitle\0\0\0\0", 17);
        QVERIFY(test::writeBytes(folder + u'/' + f.section(u':', 0, 0) + QStringLiteral(".zds"), bytes));
    }
}

// A "..." button: which, in recording mode or not, the dialog's answer, and what it was asked.
struct Browse
{
    QString button;
    bool record;
    QString answer, kind, title, filter;
    QString value; // the box afterwards
};

// A pop-up menu choice with a stored location ("<absent>": none) and a dialog answer ("-": none asked).
struct IwadMenu
{
    QString stored, name;
    int li;
    QString answer, iwad;
    int game;
};

} // namespace

Q_DECLARE_METATYPE(Browse)
Q_DECLARE_METATYPE(IwadMenu)

class TestGameOptions : public QObject
{
    Q_OBJECT
private slots:
    void reset_data();
    void reset();
    void demoEnabling();
    void browse_data();
    void browse();
    void maxDemo_data();
    void maxDemo();
    void iwadMenu_data();
    void iwadMenu();
    void locationsDialog();
    void chooseSaveRow_data();
    void chooseSaveRow();
    void saveSelectionKeptByPosition();
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
    makeSaves(saves.path(), {"a:wad"});
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
    r.game.setMaxDemo(QStringLiteral("64"));
    r.game.setResetLocations(resetLocations);

    QSignalSpy compositions(&r.session, &LaunchSession::changed);
    r.game.reset();
    QCOMPARE(compositions.count(), 1);
    QCOMPARE(r.command(), command);
    QCOMPARE(r.p().lvwLGRows.size(), resetLocations == 1 ? 1 : 2);
    QCOMPARE(r.p().lvwLG, 1);
    QVERIFY(r.p().wbPic.isEmpty());
    QVERIFY(r.p().optPlay && !r.p().optRecord);
    QVERIFY(r.p().txtLMP.isEmpty() && r.p().txtMaxdemo.isEmpty());
    QCOMPARE(r.p().chkReset, resetLocations);
}

void TestGameOptions::demoEnabling()
{
    // Demo controls, time demo, max demo: off; on and playing; on and recording.
    Page g;
    auto& game = g.r.game;
    auto state = [&] { return QStringLiteral("%1%2%3").arg(game.demoControlsEnabled()).arg(game.timeDemoEnabled()).arg(game.maxDemoEnabled()); };
    game.selectRecordDemo();
    QCOMPARE(state(), QStringLiteral("000"));
    game.selectPlayDemo();
    game.setDemos(1);
    QCOMPARE(state(), QStringLiteral("110"));
    game.selectRecordDemo();
    QCOMPARE(state(), QStringLiteral("101"));
}

void TestGameOptions::browse_data()
{
    QTest::addColumn<Browse>("c");
    const QString app = "Application (*.exe)|*.exe|" + kAll, lmp = "Doom Demo Files (*.lmp)|*.lmp|" + kAll;
    QTest::newRow("exe with a blank comes quoted")
        << Browse{"exe", false, "/opt/my games/zdoom", "open", "Choose ZDoom.exe", app, "\"/opt/my games/zdoom\""};
    QTest::newRow("cancel keeps the box") << Browse{"exe", false, "", "open", "Choose ZDoom.exe", app, "old"};
    QTest::newRow("configuration") << Browse{"ini", false, "z.ini", "open", "Choose a ZDoom Configuration File",
                                             "Configuration Settings (*.ini)|*.ini|CFG File (*.cfg)|*.cfg|" + kAll, "z.ini"};
    QTest::newRow("game WAD")
        << Browse{"iwad", false, "d.wad", "open", "Choose an IWAD File", "Doom WAD File (*.wad)|*.wad|" + kAll, "d.wad"};
    QTest::newRow("parameters") << Browse{"parm", false, "p.txt", "open", "Choose a Parameter File",
                                          "Text Document (*.txt)|*.txt|" + kAll, "p.txt"};
    QTest::newRow("demo to play") << Browse{"demo", false, "a.lmp", "open", "Choose a Demo File to Play", lmp, "a.lmp"};
    QTest::newRow("demo to record") << Browse{"demo", true, "b.lmp", "save", "Choose a Demo File to Record", lmp, "b.lmp"};
    QTest::newRow("folder comes as chosen")
        << Browse{"folder", false, "/my games", "folder", "Choose the folder that contains the ZDoom files:", "", "/my games"};
}

void TestGameOptions::browse()
{
    QFETCH(Browse, c);
    Page g;
    using G = GameOptionsController;
    struct Button { QString LaunchProfile::*field; void (G::*set)(const QString&); void (G::*browse)(); };
    const QHash<QString, Button> buttons = {
        {"exe", {&LaunchProfile::txtEXE, &G::setExe, &G::browseExe}},
        {"ini", {&LaunchProfile::txtINI, &G::setIni, &G::browseIni}},
        {"iwad", {&LaunchProfile::txtIWAD, &G::setIwad, &G::browseIwad}},
        {"parm", {&LaunchProfile::txtParm, &G::setParm, &G::browseParm}},
        {"demo", {&LaunchProfile::txtLMP, &G::setDemoFile, &G::browseDemo}},
        {"folder", {&LaunchProfile::txtFol, &G::setFolder, &G::browseFolder}}};
    const Button b = buttons.value(c.button);
    (g.r.game.*b.set)(QStringLiteral("old"));
    if (c.record) g.r.game.selectRecordDemo();
    g.r.dialog.expect(c.answer);
    (g.r.game.*b.browse)();
    QCOMPARE(g.r.dialog.calls.size(), 1);
    QCOMPARE(g.r.dialog.calls[0].kind, c.kind);
    QCOMPARE(g.r.dialog.calls[0].title, c.title);
    QCOMPARE(g.r.dialog.calls[0].filter, c.filter);
    QCOMPARE(g.r.p().*b.field, c.value);
}

void TestGameOptions::maxDemo_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("command");
    QTest::newRow("0.5 settles at 1") << QStringList{"0.5"} << "-MAXDEMO 1 -WARP 1 1 -SKILL 3";
    QTest::newRow("emptied") << QStringList{"512", ""} << "-WARP 1 1 -SKILL 3";
}

void TestGameOptions::maxDemo()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, command);
    Page g;
    g.r.game.setDemos(1);
    g.r.game.selectRecordDemo();
    for (const QString& t : typed) g.r.game.setMaxDemo(t);
    QCOMPARE(g.r.command(), command);
}

void TestGameOptions::iwadMenu_data()
{
    QTest::addColumn<IwadMenu>("c");
    QTest::newRow("no record asks and leaves the game")
        << IwadMenu{"<absent>", "Doom2.wad", 1, "/g/doom 2.wad", "\"/g/doom 2.wad\"", 0};
    QTest::newRow("record fills the box and selects the game")
        << IwadMenu{"/g/doom2.wad", "Doom2.wad", 1, "-", "/g/doom2.wad", 1};
    QTest::newRow("Doom2f record leaves the game") << IwadMenu{"/g/doom2f.wad", "Doom2f.wad", 99, "-", "/g/doom2f.wad", 0};
    QTest::newRow("Other record selects Other") << IwadMenu{"\"/g/my.wad\"", "Other", 6, "-", "\"/g/my.wad\"", 6};
    QTest::newRow("emptied record asks again") << IwadMenu{"", "Heretic.wad", 4, "/g/h.wad", "/g/h.wad", 0};
    QTest::newRow("cancel changes nothing") << IwadMenu{"<absent>", "Hexen.wad", 5, "", "mine.wad", 0};
}

void TestGameOptions::iwadMenu()
{
    QFETCH(IwadMenu, c);
    Page g;
    auto& r = g.r;
    const QString key = QStringLiteral("IWAD") + c.name;
    if (c.stored != QLatin1StringView("<absent>")) g.t.store.write(QStringLiteral("Tarnwick"), key, c.stored);
    r.game.setIwad(QStringLiteral("mine.wad"));
    if (c.answer != QLatin1StringView("-")) r.dialog.expect(c.answer);

    r.iwads.IWADMenu(c.name, c.li);
    QCOMPARE(r.p().txtIWAD, c.iwad);
    QCOMPARE(r.p().cmbGame, c.game);
    QVERIFY2(r.command().startsWith("-IWAD " + c.iwad + " -"), qPrintable(r.command()));
    if (c.answer != QLatin1StringView("-")) {
        QCOMPARE(r.dialog.calls[0].title, QStringLiteral("Choose the ") + c.name + QStringLiteral(" Game WAD File"));
        QCOMPARE(r.dialog.calls[0].filter, "Doom WAD File (*.wad)|*.wad|" + kAll);
        QCOMPARE(g.t.store.read(QStringLiteral("Tarnwick"), key), c.answer.isEmpty() ? QString() : c.iwad);
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

    g.r.dialog.expect(QStringLiteral("/my wads/tnt.wad"));
    QCOMPARE(iwads.browse(3, QStringLiteral("old")), QStringLiteral("\"/my wads/tnt.wad\""));
    g.r.dialog.expect(QString());
    QCOMPARE(iwads.browse(8, QStringLiteral("old")), QStringLiteral("old"));
    QCOMPARE(g.r.dialog.calls[0].title, QStringLiteral("Choose the location of TNT.wad"));
    QCOMPARE(g.r.dialog.calls[1].title, QStringLiteral("Choose Another IWAD"));
    QCOMPARE(iwads.load(), boxes); // browsing writes nothing
}

void TestGameOptions::chooseSaveRow_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("suffix"); // added to the folder text
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("picture"); // the file shown, or empty for no picture
    QTest::addColumn<QString>("command");
    using L = QStringList;
    QTest::newRow("row 1 loads nothing") << L{"a:wad"} << "" << 1 << "" << "-WARP 1 1 -SKILL 3";
    QTest::newRow("rows in name order, folder with a backslash") << L{"c:wad", "a:wad", "B:wad"} << "\\" << 3
        << "B.zds" << "-LOADGAME B.ZDS -WARP 1 1 -SKILL 3";
    QTest::newRow("no game WAD, no picture") << L{"a:nowad"} << "" << 2 << "" << "-LOADGAME A.ZDS -WARP 1 1 -SKILL 3";
    QTest::newRow("foreign file still loads") << L{"x:foreign"} << "" << 2 << "" << "-LOADGAME X.ZDS -WARP 1 1 -SKILL 3";
    QTest::newRow("row beyond the list changes nothing") << L{"a:wad"} << "" << 3 << "" << "-WARP 1 1 -SKILL 3";
}

void TestGameOptions::chooseSaveRow()
{
    QFETCH(QStringList, files);
    QFETCH(QString, suffix);
    QFETCH(int, row);
    QFETCH(QString, picture);
    QFETCH(QString, command);
    QTemporaryDir dir;
    makeSaves(dir.path(), files);
    Page g;
    g.r.game.setFolder(dir.path() + suffix);
    QCOMPARE(g.r.p().lvwLGRows.size(), files.size() + 1);
    g.r.game.chooseSaveGame(row);
    QCOMPARE(g.r.p().wbPic, picture.isEmpty() ? QString() : dir.path() + u'/' + picture);
    QCOMPARE(g.r.command(), command);
}

void TestGameOptions::saveSelectionKeptByPosition()
{
    QTemporaryDir dir;
    makeSaves(dir.path(), {"b:wad", "c:wad", "d:wad"});
    Page g;
    auto& r = g.r;
    r.game.setFolder(dir.path());
    r.game.chooseSaveGame(3);
    makeSaves(dir.path(), {"a:nowad"}); // a save sorting first: row 3 is now another file
    r.main.pageActivated(1);          // the page comes to the front: rescanned
    QCOMPARE(r.p().wbPic, dir.path() + QStringLiteral("/b.zds"));
    QCOMPARE(r.command(), QStringLiteral("-LOADGAME B.ZDS -WARP 1 1 -SKILL 3"));

    for (const char* gone : {"a.zds", "b.zds", "c.zds"}) QVERIFY(QFile::remove(dir.filePath(gone)));
    r.game.rescanSaveGames(); // one save left: row 3 is gone
    QCOMPARE(r.p().ZDSs, -1);
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3"));

    makeSaves(dir.path(), {"e:wad"});
    r.game.rescanSaveGames();
    r.game.chooseSaveGame(3);
    makeSaves(dir.path(), {"a:broken"}); // a broken save ends the scan: row 1
    r.game.rescanSaveGames();
    QCOMPARE(r.p().lvwLG, 1);
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3"));

    r.game.setFolder(dir.filePath(QStringLiteral("missing")));
    QCOMPARE(r.p().lvwLGRows.size(), 1);
    QCOMPARE(r.p().lvwLGRows.at(0).cells[0], QStringLiteral("<Do not load a game>"));
}

QTEST_GUILESS_MAIN(TestGameOptions)
#include "tst_game_options.moc"
