#include "core_rig.h"
#include "temp_store.h"

#include <QTest>

using namespace tarnwick;
using FileList = PlayOptionsController::FileList;

namespace {

const QString kSettings = QStringLiteral("Tarnwick\\Settings");
const OptionWindow kWindows[] = {OptionWindow::GameOptions, OptionWindow::PlayOptions, OptionWindow::SoundVideo,
                                 OptionWindow::Misc,        OptionWindow::GameplayFlags, OptionWindow::Obsolete};

QString str(const QString& s) { return s; }
QString str(int v) { return QString::number(v); }
QString str(bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); }
QString str(const QStringList& l) { return l.join(u'|'); }

// The stored fields of one window, by name, as text.
QMap<QString, QString> fields(const LaunchProfile& p, OptionWindow w)
{
#define F(name) {QStringLiteral(#name), str(p.name)}
    switch (w) {
    case OptionWindow::GameOptions:
        return {F(txtEXE), F(txtFol), F(txtINI), F(txtIWAD), F(txtParm), F(chkDemos), F(optPlay), F(optRecord),
                F(chkTimedemo), F(txtMaxdemo), F(lvwLG), F(ZDSs), F(chkReset)};
    case OptionWindow::PlayOptions:
        return {F(cmbGame), F(lstMap), F(txtOther), F(chkNomonsters), F(chkFast), F(chkRespawn), F(txtTimer),
                F(txtTurbo), F(txtPWAD), F(lstPWADhid), F(lstPWAD), F(DirPWAD), F(txtDeh), F(lstDehhid), F(lstDeh),
                F(DirDEH), F(optSP), F(optCoop), F(optDeathmatch), F(optAltdeath), F(optHost), F(txtHost),
                F(optJoin), F(txtJoin), F(chkExtratic), F(chkDEBUGFILE), F(txtDUP), F(txtPORT), F(cmbSkill)};
    case OptionWindow::SoundVideo:
        return {F(chkSound), F(chkSFX), F(chkMusic), F(cmbWidth), F(cmbHeight), F(txtBITS)};
    case OptionWindow::Misc:
        return {F(chkNOFLATHACK), F(chkNOIDLE), F(chkNOBLIT), F(chkNODRAW), F(chkCDROM), F(chkAVG), F(chkDEVPARM),
                F(txtEC)};
    case OptionWindow::GameplayFlags: {
        QMap<QString, QString> m{F(chkDMFLAGS), F(Flags), F(Flags2)};
        for (size_t i = 0; i < p.DF.size(); ++i) m.insert(QStringLiteral("DF[%1]").arg(i), str(p.DF[i]));
        return m;
    }
    case OptionWindow::Obsolete:
        return {F(txtNET), F(chkPrimarySound), F(chkWavonly), F(txtHeapSize), F(txtTransFile), F(chkNOMMX),
                F(chkNOTRANS)};
    }
#undef F
    return {};
}

// Every field of the rig plus what the pages show of them.
QMap<QString, QString> allFields(test::CoreRig& r)
{
    QMap<QString, QString> m;
    for (OptionWindow w : kWindows) m.insert(fields(r.p(), w));
    m.insert(QStringLiteral("mapRow"), r.p().selectedMapRow());
    m.insert(QStringLiteral("skillName"), r.p().cmbSkillRows.value(r.p().cmbSkill));
    m.insert(QStringLiteral("hostJoinEnabled"), str(r.play.hostJoinEnabled()));
    m.insert(QStringLiteral("cmd"), r.command());
    return m;
}

// A port folder with two saves: a.zds with a game WAD field, b.zds without.
void makeSaves(const QString& folder)
{
    QVERIFY(test::writeBytes(folder + QStringLiteral("/a.zds"),
                             test::saveGameBytes({{"Title", "first"}, {"Game WAD", "DOOM2.WAD"}})));
    QVERIFY(test::writeBytes(folder + QStringLiteral("/b.zds"), test::saveGameBytes({{"Title", "second"}})));
}

