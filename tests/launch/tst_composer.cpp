#include "launch/composer.h"
#include "launch/launch_session.h"
#include "pages/play/game_catalog.h"

#include <QTest>

#include <functional>

using namespace tarnwick;
using Edit = std::function<void(LaunchProfile&)>;
Q_DECLARE_METATYPE(Edit)

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

void chooseGame(LaunchProfile& p, int game, int row)
{
    p.cmbGame = game;
    p.lstMapRows = catalog::mapRows(game);
    p.lstMap = row;
}

} // namespace

class TestComposer : public QObject
{
    Q_OBJECT
private slots:
    void composes_data();
    void composes();
    void commandBoxIsOneLine();
};

// Each profile's command line. Games, maps and the flag words as the loader sets them:
// tst_persistence (loader, roundTrip).
void TestComposer::composes_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("expected");
    using P = LaunchProfile;
    auto row = [](const char* name, Edit edit, const char* expected) {
        QTest::newRow(name) << edit << QString::fromUtf8(expected);
    };

    row("a blank is not an empty field", [](P& p) { p.txtINI = " "; }, "zdoom -CONFIG   -WARP 1 1 -SKILL 3");

    row("time demo", [](P& p) { p.chkDemos = 1; p.txtLMP = "d"; p.chkTimedemo = 1; },
        "zdoom -TIMEDEMO d -WARP 1 1 -SKILL 3");
    row("record with max demo, time demo ignored", [](P& p) {
        p.chkDemos = 1; p.optPlay = false; p.optRecord = true; p.txtLMP = "new"; p.txtMaxdemo = "512"; p.chkTimedemo = 1;
    }, "zdoom -RECORD new -MAXDEMO 512 -WARP 1 1 -SKILL 3");
    row("record without a file keeps max demo",
        [](P& p) { p.chkDemos = 1; p.optPlay = false; p.optRecord = true; p.txtMaxdemo = "512"; },
        "zdoom -MAXDEMO 512 -WARP 1 1 -SKILL 3");

    // The port opens the save by the name given; only Windows ignores letter case.
#ifdef Q_OS_WIN
    const char* chosenSave = "zdoom -LOADGAME ZDOOMSV2.ZDS -WARP 1 1 -SKILL 3";
    const char* blankSave = "zdoom -LOADGAME MY SAVE.ZDS -WARP 1 1 -SKILL 3";
#else
    const char* chosenSave = "zdoom -LOADGAME ZDoomSv2.Zds -WARP 1 1 -SKILL 3";
    const char* blankSave = "zdoom -LOADGAME \"my save.zds\" -WARP 1 1 -SKILL 3"; // one argument, as Run splits the box
