// The first start's search for an installed port and game WADs, on folder trees made in a
// temporary root that stands for "/": which files and environment give which locations.

#include "core_rig.h"

#include "pages/game/install_search.h"
#include "pages/game/iwad_locations.h"

#include <QTest>

using namespace tarnwick;

namespace {

using Values = QMap<QString, QString>;

// "@" in a text stands for the temporary root.
QString rooted(QString text, const QString& root)
{
    return text.replace(u'@', root);
}

// Files under the root: "x:" makes an executable, a trailing "/" a folder.
bool makeTree(const QString& root, const QStringList& entries)
{
    for (QString entry : entries) {
        const bool executable = entry.startsWith(QStringLiteral("x:"));
        if (executable) entry = entry.mid(2);
        const QString path = root + u'/' + entry;
        if (entry.endsWith(u'/')) {
            if (!QDir().mkpath(path)) return false;
            continue;
        }
        if (!QDir().mkpath(QFileInfo(path).path()) || !test::putFile(path, "IWAD")) return false;
        if (executable && !QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner)) return false;
    }
    return true;
}

SearchPlaces places(const Values& env, const QString& root)
{
    QProcessEnvironment e;
    for (auto it = env.cbegin(); it != env.cend(); ++it) e.insert(it.key(), rooted(it.value(), root));
    return SearchPlaces::fromEnvironment(e, root);
}

// What the search may change, as "name=value" lines: page 1's three boxes and every game
// WAD location that is set.
QStringList outcome(test::CoreRig& r, const QString& root)
{
    QStringList lines;
    const auto line = [&](const QString& name, QString value) {
        if (!value.isEmpty()) lines << name + u'=' + value.replace(root, QStringLiteral("@"));
    };
    line(QStringLiteral("txtEXE"), r.p().txtEXE);
    line(QStringLiteral("txtFol"), r.p().txtFol);
    line(QStringLiteral("txtIWAD"), r.p().txtIWAD);
    for (const IwadRecord& record : kIwadRecords)
        line(iwadKey(record), r.store.read(QStringLiteral("Tarnwick"), iwadKey(record)));
    lines.sort();
    return lines;
}

// What the player set before the search: page 1's boxes, the game, stored locations.
void presetValues(test::CoreRig& r, const Values& preset, const QString& root)
{
    for (auto it = preset.cbegin(); it != preset.cend(); ++it) {
        const QString value = rooted(it.value(), root);
        if (it.key() == QLatin1StringView("txtEXE")) r.game.setExe(value);
        else if (it.key() == QLatin1StringView("txtFol")) r.game.setFolder(value);
        else if (it.key() == QLatin1StringView("txtIWAD")) r.game.setIwad(value);
        else if (it.key() == QLatin1StringView("cmbGame")) r.play.chooseGame(value.toInt());
        else if (it.key() == QLatin1StringView("chkReset")) r.game.setResetLocations(value.toInt());
        else r.store.write(QStringLiteral("Tarnwick"), it.key(), value);
    }
}

} // namespace

class TestInstallSearch : public QObject
{
    Q_OBJECT
private slots:
    void search_data();
    void search();
    void when_data();
    void when();
    void nothingGivenNothingSearched();
};

