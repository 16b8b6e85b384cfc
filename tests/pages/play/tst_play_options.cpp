#include "core_rig.h"
#include "temp_store.h"

#include "shell/keep_numeric.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <memory>

using namespace tarnwick;
using FileList = PlayOptionsController::FileList;

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

const QString kHand = QStringLiteral("typed by hand");

} // namespace

class TestPlayOptions : public QObject
{
    Q_OBJECT
private slots:
    void gameChange_data();
    void gameChange();
    void randomMap_data();
    void randomMap();
    void addFile_data();
    void addFile();
    void editList_data();
    void editList();
    void keepNumeric_data();
    void keepNumeric();
    void numberBoxes_data();
    void numberBoxes();
    void enabling_data();
    void enabling();
    void reset();
};

void TestPlayOptions::gameChange_data()
{
    QTest::addColumn<int>("fromGame");
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("fromSkill");
    QTest::addColumn<int>("toGame");
    QTest::addColumn<QString>("mapRow");
    QTest::addColumn<QString>("skillName");
    QTest::addColumn<QString>("command");
    QTest::newRow("Doom2 map 32 to Plutonia keeps map 32") << 1 << 31 << 2 << 2 << "32: Go 2 it" << "Hurt me plenty" << "-WARP 32 -SKILL 3";
    QTest::newRow("Heretic E5M9 to Doom2 falls back to the first map") << 4 << 44 << 2 << 1 << "1: Entryway" << "Hurt me plenty" << "-WARP 1 -SKILL 3";
    QTest::newRow("Doom E4M9 to Doom2 falls back to the first map") << 0 << 35 << 2 << 1 << "1: Entryway" << "Hurt me plenty" << "-WARP 1 -SKILL 3";
    QTest::newRow("Doom to Heretic keeps episode, map and level") << 0 << 22 << 3 << 4 << "E3M5: The Ophidian Lair" << "Thou art a smite-meister" << "-WARP 3 5 -SKILL 4";
    QTest::newRow("Hexen's seventh row is map 13") << 0 << 6 << 0 << 5 << "13: Shadow Wood" << "Squire/Altar boy/Apprentice" << "-WARP 13 -SKILL 1";
    QTest::newRow("Hexen to TNT keeps the row") << 5 << 30 << 4 << 3 << "31: Pharaoh" << "Nightmare!" << "-WARP 31 -SKILL 5";
    QTest::newRow("Other empties the maps, keeps the skill names") << 1 << 5 << 1 << 6 << "" << "Hey not too rough" << "-SKILL 2";
    QTest::newRow("Other back to Doom2 starts at the first map") << 6 << -1 << 4 << 1 << "1: Entryway" << "Nightmare!" << "-WARP 1 -SKILL 5";
}

void TestPlayOptions::gameChange()
{
    QFETCH(int, fromGame);
    QFETCH(int, fromRow);
    QFETCH(int, fromSkill);
    QFETCH(int, toGame);
    QFETCH(QString, mapRow);
    QFETCH(QString, skillName);
    QFETCH(QString, command);
    Page g;
    auto& r = g.r;
    r.play.chooseGame(fromGame);
    if (fromRow >= 0) r.play.chooseMap(fromRow);
    r.play.chooseSkill(fromSkill);
    r.play.chooseGame(toGame);
    QCOMPARE(r.p().selectedMapRow(), mapRow);
    QCOMPARE(r.p().cmbSkillRows.value(r.p().cmbSkill), skillName);
    QCOMPARE(r.p().cmbSkillRows.size(), 5);
    QCOMPARE(r.command(), command);
    QCOMPARE(r.play.mapControlsEnabled(), toGame != 6);
    QCOMPARE(r.play.otherMapEnabled(), toGame == 6);
    QCOMPARE(r.p().lstMapRows.isEmpty(), toGame == 6);
    QVERIFY(!r.session.Rst);
}

void TestPlayOptions::randomMap_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<float>("draw");
    QTest::addColumn<int>("row");
    QTest::newRow("0 gives the first row") << 0 << 0.0f << 0;
    QTest::newRow("0.9999 gives the last of 36") << 0 << 0.9999f << 35;
    QTest::newRow("just below 1 never gives the count") << 0 << std::nextafter(1.0f, 0.0f) << 35;
    QTest::newRow("a half of 36") << 0 << 0.5f << 18;
    QTest::newRow("last of Doom2's 32") << 1 << std::nextafter(1.0f, 0.0f) << 31;
    QTest::newRow("Hexen") << 5 << 0.2f << 6;
    QTest::newRow("Heretic") << 4 << 0.999f << 47;
}

