#include "core_rig.h"
#include "temp_store.h"

#include <QTest>

using namespace tarnwick;

namespace {

const QString kSettings = QStringLiteral("Tarnwick\\Settings");
const QString kPages = QStringLiteral("Tarnwick");
const QString kFlags0 = QStringLiteral(" +SET DMFLAGS 0 +SET DMFLAGS2 0");

// A port folder with two saves: a.zds with a game WAD field, b.zds without.
void makeSaves(const QString& folder)
{
    QVERIFY(test::writeBytes(folder + QStringLiteral("/a.zds"), test::saveGameBytes({{"Title", "a"}, {"Game WAD", "D"}})));
    QVERIFY(test::writeBytes(folder + QStringLiteral("/b.zds"), test::saveGameBytes({{"Title", "b"}})));
}

// "key=value" pairs into "Tarnwick\Settings"; a key starting with "@" goes to "Tarnwick".
void store(SettingsStore& s, const QStringList& pairs, const QString& saves)
{
    for (QString kv : pairs) {
        kv.replace(QStringLiteral("$DIR"), saves);
        const QString key = kv.section(u'=', 0, 0);
        s.write(key.startsWith(u'@') ? kPages : kSettings, key.mid(key.startsWith(u'@') ? 1 : 0), kv.section(u'=', 1));
    }
}

// What the program holds, as "key=value": the six windows saved afresh, the command line
// and the file names the two path lists show.
QStringList saved(test::CoreRig& r)
{
    r.store.deleteSection(kSettings);
    for (OptionWindow w : {OptionWindow::GameOptions, OptionWindow::PlayOptions, OptionWindow::SoundVideo,
                           OptionWindow::Misc, OptionWindow::GameplayFlags, OptionWindow::Obsolete})
        r.persistence.Set_Exp(w);
    QStringList pairs;
    for (const auto& [key, value] : r.store.entries(kSettings)) pairs << key + u'=' + value;
    return pairs << "cmd=" + r.command() << "lstPWAD=" + r.p().lstPWAD.join(u'|') << "lstDeh=" + r.p().lstDeh.join(u'|');
}

} // namespace

class TestPersistence : public QObject
{
    Q_OBJECT
private slots:
    void keysOfEachWindow_data();
    void keysOfEachWindow();
    void roundTrip();
    void loader_data();
    void loader();
    void saveNowLeavesTheObsoleteOptions();
    void pageWindows();
};

void TestPersistence::keysOfEachWindow_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<QString>("keys"); // first-run values as stored: buttons True/False, boxes 0/1, rows decimal
    QTest::newRow("game options") << int(OptionWindow::GameOptions) << "1ZEXE= 1ZFolder= 1INI= 1IWAD= 1Parm= "
        "1UseDemos=0 1PlayDemo=True 1RecordDemo=False 1TimeDemo=0 1MaxDemo= 1LG=1 1ResetLocs=0";
    QTest::newRow("play options") << int(OptionWindow::PlayOptions) << "2Game=0 2Map=0 2Other= 2Monsters=1 2Fast=0 "
        "2Respawn=0 2Timer= 2Turbo= 2PWAD= 2PWADList= 2DirPWAD= 2Deh= 2DehList= 2DirDEH= 2SinglePlayer=True "
        "2Coop=False 2Deathmatch=False 2Altdeath=False 2oHost=True 2tHost= 2oJoin=False 2tJoin= 2Extratic=0 "
        "2Debugfile=0 2Dup= 2Port= 2Skill=2";
    QTest::newRow("sound and video") << int(OptionWindow::SoundVideo) << "3Sound=1 3SFX=1 3Music=1 3Width= 3Height= 3Bits=";
    QTest::newRow("miscellaneous") << int(OptionWindow::Misc)
        << "4Noflathack=0 4Noidle=0 4Noblit=0 4Nodraw=0 4CDROM=0 4AVG=0 4Devparm=0 4EC=";
    QTest::newRow("gameplay flags") << int(OptionWindow::GameplayFlags) << "DFUse=1 DF1=0 DF2=0 DF3=1 DF4=1 DF5=1 "
        "DF6=0 DF7=0 DF8=0 DF9=1 DF10=0 DF11=0 DF12=0 DF13=0 DF14=0 DF15=1 DF16=1 DF17=0 DF18=0 DF19=1 DF2_1=0 "
        "DF2_2=0 DF2_3=0 DF2_4=1";
    QTest::newRow("obsolete options") << int(OptionWindow::Obsolete)
        << "2Net= 3PrimarySound=0 3Wavonly=0 4Heapsize= 4Transfile= 4Nommx=0 4Notrans=0";
}

