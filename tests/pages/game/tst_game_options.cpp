#include "core_rig.h"

#include <QDir>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;

namespace {

const QString kAll = QStringLiteral("All files (*.*)|*.*");

} // namespace

class TestGameOptions : public QObject
{
    Q_OBJECT
private slots:
    void reset_data();
    void reset();
    void browseButtons();
    void configBrowseStartsWhereTheFileIs();
    void iwadMenu();
    void locationsDialog();
    void chooseSaveRow();
    void saveSelectionKeptByPosition();
    void savesReadAheadStandForTheirFolderOnce();
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
    QVERIFY(test::makeSaves(saves.path(), {"a:wad"}));
    test::Program g(false);
    auto& r = g.r;
    r.game.setExe(QStringLiteral("zdoom"));
    r.game.setFolder(saves.path());
    r.game.chooseSaveGame(2);
    r.game.setIni(QStringLiteral("z.ini"));
    r.game.setParm(QStringLiteral("p.txt"));
    r.game.setDemos(1);
    r.game.selectRecordDemo();
    r.game.setDemoFile(QStringLiteral("d.lmp"));
    r.game.setMaxDemo(QStringLiteral("64"));
    r.game.setResetLocations(resetLocations);
    auto demoControls = [&] { // all, time demo, max demo
        return QStringLiteral("%1%2%3").arg(r.game.demoControlsEnabled()).arg(r.game.timeDemoEnabled()).arg(r.game.maxDemoEnabled());
    };

    QSignalSpy compositions(&r.session, &LaunchSession::changed);
    r.game.reset();
    QCOMPARE(compositions.count(), 1);
    QCOMPARE(r.command(), command);
    QCOMPARE(r.p().lvwLGRows.size(), resetLocations == 1 ? 1 : 2);
    QCOMPARE(r.p().lvwLG, 1);
    QVERIFY(r.p().wbPic.isEmpty());
    QVERIFY(r.p().txtLMP.isEmpty() && r.p().txtMaxdemo.isEmpty());
    QCOMPARE(demoControls(), QStringLiteral("000"));
    r.game.setDemos(1);
    QCOMPARE(demoControls(), QStringLiteral("110"));
    QCOMPARE(r.p().chkReset, resetLocations);
}

// Each "..." asks with its title and filter, opens where its box points (the folder it
// names, the folder of the file it names, else the home folder, never the folder the
// program was started from) and fills the box; a cancel keeps the box.
void TestGameOptions::browseButtons()
{
    using G = GameOptionsController;
    using P = LaunchProfile;
    const struct { void (G::*browse)(); QString P::*field; bool record; const char *text, *answer, *asked, *value, *start; } rows[] = {
        {&G::browseExe, &P::txtEXE, false, "$DIR/zdoom", "/opt/my games/zdoom", "open|Choose ZDoom.exe|Application (*.exe)|*.exe|",
         "\"/opt/my games/zdoom\"", "$DIR"},
        {&G::browseExe, &P::txtEXE, false, "$DIR/zdoom", "", "open|Choose ZDoom.exe|Application (*.exe)|*.exe|", "$DIR/zdoom", "$DIR"},
        {&G::browseIni, &P::txtINI, false, "\"$DIR\"", "z.ini",
         "open|Choose a ZDoom Configuration File|Configuration Settings (*.ini)|*.ini|CFG File (*.cfg)|*.cfg|", "z.ini", "$DIR"},
        {&G::browseIwad, &P::txtIWAD, false, "/no/such/doom2.wad", "d.wad", "open|Choose an IWAD File|Doom WAD File (*.wad)|*.wad|",
         "d.wad", "$HOME"},
        {&G::browseParm, &P::txtParm, false, "", "p.txt", "open|Choose a Parameter File|Text Document (*.txt)|*.txt|", "p.txt", "$HOME"},
        {&G::browseDemo, &P::txtLMP, false, "$DIR/gone/a.lmp", "a.lmp",
         "open|Choose a Demo File to Play|Doom Demo Files (*.lmp)|*.lmp|", "a.lmp", "$HOME"},
        {&G::browseDemo, &P::txtLMP, true, "", "b.lmp", "save|Choose a Demo File to Record|Doom Demo Files (*.lmp)|*.lmp|", "b.lmp", "$HOME"},
        {&G::browseFolder, &P::txtFol, false, "$DIR/", "/my games", "folder|Choose the folder that contains the ZDoom files:|",
         "/my games", "$DIR/"}};
    QTemporaryDir dir;
    auto expand = [&](const char* text) {
        return QString::fromUtf8(text).replace(QStringLiteral("$DIR"), dir.path()).replace(QStringLiteral("$HOME"), QDir::homePath());
    };
    test::Program g(false);
    for (const auto& b : rows) {
        if (b.record) g.r.game.selectRecordDemo();
        g.r.p().*b.field = expand(b.text);
        g.r.dialog.expect(QString::fromUtf8(b.answer));
        (g.r.game.*b.browse)();
        const auto& call = g.r.dialog.calls.last();
        const QString all = call.kind == QLatin1StringView("folder") ? QString() : kAll;
        QCOMPARE(call.kind + u'|' + call.title + u'|' + call.filter, QString::fromUtf8(b.asked) + all);
        QCOMPARE(call.initialFolder, expand(b.start));
        QCOMPARE(g.r.p().*b.field, expand(b.value));
    }
}

