#include "doubles.h"
#include "editors/bots/bot_editor_controller.h"
#include "editors/bots/bot_editor_entry.h"
#include "editors/bots/bot_roster.h"
#include "snapshots.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;
using Answer = MessageBox::Answer;
using Buttons = MessageBox::Buttons;
using Icon = MessageBox::Icon;
using Skill = BotEditorController::Skill;
using Channel = BotEditorController::Channel;
using test::prompt;
using test::shown;

namespace {

// An editor opened on a port folder of its own, on a roster file of these bytes when given,
// under this name.
struct Editor
{
    QTemporaryDir dir;
    test::ScriptedMessageBox box;
    BotEditorController c{dir.path(), box};
    QString name;

    explicit Editor(const QByteArray& file = QByteArray(), const QString& fileName = QStringLiteral("zcajun/Bots.cfg"),
                    QList<Answer> answers = {})
        : name(fileName)
    {
        QDir(dir.path()).mkdir(fileName.section(u'/', 0, 0));
        if (!file.isNull()) test::putFile(rosterFile(), file);
        for (const Answer a : answers) box.expect(a);
        c.load();
    }
    QString rosterFile() const { return dir.filePath(name); }
};

QByteArray fileOf(const QString& Roster)
{
    return filetext::encode(roster::fileText(Roster), filetext::Encoding::Utf8);
}

enum Edit { Untouched, Aiming, Renamed };

} // namespace

class TestBotEditorController : public QObject
{
    Q_OBJECT
private slots:
    void editingTheDefaultRoster();
    void names();
    void questions();
    void closeFailures_data();
    void closeFailures();
    void filesInBytesOut_data();
    void filesInBytesOut();
    void namesStayUnique();
    void filesOpenAndWriteAgain_data();
    void filesOpenAndWriteAgain();
    void menuEntry();
};

// The default roster: opening stores and writes nothing; an edit is stored when another
// bot is selected and comes back with it; the weapon rows; the last bot stays.
void TestBotEditorController::editingTheDefaultRoster()
{
    Editor e;
    QCOMPARE(e.c.roster(), roster::defaultRoster());
    QCOMPARE(e.c.shownRecord(), roster::defaultRecord(0));
    QCOMPARE(QStringList({e.c.skillCaption(Skill::Perfection), e.c.channelCaption(Channel::Blue), e.c.resetBotCaption()}),
             QStringList({"&Perfection (50):", "B&lue (0):", "Re&set Hugne"}));

    e.c.setSkill(Skill::Aiming, 3);
    e.c.setChannel(Channel::Red, 10);
    e.c.setSkin(QStringLiteral("a{b}"));
    e.c.MenuReplace(QStringLiteral("Pistol"));
    e.c.selectWeaponRow(4);
    e.c.selectBot(1);
    const QString edited = QStringLiteral("Hugne{3{50{70{50{\"0a cf 00\"{a(b){212385687");
    QCOMPARE(roster::record(e.c.roster(), 0), edited);
    QCOMPARE(e.c.shownRecord(), roster::defaultRecord(1));
    QCOMPARE(e.c.weaponRow(), 4);
    e.c.selectBot(0);
    QCOMPARE(e.c.shownRecord(), edited);
    QCOMPARE(e.c.channelCaption(Channel::Red), QStringLiteral("Re&d (A):"));
    QCOMPARE(roster::record(e.c.roster(), 1), roster::defaultRecord(1));
    QVERIFY(!QFile::exists(e.rosterFile()));

    e.c.selectBot(1); // weapons in digit order
    e.c.selectWeaponRow(0);
    QVERIFY(!e.c.upEnabled() && e.c.downEnabled());
    e.c.moveWeaponUp(); // nothing above the first row
    e.c.moveWeaponDown();
    QCOMPARE(e.c.weaponRow(), 1);
    e.c.selectWeaponRow(8);
    QVERIFY(e.c.upEnabled() && !e.c.downEnabled());
    e.c.moveWeaponDown(); // nothing below the last row
    e.c.moveWeaponUp();
    QCOMPARE(e.c.weaponRow(), 7);
    e.c.MenuReplace(QStringLiteral("Shotgun"));
    QCOMPARE(e.c.shownRecord().section(u'{', 7), QStringLiteral("102345637"));

    for (int i = 0; i < 15; ++i) e.box.expect(Answer::Yes);
    e.box.expect(Answer::Ok);
    for (int i = 0; i < 16; ++i) e.c.remove();
    QCOMPARE(shown(e.box).last(), prompt("Remove Error", "You must have at least one bot", Buttons::Ok, Icon::Exclamation));
    QCOMPARE(e.c.names(), QStringList{"killern"});
}

