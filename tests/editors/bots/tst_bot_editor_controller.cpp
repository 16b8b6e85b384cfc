#include "doubles.h"

#include "editors/bots/bot_editor_controller.h"
#include "editors/bots/bot_roster.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace tarnwick;
using Answer = MessageBox::Answer;
using Skill = BotEditorController::Skill;
using Channel = BotEditorController::Channel;

namespace {

// A port folder with its zcajun folder, and the roster file in it when asked.
struct PortFolder
{
    QTemporaryDir dir;
    PortFolder() { QDir(dir.path()).mkdir(QStringLiteral("zcajun")); }
    QString folder() const { return dir.path(); }
    QString rosterFile() const { return dir.filePath(QStringLiteral("zcajun/Bots.cfg")); }
    void writeRoster(const QByteArray& bytes) const
    {
        QFile f(rosterFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray rosterBytes() const
    {
        QFile f(rosterFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

// Answers the write-error question by running a step first, as a user who fixes the
// file and then presses Retry would.
class FixingMessageBox final : public MessageBox
{
public:
    std::function<void()> fix;
    int shown = 0;
    Answer show(const QString&, const QString&, Buttons, Icon) override
    {
        ++shown;
        if (fix) fix();
        return Answer::Retry;
    }
    bool input(const QString&, const QString&, QString&) override { return false; }
};

QStringList rows(const char* const (&names)[9])
{
    QStringList list;
    for (const char* n : names) list << QLatin1String(n);
    return list;
}

QByteArray twoBotFile()
{
    return roster::encode(roster::fileText(QStringLiteral("Ann{10{20{30{40{\"01 02 03\"{red{876543210}"
                                                          "Bea{90{80{70{60{\"a0 b0 c0\"{blue{012345678")));
}

} // namespace

class TestBotEditorController : public QObject
{
    Q_OBJECT
private slots:
    void opensOnDefaultsWithoutWriting();
    void opensOnTheFileAndShowsTheFirstBot();
    void editsComeBackAfterSelectingAnotherBot();
    void weaponRowStaysSelectedAcrossBots();
    void add_data();
    void add();
    void addStoresTheShownBotFirst();
    void rename_data();
    void rename();
    void removeAsksAndDropsUnstoredEdits();
    void removingTheLastBotIsRefused();
    void resetOneBot();
    void resetButtonFollowsTheSelectedName_data();
    void resetButtonFollowsTheSelectedName();
    void resetAllDiscardsEverything();
    void weaponRows();
    void oddWeaponPrefStillGivesNineRows_data();
    void oddWeaponPrefStillGivesNineRows();
    void unreadableValuesLeaveTheControls();
    void blankSkinBecomesBase();
    void captions();
    void closeWritesTheShownBot();
    void closeOnReadOnlyFile_data();
    void closeOnReadOnlyFile();
    void retryWritesOnceTheFileIsFixed();
    void hostileFiles_data();
    void hostileFiles();
};

void TestBotEditorController::opensOnDefaultsWithoutWriting()
{
    PortFolder port;
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    QCOMPARE(c.names(), roster::defaultNames());
    QCOMPARE(c.roster(), roster::defaultRoster()); // the shown values were not stored first
    QCOMPARE(c.curBot(), 0);
    QCOMPARE(c.curBotName(), QStringLiteral("Hugne"));
    QVERIFY(!c.holdStore());
    QCOMPARE(c.weaponRow(), 0);
    QVERIFY(!QFile::exists(port.rosterFile()));
}

void TestBotEditorController::opensOnTheFileAndShowsTheFirstBot()
{
    PortFolder port;
    port.writeRoster(twoBotFile());
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    QCOMPARE(c.names(), (QStringList{"Ann", "Bea"}));
    QCOMPARE(c.skill(Skill::Aiming), 10);
    QCOMPARE(c.skill(Skill::Isp), 40);
    QCOMPARE(c.channel(Channel::Blue), 3);
    QCOMPARE(c.skin(), QStringLiteral("red"));
    QCOMPARE(c.weapons().first(), QStringLiteral("BFG 9000"));
    QCOMPARE(c.shownRecord(), QStringLiteral("Ann{10{20{30{40{\"01 02 03\"{red{876543210"));
}

void TestBotEditorController::editsComeBackAfterSelectingAnotherBot()
{
    PortFolder port;
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    c.setSkill(Skill::Aiming, 3);
    c.setChannel(Channel::Red, 10);
    c.setSkin(QStringLiteral("a{b}"));
    c.MenuReplace(QStringLiteral("Pistol"));
    c.selectBot(1);
    QCOMPARE(roster::record(c.roster(), 0), QStringLiteral("Hugne{3{50{70{50{\"0a cf 00\"{a(b){212385687"));
    QCOMPARE(c.skill(Skill::Aiming), 34); // Josef
    QCOMPARE(c.curBotName(), QStringLiteral("Josef"));
    c.selectBot(0);
    QCOMPARE(c.skill(Skill::Aiming), 3);
    QCOMPARE(c.channel(Channel::Red), 10);
    QCOMPARE(c.weapons().first(), QStringLiteral("Pistol"));
    QCOMPARE(roster::record(c.roster(), 1), roster::defaultRecord(1));
}

void TestBotEditorController::weaponRowStaysSelectedAcrossBots()
{
    PortFolder port;
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    c.selectWeaponRow(4);
    c.selectBot(3);
    QCOMPARE(c.weaponRow(), 4);
}

void TestBotEditorController::add_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("added");       // empty: nothing added
    QTest::addColumn<QString>("errorText");   // empty: no message

    QTest::newRow("plain") << "Zed" << true << "Zed" << "";
    QTest::newRow("blanks around") << "   Zed  " << true << "Zed" << "";
    QTest::newRow("cut to 14") << "ABCDEFGHIJKLMNOPQRST" << true << "ABCDEFGHIJKLMN" << "";
    QTest::newRow("braces") << "{x}" << true << "(x)" << "";
    QTest::newRow("cancelled") << "Zed" << false << "" << "";
    QTest::newRow("blanks only") << "    " << true << "" << "";
    QTest::newRow("taken, other case") << "josef" << true << ""
        << "The name 'josef' is already in use.  Please choose a unique name.";
    QTest::newRow("taken after trimming") << " KILLERN " << true << ""
        << "The name 'KILLERN' is already in use.  Please choose a unique name.";
}

void TestBotEditorController::add()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, added);
    QFETCH(QString, errorText);

    PortFolder port;
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    box.expectInput(typed, accepted);
    if (!errorText.isEmpty()) box.expect(Answer::Ok);
    c.add();

    QCOMPARE(box.inputPrompts.size(), 1);
    QCOMPARE(box.inputPrompts[0].title, QStringLiteral("Add Bot"));
    QCOMPARE(box.inputPrompts[0].prompt, QStringLiteral("Type the new bot's name:"));
    QCOMPARE(box.inputPrompts[0].initial, QString());
    if (!errorText.isEmpty()) {
        QCOMPARE(box.prompts.size(), 1);
        QCOMPARE(box.prompts[0].text, errorText);
        QCOMPARE(box.prompts[0].title, QStringLiteral("Add Bot Error"));
        QCOMPARE(box.prompts[0].icon, MessageBox::Icon::Exclamation);
    }
    if (added.isEmpty()) {
        QCOMPARE(c.names(), roster::defaultNames());
        QCOMPARE(c.roster(), roster::defaultRoster());
        return;
    }
    QCOMPARE(c.names().size(), 17);
    QCOMPARE(c.names().last(), added);
    QCOMPARE(c.curBot(), 16);
    QCOMPARE(c.curBotName(), added);
    QCOMPARE(roster::record(c.roster(), 16), added + QStringLiteral("{67{50{70{50{\"40 cf 00\"{base{012385687"));
    QCOMPARE(c.channel(Channel::Red), 64);
    QCOMPARE(c.channel(Channel::Green), 207);
    QCOMPARE(c.skin(), QStringLiteral("base"));
    const char* const expectedRows[9] = {"Fists", "Chainsaw", "Pistol", "Shotgun", "BFG 9000",
                                         "Chaingun", "Rocket launcher", "BFG 9000", "Plasma rifle"};
    QCOMPARE(c.weapons(), rows(expectedRows));
}

void TestBotEditorController::addStoresTheShownBotFirst()
{
    PortFolder port;
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    c.selectBot(9);
    c.setSkill(Skill::Reaction, 99);
    box.expectInput(QStringLiteral("Zed"));
    c.add();
    QCOMPARE(roster::record(c.roster(), 9).section(u'{', 3, 3), QStringLiteral("99"));
}

void TestBotEditorController::rename_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("renamed"); // empty: refused or nothing to do
    QTest::addColumn<bool>("refused");