void TestPlayOptions::randomMap()
{
    QFETCH(int, game);
    QFETCH(float, draw);
    QFETCH(int, row);
    Page g;
    g.r.play.chooseGame(game);
    g.r.play.setRandomSource([draw] { return draw; });
    g.r.session.setCommandText(kHand);
    g.r.play.randomMap();
    QCOMPARE(g.r.p().lstMap, row);
    QVERIFY(g.r.command() != kHand);
}

void TestPlayOptions::addFile_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("typed");   // $FILE: an existing "my map.wad"
    QTest::addColumn<QString>("folder");  // the remembered folder; $DIR: an existing one
    QTest::addColumn<QString>("answer");  // the dialog's answer; "-": no dialog expected
    QTest::addColumn<QString>("entry");   // the hidden list's new entry; empty: nothing added
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("newFolder");
    QTest::addColumn<QString>("initialFolder");
    QTest::addColumn<QString>("command");
    const QString maps = QStringLiteral("-WARP 1 1 -FILE %1 -SKILL 3");
    QTest::newRow("typed existing file with quotes") << 0 << "\"$FILE\"" << "/kept" << "-" << "\"$FILE\""
        << "my map.wad" << "/kept" << "" << maps.arg("\"$FILE\"");
    QTest::newRow("typed name of no file opens the dialog") << 0 << "nothere.wad" << "$DIR" << "/games/e1.wad"
        << "/games/e1.wad" << "e1.wad" << "/games" << "$DIR" << maps.arg("/games/e1.wad");
    QTest::newRow("dialog path with a blank comes quoted") << 0 << "" << "" << "/games/my maps/e1.wad"
        << "\"/games/my maps/e1.wad\"" << "e1.wad" << "/games/my maps" << "" << maps.arg("\"/games/my maps/e1.wad\"");
    QTest::newRow("remembered folder that is gone is not offered") << 0 << "" << "/no/such/folder" << "C:\\w\\a.wad"
        << "C:\\w\\a.wad" << "a.wad" << "C:\\w" << "" << maps.arg("C:\\w\\a.wad");
    QTest::newRow("patch from the dialog") << 1 << "" << "$DIR" << "C:\\My Patches\\x.bex"
        << "\"C:\\My Patches\\x.bex\"" << "x.bex" << "C:\\My Patches" << "$DIR"
        << "-WARP 1 1 -DEH \"C:\\My Patches\\x.bex\" -SKILL 3";
    QTest::newRow("cancel changes nothing") << 0 << "nothere.wad" << "/kept" << "" << "" << "" << "/kept" << "" << kHand;
    QTest::newRow("cancelled patch") << 1 << "" << "" << "" << "" << "" << "" << "" << kHand;
}

void TestPlayOptions::addFile()
{
    QFETCH(int, list);
    QFETCH(QString, typed);
    QFETCH(QString, folder);
    QFETCH(QString, answer);
    QFETCH(QString, entry);
    QFETCH(QString, shown);
    QFETCH(QString, newFolder);
    QFETCH(QString, initialFolder);
    QFETCH(QString, command);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("my map.wad"));
    QVERIFY(test::writeBytes(file, "PWAD"));
    for (QString* s : {&typed, &folder, &entry, &initialFolder, &command}) {
        s->replace(QStringLiteral("$FILE"), file);
        s->replace(QStringLiteral("$DIR"), dir.path());
    }
    const auto which = FileList(list);
    const auto& l = PlayOptionsController::info(which);
    Page g;
    auto& r = g.r;
    r.p().*l.folder = folder;
    r.play.setListText(which, typed);
    if (answer != QLatin1StringView("-")) r.dialog.expect(answer);
    r.session.setCommandText(kHand);
    QSignalSpy texts(&r.session, &LaunchSession::commandTextChanged);

    r.play.addToList(which);

    const QStringList expected = entry.isEmpty() ? QStringList() : QStringList{entry};
    QCOMPARE(r.p().*l.hidden, expected);
    QCOMPARE(r.p().*l.shown, shown.isEmpty() ? QStringList() : QStringList{shown});
    QCOMPARE(r.p().*l.folder, newFolder);
    QCOMPARE(r.p().*l.text, entry.isEmpty() ? typed : QString());
    QCOMPARE(r.command(), command);
    QCOMPARE(texts.count(), entry.isEmpty() ? 0 : 1);
    QCOMPARE(r.histories.stored(historyName(l.history)), expected);
    QCOMPARE(r.histories.shown(l.history), expected);
    QCOMPARE(r.dialog.calls.size(), answer == QLatin1StringView("-") ? 0 : 1);
    if (!r.dialog.calls.isEmpty()) {
        const auto& call = r.dialog.calls.first();
        QCOMPARE(call.kind, QStringLiteral("open"));
        QCOMPARE(call.title, list == 0 ? QStringLiteral("Choose a Map WAD File") : QStringLiteral("Choose a DeHackEd/BEX File"));
        QCOMPARE(call.filter, list == 0 ? QStringLiteral("Doom WAD File (*.wad)|*.wad|All files (*.*)|*.*")
                                        : QStringLiteral("DeHackEd/BEX Files (*.deh;*.bex)|*.deh;*.bex|DeHackEd Patch "
                                                         "(*.deh)|*.deh|BEX File (*.bex)|*.bex|All files (*.*)|*.*"));
        QCOMPARE(call.initialFolder, initialFolder);
    }
}