// The configuration browse starts in the port's per-user folder when the port folder holds
// no INI file and that folder exists ("home/" is the home folder, "port/" the port
// folder); otherwise in the home folder.
void TestGameOptions::configBrowseStartsWhereTheFileIs()
{
    const struct { const char* exe; QStringList made; const char* startsIn; } cases[] = {
        {"gzdoom", {"port/gzdoom", "home/.config/gzdoom/gzdoom.ini"}, "home/.config/gzdoom"},
        {"", {"port/zdoom", "home/.zdoom/zdoom.ini", "home/.config/gzdoom/gzdoom.ini"}, "home/.zdoom"},
        {"/nowhere/lzdoom", {"home/.config/lzdoom/"}, "home/.config/lzdoom"}, // no file yet
        {"gzdoom", {"port/gzdoom", "port/mine.ini", "home/.config/gzdoom/gzdoom.ini"}, "home"},
        {"gzdoom", {"port/gzdoom"}, "home"}}; // the folder does not exist yet
    const QByteArray home = qgetenv("HOME");
    for (const auto& c : cases) {
        QTemporaryDir root;
        qputenv("HOME", root.filePath("home").toLocal8Bit());
        for (const QString& made : c.made) {
            const QString path = root.filePath(made);
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            if (made.endsWith(u'/')) continue;
            QVERIFY(test::putFile(path, ""));
            if (!QFileInfo(made).fileName().contains(u'.')) QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner));
        }
        test::Program g(false);
        g.r.game.setExe(QString::fromLatin1(c.exe));
        g.r.game.setFolder(root.filePath("port"));
        g.r.dialog.expect(QString());
        g.r.game.browseIni();
        const QString expected = root.filePath(c.startsIn);
        qputenv("HOME", home);
        QCOMPARE(g.r.dialog.calls.last().initialFolder, expected);
    }
}

// A pop-up menu choice: a stored location fills the box and selects the game (99: none);
// without one ("<absent>", or emptied) the player is asked and the answer stored.
void TestGameOptions::iwadMenu()
{
    const struct { QString stored, name; int li; QString answer, iwad; int game; } choices[] = { // answer "-": none asked
        {"<absent>", "Doom2.wad", 1, "/g/doom 2.wad", "\"/g/doom 2.wad\"", 0},
        {"/g/doom2.wad", "Doom2.wad", 1, "-", "/g/doom2.wad", 1},
        {"/g/doom2f.wad", "Doom2f.wad", 99, "-", "/g/doom2f.wad", 0},
        {"\"/g/my.wad\"", "Other", 6, "-", "\"/g/my.wad\"", 6},
        {"", "Heretic.wad", 4, "/g/h.wad", "/g/h.wad", 0},
        {"<absent>", "Hexen.wad", 5, "", "mine.wad", 0}}; // cancelled: nothing changes
    for (const auto& c : choices) {
        test::Program g(false);
        auto& r = g.r;
        const QString key = QStringLiteral("IWAD") + c.name;
        if (c.stored != QLatin1StringView("<absent>")) g.t.store.write(QStringLiteral("Tarnwick"), key, c.stored);
        r.game.setIwad(QStringLiteral("mine.wad"));
        if (c.answer != QLatin1StringView("-")) r.dialog.expect(c.answer);
        r.iwads.IWADMenu(c.name, c.li);
        QCOMPARE(r.p().txtIWAD, c.iwad);
        QCOMPARE(r.p().cmbGame, c.game);
        QVERIFY2(r.command().startsWith("-IWAD " + c.iwad + " -"), qPrintable(r.command()));
        if (c.answer == QLatin1StringView("-")) continue;
        QCOMPARE(r.dialog.calls[0].title + u'|' + r.dialog.calls[0].filter,
                 "Choose the " + c.name + " Game WAD File|Doom WAD File (*.wad)|*.wad|" + kAll);
        QCOMPARE(g.t.store.read(QStringLiteral("Tarnwick"), key), c.answer.isEmpty() ? QString() : c.iwad);
    }
}