void TestPersistence::keysOfEachWindow()
{
    QFETCH(int, window);
    QFETCH(QString, keys);
    test::TempStore t;
    test::CoreRig r(t.store);
    r.session.setCommandText(QStringLiteral("typed by hand"));
    r.persistence.Set_Exp(OptionWindow(window));
    QStringList got;
    for (const auto& [key, value] : t.store.entries(kSettings)) got << key + u'=' + value;
    QCOMPARE(got.join(u' '), keys);
    QCOMPARE(r.command(), QStringLiteral("typed by hand")); // saving does not compose
    QVERIFY(!r.session.Rst);
}

// Every key with a value other than its first-run one, loaded and saved again unchanged.
void TestPersistence::roundTrip()
{
    test::TempStore t;
    QTemporaryDir saves;
    makeSaves(saves.path());
    const QStringList keys = {
        "1ZEXE=\"C:\\Program Files\\zdoom.exe\"", "1ZFolder=$DIR", "1INI=z.ini", "1IWAD=doom2.wad", "1Parm=p.txt",
        "1UseDemos=1", "1PlayDemo=False", "1RecordDemo=True", "1TimeDemo=1", "1MaxDemo=512", "1LG=3", "1ResetLocs=1",
        "2Game=5", "2Map=6", "2Other=33", "2Monsters=0", "2Fast=1", "2Respawn=1", "2Timer=20", "2Turbo=150",
        "2PWAD=typed.wad", "2PWADList=/w/a.wad|\"/w/my maps/b.wad\"", "2DirPWAD=/w/my maps", "2Deh=typed.deh",
        "2DehList=/p/x.deh", "2DirDEH=/p", "2SinglePlayer=False", "2Coop=False", "2Deathmatch=True", "2Altdeath=False",
        "2oHost=False", "2tHost=4", "2oJoin=True", "2tJoin=10.0.0.2", "2Extratic=1", "2Debugfile=1", "2Dup=2",
        "2Port=5030", "2Skill=4", "3Sound=0", "3SFX=0", "3Music=0", "3Width=1152", "3Height=864", "3Bits=8",
        "4Noflathack=1", "4Noidle=1", "4Noblit=1", "4Nodraw=1", "4CDROM=1", "4AVG=1", "4Devparm=1",
        "4EC=+map e1m3  -nomusic", "DFUse=0", "DF1=1", "DF2=1", "DF3=0", "DF4=0", "DF5=0", "DF6=1", "DF7=1", "DF8=1",
        "DF9=0", "DF10=1", "DF11=1", "DF12=1", "DF13=1", "DF14=1", "DF15=0", "DF16=0", "DF17=1", "DF18=1", "DF19=0",
        "DF2_1=1", "DF2_2=1", "DF2_3=1", "DF2_4=0", "2Net=1 .2", "3PrimarySound=1", "3Wavonly=1", "4Heapsize=16",
        "4Transfile=\"/t/my cache.tch\"", "4Nommx=1", "4Notrans=1"};
    store(t.store, keys, saves.path());
    test::CoreRig r(t.store);
    r.persistence.Set_Imp();
    QCOMPARE(r.flags.dmflagsLabel(), QStringLiteral("DMFLAGS = 1048543"));
    QCOMPARE(saved(r), QStringList(keys).replaceInStrings(QStringLiteral("$DIR"), saves.path()) << QStringLiteral(
        "cmd=\"C:\\Program Files\\zdoom.exe\" -CONFIG z.ini -IWAD doom2.wad @p.txt -MAXDEMO 512 -LOADGAME B.ZDS -WARP 13 "
        "-NOMONSTERS -TIMER 20 -TURBO 150 -FILE /w/a.wad \"/w/my maps/b.wad\" -DEH /p/x.deh -DEATHMATCH -JOIN "
        "10.0.0.2 -EXTRATIC -DEBUGFILE -DUP 2 -PORT 5030 -SKILL 5 -NOSOUND -WIDTH 1152 -HEIGHT 864 -BITS 8 -NOFLATHACK "
        "-NOIDLE -NOBLIT -NODRAW -CDROM -AVG -DEVPARM +map e1m3  -nomusic -NET 1 .2 -PRIMARYSOUND -WAVONLY -HEAPSIZE "
        "16 -TRANSFILE \"/t/my cache.tch\" -NOMMX -NOTRANS") << "lstPWAD=a.wad|b.wad" << "lstDeh=x.deh");
}