void TestPlayOptions::editList_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("order");
    QTest::addColumn<int>("selectedAfter");
    QTest::addColumn<bool>("recomposed");
    QTest::newRow("up from the middle") << "up" << 1 << "B A C" << 0 << true;
    QTest::newRow("down from the middle") << "down" << 1 << "A C B" << 2 << true;
    QTest::newRow("up from the last") << "up" << 2 << "A C B" << 1 << true;
    QTest::newRow("up on the first") << "up" << 0 << "A B C" << 0 << false;
    QTest::newRow("down on the last") << "down" << 2 << "A B C" << 2 << false;
    QTest::newRow("up without a selection") << "up" << -1 << "A B C" << -1 << false;
    QTest::newRow("down without a selection") << "down" << -1 << "A B C" << -1 << false;
    QTest::newRow("remove without a selection") << "remove" << -1 << "A B C" << -1 << false;
    QTest::newRow("remove the middle") << "remove" << 1 << "A C" << -1 << true;
    QTest::newRow("remove the last") << "remove" << 2 << "A B" << -1 << true;
    QTest::newRow("clear") << "clear" << 1 << "" << -1 << true;
}

void TestPlayOptions::editList()
{
    QFETCH(QString, op);
    QFETCH(int, selected);
    QFETCH(QString, order);
    QFETCH(int, selectedAfter);
    QFETCH(bool, recomposed);
    for (FileList which : {FileList::MapWads, FileList::Patches}) {
        const auto& l = PlayOptionsController::info(which);
        Page g;
        auto& r = g.r;
        r.p().*l.hidden = QStringList{"C:\\w\\A.wad", "C:\\w\\B.wad", "\"C:\\my w\\C.wad\""};
        r.p().*l.shown = QStringList{"A.wad", "B.wad", "C.wad"};
        r.play.setListText(which, QStringLiteral("box"));
        r.play.selectListEntry(which, selected);
        r.session.setCommandText(kHand);
        if (op == QLatin1StringView("up")) r.play.moveUpInList(which);
        else if (op == QLatin1StringView("down")) r.play.moveDownInList(which);
        else if (op == QLatin1StringView("remove")) r.play.removeFromList(which);
        else r.play.clearList(which);

        QStringList hidden, shown;
        for (const QString& name : order.split(u' ', Qt::SkipEmptyParts)) {
            hidden << (name == QLatin1StringView("C") ? QStringLiteral("\"C:\\my w\\C.wad\"") : "C:\\w\\" + name + ".wad");
            shown << name + ".wad";
        }
        QCOMPARE(r.p().*l.hidden, hidden);
        QCOMPARE(r.p().*l.shown, shown);
        QCOMPARE(r.p().*l.index, selectedAfter);
        QCOMPARE(r.command() != kHand, recomposed);
        if (recomposed) {
            const QString word = which == FileList::MapWads ? QStringLiteral(" -FILE") : QStringLiteral(" -DEH");
            const QString files = hidden.isEmpty() ? QString() : word + u' ' + hidden.join(u' ');
            QCOMPARE(r.command(), "-WARP 1 1" + files + " -SKILL 3");
        }
        QCOMPARE(r.p().*l.text, op == QLatin1StringView("clear") ? QString() : QStringLiteral("box"));
    }
}