void TestGameOptions::locationsDialog()
{
    test::Program g(false);
    auto& iwads = g.r.iwads;
    std::array<QString, 9> boxes;
    for (size_t i = 0; i < boxes.size(); ++i) boxes[i] = QStringLiteral("/g/%1.wad").arg(i);
    boxes[2].clear(); // emptying a box removes that location
    iwads.save(boxes);
    QCOMPARE(g.t.store.read(QStringLiteral("Tarnwick"), QStringLiteral("IWADDoom2f.wad")), QStringLiteral("/g/0.wad"));

    g.r.dialog.expect(QStringLiteral("/my wads/tnt.wad"));
    g.r.dialog.expect(QString());
    const QString tnt = iwads.browse(3, "old");
    QCOMPARE(tnt + u'|' + iwads.browse(8, "old"), QStringLiteral("\"/my wads/tnt.wad\"|old"));
    QCOMPARE(g.r.dialog.calls[0].title + u'|' + g.r.dialog.calls[1].title,
             QStringLiteral("Choose the location of TNT.wad|Choose Another IWAD"));
    QCOMPARE(iwads.load(), boxes); // browsing writes nothing
}

// A click on a save-game row: the picture shown (a save with a game WAD field) and the save loaded.
void TestGameOptions::chooseSaveRow()
{
    const struct { QStringList files; const char* suffix; int row; const char* picture; const char* command; } clicks[] = {
        {{"a:wad"}, "", 1, "", "-WARP 1 1 -SKILL 3"},
        {{"a:wad"}, "", 3, "", "-WARP 1 1 -SKILL 3"}, // beyond the list: nothing changes
        {{"c:wad", "a:wad", "B:wad"}, "\\", 3, "B.zds", "-LOADGAME B.zds -WARP 1 1 -SKILL 3"}, // rows in name order, names as on disk
        {{"a:nowad"}, "", 2, "", "-LOADGAME a.zds -WARP 1 1 -SKILL 3"},
        {{"x:foreign"}, "", 2, "", "-LOADGAME x.zds -WARP 1 1 -SKILL 3"}};
    for (const auto& c : clicks) {
        QTemporaryDir dir;
        QVERIFY(test::makeSaves(dir.path(), c.files));
        test::Program g(false);
        g.r.game.setFolder(dir.path() + QLatin1StringView(c.suffix));
        g.r.game.chooseSaveGame(c.row);
        QCOMPARE(g.r.p().wbPic, *c.picture ? dir.path() + u'/' + QLatin1StringView(c.picture) : QString());
        QCOMPARE(g.r.command(), QString::fromLatin1(c.command));
    }
}

void TestGameOptions::saveSelectionKeptByPosition()
{
    QTemporaryDir dir;
    QVERIFY(test::makeSaves(dir.path(), {"b:wad", "c:wad", "d:wad"}));
    test::Program g(false);
    auto& r = g.r;
    r.game.setFolder(dir.path());
    r.game.chooseSaveGame(3);
    QVERIFY(test::makeSaves(dir.path(), {"a:nowad"})); // a save sorting first: row 3 is now another file
    r.main.pageActivated(1);          // the page comes to the front: rescanned
    QCOMPARE(r.p().wbPic, dir.path() + QStringLiteral("/b.zds"));
    QCOMPARE(r.command(), QStringLiteral("-LOADGAME b.zds -WARP 1 1 -SKILL 3"));

    for (const char* gone : {"a.zds", "b.zds", "c.zds"}) QVERIFY(QFile::remove(dir.filePath(gone)));
    r.game.rescanSaveGames(); // one save left: row 3 is gone
    QCOMPARE(r.p().ZDSs, -1);
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3"));

    QVERIFY(test::makeSaves(dir.path(), {"e:wad"}));
    r.game.rescanSaveGames();
    r.game.chooseSaveGame(3);
    QVERIFY(test::makeSaves(dir.path(), {"a:broken"})); // a broken save ends the scan: row 1
    r.game.rescanSaveGames();
    QCOMPARE(r.p().lvwLG, 1);
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3"));
    r.game.setFolder(dir.filePath(QStringLiteral("missing")));
    QCOMPARE(r.p().lvwLGRows.size(), 1);
}

// Saves read ahead of the window count for the folder they were read from, and only once.
void TestGameOptions::savesReadAheadStandForTheirFolderOnce()
{
    QTemporaryDir a, b;
    QVERIFY(test::makeSaves(a.path(), {"a1:wad", "a2:wad"}));
    QVERIFY(test::makeSaves(b.path(), {"b1:wad"}));
    test::Program g(false);
    const auto titles = [&g] {
        QStringList t;
        for (const SaveGameRow& row : g.r.p().lvwLGRows.mid(1)) t << row.cells[0];
        return t.join(u',');
    };
    g.r.game.readSaveGamesAhead(a.path());
    g.r.game.setFolder(b.path());
    QCOMPARE(titles(), QStringLiteral("b1"));
    g.r.game.setFolder(a.path());
    QCOMPARE(titles(), QStringLiteral("a1,a2"));
    QVERIFY(test::makeSaves(a.path(), {"a0:wad"}));
    g.r.game.rescanSaveGames();
    QCOMPARE(titles(), QStringLiteral("a0,a1,a2"));
}

QTEST_GUILESS_MAIN(TestGameOptions)
#include "tst_game_options.moc"
