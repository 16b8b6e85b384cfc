#include "core_rig.h"
#include "temp_store.h"

#include "shell/keep_numeric.h"

#include <QTest>

#include <cmath>

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

// From one game, map row and skill row to another game.
struct GameChange
{
    int fromGame, fromRow, fromSkill, toGame;
    QString mapRow, skillName, command;
};

// Adding to a file list. $FILE: an existing "my map.wad"; $DIR: an existing folder.
struct AddFile
{
    int list;
    QString typed, folder; // the box's text and the remembered folder
    QString answer;        // the dialog's answer; "-": no dialog expected
    QString entry, shown;  // the new entry of the hidden and the shown list; empty: nothing added
    QString newFolder, initialFolder;
};

} // namespace

Q_DECLARE_METATYPE(GameChange)
Q_DECLARE_METATYPE(AddFile)

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
    QTest::addColumn<GameChange>("c");
    QTest::newRow("Doom2 map 32 to Plutonia keeps map 32")
        << GameChange{1, 31, 2, 2, "32: Go 2 it", "Hurt me plenty", "-WARP 32 -SKILL 3"};
    QTest::newRow("Heretic E5M9 to Doom2 falls back to the first map")
        << GameChange{4, 44, 2, 1, "1: Entryway", "Hurt me plenty", "-WARP 1 -SKILL 3"};
    QTest::newRow("Doom to Heretic keeps episode, map and level")
        << GameChange{0, 22, 3, 4, "E3M5: The Ophidian Lair", "Thou art a smite-meister", "-WARP 3 5 -SKILL 4"};
    QTest::newRow("Hexen's seventh row is map 13")
        << GameChange{0, 6, 0, 5, "13: Shadow Wood", "Squire/Altar boy/Apprentice", "-WARP 13 -SKILL 1"};
    QTest::newRow("Hexen to TNT keeps the row") << GameChange{5, 30, 4, 3, "31: Pharaoh", "Nightmare!", "-WARP 31 -SKILL 5"};
    QTest::newRow("Other empties the maps, keeps the skill names")
        << GameChange{1, 5, 1, 6, "", "Hey not too rough", "-SKILL 2"};
    QTest::newRow("Other back to Doom2 starts at the first map")
        << GameChange{6, -1, 4, 1, "1: Entryway", "Nightmare!", "-WARP 1 -SKILL 5"};
}

void TestPlayOptions::gameChange()
{
    QFETCH(GameChange, c);
    Page g;
    auto& r = g.r;
    r.play.chooseGame(c.fromGame);
    if (c.fromRow >= 0) r.play.chooseMap(c.fromRow);
    r.play.chooseSkill(c.fromSkill);
    r.play.chooseGame(c.toGame);
    QCOMPARE(r.p().selectedMapRow(), c.mapRow);
    QCOMPARE(r.p().cmbSkillRows.value(r.p().cmbSkill), c.skillName);
    QCOMPARE(r.command(), c.command);
    QCOMPARE(r.play.otherMapEnabled(), c.toGame == 6);
}

void TestPlayOptions::randomMap_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<float>("draw");
    QTest::addColumn<int>("row");
    QTest::newRow("0 gives the first row") << 0 << 0.0f << 0;
    QTest::newRow("just below 1 never gives the count") << 0 << std::nextafter(1.0f, 0.0f) << 35;
    QTest::newRow("Hexen's 31 rows") << 5 << 0.2f << 6;
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
    QTest::addColumn<AddFile>("c");
    QTest::newRow("typed existing file with quotes")
        << AddFile{0, "\"$FILE\"", "/kept", "-", "\"$FILE\"", "my map.wad", "/kept", ""};
    QTest::newRow("typed name of no file opens the dialog in the remembered folder")
        << AddFile{0, "nothere.wad", "$DIR", "/games/e1.wad", "/games/e1.wad", "e1.wad", "/games", "$DIR"};
    QTest::newRow("dialog path with a blank comes quoted")
        << AddFile{0, "", "", "/games/my maps/e1.wad", "\"/games/my maps/e1.wad\"", "e1.wad", "/games/my maps", ""};
    QTest::newRow("remembered folder that is gone is not offered")
        << AddFile{0, "", "/no/such/folder", "C:\\w\\a.wad", "C:\\w\\a.wad", "a.wad", "C:\\w", ""};
    QTest::newRow("patch from the dialog")
        << AddFile{1, "", "$DIR", "C:\\My P\\x.bex", "\"C:\\My P\\x.bex\"", "x.bex", "C:\\My P", "$DIR"};
    QTest::newRow("cancel changes nothing") << AddFile{0, "nothere.wad", "/kept", "", "", "", "/kept", ""};
}