void TestPlayOptions::keepNumeric_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("once");
    QTest::addColumn<QString>("settled");
    QTest::newRow("empty") << "" << "" << "";
    QTest::newRow("word") << "abc" << "1" << "1";
    QTest::newRow("negative") << "-5" << "1" << "1";
    QTest::newRow("zero") << "0" << "1" << "1";
    QTest::newRow("fraction") << "12.9" << "12" << "12";
    QTest::newRow("below one") << "0.5" << "0" << "1";
    QTest::newRow("leading zeros") << "007" << "7" << "7";
    QTest::newRow("exponent") << "1e3" << "1000" << "1000";
    QTest::newRow("blanks and sign") << " +12 " << "12" << "12";
    QTest::newRow("digits then letters") << "12a" << "1" << "1";
    QTest::newRow("infinity is no number") << "inf" << "1" << "1";
    QTest::newRow("hexadecimal is no number") << "0x10" << "1" << "1";
    QTest::newRow("overflowing exponent") << "1e999" << "1" << "1";
}

void TestPlayOptions::keepNumeric()
{
    QFETCH(QString, text);
    QFETCH(QString, once);
    QFETCH(QString, settled);
    QCOMPARE(KeepNumeric(text), once);
    QCOMPARE(settleNumeric(text), settled);
}

void TestPlayOptions::numberBoxes_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("shown");   // after each text
    QTest::addColumn<QString>("afterLeaving"); // turbo only
    QTest::addColumn<QString>("command");
    using L = QStringList;
    QTest::newRow("turbo 3, 0, 0") << "turbo" << L{"3", "30", "300"} << L{"3", "30", "256"} << "256" << "-WARP 1 1 -TURBO 256 -SKILL 3";
    QTest::newRow("turbo left at 5") << "turbo" << L{"5"} << L{"5"} << "10" << "-WARP 1 1 -TURBO 10 -SKILL 3";
    QTest::newRow("turbo left empty") << "turbo" << L{"5", ""} << L{"5", ""} << "" << "-WARP 1 1 -SKILL 3";
    QTest::newRow("turbo left at 10") << "turbo" << L{"10"} << L{"10"} << "10" << "-WARP 1 1 -TURBO 10 -SKILL 3";
    QTest::newRow("turbo below one") << "turbo" << L{"0.5"} << L{"1"} << "10" << "-WARP 1 1 -TURBO 10 -SKILL 3";
    QTest::newRow("turbo word") << "turbo" << L{"fast"} << L{"1"} << "10" << "-WARP 1 1 -TURBO 10 -SKILL 3";
    QTest::newRow("host 12") << "host" << L{"1", "12"} << L{"1", "8"} << "" << "-WARP 1 1 -SKILL 3";
    QTest::newRow("host 0") << "host" << L{"0"} << L{"1"} << "" << "-WARP 1 1 -SKILL 3";
    QTest::newRow("timer letter") << "timer" << L{"a"} << L{"1"} << "" << "-WARP 1 1 -TIMER 1 -SKILL 3";
    QTest::newRow("timer 2.5") << "timer" << L{"2.5"} << L{"2"} << "" << "-WARP 1 1 -TIMER 2 -SKILL 3";
    QTest::newRow("timer has no bound") << "timer" << L{"1e3"} << L{"1000"} << "" << "-WARP 1 1 -TIMER 1000 -SKILL 3";
}

void TestPlayOptions::numberBoxes()
{
    QFETCH(QString, box);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, shown);
    QFETCH(QString, afterLeaving);
    QFETCH(QString, command);
    Page g;
    auto& r = g.r;
    QString LaunchProfile::*field = box == QLatin1StringView("turbo") ? &LaunchProfile::txtTurbo
                                   : box == QLatin1StringView("host") ? &LaunchProfile::txtHost
                                                                      : &LaunchProfile::txtTimer;
    for (int i = 0; i < typed.size(); ++i) {
        if (field == &LaunchProfile::txtTurbo) r.play.setTurbo(typed[i]);
        else if (field == &LaunchProfile::txtHost) r.play.setHostPlayers(typed[i]);
        else r.play.setTimer(typed[i]);
        QCOMPARE(r.p().*field, shown[i]);
    }
    if (field == &LaunchProfile::txtTurbo) {
        r.play.leaveTurbo();
        QCOMPARE(r.p().txtTurbo, afterLeaving);
    }
    QCOMPARE(r.command(), command);
}