// Adding and renaming while Rambo is shown with reaction 99, not yet stored: names are
// trimmed, cut to 14 characters, braces replaced; a taken name, in any case, is refused.
void TestBotEditorController::names()
{
    const QString taken = QStringLiteral("The name '%1' is already in use.  Please choose a unique name.");
    const QString rambo = QStringLiteral("{90{85{99{3{\"ff ff 00\"{base{012345678");
    Editor e;
    e.c.selectBot(9);
    e.c.setSkill(Skill::Reaction, 99);
    e.box.expectInput(QStringLiteral(" KILLERN "));
    e.box.expect(Answer::Ok);
    e.box.expectInput(QStringLiteral("Zed"), false); // cancelled
    e.box.expectInput(QStringLiteral("  ABCDEFGHIJKLMNOPQRST"));
    for (int i = 0; i < 3; ++i) e.c.add();
    QCOMPARE(e.c.names().mid(15), (QStringList{"killern", "ABCDEFGHIJKLMN"}));
    QCOMPARE(e.c.shownRecord(), QStringLiteral("ABCDEFGHIJKLMN{67{50{70{50{\"40 cf 00\"{base{012385687"));
    QCOMPARE(e.c.resetBotCaption() + (e.c.resetBotEnabled() ? " on" : " off"), QStringLiteral("Re&set off"));
    QCOMPARE(roster::record(e.c.roster(), 9), "Rambo" + rambo); // stored on the way

    e.c.selectBot(9);
    e.box.expectInput(QStringLiteral("RAMBO"));
    e.box.expect(Answer::Ok);
    e.box.expectInput(QString());
    e.box.expectInput(QStringLiteral("{Bob} the great one"));
    for (int i = 0; i < 3; ++i) e.c.rename();
    QCOMPARE(e.c.curBotName(), QStringLiteral("(Bob) the grea"));
    QCOMPARE(e.c.names().at(9), QStringLiteral("(Bob) the grea"));
    QCOMPARE(roster::record(e.c.roster(), 9), "Rambo" + rambo); // the record's name follows at the next store
    e.c.selectBot(0);
    QCOMPARE(roster::record(e.c.roster(), 9), "(Bob) the grea" + rambo);

    QStringList asked;
    for (const auto& p : e.box.inputPrompts) asked << p.title + u'|' + p.prompt;
    QCOMPARE(asked, QStringList(3, "Add Bot|Type the new bot's name:") + QStringList(3, "Rename Bot|Type a new name for 'Rambo':"));
    QCOMPARE(shown(e.box), (QStringList{prompt("Add Bot Error", taken.arg("KILLERN"), Buttons::Ok, Icon::Exclamation),
                                        prompt("Rename Bot Error", taken.arg("RAMBO"), Buttons::Ok, Icon::Exclamation)}));
}

