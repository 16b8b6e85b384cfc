#include "launch/composer.h"
#include "launch/launch_session.h"
#include "pages/play/game_catalog.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;

namespace {

// A profile as the first start leaves it: game 0 on "E1M1: Hanger", "Hurt me plenty",
// every box at its first value. The executable is "zdoom" and the flag words are off so
// that each case shows only what it is about.
LaunchProfile baseProfile()
{
    LaunchProfile p;
    p.txtEXE = QStringLiteral("zdoom");
    p.lstMapRows = catalog::mapRows(0);
    p.lstMap = 0;
    p.chkDMFLAGS = 0;
    return p;
}

// Applies "field=value" edits. "game=N" chooses a game with its catalog rows and row 0;
// list fields take "|"-separated entries.
void apply(LaunchProfile& p, const QString& edit)
{
    using P = LaunchProfile;
    static const QHash<QString, QString P::*> texts = {
        {"txtEXE", &P::txtEXE},     {"txtINI", &P::txtINI},       {"txtIWAD", &P::txtIWAD},
        {"txtParm", &P::txtParm},   {"txtLMP", &P::txtLMP},       {"txtMaxdemo", &P::txtMaxdemo},
        {"txtOther", &P::txtOther}, {"txtTimer", &P::txtTimer},   {"txtTurbo", &P::txtTurbo},
        {"txtHost", &P::txtHost},   {"txtJoin", &P::txtJoin},     {"txtDUP", &P::txtDUP},
        {"txtPORT", &P::txtPORT},   {"cmbWidth", &P::cmbWidth},   {"cmbHeight", &P::cmbHeight},
        {"txtBITS", &P::txtBITS},   {"txtEC", &P::txtEC},         {"txtNET", &P::txtNET},
        {"txtHeapSize", &P::txtHeapSize}, {"txtTransFile", &P::txtTransFile}};
    static const QHash<QString, int P::*> ints = {
        {"chkDemos", &P::chkDemos},       {"chkTimedemo", &P::chkTimedemo}, {"lvwLG", &P::lvwLG},
        {"ZDSs", &P::ZDSs},               {"cmbGame", &P::cmbGame},         {"lstMap", &P::lstMap},
        {"chkNomonsters", &P::chkNomonsters}, {"chkFast", &P::chkFast},     {"chkRespawn", &P::chkRespawn},
        {"chkExtratic", &P::chkExtratic}, {"chkDEBUGFILE", &P::chkDEBUGFILE}, {"cmbSkill", &P::cmbSkill},
        {"chkSound", &P::chkSound},       {"chkSFX", &P::chkSFX},           {"chkMusic", &P::chkMusic},
        {"chkNOFLATHACK", &P::chkNOFLATHACK}, {"chkNOIDLE", &P::chkNOIDLE}, {"chkNOBLIT", &P::chkNOBLIT},
        {"chkNODRAW", &P::chkNODRAW},     {"chkCDROM", &P::chkCDROM},       {"chkAVG", &P::chkAVG},
        {"chkDEVPARM", &P::chkDEVPARM},   {"chkDMFLAGS", &P::chkDMFLAGS},   {"Flags", &P::Flags},
        {"Flags2", &P::Flags2},           {"chkPrimarySound", &P::chkPrimarySound},
        {"chkWavonly", &P::chkWavonly},   {"chkNOMMX", &P::chkNOMMX},       {"chkNOTRANS", &P::chkNOTRANS}};
    static const QHash<QString, bool P::*> options = {
        {"optPlay", &P::optPlay}, {"optRecord", &P::optRecord}, {"optSP", &P::optSP},
        {"optCoop", &P::optCoop}, {"optDeathmatch", &P::optDeathmatch},
        {"optAltdeath", &P::optAltdeath}, {"optHost", &P::optHost}, {"optJoin", &P::optJoin}};
    static const QHash<QString, QStringList P::*> lists = {
        {"lstPWADhid", &P::lstPWADhid}, {"lstDehhid", &P::lstDehhid},
        {"ZDSsFiles", &P::ZDSsFiles},   {"lstMapRows", &P::lstMapRows}};

    const qsizetype eq = edit.indexOf(u'=');
    const QString name = edit.left(eq);
    const QString value = edit.mid(eq + 1);
    if (name == QLatin1StringView("game")) {
        p.cmbGame = value.toInt();
        p.lstMapRows = catalog::mapRows(p.cmbGame);
        p.lstMap = p.lstMapRows.isEmpty() ? -1 : 0;
    } else if (texts.contains(name)) {
        p.*texts.value(name) = value;
    } else if (ints.contains(name)) {
        p.*ints.value(name) = value.toInt();
    } else if (options.contains(name)) {
        p.*options.value(name) = value == QLatin1StringView("1");
    } else if (lists.contains(name)) {
        p.*lists.value(name) = value.split(u'|');
    } else {
        QFAIL(qPrintable(QStringLiteral("unknown field in test table: ") + name));
    }
}

} // namespace