void TestInstallSearch::search_data()
{
    QTest::addColumn<Values>("env");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<Values>("preset");
    QTest::addColumn<QStringList>("expected");

    const Values path{{"PATH", "@/bin"}};
    QTest::newRow("port on PATH and the free WADs; the box takes Doom's")
        << path << QStringList{"x:bin/gzdoom", "usr/share/games/doom/freedoom1.wad", "usr/share/games/doom/freedoom2.wad"}
        << Values{}
        << QStringList{"txtEXE=@/bin/gzdoom", "txtFol=@/bin", "txtIWAD=@/usr/share/games/doom/freedoom1.wad",
                       "IWADDoom2.wad=@/usr/share/games/doom/freedoom2.wad",
                       "IWADDoom.wad=@/usr/share/games/doom/freedoom1.wad"};
    QTest::newRow("zdoom before gzdoom wherever they lie, PATH before /usr/games") << Values{{"PATH", "@/a:@/b"}}
        << QStringList{"x:a/gzdoom", "x:b/zdoom", "x:usr/games/zdoom"} << Values{} << QStringList{"txtEXE=@/b/zdoom", "txtFol=@/b"};
    QTest::newRow("other ports by name first; a file that cannot run and a folder are no port") << path
        << QStringList{"bin/zdoom", "bin/gzdoom/", "x:bin/woof", "x:usr/games/chocolate-doom"} << Values{}
        << QStringList{"txtEXE=@/usr/games/chocolate-doom", "txtFol=@/usr/games"};
    QTest::newRow("a blank in the port's path is quoted, not in its folder") << Values{{"PATH", "@/my games"}}
        << QStringList{"x:my games/zdoom"} << Values{}
        << QStringList{"txtEXE=\"@/my games/zdoom\"", "txtFol=@/my games"};
    QTest::newRow("WAD names in any case; the first folder holding one wins")
        << Values{{"DOOMWADDIR", "@/w1"}, {"DOOMWADPATH", "@/w2:@/w3"}}
        << QStringList{"w1/DOOM2.WAD", "w2/doom2.wad", "w3/Heretic.wad", "w2/TNT.wad", "w3/Plutonia.Wad", "w3/Hexen.wad"}
        << Values{}
        << QStringList{"IWADDoom2.wad=@/w1/DOOM2.WAD", "IWADPlutonia.wad=@/w3/Plutonia.Wad", "IWADTNT.wad=@/w2/TNT.wad",
                       "IWADHeretic.wad=@/w3/Heretic.wad", "IWADHexen.wad=@/w3/Hexen.wad"};
    QTest::newRow("the player's own and shared folders, in order")
        << Values{{"HOME", "@/home/me"}}
        << QStringList{"home/me/.local/share/games/doom/doom.wad", "usr/local/share/games/doom/doom.wad",
                       "usr/local/share/games/doom/doom1.wad", "usr/share/games/doom/doom1.wad",
                       "usr/share/games/doom/doom2f.wad"}
        << Values{}
        << QStringList{"txtIWAD=@/home/me/.local/share/games/doom/doom.wad",
                       "IWADDoom2f.wad=@/usr/share/games/doom/doom2f.wad",
                       "IWADDoom.wad=@/home/me/.local/share/games/doom/doom.wad",
                       "IWADDoom1.wad=@/usr/local/share/games/doom/doom1.wad"};
    QTest::newRow("the game's own WAD beats a free one in an earlier folder") << Values{{"DOOMWADDIR", "@/free"}}
        << QStringList{"free/freedoom2.wad", "free/freedoom1.wad", "usr/share/games/doom/doom2.wad", "free/doom1.wad"}
        << Values{}
        << QStringList{"txtIWAD=@/free/freedoom1.wad", "IWADDoom2.wad=@/usr/share/games/doom/doom2.wad",
                       "IWADDoom.wad=@/free/freedoom1.wad", "IWADDoom1.wad=@/free/doom1.wad"};
    QTest::newRow("the player's folder is searched when the port is theirs") << path
        << QStringList{"x:bin/gzdoom", "games/zd/tnt.wad"} << Values{{"txtEXE", "zd"}, {"txtFol", "@/games/zd"}}
        << QStringList{"txtEXE=zd", "txtFol=@/games/zd", "IWADTNT.wad=@/games/zd/tnt.wad"};
    QTest::newRow("folders below a WAD folder are not searched") << Values{{"DOOMWADDIR", "@/w"}}
        << QStringList{"w/sub/doom.wad", "usr/share/games/doom/more/doom2.wad"} << Values{} << QStringList{};
    QTest::newRow("what the player set stays; the rest is filled") << path
        << QStringList{"x:bin/gzdoom", "usr/share/games/doom/doom2.wad", "usr/share/games/doom/plutonia.wad"}
        << Values{{"txtEXE", "/mine/zdoom"}, {"IWADDoom2.wad", "/mine/doom2.wad"}, {"txtIWAD", "/mine/tnt.wad"}}
        << QStringList{"txtEXE=/mine/zdoom", "txtIWAD=/mine/tnt.wad", "IWADDoom2.wad=/mine/doom2.wad",
                       "IWADPlutonia.wad=@/usr/share/games/doom/plutonia.wad"};
    QTest::newRow("the game WAD box takes the chosen game's, once found") << path
        << QStringList{"usr/share/games/doom/doom.wad", "usr/share/games/doom/heretic.wad"} << Values{{"cmbGame", "4"}}
        << QStringList{"txtIWAD=@/usr/share/games/doom/heretic.wad", "IWADDoom.wad=@/usr/share/games/doom/doom.wad",
                       "IWADHeretic.wad=@/usr/share/games/doom/heretic.wad"};
}