void TestPersistence::loader_data()
{
    QTest::addColumn<QStringList>("first");  // loaded at start-up
    QTest::addColumn<QStringList>("second"); // loaded next, in place of the first (an import); "-": nothing
    QTest::addColumn<QStringList>("expect"); // saved afterwards
    using L = QStringList;

    QTest::newRow("single player needs True exactly") << L{"2Coop=True"} << L{"2SinglePlayer=true"}
        << L{"2SinglePlayer=False", "2Coop=True"};
    QTest::newRow("single player True selects") << L{"2Coop=True"} << L{"2SinglePlayer=True"}
        << L{"2SinglePlayer=True", "2Coop=False"};
    QTest::newRow("later mode key wins")
        << L{"2SinglePlayer=True", "2Coop=True", "2Deathmatch=True", "2Altdeath=True"} << L{}
        << L{"2SinglePlayer=False", "2Coop=False", "2Deathmatch=False", "2Altdeath=True"};
    QTest::newRow("other option buttons take any letter case") << L{"2Deathmatch=true", "2oJoin=TRUE", "2tJoin=h"} << L{}
        << L{"cmd=-WARP 1 1 -DEATHMATCH -JOIN h -SKILL 3" + kFlags0};
    QTest::newRow("False clears a button") << L{"1PlayDemo=False", "1RecordDemo=True"} << L{}
        << L{"1PlayDemo=False", "1RecordDemo=True"};
    QTest::newRow("map beyond the new list keeps the game's row") << L{"2Map=20"} << L{"2Game=1", "2Map=40"}
        << L{"2Game=1", "2Map=20", "cmd=-WARP 21 -SKILL 3" + kFlags0};
    QTest::newRow("map and skill apply to the rebuilt lists") << L{"2Game=4", "2Map=44", "2Skill=4"} << L{}
        << L{"cmd=-WARP 5 9 -SKILL 5" + kFlags0};
    QTest::newRow("Other keeps the skill names") << L{"2Game=6", "2Other=33", "2Skill=1"} << L{}
        << L{"2Map=-1", "cmd=-WARP 33 -SKILL 2" + kFlags0};
    QTest::newRow("game location replaces the loaded game WAD")
        << L{"@IWADHeretic.wad=/g/h.wad", "1IWAD=doom.wad", "2Game=4"} << L{} << L{"1IWAD=/g/h.wad"};
    QTest::newRow("empty game location keeps it") << L{"@IWADHeretic.wad=", "1IWAD=doom.wad", "2Game=4"} << L{}
        << L{"1IWAD=doom.wad"};
    QTest::newRow("path lists are replaced, not appended")
        << L{"2PWADList=a.wad|b.wad", "2DehList=x.deh"} << L{"2PWADList=C:\\x\\c.wad", "2DehList=\"C:\\My P\\a.deh\"|b.bex"}
        << L{"2PWADList=C:\\x\\c.wad", "lstPWAD=c.wad", "2DehList=\"C:\\My P\\a.deh\"|b.bex", "lstDeh=a.deh|b.bex"};
    QTest::newRow("save row picked after the folder's scan") << L{"1ZFolder=$DIR", "1LG=3"} << L{}
        << L{"cmd=-LOADGAME B.ZDS -WARP 1 1 -SKILL 3" + kFlags0};
    QTest::newRow("save row beyond the list") << L{"1ZFolder=$DIR", "1LG=4"} << L{} << L{"1LG=1"};
    QTest::newRow("conversion failures are skipped")
        << L{"2Game=abc", "3Sound=yes", "1UseDemos=", "2Skill=9", "2Coop=maybe", "DFUse=7", "2Monsters=x",
             "1LG=two", "2Map=-5", "DF1=", "2Fast=1e9"} << L{}
        << L{"2Game=0", "3Sound=1", "1UseDemos=0", "2Skill=2", "2Coop=False", "DFUse=1", "2Monsters=1", "1LG=1",
             "2Map=0", "DF1=0", "2Fast=0", "cmd=-WARP 1 1 -SKILL 3" + kFlags0};
    QTest::newRow("flag totals rebuilt from the boxes") << L{"DF4=0", "DF2_3=1"} << L{}
        << L{"cmd=-WARP 1 1 -SKILL 3 +SET DMFLAGS 1 +SET DMFLAGS2 2"};
    QTest::newRow("obsolete sound key in another letter case") << L{"3primarysound=1"} << L{}
        << L{"3PrimarySound=1", "cmd=-WARP 1 1 -SKILL 3" + kFlags0 + " -PRIMARYSOUND"};
    QTest::newRow("number boxes settle as they load")
        << L{"2tHost=12", "2Timer=2.5", "1MaxDemo=0.5", "2Turbo=300", "3Width=800x", "3Bits=16", "4Heapsize=-5"} << L{}
        << L{"2tHost=8", "2Timer=2", "1MaxDemo=1", "2Turbo=256", "3Width=1", "3Bits=8", "4Heapsize=1"};
    QTest::newRow("absent texts become empty") << L{"1ZEXE=zdoom", "4EC=-x", "2DirPWAD=/w", "2tJoin=h"} << L{"-"}
        << L{"1ZEXE=", "4EC=", "2DirPWAD=", "2tJoin="};
    QTest::newRow("absent boxes keep their values") << L{"2Fast=1", "3Sound=0", "2Game=3", "2Coop=True"} << L{"-"}
        << L{"2Fast=1", "3Sound=0", "2Game=3", "2Coop=True"};
}