class TestComposer : public QObject
{
    Q_OBJECT
private slots:
    void composes_data();
    void composes();
    void holdKeepsTheCommandBox();
    void commandBoxIsOneLine_data();
    void commandBoxIsOneLine();
};

void TestComposer::composes_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("expected");
    auto row = [](const char* name, QStringList edits, const char* expected) {
        QTest::newRow(name) << edits << QString::fromUtf8(expected);
    };

    row("first run", {}, "zdoom -WARP 1 1 -SKILL 3");
    row("first run with the flag words", {"chkDMFLAGS=1"},
        "zdoom -WARP 1 1 -SKILL 3 +SET DMFLAGS 0 +SET DMFLAGS2 0");
    row("first run without an executable", {"txtEXE=", "chkDMFLAGS=1"},
        "-WARP 1 1 -SKILL 3 +SET DMFLAGS 0 +SET DMFLAGS2 0");
    row("config, game WAD and response file", {"txtINI=my.ini", "txtIWAD=doom.wad", "txtParm=args.txt"},
        "zdoom -CONFIG my.ini -IWAD doom.wad @args.txt -WARP 1 1 -SKILL 3");
    row("quoted path goes in as typed", {"txtIWAD=\"C:\\My Games\\doom.wad\""},
        "zdoom -IWAD \"C:\\My Games\\doom.wad\" -WARP 1 1 -SKILL 3");
    row("a blank is not an empty field", {"txtINI= "}, "zdoom -CONFIG   -WARP 1 1 -SKILL 3");

    row("demos off ignore the demo file", {"txtLMP=demo1", "chkTimedemo=1"}, "zdoom -WARP 1 1 -SKILL 3");
    row("grayed demo box is not on", {"chkDemos=2", "txtLMP=demo1"}, "zdoom -WARP 1 1 -SKILL 3");
    row("play demo", {"chkDemos=1", "txtLMP=demo1"}, "zdoom -PLAYDEMO demo1 -WARP 1 1 -SKILL 3");
    row("time demo", {"chkDemos=1", "txtLMP=demo1", "chkTimedemo=1"},
        "zdoom -TIMEDEMO demo1 -WARP 1 1 -SKILL 3");
    row("playing ignores max demo", {"chkDemos=1", "txtMaxdemo=512"}, "zdoom -WARP 1 1 -SKILL 3");
    row("record with max demo", {"chkDemos=1", "optPlay=0", "optRecord=1", "txtLMP=new", "txtMaxdemo=512", "chkTimedemo=1"},
        "zdoom -RECORD new -MAXDEMO 512 -WARP 1 1 -SKILL 3");
    row("record without a file keeps max demo", {"chkDemos=1", "optPlay=0", "optRecord=1", "txtMaxdemo=512"},
        "zdoom -MAXDEMO 512 -WARP 1 1 -SKILL 3");

    row("save game name upper-cased", {"ZDSsFiles=a.zds|Save07.zds", "lvwLG=3", "ZDSs=1"},
        "zdoom -LOADGAME SAVE07.ZDS -WARP 1 1 -SKILL 3");
    row("first save row", {"ZDSsFiles=x.zds", "lvwLG=2", "ZDSs=0"}, "zdoom -LOADGAME X.ZDS -WARP 1 1 -SKILL 3");

    row("Doom E4M2", {"lstMapRows=E4M2: Perfect Hatred", "lstMap=0"}, "zdoom -WARP 4 2 -SKILL 3");
    row("Doom E3M9 from the catalog", {"lstMap=26"}, "zdoom -WARP 3 9 -SKILL 3");
    row("Heretic E5M9", {"game=4", "lstMap=44"}, "zdoom -WARP 5 9 -SKILL 3");
    row("Doom2 first map", {"game=1"}, "zdoom -WARP 1 -SKILL 3");
    row("Plutonia row 31", {"game=2", "lstMap=31"}, "zdoom -WARP 32 -SKILL 3");
    row("TNT row 9", {"game=3", "lstMap=9"}, "zdoom -WARP 10 -SKILL 3");
    row("Hexen Dark Crucible", {"cmbGame=5", "lstMapRows=40: Dark Crucible", "lstMap=0"},
        "zdoom -WARP 40 -SKILL 3");
    row("Hexen seventh row is Shadow Wood", {"game=5", "lstMap=6"}, "zdoom -WARP 13 -SKILL 3");
    row("Other with a map", {"game=6", "txtOther=33"}, "zdoom -WARP 33 -SKILL 3");
    row("Other without a map", {"game=6"}, "zdoom -SKILL 3");
    row("Other's text is ignored for Doom", {"txtOther=33"}, "zdoom -WARP 1 1 -SKILL 3");
    row("no selected map row", {"lstMap=-1"}, "zdoom -SKILL 3");
    row("no selected map row in Hexen", {"game=5", "lstMap=-1"}, "zdoom -SKILL 3");
    row("map row beyond the list", {"lstMap=36"}, "zdoom -SKILL 3");
    row("no game selected", {"cmbGame=-1"}, "zdoom -SKILL 3");

    row("no monsters wins over fast and respawn", {"chkNomonsters=0", "chkFast=1", "chkRespawn=1"},
        "zdoom -WARP 1 1 -NOMONSTERS -SKILL 3");
    row("fast and respawning", {"chkFast=1", "chkRespawn=1"}, "zdoom -WARP 1 1 -FAST -RESPAWN -SKILL 3");
    row("grayed boxes add nothing", {"chkNomonsters=2", "chkFast=1", "chkSound=2", "chkSFX=0", "chkAVG=2"},
        "zdoom -WARP 1 1 -SKILL 3");
    row("timer and turbo", {"txtTimer=20", "txtTurbo=150"}, "zdoom -WARP 1 1 -TIMER 20 -TURBO 150 -SKILL 3");
    row("files and patches in list order",
        {"lstPWADhid=C:\\a.wad|C:\\b.wad|C:\\a.wad", "lstDehhid=x.deh|\"C:\\My Patches\\y.bex\""},
        "zdoom -WARP 1 1 -FILE C:\\a.wad C:\\b.wad C:\\a.wad -DEH x.deh \"C:\\My Patches\\y.bex\" -SKILL 3");

    row("deathmatch host", {"optSP=0", "optDeathmatch=1", "txtHost=4", "txtJoin=10.0.0.2"},
        "zdoom -WARP 1 1 -DEATHMATCH -HOST 4 -SKILL 3");
    row("altdeath join", {"optSP=0", "optAltdeath=1", "optHost=0", "optJoin=1", "txtHost=4", "txtJoin=10.0.0.2"},
        "zdoom -WARP 1 1 -ALTDEATH -JOIN 10.0.0.2 -SKILL 3");
    row("co-operative host without players", {"optSP=0", "optCoop=1"}, "zdoom -WARP 1 1 -SKILL 3");
    row("co-operative join", {"optSP=0", "optCoop=1", "optHost=0", "optJoin=1", "txtJoin=host.example"},
        "zdoom -WARP 1 1 -JOIN host.example -SKILL 3");
    row("single player ignores host and join", {"optHost=0", "optJoin=1", "txtJoin=10.0.0.2", "txtHost=4"},
        "zdoom -WARP 1 1 -SKILL 3");
    row("network switches in single player", {"chkExtratic=1", "chkDEBUGFILE=1", "txtDUP=2", "txtPORT=5030"},
        "zdoom -WARP 1 1 -EXTRATIC -DEBUGFILE -DUP 2 -PORT 5030 -SKILL 3");

    row("nightmare", {"cmbSkill=4"}, "zdoom -WARP 1 1 -SKILL 5");
    row("no skill selected", {"cmbSkill=-1"}, "zdoom -WARP 1 1 -SKILL 0");
    row("no sound wins over effects and music", {"chkSound=0", "chkSFX=0", "chkMusic=0"},
        "zdoom -WARP 1 1 -SKILL 3 -NOSOUND");
    row("no effects, no music", {"chkSFX=0", "chkMusic=0"}, "zdoom -WARP 1 1 -SKILL 3 -NOSFX -NOMUSIC");
    row("video", {"cmbWidth=1024", "cmbHeight=768", "txtBITS=8"},
        "zdoom -WARP 1 1 -SKILL 3 -WIDTH 1024 -HEIGHT 768 -BITS 8");
    row("miscellaneous switches in page order",
        {"chkDEVPARM=1", "chkAVG=1", "chkCDROM=1", "chkNODRAW=1", "chkNOBLIT=1", "chkNOIDLE=1", "chkNOFLATHACK=1"},
        "zdoom -WARP 1 1 -SKILL 3 -NOFLATHACK -NOIDLE -NOBLIT -NODRAW -CDROM -AVG -DEVPARM");
    row("extra commands: trailing blanks go, inner blanks stay", {"txtEC=+map e1m3   -nomusic   "},
        "zdoom -WARP 1 1 -SKILL 3 +map e1m3   -nomusic");
    row("tabs are not trimmed", {"txtEXE=\tzdoom", "txtEC=-x\t"}, "\tzdoom -WARP 1 1 -SKILL 3 -x\t");
    row("leading blanks of the executable go", {"txtEXE=   zdoom"}, "zdoom -WARP 1 1 -SKILL 3");
    row("flag words signed", {"chkDMFLAGS=1", "Flags=1048543", "Flags2=-2"},
        "zdoom -WARP 1 1 -SKILL 3 +SET DMFLAGS 1048543 +SET DMFLAGS2 -2");
    row("grayed flag box adds no words", {"chkDMFLAGS=2", "Flags=5"}, "zdoom -WARP 1 1 -SKILL 3");
    row("obsolete options after the flag words",
        {"txtNET=1 .2", "chkPrimarySound=1", "chkWavonly=1", "txtHeapSize=16", "txtTransFile=t.tch",
         "chkNOMMX=1", "chkNOTRANS=1", "chkDMFLAGS=1", "txtEC=-ec"},
        "zdoom -WARP 1 1 -SKILL 3 -ec +SET DMFLAGS 0 +SET DMFLAGS2 0 -NET 1 .2 -PRIMARYSOUND -WAVONLY "
        "-HEAPSIZE 16 -TRANSFILE t.tch -NOMMX -NOTRANS");
    row("every field at once",
        {"txtEXE=\"C:\\Games\\ZDoom\\zdoom.exe\"", "txtINI=z.ini", "txtIWAD=doom2.wad", "txtParm=p.txt",
         "chkDemos=1", "txtLMP=d.lmp", "ZDSsFiles=s.zds", "lvwLG=2", "ZDSs=0", "game=1", "lstMap=6",
         "chkFast=1", "txtTimer=5", "txtTurbo=120", "lstPWADhid=a.wad", "lstDehhid=b.deh", "optSP=0",
         "optCoop=1", "txtHost=2", "chkExtratic=1", "txtPORT=5029", "cmbSkill=3", "chkMusic=0",
         "cmbWidth=800", "cmbHeight=600", "chkNOIDLE=1", "txtEC=+vid_fps 1", "chkDMFLAGS=1", "Flags=4",
         "txtHeapSize=32"},
        "\"C:\\Games\\ZDoom\\zdoom.exe\" -CONFIG z.ini -IWAD doom2.wad @p.txt -PLAYDEMO d.lmp -LOADGAME S.ZDS "
        "-WARP 7 -FAST -TIMER 5 -TURBO 120 -FILE a.wad -DEH b.deh -HOST 2 -EXTRATIC -PORT 5029 -SKILL 4 "
        "-NOMUSIC -WIDTH 800 -HEIGHT 600 -NOIDLE +vid_fps 1 +SET DMFLAGS 4 +SET DMFLAGS2 0 -HEAPSIZE 32");
}