// Remove, reset one bot and reset all each ask first: No changes nothing, Yes drops the
// edit shown. Before, Zed is added and Rambo's aiming 1 stored; his perfection 2 is shown.
void TestBotEditorController::questions()
{
    const QString removeBot = prompt("Remove Bot", "Are you sure you want to remove the bot 'Rambo' (removing a custom "
                                     "bot cannot be undone)?", Buttons::YesNo, Icon::Question);
    const QString resetBot = prompt("Reset Bot", "Are you sure you want to reset the bot 'Rambo' to its default "
                                    "settings?", Buttons::YesNo, Icon::Question);
    const QString resetAll = prompt("Reset All Bots", "Are you sure you want to reset all bots settings?  This will "
                                    "delete any bots you may have added.", Buttons::YesNo, Icon::Question);
    Editor e;
    e.box.expectInput(QStringLiteral("Zed"));
    e.c.add();
    e.c.selectBot(9);
    e.c.setSkill(Skill::Aiming, 1);
    e.c.selectBot(0);
    e.c.selectBot(9);
    e.c.setSkill(Skill::Perfection, 2);
    const QString Roster = e.c.roster();
    for (int i = 0; i < 3; ++i) e.box.expect(Answer::No);
    e.c.remove();
    e.c.resetBot();
    e.c.resetAll();
    QCOMPARE(e.c.roster(), Roster);
    QCOMPARE(e.c.shownRecord(), QStringLiteral("Rambo{1{2{1{3{\"ff ff 00\"{base{012345678"));

    for (int i = 0; i < 3; ++i) e.box.expect(Answer::Yes);
    e.c.resetBot();
    QCOMPARE(e.c.roster(), roster::replaceRecord(Roster, 9, roster::defaultRecord(9)));
    QCOMPARE(e.c.shownRecord(), roster::defaultRecord(9));
    e.c.setSkill(Skill::Perfection, 2);
    e.c.remove();
    QCOMPARE(e.c.roster(), roster::removeRecord(Roster, 9));
    QCOMPARE(e.c.names().size(), 16);
    QCOMPARE(e.c.shownRecord(), roster::defaultRecord(0));
    e.c.resetAll();
    QCOMPARE(shown(e.box), (QStringList{removeBot, resetBot, resetAll, resetBot, removeBot, resetAll}));
    QCOMPARE(e.c.roster(), roster::defaultRoster());
    QCOMPARE(e.c.names(), roster::defaultNames());
}

// Close where the file cannot be written asks Abort, Retry, Ignore, naming the system's
// reason, until the answer is not Retry: Ignore stays with the roster in memory, Abort
// closes. The read-only advice only for a read-only file, a folder called a folder.
void TestBotEditorController::closeFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("why");
    QTest::newRow("read-only file") << "read-only file" << "Permission denied.  Make sure the file is not read-only or in use by another program.";
    QTest::newRow("folder named Bots.cfg") << "folder" << "Is a directory.  A folder of that name stands where the file should be; rename or remove the folder.";
    QTest::newRow("zcajun folder gone") << "no folder" << "No such file or directory.";
}