void TestInstallSearch::search()
{
    QFETCH(Values, env);
    QFETCH(QStringList, files);
    QFETCH(Values, preset);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    QVERIFY(makeTree(root, files));
    expected.sort();
    // Looked for on the spot, and ahead on a second thread while the window is built.
    for (const bool ahead : {false, true}) {
        test::Program g;
        test::CoreRig& r = g.r;
        presetValues(r, preset, root);
        InstallSearch search(r.store, r.session, r.game, places(env, root));
        if (ahead) search.searchAhead();
        search.fillEmpty();
        search.saveFound();
        QCOMPARE(outcome(r, root), expected);
        // The command line already shows what was filled in.
        const QString shown = r.command();
        r.session.MainProc();
        QCOMPARE(shown, r.command());
    }
}

// When the program searches: at a first start and after "Reset all" with the locations to
// be reset; never at a later start or when the player keeps the locations.
void TestInstallSearch::when_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<Values>("preset");
    QTest::addColumn<QStringList>("expected");
    const QStringList found{"txtEXE=@/bin/zdoom", "txtFol=@/bin", "txtIWAD=@/wads/doom.wad", "IWADDoom.wad=@/wads/doom.wad"};
    QTest::newRow("first start") << "first start" << Values{} << found;
    QTest::newRow("a settings file opened at the first start keeps its values") << "first start with file"
        << Values{} << QStringList{"txtEXE=/from/file/zdoom", "txtIWAD=@/wads/doom.wad", "IWADDoom.wad=@/wads/doom.wad"};
    QTest::newRow("later start") << "later start" << Values{} << QStringList{};
    QTest::newRow("reset all, locations reset") << "reset all"
        << Values{{"chkReset", "1"}, {"txtEXE", "/old/zdoom"}, {"txtFol", "/old"}} << found;
    QTest::newRow("reset all, locations kept") << "reset all"
        << Values{{"chkReset", "0"}, {"txtEXE", "/old/zdoom"}, {"txtFol", "/old"}}
        << QStringList{"txtEXE=/old/zdoom", "txtFol=/old"};
}

void TestInstallSearch::when()
{
    QFETCH(QString, how);
    QFETCH(Values, preset);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    QVERIFY(makeTree(root, {"x:bin/zdoom", "wads/doom.wad"}));
    test::TempStore t;
    test::CoreRig r(t.store, places({{"PATH", "@/bin"}, {"DOOMWADDIR", "@/wads"}}, root));
    presetValues(r, preset, root);

    QString argument;
    if (how == QLatin1StringView("first start with file")) {
        argument = t.path(QStringLiteral("mine.twk"));
        QVERIFY(test::putSettingsFile(argument, {{"1ZEXE", "/from/file/zdoom"}}));
    }
    if (how == QLatin1StringView("reset all")) {
        r.messages.expect(MessageBox::Answer::Yes);
        r.main.resetAll();
    } else {
        r.main.readAhead(how != QLatin1StringView("later start"));
        r.main.startup(argument, 1280, how != QLatin1StringView("later start"));
        // The locations found are written once the window has been drawn, not before.
        QCOMPARE(r.store.read(QStringLiteral("Tarnwick"), QStringLiteral("IWADDoom.wad")), QString());
        r.main.finishStartup();
    }
    expected.sort();
    QCOMPARE(outcome(r, root), expected);
}

// A program given no places (as every test rig is) looks nowhere, not even in the PATH of
// the process it runs in.
void TestInstallSearch::nothingGivenNothingSearched()
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    QVERIFY(makeTree(root, {"x:bin/zdoom"}));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", (root + QStringLiteral("/bin")).toLocal8Bit());
    test::TempStore t;
    test::CoreRig r(t.store);
    r.main.startup(QString(), 1280, true);
    qputenv("PATH", path);
    QCOMPARE(outcome(r, root), QStringList{});
}

QTEST_GUILESS_MAIN(TestInstallSearch)
#include "tst_install_search.moc"