// Gives every stored field of one window a value that is not its first-run value.
void changeEverything(test::CoreRig& r, OptionWindow w, const QString& saves)
{
    switch (w) {
    case OptionWindow::GameOptions:
        r.game.setExe(QStringLiteral("\"C:\\Program Files\\ZDoom\\zdoom.exe\""));
        r.game.setFolder(saves);
        r.game.chooseSaveGame(3);
        r.game.setIni(QStringLiteral("z.ini"));
        r.game.setIwad(QStringLiteral("doom2.wad"));
        r.game.setParm(QStringLiteral("p.txt"));
        r.game.setDemos(1);
        r.game.selectRecordDemo();
        r.game.setTimeDemo(1);
        r.game.setMaxDemo(QStringLiteral("512"));
        r.game.setResetLocations(1);
        r.game.setDemoFile(QStringLiteral("not-stored.lmp"));
        break;
    case OptionWindow::PlayOptions:
        r.play.chooseGame(5);
        r.play.chooseMap(6);
        r.play.setOther(QStringLiteral("33"));
        r.play.setMonsters(0);
        r.play.setFast(1);
        r.play.setRespawn(1);
        r.play.setTimer(QStringLiteral("20"));
        r.play.setTurbo(QStringLiteral("150"));
        r.dialog.expect(QStringLiteral("/w/maps/a.wad"));
        r.play.addToList(FileList::MapWads);
        r.dialog.expect(QStringLiteral("/w/my maps/b.wad"));
        r.play.addToList(FileList::MapWads);
        r.play.setListText(FileList::MapWads, QStringLiteral("typed.wad"));
        r.dialog.expect(QStringLiteral("/p/x.deh"));
        r.play.addToList(FileList::Patches);
        r.play.setListText(FileList::Patches, QStringLiteral("typed.deh"));
        r.play.selectDeathmatch();
        r.play.selectJoin();
        r.play.setHostPlayers(QStringLiteral("4"));
        r.play.setJoinAddress(QStringLiteral("10.0.0.2"));
        r.play.setExtratic(1);
        r.play.setDebugFile(1);
        r.play.setDup(QStringLiteral("2"));
        r.play.setPort(QStringLiteral("5030"));
        r.play.chooseSkill(4);
        break;
    case OptionWindow::SoundVideo:
        r.sound.setSound(0);
        r.sound.setSfx(0);
        r.sound.setMusic(0);
        r.sound.chooseWidthRow(3);
        r.sound.setBits(QStringLiteral("16"));
        break;
    case OptionWindow::Misc:
        for (int i = 0; i < 7; ++i) r.misc.setSwitch(i, 1);
        r.misc.setExtraCommands(QStringLiteral("+map e1m3  -nomusic"));
        break;
    case OptionWindow::GameplayFlags:
        r.flags.setAddToCommandLine(0);
        for (int i = 0; i < 23; ++i) r.flags.setFlagBox(i, 1 - r.p().DF[size_t(i)]);
        break;
    case OptionWindow::Obsolete:
        r.obsolete.setNet(QStringLiteral("1 .2"));
        r.obsolete.setPrimarySound(1);
        r.obsolete.setWavonly(1);
        r.obsolete.setHeapSize(QStringLiteral("16"));
        r.obsolete.setTransFile(QStringLiteral("\"/t/my cache.tch\""));
        r.obsolete.setNommx(1);
        r.obsolete.setNotrans(1);
        break;
    }
}

// "key=value" pairs into "Tarnwick\Settings"; a key starting with "@" goes to "Tarnwick".
void store(SettingsStore& s, const QStringList& pairs, const QString& saves)
{
    for (QString kv : pairs) {
        if (kv == QLatin1StringView("-")) continue; // a load with nothing stored
        kv.replace(QStringLiteral("$DIR"), saves);
        const QString key = kv.section(u'=', 0, 0);
        const QString value = kv.section(u'=', 1);
        if (key.startsWith(u'@'))
            s.write(QStringLiteral("Tarnwick"), key.mid(1), value);
        else
            s.write(kSettings, key, value);
    }
}

} // namespace

class TestPersistence : public QObject
{
    Q_OBJECT
private slots:
    void keysInSavingOrder();
    void roundTrip_data();
    void roundTrip();
    void loader_data();
    void loader();
    void savingDoesNotCompose();
    void saveNowLeavesTheObsoleteOptions();
    void pageWindows();
    void firstRunLayout_data();
    void firstRunLayout();
};