void TestPlayOptions::addFile()
{
    QFETCH(AddFile, c);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("my map.wad"));
    QVERIFY(test::writeBytes(file, "PWAD"));
    for (QString* s : {&c.typed, &c.folder, &c.entry, &c.initialFolder})
        s->replace(QStringLiteral("$FILE"), file).replace(QStringLiteral("$DIR"), dir.path());
    const auto which = FileList(c.list);
    const auto& l = PlayOptionsController::info(which);
    Page g;
    auto& r = g.r;
    r.p().*l.folder = c.folder;
    r.play.setListText(which, c.typed);
    if (c.answer != QLatin1StringView("-")) r.dialog.expect(c.answer);
    r.session.setCommandText(kHand);

    r.play.addToList(which);
    const QStringList added = c.entry.isEmpty() ? QStringList() : QStringList{c.entry};
    QCOMPARE(r.p().*l.hidden, added);
    QCOMPARE(r.p().*l.shown, c.shown.isEmpty() ? QStringList() : QStringList{c.shown});
    QCOMPARE(r.p().*l.folder, c.newFolder);
    QCOMPARE(r.p().*l.text, c.entry.isEmpty() ? c.typed : QString());
    const QString word = c.list == 0 ? QStringLiteral("-FILE ") : QStringLiteral("-DEH ");
    QCOMPARE(r.command(), c.entry.isEmpty() ? kHand : "-WARP 1 1 " + word + c.entry + " -SKILL 3");
    QCOMPARE(r.histories.stored(historyName(l.history)), added);
    QCOMPARE(r.dialog.calls.size(), c.answer == QLatin1StringView("-") ? 0 : 1);
    if (!r.dialog.calls.isEmpty()) {
        QCOMPARE(r.dialog.calls[0].title, c.list == 0 ? QStringLiteral("Choose a Map WAD File")
                                                      : QStringLiteral("Choose a DeHackEd/BEX File"));
        QCOMPARE(r.dialog.calls[0].filter, c.list == 0 ? QStringLiteral("Doom WAD File (*.wad)|*.wad|All files (*.*)|*.*")
                                                       : QStringLiteral("DeHackEd/BEX Files (*.deh;*.bex)|*.deh;*.bex|"
                                                                        "DeHackEd Patch (*.deh)|*.deh|BEX File (*.bex)|"
                                                                        "*.bex|All files (*.*)|*.*"));
        QCOMPARE(r.dialog.calls[0].initialFolder, c.initialFolder);
    }
}

void TestPlayOptions::editList_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("order");
    QTest::addColumn<int>("selectedAfter");
    QTest::newRow("up from the middle") << "up" << 1 << "B A C" << 0;
    QTest::newRow("down from the middle") << "down" << 1 << "A C B" << 2;
    QTest::newRow("up on the first") << "up" << 0 << "A B C" << 0;
    QTest::newRow("down on the last") << "down" << 2 << "A B C" << 2;
    QTest::newRow("down without a selection") << "down" << -1 << "A B C" << -1;
    QTest::newRow("remove without a selection") << "remove" << -1 << "A B C" << -1;
    QTest::newRow("remove the middle") << "remove" << 1 << "A C" << -1;
    QTest::newRow("clear") << "clear" << 1 << "" << -1;
}

void TestPlayOptions::editList()
{
    QFETCH(QString, op);
    QFETCH(int, selected);
    QFETCH(QString, order);
    QFETCH(int, selectedAfter);
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
        const QString word = which == FileList::MapWads ? QStringLiteral(" -FILE ") : QStringLiteral(" -DEH ");
        const QString files = hidden.isEmpty() ? QString() : word + hidden.join(u' ');
        // Only a change recomposes.
        QCOMPARE(r.command(), order == QLatin1StringView("A B C") ? kHand : "-WARP 1 1" + files + " -SKILL 3");
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
    QTest::newRow("exponent") << "1e3" << "1000" << "1000";
    QTest::newRow("blanks and sign") << " +12 " << "12" << "12";
    QTest::newRow("digits then letters") << "12a" << "1" << "1";
    QTest::newRow("infinity is no number") << "inf" << "1" << "1";
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
    QTest::addColumn<QStringList>("shown"); // after each text; turbo: the last after leaving the box
    using L = QStringList;
    QTest::newRow("turbo 3, 30, 300") << "turbo" << L{"3", "30", "300"} << L{"3", "30", "256", "256"};
    QTest::newRow("turbo left at 5") << "turbo" << L{"5"} << L{"5", "10"};
    QTest::newRow("turbo left empty") << "turbo" << L{"5", ""} << L{"5", "", ""};
    QTest::newRow("host 12") << "host" << L{"1", "12"} << L{"1", "8"};
    QTest::newRow("timer has no bound") << "timer" << L{"1e3"} << L{"1000"};
}