    QTest::newRow("new name") << "Bob" << "Bob" << false;
    QTest::newRow("trimmed, cut, braces") << "  {Bobby} the great one " << "(Bobby) the gr" << false;
    QTest::newRow("own name") << "Hugne" << "" << true;
    QTest::newRow("own name, other case") << "HUGNE" << "" << true;
    QTest::newRow("another bot's name") << "sven" << "" << true;
    QTest::newRow("empty") << "" << "" << false;
}

void TestBotEditorController::rename()
{
    QFETCH(QString, typed);
    QFETCH(QString, renamed);
    QFETCH(bool, refused);

    PortFolder port;
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    box.expectInput(typed);
    if (refused) box.expect(Answer::Ok);
    c.rename();

    QCOMPARE(box.inputPrompts.at(0).prompt, QStringLiteral("Type a new name for 'Hugne':"));
    QCOMPARE(box.inputPrompts.at(0).title, QStringLiteral("Rename Bot"));
    if (refused) {
        QCOMPARE(box.prompts.at(0).title, QStringLiteral("Rename Bot Error"));
        QCOMPARE(box.prompts.at(0).text,
                 QStringLiteral("The name '%1' is already in use.  Please choose a unique name.").arg(typed));
    }
    if (renamed.isEmpty()) {
        QCOMPARE(c.names(), roster::defaultNames());
        QCOMPARE(c.curBotName(), QStringLiteral("Hugne"));
        return;
    }
    QCOMPARE(c.names().first(), renamed);
    QCOMPARE(c.curBotName(), renamed);
    // The record's name follows at the next store.
    QCOMPARE(roster::record(c.roster(), 0).section(u'{', 0, 0), QStringLiteral("Hugne"));
    c.selectBot(1);
    QCOMPARE(roster::record(c.roster(), 0).section(u'{', 0, 0), renamed);
}

void TestBotEditorController::removeAsksAndDropsUnstoredEdits()
{
    PortFolder port;
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    c.selectBot(2);
    c.setSkill(Skill::Aiming, 1);

    box.expect(Answer::No);
    c.remove();
    QCOMPARE(c.names().size(), 16);
    QCOMPARE(box.prompts.at(0).text,
             QStringLiteral("Are you sure you want to remove the bot 'Sven' (removing a custom bot cannot be undone)?"));
    QCOMPARE(box.prompts.at(0).title, QStringLiteral("Remove Bot"));
    QCOMPARE(box.prompts.at(0).buttons, MessageBox::Buttons::YesNo);
    QCOMPARE(box.prompts.at(0).icon, MessageBox::Icon::Question);

    box.expect(Answer::Yes);
    c.remove();
    QCOMPARE(c.names().size(), 15);
    QVERIFY(!c.names().contains(QStringLiteral("Sven")));
    QCOMPARE(c.curBot(), 0);
    QCOMPARE(c.curBotName(), QStringLiteral("Hugne"));
    QCOMPARE(roster::recordCount(c.roster()), 15);
    QString expected = roster::defaultRoster();
    expected = roster::removeRecord(expected, 2);
    QCOMPARE(c.roster(), expected);
}

void TestBotEditorController::removingTheLastBotIsRefused()
{
    PortFolder port;
    port.writeRoster(roster::encode(roster::fileText(QStringLiteral("Solo{1{2{3{4{\"00 00 00\"{base{012345678"))));
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    box.expect(Answer::Ok);
    c.remove();
    QCOMPARE(box.prompts.size(), 1);
    QCOMPARE(box.prompts.at(0).text, QStringLiteral("You must have at least one bot"));
    QCOMPARE(box.prompts.at(0).title, QStringLiteral("Remove Error"));
    QCOMPARE(c.names(), QStringList{"Solo"});
}

void TestBotEditorController::resetOneBot()
{
    PortFolder port;
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    c.selectBot(9);
    c.setSkill(Skill::Aiming, 1);
    c.selectBot(0);
    c.selectBot(9);

    box.expect(Answer::No);
    c.resetBot();
    QCOMPARE(c.skill(Skill::Aiming), 1);

    c.setSkill(Skill::Perfection, 2); // unstored edit, dropped by the reset
    box.expect(Answer::Yes);
    c.resetBot();
    QCOMPARE(box.prompts.at(1).text,
             QStringLiteral("Are you sure you want to reset the bot 'Rambo' to its default settings?"));
    QCOMPARE(box.prompts.at(1).title, QStringLiteral("Reset Bot"));
    QCOMPARE(c.roster(), roster::defaultRoster());
    QCOMPARE(c.skill(Skill::Aiming), 90);
    QCOMPARE(c.skill(Skill::Perfection), 85);
    QCOMPARE(c.curBot(), 9);
}

void TestBotEditorController::resetButtonFollowsTheSelectedName_data()
{
    QTest::addColumn<QString>("added"); // a bot to add and select, or empty for Rambo
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("default bot") << "" << "Re&set Rambo" << true;
    QTest::newRow("added bot") << "Zed" << "Re&set" << false;
}

void TestBotEditorController::resetButtonFollowsTheSelectedName()
{
    QFETCH(QString, added);
    QFETCH(QString, caption);
    QFETCH(bool, enabled);
    PortFolder port;
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    if (added.isEmpty()) {
        c.selectBot(9);
    } else {
        box.expectInput(added);
        c.add();
    }
    QCOMPARE(c.resetBotCaption(), caption);
    QCOMPARE(c.resetBotEnabled(), enabled);
}

void TestBotEditorController::resetAllDiscardsEverything()
{
    PortFolder port;
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    box.expectInput(QStringLiteral("Zed"));
    c.add();
    c.selectBot(5);
    c.setSkill(Skill::Isp, 0);
    c.selectBot(4);
    c.setChannel(Channel::Green, 1); // shown and unstored

    box.expect(Answer::No);
    c.resetAll();
    QCOMPARE(c.names().size(), 17);

    box.expect(Answer::Yes);
    c.resetAll();
    QCOMPARE(box.prompts.at(1).text,
             QStringLiteral("Are you sure you want to reset all bots settings?  This will delete any bots you may have added."));
    QCOMPARE(box.prompts.at(1).title, QStringLiteral("Reset All Bots"));
    QCOMPARE(c.roster(), roster::defaultRoster());
    QCOMPARE(c.names(), roster::defaultNames());
    QCOMPARE(c.curBot(), 0);
    QCOMPARE(c.shownRecord(), roster::defaultRecord(0));
}

void TestBotEditorController::weaponRows()
{
    PortFolder port;
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    c.selectBot(1); // rows in digit order
    QVERIFY(!c.upEnabled());
    QVERIFY(c.downEnabled());
    c.moveWeaponUp(); // nothing above the first row
    QCOMPARE(c.weapons().first(), QStringLiteral("Fists"));

    c.moveWeaponDown();
    QCOMPARE(c.weaponRow(), 1);
    QCOMPARE(c.weapons().mid(0, 2), (QStringList{"Chainsaw", "Fists"}));

    c.selectWeaponRow(8);
    QVERIFY(c.upEnabled());
    QVERIFY(!c.downEnabled());
    c.moveWeaponUp();
    QCOMPARE(c.weaponRow(), 7);
    QCOMPARE(c.weapons().mid(7), (QStringList{"BFG 9000", "Plasma rifle"}));

    c.MenuReplace(QStringLiteral("Shotgun"));
    QCOMPARE(c.weapons().at(7), QStringLiteral("Shotgun"));
    QCOMPARE(c.weaponRow(), 7);
    QCOMPARE(c.shownRecord().section(u'{', 7, 7), QStringLiteral("102345637"));
}

void TestBotEditorController::oddWeaponPrefStillGivesNineRows_data()
{
    QTest::addColumn<QString>("weaponpref");
    QTest::addColumn<QString>("stored");
    QTest::newRow("short") << "87" << "872345678";
    QTest::newRow("other characters") << "x9-8" << "012845678";
    QTest::newRow("too long") << "8888888887" << "888888888";
    QTest::newRow("empty") << "" << "012345678";
}

void TestBotEditorController::oddWeaponPrefStillGivesNineRows()
{
    QFETCH(QString, weaponpref);
    QFETCH(QString, stored);
    PortFolder port;
    port.writeRoster(roster::encode(roster::fileText(
        QStringLiteral("Odd{1{2{3{4{\"00 00 00\"{base{%1}Next{1{2{3{4{\"00 00 00\"{base{876543210").arg(weaponpref))));
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    QCOMPARE(c.weapons().size(), 9);
    QCOMPARE(c.shownRecord().section(u'{', 7, 7), stored);
}

void TestBotEditorController::unreadableValuesLeaveTheControls()
{
    PortFolder port;
    port.writeRoster(roster::encode(roster::fileText(QStringLiteral(
        "Ann{10{20{30{40{\"01 02 03\"{red{876543210}Bad{x{101{-1{ {\"zz 7\"{skin{012345678"))));
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    c.selectBot(1);
    QCOMPARE(c.shownRecord(), QStringLiteral("Bad{10{20{30{40{\"01 02 03\"{skin{012345678"));
}

void TestBotEditorController::blankSkinBecomesBase()
{
    PortFolder port;
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    c.setSkin(QStringLiteral("   "));
    QCOMPARE(c.skin(), QStringLiteral("   "));
    c.leaveSkin();
    QCOMPARE(c.skin(), QStringLiteral("base"));
    c.setSkin(QStringLiteral(" x "));
    c.leaveSkin();
    QCOMPARE(c.skin(), QStringLiteral(" x "));
}

void TestBotEditorController::captions()
{
    PortFolder port;
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load(); // Hugne: 67 50 70 50, 40 cf 00
    QCOMPARE(c.skillCaption(Skill::Aiming), QStringLiteral("&Aiming (67):"));
    QCOMPARE(c.skillCaption(Skill::Perfection), QStringLiteral("&Perfection (50):"));
    QCOMPARE(c.skillCaption(Skill::Reaction), QStringLiteral("&Reaction (70):"));
    QCOMPARE(c.skillCaption(Skill::Isp), QStringLiteral("&ISP (50):"));
    QCOMPARE(c.channelCaption(Channel::Red), QStringLiteral("Re&d (40):"));
    QCOMPARE(c.channelCaption(Channel::Green), QStringLiteral("&Green (CF):"));
    QCOMPARE(c.channelCaption(Channel::Blue), QStringLiteral("B&lue (0):"));
    c.setChannel(Channel::Blue, 10);
    QCOMPARE(c.channelCaption(Channel::Blue), QStringLiteral("B&lue (A):"));
    QCOMPARE(c.shownRecord().section(u'{', 5, 5), QStringLiteral("\"40 cf 0a\""));
}

void TestBotEditorController::closeWritesTheShownBot()
{
    PortFolder port;
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    c.selectBot(15);
    c.setSkill(Skill::Aiming, 0);
    QVERIFY(c.close());
    const QString expected = roster::replaceRecord(roster::defaultRoster(), 15,
                                                   QStringLiteral("killern{0{100{100{23{\"ff ff ff\"{base{012385787"));
    QCOMPARE(port.rosterBytes(), roster::encode(roster::fileText(expected)));
    QVERIFY(box.prompts.isEmpty());
}

void TestBotEditorController::closeOnReadOnlyFile_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("abort") << int(Answer::Abort) << true;
    QTest::newRow("ignore") << int(Answer::Ignore) << false;
}