void TestPersistence::keysInSavingOrder()
{
    test::TempStore t;
    test::CoreRig r(t.store);
    for (OptionWindow w : kWindows) r.persistence.Set_Exp(w);
    QStringList keys;
    for (const auto& kv : t.store.entries(kSettings)) keys << kv.first;
    const QString expected =
        "1ZEXE 1ZFolder 1INI 1IWAD 1Parm 1UseDemos 1PlayDemo 1RecordDemo 1TimeDemo 1MaxDemo 1LG 1ResetLocs "
        "2Game 2Map 2Other 2Monsters 2Fast 2Respawn 2Timer 2Turbo 2PWAD 2PWADList 2DirPWAD 2Deh 2DehList "
        "2DirDEH 2SinglePlayer 2Coop 2Deathmatch 2Altdeath 2oHost 2tHost 2oJoin 2tJoin 2Extratic 2Debugfile "
        "2Dup 2Port 2Skill 3Sound 3SFX 3Music 3Width 3Height 3Bits 4Noflathack 4Noidle 4Noblit 4Nodraw 4CDROM "
        "4AVG 4Devparm 4EC DFUse DF1 DF2 DF3 DF4 DF5 DF6 DF7 DF8 DF9 DF10 DF11 DF12 DF13 DF14 DF15 DF16 DF17 "
        "DF18 DF19 DF2_1 DF2_2 DF2_3 DF2_4 2Net 3PrimarySound 3Wavonly 4Heapsize 4Transfile 4Nommx 4Notrans";
    QCOMPARE(keys.join(u' '), expected);
    // First-run values as stored: option buttons as True/False, boxes as 0/1, rows in decimal.
    const QHash<QString, QString> v = t.store.readSection(kSettings);
    QCOMPARE(v.value("1playdemo"), QStringLiteral("True"));
    QCOMPARE(v.value("1recorddemo"), QStringLiteral("False"));
    QCOMPARE(v.value("1lg"), QStringLiteral("1"));
    QCOMPARE(v.value("2map"), QStringLiteral("0"));
    QCOMPARE(v.value("2skill"), QStringLiteral("2"));
    QCOMPARE(v.value("2monsters"), QStringLiteral("1"));
    QCOMPARE(v.value("df4"), QStringLiteral("1"));
    QCOMPARE(v.value("2pwadlist"), QString());
}

void TestPersistence::roundTrip_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<QString>("command"); // after loading into a fresh program
    const QString flags = QStringLiteral(" +SET DMFLAGS 0 +SET DMFLAGS2 0");
    QTest::newRow("game options") << int(OptionWindow::GameOptions)
        << "\"C:\\Program Files\\ZDoom\\zdoom.exe\" -CONFIG z.ini -IWAD doom2.wad @p.txt -MAXDEMO 512 "
           "-LOADGAME B.ZDS -WARP 1 1 -SKILL 3" + flags;
    QTest::newRow("play options") << int(OptionWindow::PlayOptions)
        << "-WARP 13 -NOMONSTERS -TIMER 20 -TURBO 150 -FILE /w/maps/a.wad \"/w/my maps/b.wad\" -DEH /p/x.deh "
           "-DEATHMATCH -JOIN 10.0.0.2 -EXTRATIC -DEBUGFILE -DUP 2 -PORT 5030 -SKILL 5" + flags;
    QTest::newRow("sound and video") << int(OptionWindow::SoundVideo)
        << "-WARP 1 1 -SKILL 3 -NOSOUND -WIDTH 1152 -HEIGHT 864 -BITS 8" + flags;
    QTest::newRow("miscellaneous") << int(OptionWindow::Misc)
        << "-WARP 1 1 -SKILL 3 -NOFLATHACK -NOIDLE -NOBLIT -NODRAW -CDROM -AVG -DEVPARM +map e1m3  -nomusic" + flags;
    QTest::newRow("gameplay flags") << int(OptionWindow::GameplayFlags) << "-WARP 1 1 -SKILL 3";
    QTest::newRow("obsolete options") << int(OptionWindow::Obsolete)
        << "-WARP 1 1 -SKILL 3" + flags +
               " -NET 1 .2 -PRIMARYSOUND -WAVONLY -HEAPSIZE 16 -TRANSFILE \"/t/my cache.tch\" -NOMMX -NOTRANS";
}