#endif
    row("save name as on disk",
        [](P& p) { p.ZDSsFiles = {"zdoomsv1.zds", "ZDoomSv2.Zds"}; p.lvwLG = 3; p.ZDSs = 1; }, chosenSave);
    row("save name with a blank",
        [](P& p) { p.ZDSsFiles = {"my save.zds"}; p.lvwLG = 2; p.ZDSs = 0; }, blankSave);

    row("Heretic E5M9, Other's text ignored", [](P& p) { chooseGame(p, 4, 44); p.txtOther = "33"; },
        "zdoom -WARP 5 9 -SKILL 3");
    row("no selected map row", [](P& p) { p.lstMap = -1; }, "zdoom -SKILL 3");
    row("map row beyond the list", [](P& p) { p.lstMap = 36; }, "zdoom -SKILL 3");

    row("no monsters and no sound win over what they hold", [](P& p) {
        p.chkNomonsters = p.chkSound = p.chkSFX = p.chkMusic = 0; p.chkFast = p.chkRespawn = 1; p.cmbSkill = -1;
    }, "zdoom -WARP 1 1 -NOMONSTERS -SKILL 0 -NOSOUND");
    row("grayed boxes add nothing", [](P& p) {
        p.chkNomonsters = 2; p.chkFast = 1; p.chkSound = 2; p.chkSFX = 0; p.chkAVG = 2; p.chkDMFLAGS = 2; p.Flags = 5;
        p.chkDemos = 2; p.txtLMP = "d";
    }, "zdoom -WARP 1 1 -SKILL 3");
    row("files and patches in list order",
        [](P& p) { p.lstPWADhid = {"C:\\a.wad", "C:\\b.wad", "C:\\a.wad"}; p.lstDehhid = {"x.deh", "\"C:\\My P\\y.bex\""}; },
        "zdoom -WARP 1 1 -FILE C:\\a.wad C:\\b.wad C:\\a.wad -DEH x.deh \"C:\\My P\\y.bex\" -SKILL 3");

    row("deathmatch host", [](P& p) { p.optSP = false; p.optDeathmatch = true; p.txtHost = "4"; p.txtJoin = "h"; },
        "zdoom -WARP 1 1 -DEATHMATCH -HOST 4 -SKILL 3");
    row("altdeath join", [](P& p) {
        p.optSP = false; p.optAltdeath = true; p.optHost = false; p.optJoin = true; p.txtHost = "4"; p.txtJoin = "h";
    }, "zdoom -WARP 1 1 -ALTDEATH -JOIN h -SKILL 3");
    row("single player ignores host and join", [](P& p) { p.optHost = false; p.optJoin = true; p.txtJoin = "h"; },
        "zdoom -WARP 1 1 -SKILL 3");

    row("miscellaneous switches in page order", [](P& p) {
        p.chkDEVPARM = p.chkAVG = p.chkCDROM = p.chkNODRAW = p.chkNOBLIT = p.chkNOIDLE = p.chkNOFLATHACK = 1;
    }, "zdoom -WARP 1 1 -SKILL 3 -NOFLATHACK -NOIDLE -NOBLIT -NODRAW -CDROM -AVG -DEVPARM");
    row("extra commands: trailing blanks go, inner blanks stay", [](P& p) { p.txtEC = "+map e1m3   -nomusic   "; },
        "zdoom -WARP 1 1 -SKILL 3 +map e1m3   -nomusic");
    row("tabs are not trimmed", [](P& p) { p.txtEXE = "\tzdoom"; p.txtEC = "-x\t"; }, "\tzdoom -WARP 1 1 -SKILL 3 -x\t");
    row("obsolete options after the flag words", [](P& p) {
        p.txtNET = "1 .2"; p.chkPrimarySound = p.chkWavonly = p.chkNOMMX = p.chkNOTRANS = p.chkDMFLAGS = 1;
        p.txtHeapSize = "16"; p.txtTransFile = "t.tch"; p.txtEC = "-ec"; p.Flags = 1048543; p.Flags2 = -2;
    }, "zdoom -WARP 1 1 -SKILL 3 -ec +SET DMFLAGS 1048543 +SET DMFLAGS2 -2 -NET 1 .2 -PRIMARYSOUND -WAVONLY "
       "-HEAPSIZE 16 -TRANSFILE t.tch -NOMMX -NOTRANS");
    row("every field at once", [](P& p) {
        p.txtEXE = "\"C:\\Games\\zdoom.exe\""; p.txtINI = "z.ini"; p.txtIWAD = "doom2.wad"; p.txtParm = "p.txt";
        p.chkDemos = 1; p.txtLMP = "d.lmp"; p.txtMaxdemo = "9"; p.ZDSsFiles = {"a.zds", "s.zds"}; p.lvwLG = 3;
        p.ZDSs = 1; chooseGame(p, 1, 6); p.chkFast = p.chkRespawn = 1; p.txtTimer = "5"; p.txtTurbo = "120"; p.lstPWADhid = {"a.wad"};
        p.lstDehhid = {"b.deh"}; p.optSP = false; p.optCoop = true; p.txtHost = "2"; p.chkExtratic = p.chkDEBUGFILE = 1;
        p.txtDUP = "3"; p.txtPORT = "5029"; p.cmbSkill = 3; p.chkSFX = p.chkMusic = 0; p.cmbWidth = "800";
        p.cmbHeight = "600"; p.txtBITS = "8"; p.chkNOIDLE = 1; p.txtEC = "+vid_fps 1"; p.chkDMFLAGS = 1; p.Flags = 4;
        p.txtHeapSize = "32";
    }, "\"C:\\Games\\zdoom.exe\" -CONFIG z.ini -IWAD doom2.wad @p.txt -PLAYDEMO d.lmp -LOADGAME s.zds -WARP 7 -FAST "
       "-RESPAWN -TIMER 5 -TURBO 120 -FILE a.wad -DEH b.deh -HOST 2 -EXTRATIC -DEBUGFILE -DUP 3 -PORT 5029 -SKILL 4 -NOSFX "
       "-NOMUSIC -WIDTH 800 -HEIGHT 600 -BITS 8 -NOIDLE +vid_fps 1 +SET DMFLAGS 4 +SET DMFLAGS2 0 -HEAPSIZE 32");
}

void TestComposer::composes()
{
    QFETCH(Edit, edit);
    QFETCH(QString, expected);
    LaunchProfile p = baseProfile();
    edit(p);
    QCOMPARE(composeCommandLine(p), expected);
}

// Each CR LF pair becomes one blank, in a typed line (a pasted one: the main window's run
// test) and in a composed one (extra commands may carry the pair); a bare line feed or
// return stays. While Rst is set nothing composes.
void TestComposer::commandBoxIsOneLine()
{
    const QPair<QString, QString> texts[] = {{"a\r\n\r\nb", "a  b"}, {"a\nb\r", "a\nb\r"}, {"a\r\r\nb", "a\r b"}};
    for (const auto& [text, expected] : texts) {
        LaunchSession hand;
        hand.setCommandText(text);
        QCOMPARE(hand.commandText(), expected);
    }
    LaunchSession s;
    s.profile() = baseProfile();
    s.profile().txtEC = QStringLiteral("-x\r\n-y");
    s.setCommandText(QStringLiteral("typed by hand"));
    s.Rst = true;
    s.MainProc();
    QCOMPARE(s.commandText(), QStringLiteral("typed by hand"));
    s.Rst = false;
    s.MainProc();
    QCOMPARE(s.commandText(), QStringLiteral("zdoom -WARP 1 1 -SKILL 3 -x -y"));
}

QTEST_GUILESS_MAIN(TestComposer)
#include "tst_composer.moc"