void TestPersistence::loader()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(QStringList, expect);
    test::TempStore t;
    QTemporaryDir saves;
    makeSaves(saves.path());
    test::CoreRig r(t.store);
    store(t.store, first, saves.path());
    r.persistence.Set_Imp();
    if (!second.isEmpty()) {
        t.store.deleteSection(kSettings);
        store(t.store, second.filter(QStringLiteral("=")), saves.path());
        r.persistence.Set_Imp();
    }
    QVERIFY(!r.session.Rst);
    const QStringList got = saved(r);
    for (const QString& e : expect) QVERIFY2(got.contains(e), qPrintable(e + " not in " + got.join(u' ')));
}

void TestPersistence::saveNowLeavesTheObsoleteOptions()
{
    test::TempStore t;
    {
        test::CoreRig r(t.store);
        r.obsolete.setNet(QStringLiteral("old"));
        r.main.shutdown({});
    }
    test::CoreRig r(t.store);
    r.persistence.Set_Imp();
    r.obsolete.setNet(QStringLiteral("new"));
    r.game.setExe(QStringLiteral("zdoom"));
    r.flags.setFlagBox(1, 1);
    r.main.saveSettingsNow();
    QCOMPARE(t.store.read(kSettings, QStringLiteral("1ZEXE")), QStringLiteral("zdoom"));
    QCOMPARE(t.store.read(kSettings, QStringLiteral("DF2")), QStringLiteral("1"));
    QCOMPARE(t.store.read(kSettings, QStringLiteral("2Net")), QStringLiteral("old"));
    r.main.shutdown({});
    QCOMPARE(t.store.read(kSettings, QStringLiteral("2Net")), QStringLiteral("new"));
}

void TestPersistence::pageWindows()
{
    test::TempStore t;
    test::CoreRig r(t.store);
    QVERIFY(r.persistence.storedVisible(2));
    t.store.write(kPages, QStringLiteral("Form2Visible"), QStringLiteral("False"));
    r.main.pageActivated(2);
    QVERIFY(!r.main.pageVisible(2) && r.main.showItemVisible(2));
    r.main.showPage(2);
    QCOMPARE(t.store.read(kPages, QStringLiteral("Form2Visible")), QStringLiteral("True"));
    r.main.pageActivated(2);
    QVERIFY(r.main.pageVisible(2) && !r.main.showItemVisible(2));

    t.store.write(kPages, QStringLiteral("Form3Top"), QStringLiteral("120"));
    QVERIFY(!r.persistence.storedPosition(3).has_value()); // the left edge is missing
    t.store.write(kPages, QStringLiteral("Form3Left"), QStringLiteral("40"));
    QCOMPARE(r.persistence.storedPosition(3), std::optional<QPoint>(QPoint(40, 120)));
    t.store.write(kPages, QStringLiteral("Form3Top"), QStringLiteral("abc"));
    QVERIFY(!r.persistence.storedPosition(3).has_value());

    r.misc.setExtraCommands(QStringLiteral("-x"));
    QVERIFY(!r.persistence.pagesPlaced());
    r.persistence.savePageWindow(4, false, QPoint(10, 20));
    QCOMPARE(t.store.read(kPages, QStringLiteral("Form4Visible")), QStringLiteral("False"));
    QCOMPARE(r.persistence.storedPosition(4), std::optional<QPoint>(QPoint(10, 20)));
    QCOMPARE(t.store.read(kSettings, QStringLiteral("4EC")), QStringLiteral("-x"));
    r.persistence.savePageWindow(1, true, QPoint(0, 0));
    QVERIFY(r.persistence.pagesPlaced());
}

QTEST_GUILESS_MAIN(TestPersistence)
#include "tst_persistence.moc"