void TestComposer::composes()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, expected);
    LaunchProfile p = baseProfile();
    for (const QString& e : edits) apply(p, e);
    QCOMPARE(composeCommandLine(p), expected);
}

void TestComposer::holdKeepsTheCommandBox()
{
    LaunchSession s;
    s.profile() = baseProfile();
    QSignalSpy texts(&s, &LaunchSession::commandTextChanged);
    s.MainProc();
    QCOMPARE(s.commandText(), QStringLiteral("zdoom -WARP 1 1 -SKILL 3"));
    QCOMPARE(texts.count(), 1);

    s.setCommandText(QStringLiteral("zdoom -warp 9 9 typed by hand"));
    s.Rst = true;
    s.profile().chkFast = 1;
    for (int i = 0; i < 3; ++i) s.MainProc();
    QCOMPARE(s.commandText(), QStringLiteral("zdoom -warp 9 9 typed by hand"));
    QCOMPARE(texts.count(), 2);

    s.Rst = false;
    s.MainProc();
    QCOMPARE(s.commandText(), QStringLiteral("zdoom -WARP 1 1 -FAST -SKILL 3"));
    QCOMPARE(texts.last().first().toString(), s.commandText());
}

void TestComposer::commandBoxIsOneLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("pasted lines") << "zdoom\r\n-FAST\r\n-NOSOUND" << "zdoom -FAST -NOSOUND";
    QTest::newRow("empty line between") << "a\r\n\r\nb" << "a  b";
    QTest::newRow("bare line feed stays") << "a\nb" << "a\nb";
    QTest::newRow("bare return stays") << "a\rb\r" << "a\rb\r";
    QTest::newRow("return before a pair") << "a\r\r\nb" << "a\r b";
    QTest::newRow("trailing pair") << "zdoom -FAST\r\n" << "zdoom -FAST ";
}

void TestComposer::commandBoxIsOneLine()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    LaunchSession hand;
    hand.setCommandText(text);
    QCOMPARE(hand.commandText(), expected);

    // The same rule holds for a composed line: extra commands may carry the pair.
    LaunchSession composed;
    composed.profile() = baseProfile();
    composed.profile().txtEXE.clear();
    composed.profile().txtEC = text;
    composed.MainProc();
    QCOMPARE(composed.commandText(), QStringLiteral("-WARP 1 1 -SKILL 3 ") + expected);
}

QTEST_GUILESS_MAIN(TestComposer)
#include "tst_composer.moc"