void TestBotEditorController::closeFailures()
{
    QFETCH(QString, kind);
    QFETCH(QString, why);
    const QByteArray original = fileOf(roster::defaultRoster());
    Editor e(kind == "read-only file" ? original : QByteArray(), "zcajun/Bots.cfg");
    if (kind == "read-only file") QVERIFY(QFile::setPermissions(e.rosterFile(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    if (kind == "folder") {
        QVERIFY(QDir().mkdir(e.rosterFile()));
        e.box.expect(Answer::Ok);
        e.c.load();
        QCOMPARE(shown(e.box), QStringList{prompt("ZDoom Cajun Bot Editor Error", "'" + e.rosterFile() + "' is a folder, not a file.  "
                 "The default bots are shown instead; to save them, rename or remove the folder.", Buttons::Ok, Icon::Exclamation)});
        e.box.prompts.clear();
    }
    if (kind == "no folder") QVERIFY(QDir(e.dir.filePath("zcajun")).removeRecursively());
    e.c.setSkill(Skill::Aiming, 77);
    const QString text = "An error occurred when trying to write to the file '" + e.rosterFile() + "': " + why
                       + "\r\n\r\nPress Retry to try again.  You will lose any changes if you press Abort.";
    for (const Answer a : {Answer::Retry, Answer::Ignore}) e.box.expect(a);
    QVERIFY(!e.c.close());
    e.box.expect(Answer::Abort);
    QVERIFY(e.c.close());
    QCOMPARE(shown(e.box), QStringList(3, prompt("ZDoom Cajun Bot Editor Error", text, Buttons::AbortRetryIgnore, Icon::Critical)));
    QCOMPARE(test::fileBytes(e.rosterFile()), kind == "read-only file" ? original : QByteArray("<unreadable>"));
    QCOMPARE(roster::record(e.c.roster(), 0).section(u'{', 1, 1), QStringLiteral("77"));
}

// A roster file opened, a bot's aiming set to 42, the first bot renamed or nothing done, closed:
// untouched, it stays byte for byte; else it is written in the editor's format and the
// file's encoding under its own name, after a copy is kept once of lines not written again.
void TestBotEditorController::filesInBytesOut_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<int>("edit");
    QTest::addColumn<QByteArray>("out"); // the file after Close, null when it stays
    QTest::addColumn<QByteArray>("bak"); // the .bak after Close, null for none
    QTest::addColumn<int>("bot");        // the bot edited
    const QString bob42 = "Bob{42{6{7{8{\"01 02 03\"{s{876543210", al = "Al{1{2{3{4{\"0a 0b 0c\"{t{012345678";
    const QByteArray lf = fileOf("Bob{5{6{7{8{\"01 02 03\"{s{876543210}" + al).replace("\r\n", "\n");
    const QByteArray edited = fileOf(bob42 + '}' + al), commented = "# two bots\n" + lf;
    const QByteArray unknownKey = QByteArray(lf).replace("\tskin\t\tt\n", "\tskin\t\tt\n\tteam\t\tblue\n");
    const QByteArray end = "\r\n}\r\n\r\n";
    const auto row = [](const char* what, const QByteArray& in, Edit edit, const QByteArray& out, const QByteArray& bak = {},
                        const char* name = "zcajun/Bots.cfg", int bot = 0) {
        QTest::newRow(what) << name << in << int(edit) << out << bak << bot;
    };
    row("comment first, untouched", commented, Untouched, {});
    row("unknown key, edited", unknownKey, Aiming, edited, unknownKey);
    row("lower-case file name", lf, Aiming, edited, {}, "zcajun/bots.cfg");
    row("upper-case folder and file", commented, Aiming, edited, commented, "ZCAJUN/BOTS.CFG");
    // An edit changes the values edited: keys the file leaves out stay out, and are not
    // filled from whatever the controls showed before (defaults, or the bot shown last).
    row("empty value, edited", "{\nname Bob\naiming\t\n}\n", Aiming, fileOf("Bob{42"), "{\nname Bob\naiming\t\n}\n");
    row("no name, edited", "{\naiming 5\n}\n", Aiming, fileOf("Bot 1{42"));
    row("no name, untouched", "{\naiming 5\n}\n", Untouched, {});
    row("duplicate names, edited", "{\nname Bob\n}\n{\nname bob\n}\n", Aiming, fileOf("Bob{42}bob 2"));
    row("keys left out, the bot after a full one edited", fileOf(al + "}Bob{5{{{{{{98"), Aiming,
        fileOf(al + "}Bob{42{{{{{{98"), {}, "zcajun/Bots.cfg", 1);
    // Names a Linux editor wrote in UTF-8, and a file in the Western code page.
    row("UTF-8, renamed", "{\n name J\xc3\xb6rg\n}\n{\n name \xe2\x82\xac\n}\n", Renamed,
        "{\r\n\tname\t\tZo\xc3\xab" + end + "{\r\n\tname\t\t\xe2\x82\xac" + end + "\r\n");
    row("Windows-1252, renamed", "{\n name J\xf6rg\n}\n{\n name \x80\n}\n", Renamed,
        "{\r\n\tname\t\tZo\xeb" + end + "{\r\n\tname\t\t\x80" + end + "\r\n");
    row("ASCII, renamed", "{\n name Jo\n}\n", Renamed, "{\r\n\tname\t\tZo\xc3\xab" + end + "\r\n");
}

void TestBotEditorController::filesInBytesOut()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, in);
    QFETCH(int, edit);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, bak);
    QFETCH(int, bot);
    for (const bool bakThere : {false, true}) {
        Editor e(in, name);
        const QString kept = e.rosterFile() + ".bak";
        // A copy an earlier Close kept is never written over.
        if (bakThere) QVERIFY(test::putFile(kept, "earlier copy"));
        e.c.selectBot(bot);
        if (edit == Aiming) e.c.setSkill(Skill::Aiming, 42);
        if (edit == Renamed) {
            e.box.expectInput(QStringLiteral("Zo\u00eb"));
            e.c.rename();
        }
        if (!bak.isNull() && !bakThere) e.box.expect(Answer::Ok);
        QVERIFY(e.c.close());
        QCOMPARE(test::fileBytes(e.rosterFile()), out.isNull() ? in : out);
        QStringList files{name.section(u'/', 1)};
        if (!bak.isNull() || bakThere) files << files.first() + ".bak";
        QCOMPARE(QDir(e.dir.filePath(name.section(u'/', 0, 0))).entryList(QDir::Files | QDir::Hidden), files);
        QCOMPARE(QDir(e.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{name.section(u'/', 0, 0)});
        QCOMPARE(test::fileBytes(kept), bakThere ? QByteArray("earlier copy") : bak.isNull() ? QByteArray("<unreadable>") : bak);
        QCOMPARE(e.box.prompts.size(), !bak.isNull() && !bakThere ? 1 : 0);
        if (!e.box.prompts.isEmpty()) {
            QCOMPARE(e.box.prompts[0].title, QStringLiteral("ZDoom Cajun Bot Editor"));
            QVERIFY2(e.box.prompts[0].text.contains(" that the bot editor does not write") &&
                         e.box.prompts[0].text.endsWith("The file as it was is kept as '" + kept + "'."),
                     qPrintable(e.box.prompts[0].text));
        }
    }
}