void TestPlayOptions::numberBoxes()
{
    QFETCH(QString, box);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, shown);
    Page g;
    auto& play = g.r.play;
    const QHash<QString, QPair<void (PlayOptionsController::*)(const QString&), QString LaunchProfile::*>> boxes = {
        {"turbo", {&PlayOptionsController::setTurbo, &LaunchProfile::txtTurbo}},
        {"host", {&PlayOptionsController::setHostPlayers, &LaunchProfile::txtHost}},
        {"timer", {&PlayOptionsController::setTimer, &LaunchProfile::txtTimer}}};
    const auto [set, field] = boxes.value(box);
    for (int i = 0; i < typed.size(); ++i) {
        (play.*set)(typed[i]);
        QCOMPARE(g.r.p().*field, shown[i]);
    }
    if (box != QLatin1StringView("turbo")) return;
    play.leaveTurbo();
    QCOMPARE(g.r.p().txtTurbo, shown.last());
    QCOMPARE(g.r.command(), shown.last().isEmpty() ? QStringLiteral("-WARP 1 1 -SKILL 3")
                                                   : "-WARP 1 1 -TURBO " + shown.last() + " -SKILL 3");
}

void TestPlayOptions::enabling_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("state"); // host/join frame, players box, address box, monster options, fast value
    using L = QStringList;
    QTest::newRow("single player") << L{} << "0 0 0 1 0";
    QTest::newRow("deathmatch while join is on") << L{"join", "deathmatch"} << "1 0 1 1 0";
    QTest::newRow("then single player") << L{"join", "deathmatch", "sp"} << "0 0 0 1 0";
    QTest::newRow("co-operative, join, host") << L{"coop", "join", "host"} << "1 1 0 1 0";
    QTest::newRow("no monsters keeps fast") << L{"fast", "nomonsters"} << "0 0 0 0 1";
}

void TestPlayOptions::enabling()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, state);
    Page g;
    auto& play = g.r.play;
    const QHash<QString, std::function<void()>> click = {
        {"sp", [&] { play.optSP_Click(); }},       {"coop", [&] { play.selectCoop(); }},
        {"host", [&] { play.selectHost(); }},      {"deathmatch", [&] { play.selectDeathmatch(); }},
        {"join", [&] { play.selectJoin(); }},      {"fast", [&] { play.setFast(1); }},
        {"nomonsters", [&] { play.setMonsters(0); }}};
    for (const QString& c : clicks) click.value(c)();
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5").arg(play.hostJoinEnabled()).arg(play.hostPlayersEnabled())
                 .arg(play.joinAddressEnabled()).arg(play.monsterOptionsEnabled()).arg(g.r.p().chkFast), state);
}

void TestPlayOptions::reset()
{
    Page g;
    auto& r = g.r;
    r.play.chooseGame(4);
    r.play.chooseMap(20);
    r.play.setOther(QStringLiteral("33"));
    r.play.setMonsters(0);
    r.play.setTimer(QStringLiteral("5"));
    r.p().lstPWADhid = r.p().lstPWAD = {"a.wad"};
    r.p().DirPWAD = QStringLiteral("/w");
    r.play.setListText(FileList::Patches, QStringLiteral("y.deh"));
    r.play.selectAltdeath();
    r.play.selectJoin();
    r.play.setJoinAddress(QStringLiteral("h"));
    r.play.setPort(QStringLiteral("1"));
    r.play.chooseSkill(0);

    r.play.reset();
    QVERIFY(!r.session.Rst);
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3"));
    QVERIFY(r.p().optSP && r.p().optHost && !r.p().optAltdeath && !r.p().optJoin);
    QVERIFY(r.p().txtDeh.isEmpty() && r.p().txtJoin.isEmpty() && r.p().lstPWAD.isEmpty());
    QCOMPARE(r.p().txtOther, QStringLiteral("33"));
    QCOMPARE(r.p().DirPWAD, QStringLiteral("/w"));
}

QTEST_GUILESS_MAIN(TestPlayOptions)
#include "tst_play_options.moc"