void TestPersistence::roundTrip()
{
    QFETCH(int, window);
    QFETCH(QString, command);
    const auto w = OptionWindow(window);
    test::TempStore t;
    QTemporaryDir saves;
    makeSaves(saves.path());

    test::TempStore emptyStore;
    test::CoreRig fresh(emptyStore.store);
    fresh.persistence.Set_Imp();

    QMap<QString, QString> saved;
    {
        test::CoreRig before(t.store);
        before.persistence.Set_Imp();
        changeEverything(before, w, saves.path());
        saved = fields(before.p(), w);
        const QMap<QString, QString> defaults = fields(fresh.p(), w);
        for (auto it = saved.cbegin(); it != saved.cend(); ++it)
            if (it.key() != QLatin1StringView("optCoop") && it.key() != QLatin1StringView("optAltdeath"))
                QVERIFY2(it.value() != defaults.value(it.key()), qPrintable(it.key() + u'=' + it.value()));
        before.persistence.Set_Exp(w);
    }

    test::CoreRig after(t.store);
    after.persistence.Set_Imp();
    QCOMPARE(fields(after.p(), w), saved);
    for (OptionWindow other : kWindows)
        if (other != w) QCOMPARE(fields(after.p(), other), fields(fresh.p(), other));
    QCOMPARE(after.command(), command);
    QVERIFY(after.p().txtLMP.isEmpty()); // the demo file keeps only its history
    if (w == OptionWindow::GameplayFlags) {
        QCOMPARE(after.flags.dmflagsLabel(), QStringLiteral("DMFLAGS = 1048543"));
        QCOMPARE(after.flags.dmflags2Label(), QStringLiteral("DMFLAGS2 = 229378"));
    }
    if (w == OptionWindow::PlayOptions) {
        QCOMPARE(after.p().lstPWAD, (QStringList{"a.wad", "b.wad"}));
        QCOMPARE(after.p().DirPWAD, QStringLiteral("/w/my maps"));
        QVERIFY(after.play.joinAddressEnabled());
        QVERIFY(!after.play.hostPlayersEnabled());
        QVERIFY(!after.play.monsterOptionsEnabled());
    }
}