// A file that repeats names, in any letter case, gives every bot a name of its own, and
// no Add, Rename or Remove makes two the same; the records carry the names shown.
void TestBotEditorController::namesStayUnique()
{
    const QList<std::tuple<const char*, const char*, QStringList>> steps{ // action, typed (refused when no names follow)
        {"add", "bob 3", {}}, {"rename", "BOB 2", {}}, {"remove", "", {"Bob", "BOB 3"}},
        {"add", "Bob 2", {"Bob", "BOB 3", "Bob 2"}}, {"rename", "bob", {}}, {"rename", "Al", {"Bob", "BOB 3", "Al"}}};
    Editor e("{\nname Bob\n}\n{\nname bob\n}\n{\nname BOB\n}\n");
    QStringList names{"Bob", "bob 2", "BOB 3"};
    QCOMPARE(e.c.names(), names);
    for (const auto& [action, typed, after] : steps) {
        if (QLatin1String(action) == "remove") {
            e.c.selectBot(1);
            e.box.expect(Answer::Yes);
            e.c.remove();
        } else {
            e.box.expectInput(typed);
            if (after.isEmpty()) e.box.expect(Answer::Ok);
            QLatin1String(action) == "add" ? e.c.add() : e.c.rename();
        }
        if (!after.isEmpty()) names = after;
        QVERIFY2(e.box.answers.isEmpty(), typed);
        QCOMPARE(e.c.names(), names);
    }
    e.c.selectBot(0);
    for (int i = 0; i < names.size(); ++i) QCOMPARE(roster::record(e.c.roster(), i).section(u'{', 0, 0), names.at(i));
}

// Any file opens with a bot and nine named weapons, and what Close writes opens again;
// "stored" is the last bot's record as shown (values that do not convert keep the shown ones).
void TestBotEditorController::filesOpenAndWriteAgain_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("stored");
    QRandomGenerator random(20240601);
    QByteArray junk(5 * 1024 * 1024, Qt::Uninitialized);
    for (char& b : junk) b = char(random.bounded(256));
    QByteArray bots;
    while (bots.size() < 5 * 1024 * 1024) bots += fileOf(roster::defaultRoster());
    const auto row = [](const char* name, const QByteArray& bytes, const QString& stored = {}) {
        QTest::newRow(name) << bytes << stored;
    };
    row("unbalanced braces", "}}}{{{{}{}}{\t{\t}\r\n{{{{{\t\t\t}");
    row("5 MB of bots", bots);
    row("5 MB of binary junk", junk);
    const QString ann = QStringLiteral("Ann{10{20{30{40{\"01 02 03\"{red{876543210}");
    row("values that do not convert keep the shown ones", fileOf(ann + "B{x{101{-1{ {\"zz 7\"{s{012345678"),
        "B{10{20{30{40{\"01 02 03\"{s{012345678");
    row("colour without quotes", fileOf(ann + "B{1{2{3{4{0a 0b 0c{s{012345678"), "B{1{2{3{4{\"0a 0b 0c\"{s{012345678");
    for (const auto& [pref, stored] : {std::pair{"87", "872345678"}, {"x9-8", "012845678"}, {"8888888887", "888888888"}})
        row(pref, fileOf(ann + "B{1{2{3{4{\"0a 0b 0c\"{s{" + pref), QStringLiteral("B{1{2{3{4{\"0a 0b 0c\"{s{") + stored);
}