void TestBotEditorController::closeOnReadOnlyFile()
{
    QFETCH(int, answer);
    QFETCH(bool, closes);
    PortFolder port;
    const QByteArray original = twoBotFile();
    port.writeRoster(original);
    QVERIFY(QFile::setPermissions(port.rosterFile(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    c.setSkill(Skill::Aiming, 77);
    box.expect(Answer(answer));
    QCOMPARE(c.close(), closes);

    QCOMPARE(box.prompts.size(), 1);
    const auto& p = box.prompts.at(0);
    QCOMPARE(p.title, QStringLiteral("ZDoom Cajun Bot Editor Error"));
    QCOMPARE(p.buttons, MessageBox::Buttons::AbortRetryIgnore);
    QCOMPARE(p.icon, MessageBox::Icon::Critical);
    const QChar sep = QDir::separator();
    QCOMPARE(p.text, QStringLiteral("An error occurred when trying to write to the file '") + port.folder() + sep
                         + QStringLiteral("zcajun") + sep
                         + QStringLiteral("Bots.cfg'.  Make sure the file is not read-only or in use by another "
                                          "program.\r\n\r\nPress Retry to try again.  You will lose any changes "
                                          "if you press Abort."));
    QCOMPARE(port.rosterBytes(), original);
    // The roster stays in memory with the stored edit.
    QCOMPARE(roster::record(c.roster(), 0).section(u'{', 1, 1), QStringLiteral("77"));
}

void TestBotEditorController::retryWritesOnceTheFileIsFixed()
{
    PortFolder port;
    QVERIFY(QDir(port.folder()).rmdir(QStringLiteral("zcajun")));
    FixingMessageBox box;
    box.fix = [&port] { QDir(port.folder()).mkdir(QStringLiteral("zcajun")); };
    BotEditorController c(port.folder(), box);
    c.load();
    QVERIFY(c.close());
    QCOMPARE(box.shown, 1);
    QCOMPARE(port.rosterBytes(), roster::encode(roster::fileText(roster::defaultRoster())));
}

void TestBotEditorController::hostileFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("no closing brace") << QByteArray("{\r\n\tname\t\tBob\r\n\taiming\t\t5\r\n");
    QTest::newRow("zero bytes") << QByteArray();
    QByteArray junk(64 * 1024, '\0');
    QRandomGenerator rng(20240601);
    for (char& b : junk) b = char(rng.bounded(256));
    QTest::newRow("binary junk") << junk;
    QTest::newRow("unbalanced braces") << QByteArray("}}}{{{{}{}}{\t{\t}\r\n{{{{{\t\t\t}");
    QTest::newRow("values with three tabs")
        << QByteArray("{\r\n\tname\t\tBob\t\t\t\r\n\taiming\t\t\t\t67\r\n\tcolor\t\t\"\t\t\t\"\r\n}\r\n");
    QByteArray big;
    const QByteArray block = roster::encode(roster::fileText(roster::defaultRoster()));
    while (big.size() < 5 * 1024 * 1024) big += block;
    QTest::newRow("5 MB of bots") << big;
    QByteArray bigJunk(5 * 1024 * 1024, '\0');
    for (char& b : bigJunk) b = char(rng.bounded(256));
    QTest::newRow("5 MB of junk") << bigJunk;
    QTest::newRow("braces only, 5 MB") << QByteArray(5 * 1024 * 1024, '}');
}

void TestBotEditorController::hostileFiles()
{
    QFETCH(QByteArray, bytes);
    PortFolder port;
    port.writeRoster(bytes);
    test::ScriptedMessageBox box;
    BotEditorController c(port.folder(), box);
    c.load();
    QVERIFY(!c.names().isEmpty());
    QCOMPARE(c.curBot(), 0);
    QCOMPARE(c.weapons().size(), 9);
    c.selectBot(int(c.names().size()) - 1);
    c.selectBot(0);
    QVERIFY(c.close());
    // What was written reads back without trouble.
    BotEditorController again(port.folder(), box);
    again.load();
    QVERIFY(!again.names().isEmpty());
    QVERIFY(box.prompts.isEmpty());
}

QTEST_GUILESS_MAIN(TestBotEditorController)
#include "tst_bot_editor_controller.moc"