void TestPersistence::loader_data()
{
    QTest::addColumn<QStringList>("first");  // loaded at start-up
    QTest::addColumn<QStringList>("second"); // loaded next, in place of the first (an import)
    QTest::addColumn<QStringList>("expect");
    const QString flags = QStringLiteral(" +SET DMFLAGS 0 +SET DMFLAGS2 0");
    using L = QStringList;

    QTest::newRow("first run with an empty store") << L{} << L{}
        << L{"cmd=-WARP 1 1 -SKILL 3" + flags, "mapRow=E1M1: Hanger", "skillName=Hurt me plenty", "optSP=1",
             "optHost=1", "chkNomonsters=1", "chkSound=1", "lstPWADhid=", "Flags=0", "Flags2=0", "lvwLG=1"};
    QTest::newRow("single player needs True exactly") << L{"2Coop=True"} << L{"2SinglePlayer=true"}
        << L{"optSP=0", "optCoop=1", "hostJoinEnabled=1"};
    QTest::newRow("single player True selects and reacts") << L{"2Coop=True"} << L{"2SinglePlayer=True"}
        << L{"optSP=1", "optCoop=0", "hostJoinEnabled=0"};
    QTest::newRow("later mode key wins")
        << L{"2SinglePlayer=True", "2Coop=True", "2Deathmatch=True", "2Altdeath=True"} << L{}
        << L{"optSP=0", "optCoop=0", "optDeathmatch=0", "optAltdeath=1"};
    QTest::newRow("other option buttons take any letter case") << L{"2Deathmatch=true", "2oJoin=TRUE", "2tJoin=h"} << L{}
        << L{"optDeathmatch=1", "optJoin=1", "optHost=0", "cmd=-WARP 1 1 -DEATHMATCH -JOIN h -SKILL 3" + flags};
    QTest::newRow("False clears a button") << L{"1PlayDemo=False", "1RecordDemo=True"} << L{}
        << L{"optPlay=0", "optRecord=1"};
    QTest::newRow("map beyond the new list keeps the game's row") << L{"2Map=20"} << L{"2Game=1", "2Map=40"}
        << L{"cmbGame=1", "lstMap=20", "mapRow=21: Nirvana"};
    QTest::newRow("map row applies to the rebuilt list") << L{"2Game=4", "2Map=44"} << L{}
        << L{"mapRow=E5M9: Skein of D'Sparil", "cmd=-WARP 5 9 -SKILL 3" + flags};
    QTest::newRow("skill applies to the rebuilt names") << L{"2Game=5", "2Skill=4"} << L{}
        << L{"skillName=Titan/Pope/Archimage", "mapRow=1: Winnowing Hall"};
    QTest::newRow("Other keeps the skill names") << L{"2Game=6", "2Other=33", "2Skill=1"} << L{}
        << L{"lstMap=-1", "skillName=Hey not too rough", "cmd=-WARP 33 -SKILL 2" + flags};
    QTest::newRow("game location replaces the loaded game WAD")
        << L{"@IWADHeretic.wad=/g/heretic.wad", "1IWAD=doom.wad", "2Game=4"} << L{} << L{"txtIWAD=/g/heretic.wad"};
    QTest::newRow("empty game location keeps it") << L{"@IWADHeretic.wad=", "1IWAD=doom.wad", "2Game=4"} << L{}
        << L{"txtIWAD=doom.wad"};
    QTest::newRow("path lists are replaced, not appended")
        << L{"2PWADList=a.wad|b.wad", "2DehList=x.deh"} << L{"2PWADList=C:\\x\\c.wad"}
        << L{"lstPWADhid=C:\\x\\c.wad", "lstPWAD=c.wad", "lstDehhid=", "lstDeh="};
    QTest::newRow("quoted path list entry") << L{"2DehList=\"C:\\My Patches\\a.deh\"|b.bex"} << L{}
        << L{"lstDehhid=\"C:\\My Patches\\a.deh\"|b.bex", "lstDeh=a.deh|b.bex"};
    QTest::newRow("save row picked after the folder's scan") << L{"1ZFolder=$DIR", "1LG=3"} << L{}
        << L{"lvwLG=3", "ZDSs=1", "cmd=-LOADGAME B.ZDS -WARP 1 1 -SKILL 3" + flags};
    QTest::newRow("save row without a folder") << L{"1LG=3"} << L{} << L{"lvwLG=1", "ZDSs=-1"};
    QTest::newRow("save row beyond the list") << L{"1ZFolder=$DIR", "1LG=4"} << L{} << L{"lvwLG=1"};
    QTest::newRow("conversion failures are skipped")
        << L{"2Game=abc", "3Sound=yes", "1UseDemos=", "2Skill=9", "2Coop=maybe", "DFUse=7", "2Monsters=x",
             "1LG=two", "2Map=-5", "DF1=", "2Fast=1e9"} << L{}
        << L{"cmbGame=0", "chkSound=1", "chkDemos=0", "cmbSkill=2", "optCoop=0", "optSP=1", "chkDMFLAGS=1",
             "chkNomonsters=1", "lvwLG=1", "lstMap=0", "DF[0]=0", "chkFast=0", "cmd=-WARP 1 1 -SKILL 3" + flags};
    QTest::newRow("flag totals rebuilt from the boxes") << L{"DF4=0", "DF2_3=1"} << L{}
        << L{"Flags=1", "Flags2=2", "cmd=-WARP 1 1 -SKILL 3 +SET DMFLAGS 1 +SET DMFLAGS2 2"};
    QTest::newRow("obsolete sound key in another letter case") << L{"3primarysound=1"} << L{}
        << L{"chkPrimarySound=1", "cmd=-WARP 1 1 -SKILL 3" + flags + " -PRIMARYSOUND"};
    QTest::newRow("number boxes settle as they load")
        << L{"2tHost=12", "2Timer=2.5", "1MaxDemo=0.5", "2Turbo=300", "3Width=800x", "3Bits=16", "4Heapsize=-5"}
        << L{} << L{"txtHost=8", "txtTimer=2", "txtMaxdemo=1", "txtTurbo=256", "cmbWidth=1", "txtBITS=8", "txtHeapSize=1"};
    QTest::newRow("absent texts become empty") << L{"1ZEXE=zdoom", "4EC=-x", "2DirPWAD=/w", "2tJoin=h"} << L{"-"}
        << L{"txtEXE=", "txtEC=", "DirPWAD=", "txtJoin="};
    QTest::newRow("absent boxes keep their values") << L{"2Fast=1", "3Sound=0", "2Game=3", "2Coop=True"} << L{"-"}
        << L{"chkFast=1", "chkSound=0", "cmbGame=3", "optCoop=1"};
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
        store(t.store, second, saves.path());
        r.persistence.Set_Imp();
    }
    QVERIFY(!r.session.Rst);
    const QMap<QString, QString> got = allFields(r);
    for (const QString& e : expect) {
        const QString name = e.section(u'=', 0, 0);
        QVERIFY2(got.contains(name), qPrintable(name));
        QCOMPARE(got.value(name), e.section(u'=', 1));
    }
}