void TestBotEditorController::filesOpenAndWriteAgain()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, stored);
    Editor e(bytes);
    QVERIFY(!e.c.names().isEmpty());
    e.c.selectBot(int(e.c.names().size()) - 1);
    QVERIFY(e.c.weapons().size() == 9 && !e.c.weapons().contains(QString()));
    if (!stored.isEmpty()) QCOMPARE(e.c.shownRecord(), stored);
    e.box.expect(Answer::Ok);
    QVERIFY(e.c.close());
    // Lines a write drops are first kept in the one copy, and one message says so.
    const QByteArray kept = test::fileBytes(e.rosterFile() + ".bak");
    QCOMPARE(e.box.prompts.size(), kept == "<unreadable>" ? 0 : 1);
    if (!e.box.prompts.isEmpty()) QCOMPARE(e.box.prompts[0].icon, Icon::Information);
    if (kept != "<unreadable>") QCOMPARE(kept, bytes);
    BotEditorController again(e.dir.path(), e.box);
    again.load();
    QVERIFY(!again.names().isEmpty());
}

// The main window's menu entry, as the port folder fills: the answers given, the messages
// shown, and whether the editor opens, with a "zcajun" folder then.
void TestBotEditorController::menuEntry()
{
    QTemporaryDir dir;
    const QString port = dir.filePath(QStringLiteral("zdoom"));
    const QString zcajun = port + QDir::separator() + QStringLiteral("zcajun");
    const QString rosterFile = zcajun + QDir::separator() + QStringLiteral("Bots.cfg");
    const QString error = QStringLiteral("ZDoom Cajun Bot Editor Error");
    const QString noPort = prompt(error, "The folder ZDoom folder - '" + port + "' does not exist.  Make sure you enter "
                                  "a valid folder before attempting to start the Bot editor.", Buttons::Ok, Icon::Exclamation);
    const QString ask = prompt("ZDoom Cajun Bot Editor", "Cannot find the Bots.cfg file - '" + rosterFile
                               + "'.  Do you want to create a new one?", Buttons::YesNo, Icon::Question);
    const QString noFolder = prompt(error, "An error occurred when attempting to create the folder '" + zcajun + "'.  Make "
                                    "sure it is possible to create a folder here before running the ZDoom Cajun Bot Editor",
                                    Buttons::Ok, Icon::Critical);
    LocalFileSystem files;
    const auto check = [&](const QString& typed, const QList<Answer>& answers, const QStringList& messages, bool opens) {
        test::ScriptedMessageBox box;
        for (const Answer answer : answers) box.expect(answer);
        QCOMPARE(botEditorMayOpen(typed, files, box), opens);
        QCOMPARE(shown(box), messages);
        QCOMPARE(QFileInfo(zcajun).isDir(), opens);
    };
    check(port, {Answer::Ok}, {noPort}, false);
    QVERIFY(QDir().mkpath(port) && test::putFile(zcajun, ""));
    check(port, {Answer::Yes, Answer::Ok}, {ask, noFolder}, false);
    QVERIFY(QFile::remove(zcajun));
    check(port, {Answer::No}, {ask}, false);
    check(port + QDir::separator(), {Answer::Yes}, {ask}, true); // the separator is dropped from the paths shown
    QVERIFY(test::putFile(rosterFile, ""));
    check(port, {}, {}, true);
    QVERIFY(QFile::rename(rosterFile, zcajun + "/bots.cfg")); // as the port's Linux builds name it
    check(port, {}, {}, true);
}

QTEST_GUILESS_MAIN(TestBotEditorController)
#include "tst_bot_editor_controller.moc"
