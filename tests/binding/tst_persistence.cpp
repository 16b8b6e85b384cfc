#include "core_rig.h"

#include <QTest>

using namespace tarnwick;

namespace {

const QString kSettings = QStringLiteral("Tarnwick\\Settings");
const QString kPages = QStringLiteral("Tarnwick");
const QString kFlags0 = QStringLiteral(" +SET DMFLAGS 0 +SET DMFLAGS2 0");

// A port folder with two saves: a.zds with a game WAD field, b.zds without.
void makeSaves(const QString& folder) { QVERIFY(test::makeSaves(folder, {"a:wad", "b:nowad"})); }

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
    void roundTrip();
    void loader();
    void saveNowLeavesTheObsoleteOptions();
    void pageWindows();
};

// Every key with a value other than its first-run one, loaded and saved again unchanged.
void TestPersistence::roundTrip()
{
    test::Program g;
    auto& [t, r] = g;
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
    QCOMPARE(r.persistence.storedSaveFolder(), saves.path()); // what start-up reads ahead
    QCOMPARE(r.persistence.storedSaveRow(), 3);
    r.persistence.Set_Imp();
    QCOMPARE(r.flags.dmflagsLabel() + ", " + r.flags.dmflags2Label(), "DMFLAGS = 1048543, DMFLAGS2 = 229378");
    QCOMPARE(r.command(), "\"C:\\Program Files\\zdoom.exe\" -CONFIG z.ini -IWAD doom2.wad @p.txt -MAXDEMO 512 -LOADGAME "
                          "b.zds -WARP 13 -NOMONSTERS -TIMER 20 -TURBO 150 -FILE /w/a.wad \"/w/my maps/b.wad\" -DEH /p/x.deh "
                          "-DEATHMATCH -JOIN 10.0.0.2 -EXTRATIC -DEBUGFILE -DUP 2 -PORT 5030 -SKILL 5 -NOSOUND -WIDTH 1152 "
                          "-HEIGHT 864 -BITS 8 -NOFLATHACK -NOIDLE -NOBLIT -NODRAW -CDROM -AVG -DEVPARM +map e1m3  -nomusic "
                          "-NET 1 .2 -PRIMARYSOUND -WAVONLY -HEAPSIZE 16 -TRANSFILE \"/t/my cache.tch\" -NOMMX -NOTRANS");
    // Saved again window by window, every key comes back in table order; saving does not compose.
    r.session.setCommandText(QStringLiteral("typed by hand"));
    QCOMPARE(saved(r), QStringList(keys).replaceInStrings(QStringLiteral("$DIR"), saves.path())
                           << "cmd=typed by hand" << "lstPWAD=a.wad|b.wad" << "lstDeh=x.deh");
    QVERIFY(!r.session.Rst);
}