void TestPersistence::savingDoesNotCompose()
{
    test::TempStore t;
    test::CoreRig r(t.store);
    r.session.setCommandText(QStringLiteral("typed by hand"));
    r.p().chkFast = 1;
    for (OptionWindow w : kWindows) r.persistence.Set_Exp(w);
    QCOMPARE(r.command(), QStringLiteral("typed by hand"));
    QVERIFY(!r.session.Rst);
    QCOMPARE(t.store.read(kSettings, QStringLiteral("2Fast")), QStringLiteral("1"));
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
    QVERIFY(!r.persistence.storedPosition(3).has_value());

    t.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form2Visible"), QStringLiteral("False"));
    r.main.pageActivated(2);
    QVERIFY(!r.main.pageVisible(2));
    QVERIFY(r.main.showItemVisible(2));
    r.main.showPage(2);
    QCOMPARE(t.store.read(QStringLiteral("Tarnwick"), QStringLiteral("Form2Visible")), QStringLiteral("True"));
    r.main.pageActivated(2);
    QVERIFY(r.main.pageVisible(2));
    QVERIFY(!r.main.showItemVisible(2));

    t.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form3Top"), QStringLiteral("120"));
    QVERIFY(!r.persistence.storedPosition(3).has_value()); // the left edge is missing
    t.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form3Left"), QStringLiteral("40"));
    QCOMPARE(r.persistence.storedPosition(3), std::optional<QPoint>(QPoint(40, 120)));
    t.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form3Top"), QStringLiteral("abc"));
    QVERIFY(!r.persistence.storedPosition(3).has_value());

    r.misc.setExtraCommands(QStringLiteral("-x"));
    QVERIFY(!r.persistence.pagesPlaced());
    r.persistence.savePageWindow(4, false, QPoint(10, 20));
    r.persistence.savePageWindow(1, true, QPoint(0, 0));
    QVERIFY(r.persistence.pagesPlaced());
    QCOMPARE(t.store.read(QStringLiteral("Tarnwick"), QStringLiteral("Form4Visible")), QStringLiteral("False"));
    QCOMPARE(t.store.read(QStringLiteral("Tarnwick"), QStringLiteral("Form4Top")), QStringLiteral("20"));
    QCOMPARE(t.store.read(QStringLiteral("Tarnwick"), QStringLiteral("Form4Left")), QStringLiteral("10"));
    QCOMPARE(t.store.read(kSettings, QStringLiteral("4EC")), QStringLiteral("-x"));
    QVERIFY(!r.persistence.storedVisible(4));
    QVERIFY(r.persistence.storedVisible(1));
}

void TestPersistence::firstRunLayout_data()
{
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<bool>("placed");
    QTest::addColumn<int>("layout");
    QTest::newRow("wide screen") << 1280 << false << int(MainController::Layout::FourByFour);
    QTest::newRow("exactly 1024") << 1024 << false << int(MainController::Layout::FourByFour);
    QTest::newRow("narrow screen") << 800 << false << int(MainController::Layout::Cascade);
    QTest::newRow("pages placed before") << 1280 << true << int(MainController::Layout::Keep);
}

void TestPersistence::firstRunLayout()
{
    QFETCH(int, screenWidth);
    QFETCH(bool, placed);
    QFETCH(int, layout);
    test::TempStore t;
    if (placed) t.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form1Top"), QStringLiteral("0"));
    test::CoreRig r(t.store);
    QCOMPARE(int(r.main.startup(QString(), screenWidth)), layout);
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3 +SET DMFLAGS 0 +SET DMFLAGS2 0"));
    QVERIFY(!t.store.read(QStringLiteral("Tarnwick"), QStringLiteral("URLAbout")).isEmpty());
}

QTEST_GUILESS_MAIN(TestPersistence)
#include "tst_persistence.moc"
