#include "core_rig.h"

#include "base/keep_numeric.h"

#include <QTest>

#include <cmath>

using namespace tarnwick;
using FileList = PlayOptionsController::FileList;

namespace {

const QString kHand = QStringLiteral("typed by hand");

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

Q_DECLARE_METATYPE(AddFile)

class TestPlayOptions : public QObject
{
    Q_OBJECT
private slots:
    void gameChange();
    void randomMap();
    void addFile_data();
    void addFile();
    void editList_data();
    void editList();
    void keepNumeric();
    void numberBoxes();
    void reset();
};

// From one game, map row and skill row to another: the map row and skill kept where they can be.
void TestPlayOptions::gameChange()
{
    const struct { int fromGame, fromRow, fromSkill, toGame; QString mapRow, skillName, command; } changes[] = {
        {4, 44, 2, 1, "1: Entryway", "Hurt me plenty", "-WARP 1 -SKILL 3"}, // a shorter list: the first map
        {0, 22, 3, 4, "E3M5: The Ophidian Lair", "Thou art a smite-meister", "-WARP 3 5 -SKILL 4"},
        {0, 6, 0, 5, "13: Shadow Wood", "Squire/Altar boy/Apprentice", "-WARP 13 -SKILL 1"}, // Hexen's hub order
        {5, 30, 4, 3, "31: Pharaoh", "Nightmare!", "-WARP 31 -SKILL 5"},
        {1, 5, 1, 6, "", "Hey not too rough", "-SKILL 2"}, // Other: no maps, the skill names stay
        {6, -1, 4, 1, "1: Entryway", "Nightmare!", "-WARP 1 -SKILL 5"}};
    for (const auto& c : changes) {
        test::Program g(false);
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
}

void TestPlayOptions::randomMap()
{
    // Game, draw, row: the row is the draw times the game's map count, rounded down.
    const struct { int game; float draw; int row; } draws[] = {{0, 0.0f, 0}, {0, std::nextafter(1.0f, 0.0f), 35}, {5, 0.2f, 6}};
    for (const auto& d : draws) {
        test::Program g(false);
        g.r.play.chooseGame(d.game);
        g.r.play.setRandomSource([&] { return d.draw; });
        g.r.session.setCommandText(kHand);
        g.r.play.randomMap();
        QCOMPARE(g.r.p().lstMap, d.row);
        QVERIFY(g.r.command() != kHand);
    }
}

void TestPlayOptions::addFile_data()
{
    QTest::addColumn<AddFile>("c");
    QTest::newRow("typed existing file with quotes")
        << AddFile{0, "\"$FILE\"", "/kept", "-", "\"$FILE\"", "my map.wad", "/kept", ""};
    QTest::newRow("typed name of no file opens the dialog in the remembered folder")
        << AddFile{0, "nothere.wad", "$DIR", "/games/e1.wad", "/games/e1.wad", "e1.wad", "/games", "$DIR"};
    QTest::newRow("dialog path with a blank comes quoted")
        << AddFile{0, "", "", "/games/my maps/e1.wad", "\"/games/my maps/e1.wad\"", "e1.wad", "/games/my maps", "$HOME"};
    QTest::newRow("remembered folder that is gone is not offered")
        << AddFile{0, "", "/no/such/folder", "C:\\w\\a.wad", "C:\\w\\a.wad", "a.wad", "C:\\w", "$HOME"};
    QTest::newRow("typed missing file opens in its folder, before the remembered one")
        << AddFile{0, "\"$DIR/gone.wad\"", "/kept", "/g/b.wad", "/g/b.wad", "b.wad", "/g", "$DIR"};
    QTest::newRow("patch from the dialog")
        << AddFile{1, "", "$DIR", "C:\\My P\\x.bex", "\"C:\\My P\\x.bex\"", "x.bex", "C:\\My P", "$DIR"};
    QTest::newRow("cancel changes nothing") << AddFile{0, "nothere.wad", "/kept", "", "", "", "/kept", "$HOME"};
}

void TestPlayOptions::addFile()
{
    QFETCH(AddFile, c);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("my map.wad"));
    QVERIFY(test::putFile(file, "PWAD"));
    for (QString* s : {&c.typed, &c.folder, &c.entry, &c.initialFolder})
        s->replace(QStringLiteral("$FILE"), file).replace(QStringLiteral("$DIR"), dir.path())
            .replace(QStringLiteral("$HOME"), QDir::homePath());
    const auto which = FileList(c.list);
    const auto& l = PlayOptionsController::info(which);
    test::Program g(false);
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
        QCOMPARE(r.dialog.calls[0].title, QString(c.list == 0 ? "Choose a Map WAD File" : "Choose a DeHackEd/BEX File"));
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
    QTest::newRow("down on the last") << "down" << 2 << "A B C" << 2;
    QTest::newRow("down without a selection") << "down" << -1 << "A B C" << -1;
    QTest::newRow("remove the middle") << "remove" << 1 << "A C" << -1;
    QTest::newRow("clear") << "clear" << 1 << "" << -1;
}

void TestPlayOptions::editList()
{
    QFETCH(QString, op);
    QFETCH(int, selected);
    QFETCH(QString, order);
    QFETCH(int, selectedAfter);
    using PC = PlayOptionsController;
    const QHash<QString, void (PC::*)(FileList)> ops = {
        {"up", &PC::moveUpInList}, {"down", &PC::moveDownInList}, {"remove", &PC::removeFromList}, {"clear", &PC::clearList}};
    auto list = [](const QString& names, const char* form) {
        QStringList l;
        for (const QString& name : names.split(u' ', Qt::SkipEmptyParts)) l << QString::fromLatin1(form).arg(name);
        return l;
    };
    for (FileList which : {FileList::MapWads, FileList::Patches}) {
        const auto& l = PC::info(which);
        test::Program g(false);
        auto& r = g.r;
        r.p().*l.hidden = list("A B C", "/w/%1.wad");
        r.p().*l.shown = list("A B C", "%1.wad");
        r.play.setListText(which, QStringLiteral("box"));
        r.play.selectListEntry(which, selected);
        r.session.setCommandText(kHand);
        (r.play.*ops.value(op))(which);
        QCOMPARE(r.p().*l.hidden, list(order, "/w/%1.wad"));
        QCOMPARE(r.p().*l.shown, list(order, "%1.wad"));
        QCOMPARE(r.p().*l.index, selectedAfter);
        const QString word = which == FileList::MapWads ? " -FILE " : " -DEH ";
        const QString files = order.isEmpty() ? QString() : word + list(order, "/w/%1.wad").join(u' ');
        // Only a change recomposes.
        QCOMPARE(r.command(), order == QLatin1StringView("A B C") ? kHand : "-WARP 1 1" + files + " -SKILL 3");
        QCOMPARE(r.p().*l.text, op == QLatin1StringView("clear") ? QString() : QStringLiteral("box"));
    }
}

// KeepNumeric once, and as the boxes apply it until the text no longer changes.
void TestPlayOptions::keepNumeric()
{
    const struct { const char* text; const char* once; const char* settled; } texts[] = {
        {"", "", ""},        {"-5", "1", "1"},  {"0", "1", "1"},      {"12.9", "12", "12"},    {"0.5", "0", "1"},
        {" +12 ", "12", "12"}, {"12a", "1", "1"}, {"inf", "1", "1"}, {"1e999", "1", "1"}, {"1e3", "1000", "1000"}};
    for (const auto& t : texts) {
        QCOMPARE(KeepNumeric(QString::fromLatin1(t.text)), QString::fromLatin1(t.once));
        QCOMPARE(settleNumeric(QString::fromLatin1(t.text)), QString::fromLatin1(t.settled));
    }
}

// Turbo is bounded by 256 while typing and by 10 on leaving; host players by 8; the timer by nothing.
void TestPlayOptions::numberBoxes()
{
    test::Program g(false);
    auto& play = g.r.play;
    const QString& turbo = g.r.p().txtTurbo;
    play.setTurbo(QStringLiteral("3")); // the lower bound waits for the box to be left
    QCOMPARE(turbo, QStringLiteral("3"));
    play.setTurbo(QStringLiteral("300"));
    QCOMPARE(turbo, QStringLiteral("256"));
    play.leaveTurbo();
    QCOMPARE(turbo, QStringLiteral("256"));
    play.setTurbo(QStringLiteral("9"));
    play.leaveTurbo();
    QCOMPARE(g.r.command(), QStringLiteral("-WARP 1 1 -TURBO 10 -SKILL 3"));
    play.setTurbo(QString());
    play.leaveTurbo();
    QCOMPARE(turbo, QString());
    play.setHostPlayers(QStringLiteral("12"));
    QCOMPARE(g.r.p().txtHost, QStringLiteral("8"));
    play.setTimer(QStringLiteral("1e3"));
    QCOMPARE(g.r.p().txtTimer, QStringLiteral("1000"));
}

void TestPlayOptions::reset()
{
    test::Program g(false);
    auto& r = g.r;
    r.play.chooseGame(4);
    r.play.chooseMap(20);
    r.play.setOther(QStringLiteral("33"));
    r.play.setMonsters(0);
    r.p().lstPWADhid = r.p().lstPWAD = {"a.wad"};
    r.p().DirPWAD = QStringLiteral("/w");
    r.play.setListText(FileList::Patches, QStringLiteral("y.deh"));
    r.play.selectAltdeath();
    r.play.selectJoin();
    r.play.setJoinAddress(QStringLiteral("h"));
    r.play.chooseSkill(0);

    r.play.reset();
    QVERIFY(!r.session.Rst);
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3"));
    QVERIFY(r.p().optSP && r.p().optHost && !r.p().optAltdeath && !r.p().optJoin);
    QVERIFY(r.p().txtDeh.isEmpty() && r.p().lstPWAD.isEmpty());
    QCOMPARE(r.p().txtOther + r.p().DirPWAD, QStringLiteral("33/w")); // neither is reset
}

QTEST_GUILESS_MAIN(TestPlayOptions)
#include "tst_play_options.moc"