// Stored values loaded at start-up ("first"), then in their place as an import does ("second";
// "-": nothing stored), and the values saved afterwards that show what was loaded.
void TestPersistence::loader()
{
    using L = QStringList;
    const struct { const char* name; L first, second, expect; } cases[] = {
        {"single player needs True exactly", {"2Coop=True"}, {"2SinglePlayer=true"}, {"2SinglePlayer=False", "2Coop=True"}},
        {"single player True selects", {"2Coop=True"}, {"2SinglePlayer=True"}, {"2SinglePlayer=True", "2Coop=False"}},
        {"later mode key wins", {"2SinglePlayer=True", "2Coop=True", "2Deathmatch=True", "2Altdeath=True"}, {},
         {"2SinglePlayer=False", "2Coop=False", "2Deathmatch=False", "2Altdeath=True"}},
        {"other option buttons take any letter case", {"2Deathmatch=true", "2oJoin=TRUE", "2tJoin=h"}, {},
         {"cmd=-WARP 1 1 -DEATHMATCH -JOIN h -SKILL 3" + kFlags0}},
        {"map beyond the new list keeps the game's row", {"2Map=20"}, {"2Game=1", "2Map=40"},
         {"2Game=1", "2Map=20", "cmd=-WARP 21 -SKILL 3" + kFlags0}},
        {"map and skill apply to the rebuilt lists", {"2Game=4", "2Map=44", "2Skill=4"}, {},
         {"cmd=-WARP 5 9 -SKILL 5" + kFlags0}},
        {"Other keeps the skill names", {"2Game=6", "2Other=33", "2Skill=1"}, {},
         {"2Map=-1", "cmd=-WARP 33 -SKILL 2" + kFlags0}},
        {"game location replaces the loaded game WAD", {"@IWADHeretic.wad=/g/h.wad", "1IWAD=doom.wad", "2Game=4"}, {},
         {"1IWAD=/g/h.wad"}},
        {"empty game location keeps it", {"@IWADHeretic.wad=", "1IWAD=doom.wad", "2Game=4"}, {}, {"1IWAD=doom.wad"}},
        {"path lists are replaced, not appended", {"2PWADList=a.wad|b.wad", "2DehList=x.deh"},
         {"2PWADList=C:\\x\\c.wad", "2DehList=\"C:\\My P\\a.deh\"|b.bex"},
         {"2PWADList=C:\\x\\c.wad", "lstPWAD=c.wad", "2DehList=\"C:\\My P\\a.deh\"|b.bex", "lstDeh=a.deh|b.bex"}},
        {"save row beyond the list", {"1ZFolder=$DIR", "1LG=4"}, {}, {"1LG=1"}},
        {"conversion failures are skipped", {"2Game=abc", "3Sound=yes", "1UseDemos=", "2Skill=9", "2Coop=maybe",
         "DFUse=7", "2Monsters=x", "1LG=two", "2Map=-5", "DF1=", "2Fast=1e9"}, {},
         {"2Game=0", "3Sound=1", "1UseDemos=0", "2Skill=2", "2Coop=False", "DFUse=1", "2Monsters=1", "1LG=1", "2Map=0",
          "DF1=0", "2Fast=0", "cmd=-WARP 1 1 -SKILL 3" + kFlags0}},
        {"obsolete sound key in another letter case", {"3primarysound=1"}, {},
         {"3PrimarySound=1", "cmd=-WARP 1 1 -SKILL 3" + kFlags0 + " -PRIMARYSOUND"}},
        {"number boxes settle as they load",
         {"2tHost=12", "2Timer=2.5", "1MaxDemo=0.5", "2Turbo=300", "3Width=800x", "3Bits=16", "4Heapsize=-5"}, {},
         {"2tHost=8", "2Timer=2", "1MaxDemo=1", "2Turbo=256", "3Width=1", "3Bits=8", "4Heapsize=1"}},
        {"absent texts become empty", {"1ZEXE=zdoom", "4EC=-x", "2DirPWAD=/w", "2tJoin=h"}, {"-"},
         {"1ZEXE=", "4EC=", "2DirPWAD=", "2tJoin="}},
        {"absent boxes keep their values", {"2Fast=1", "3Sound=0", "2Game=3", "2Coop=True"}, {"-"},
         {"2Fast=1", "3Sound=0", "2Game=3", "2Coop=True"}},
    };
    for (const auto& c : cases) {
        test::Program g;
        auto& [t, r] = g;
        QTemporaryDir saves;
        makeSaves(saves.path());
        store(t.store, c.first, saves.path());
        r.persistence.Set_Imp();
        if (!c.second.isEmpty()) {
            t.store.deleteSection(kSettings);
            store(t.store, L(c.second).filter(QStringLiteral("=")), saves.path());
            r.persistence.Set_Imp();
        }
        QVERIFY(!r.session.Rst);
        const QStringList got = saved(r);
        for (const QString& e : c.expect) QVERIFY2(got.contains(e), qPrintable(c.name + (": " + e) + " not in " + got.join(u' ')));
    }
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
    test::Program g;
    auto& [t, r] = g;
    t.store.write(kPages, QStringLiteral("Form2Visible"), QStringLiteral("False"));
    r.main.pageActivated(2);
    QVERIFY(!r.main.pageVisible(2) && r.main.showItemVisible(2));
    r.main.showPage(2);
    QCOMPARE(t.store.read(kPages, QStringLiteral("Form2Visible")), QStringLiteral("True"));
    r.main.pageActivated(2);
    QVERIFY(r.main.pageVisible(2) && !r.main.showItemVisible(2));

    // A position needs both edges as numbers; saving a page saves its window and values too.
    t.store.write(kPages, QStringLiteral("Form3Top"), QStringLiteral("120")); // no left edge
    t.store.write(kPages, QStringLiteral("Form4Top"), QStringLiteral("abc"));
    t.store.write(kPages, QStringLiteral("Form4Left"), QStringLiteral("40"));
    QVERIFY(!r.persistence.storedPosition(3).has_value() && !r.persistence.storedPosition(4).has_value());
    r.misc.setExtraCommands(QStringLiteral("-x"));
    r.persistence.savePageWindow(4, false, QPoint(10, 20));
    QVERIFY(!r.persistence.storedVisible(4) && !r.persistence.pagesPlaced());
    QCOMPARE(r.persistence.storedPosition(4), std::optional<QPoint>(QPoint(10, 20)));
    QCOMPARE(t.store.read(kSettings, QStringLiteral("4EC")), QStringLiteral("-x"));
    r.persistence.savePageWindow(1, true, QPoint(0, 0));
    QVERIFY(r.persistence.pagesPlaced());
}

QTEST_GUILESS_MAIN(TestPersistence)
#include "tst_persistence.moc"