void TestPlayOptions::enabling_data()
{
    QTest::addColumn<QStringList>("clicks");
    // host/join frame, players box, address box, monster options, fast value
    QTest::addColumn<QString>("state");
    using L = QStringList;
    QTest::newRow("single player") << L{} << "0 0 0 1 0";
    QTest::newRow("deathmatch hosting") << L{"deathmatch"} << "1 1 0 1 0";
    QTest::newRow("deathmatch while join is on") << L{"join", "deathmatch"} << "1 0 1 1 0";
    QTest::newRow("then single player") << L{"join", "deathmatch", "sp"} << "0 0 0 1 0";
    QTest::newRow("co-operative, join") << L{"coop", "join"} << "1 0 1 1 0";
    QTest::newRow("altdeath, join, host") << L{"altdeath", "join", "host"} << "1 1 0 1 0";
    QTest::newRow("no monsters keeps fast") << L{"fast", "nomonsters"} << "0 0 0 0 1";
    QTest::newRow("monsters again") << L{"fast", "nomonsters", "monsters"} << "0 0 0 1 1";
}

void TestPlayOptions::enabling()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, state);
    Page g;
    auto& play = g.r.play;
    const QHash<QString, std::function<void()>> click = {
        {"sp", [&] { play.optSP_Click(); }},        {"coop", [&] { play.selectCoop(); }},
        {"deathmatch", [&] { play.selectDeathmatch(); }}, {"altdeath", [&] { play.selectAltdeath(); }},
        {"host", [&] { play.selectHost(); }},       {"join", [&] { play.selectJoin(); }},
        {"fast", [&] { play.setFast(1); }},         {"nomonsters", [&] { play.setMonsters(0); }},
        {"monsters", [&] { play.setMonsters(1); }}};
    for (const QString& c : clicks) click.value(c)();
    const QString got = QStringList{QString::number(play.hostJoinEnabled()), QString::number(play.hostPlayersEnabled()),
                                    QString::number(play.joinAddressEnabled()), QString::number(play.monsterOptionsEnabled()),
                                    QString::number(g.r.p().chkFast)}.join(u' ');
    QCOMPARE(got, state);
}

void TestPlayOptions::reset()
{
    Page g;
    auto& r = g.r;
    r.play.chooseGame(4);
    r.play.chooseMap(20);
    r.play.setOther(QStringLiteral("33"));
    r.play.setMonsters(0);
    r.play.setFast(1);
    r.play.setRespawn(1);
    r.play.setTimer(QStringLiteral("5"));
    r.play.setTurbo(QStringLiteral("150"));
    r.p().lstPWADhid = {"a.wad"};
    r.p().lstPWAD = {"a.wad"};
    r.p().lstDehhid = {"b.deh"};
    r.p().lstDeh = {"b.deh"};
    r.p().DirPWAD = QStringLiteral("/w");
    r.play.setListText(FileList::MapWads, QStringLiteral("x.wad"));
    r.play.setListText(FileList::Patches, QStringLiteral("y.deh"));
    r.play.selectAltdeath();
    r.play.selectJoin();
    r.play.setHostPlayers(QStringLiteral("4"));
    r.play.setJoinAddress(QStringLiteral("h"));
    r.play.setExtratic(1);
    r.play.setDebugFile(1);
    r.play.setDup(QStringLiteral("3"));
    r.play.setPort(QStringLiteral("1"));
    r.play.chooseSkill(0);

    r.play.reset();
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3"));
    QCOMPARE(r.p().cmbSkillRows.value(r.p().cmbSkill), QStringLiteral("Hurt me plenty"));
    QCOMPARE(r.p().selectedMapRow(), QStringLiteral("E1M1: Hanger"));
    QVERIFY(r.p().optSP && r.p().optHost && !r.p().optAltdeath && !r.p().optJoin);
    QVERIFY(r.play.monsterOptionsEnabled());
    for (const QString* s : {&r.p().txtTimer, &r.p().txtTurbo, &r.p().txtPWAD, &r.p().txtDeh, &r.p().txtHost,
                             &r.p().txtJoin, &r.p().txtDUP, &r.p().txtPORT})
        QVERIFY(s->isEmpty());
    QVERIFY(r.p().lstPWAD.isEmpty() && r.p().lstPWADhid.isEmpty() && r.p().lstDeh.isEmpty() && r.p().lstDehhid.isEmpty());
    QCOMPARE(r.p().txtOther, QStringLiteral("33"));
    QCOMPARE(r.p().DirPWAD, QStringLiteral("/w"));
    QVERIFY(!r.session.Rst);
}

QTEST_GUILESS_MAIN(TestPlayOptions)
#include "tst_play_options.moc"
