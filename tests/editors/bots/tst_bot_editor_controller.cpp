#include "doubles.h"

#include "editors/bots/bot_editor_controller.h"
#include "editors/bots/bot_roster.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;
using Answer = MessageBox::Answer;
using Buttons = MessageBox::Buttons;
using Icon = MessageBox::Icon;
using Skill = BotEditorController::Skill;
using Channel = BotEditorController::Channel;

namespace {

// An editor opened on a port folder of its own, on a roster file when one is given.
struct Editor
{
    QTemporaryDir dir;
    test::ScriptedMessageBox box;
    BotEditorController c;

    explicit Editor(const QByteArray& file = QByteArray(), bool withFile = false) : c(dir.path(), box)
    {
        QDir(dir.path()).mkdir(QStringLiteral("zcajun"));
        if (withFile || !file.isEmpty()) {
            QFile f(rosterFile());
            if (f.open(QIODevice::WriteOnly)) f.write(file);
        }
        c.load();
    }
    static Editor* onRoster(const QString& Roster) { return new Editor(roster::encode(roster::fileText(Roster))); }
    QString rosterFile() const { return dir.filePath(QStringLiteral("zcajun/Bots.cfg")); }
    QByteArray rosterBytes() const
    {
        QFile f(rosterFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

// The one message box shown.
void checkPrompt(const test::ScriptedMessageBox& box, const QString& title, const QString& text,
                 Buttons buttons, Icon icon)
{
    QCOMPARE(box.prompts.size(), 1);
    const auto& p = box.prompts.at(0);
    QCOMPARE(p.title, title);
    QCOMPARE(p.text, text);
    QCOMPARE(p.buttons, buttons);
    QCOMPARE(p.icon, icon);
}

QString field(const QString& rec, int position)
{
    return rec.section(u'{', position, position);
}

const QString kTwoBots = QStringLiteral("Ann{10{20{30{40{\"01 02 03\"{red{876543210}"
                                        "Bea{90{80{70{60{\"a0 b0 c0\"{blue{012345678");

} // namespace

class TestBotEditorController : public QObject
{
    Q_OBJECT
private slots:
    void opensOnDefaultsWithoutWriting();
    void editsComeBackAfterSelectingAnotherBot();
    void add_data();
    void add();
    void rename_data();
    void rename();
    void questions_data();
    void questions();
    void removingTheLastBotIsRefused();
    void weaponRows();
    void recordsShownAndStoredAgain_data();
    void recordsShownAndStoredAgain();
    void closeOnReadOnlyFile_data();
    void closeOnReadOnlyFile();
    void retryWritesOnceTheFolderIsThere();
    void hostileFiles_data();
    void hostileFiles();
};

void TestBotEditorController::opensOnDefaultsWithoutWriting()
{
    Editor e;
    QCOMPARE(e.c.names(), roster::defaultNames());
    QCOMPARE(e.c.roster(), roster::defaultRoster()); // the controls' first values were not stored
    QCOMPARE(e.c.curBotName(), QStringLiteral("Hugne"));
    QVERIFY(!e.c.holdStore());
    QCOMPARE(e.c.weaponRow(), 0);
    QCOMPARE(e.c.skillCaption(Skill::Perfection), QStringLiteral("&Perfection (50):"));
    QCOMPARE(e.c.skillCaption(Skill::Isp), QStringLiteral("&ISP (50):"));
    QCOMPARE(e.c.channelCaption(Channel::Green), QStringLiteral("&Green (CF):"));
    QCOMPARE(e.c.channelCaption(Channel::Blue), QStringLiteral("B&lue (0):"));
    QCOMPARE(e.c.resetBotCaption(), QStringLiteral("Re&set Hugne"));
    QVERIFY(!QFile::exists(e.rosterFile()));
}

void TestBotEditorController::editsComeBackAfterSelectingAnotherBot()
{
    Editor e;
    e.c.setSkill(Skill::Aiming, 3);
    e.c.setChannel(Channel::Red, 10);
    e.c.setSkin(QStringLiteral("a{b}"));
    e.c.MenuReplace(QStringLiteral("Pistol"));
    e.c.selectWeaponRow(4);
    e.c.selectBot(1);
    QCOMPARE(roster::record(e.c.roster(), 0), QStringLiteral("Hugne{3{50{70{50{\"0a cf 00\"{a(b){212385687"));
    QCOMPARE(e.c.skill(Skill::Aiming), 34); // Josef
    QCOMPARE(e.c.weaponRow(), 4);
    e.c.selectBot(0);
    QCOMPARE(e.c.skill(Skill::Aiming), 3);
    QCOMPARE(e.c.channelCaption(Channel::Red), QStringLiteral("Re&d (A):"));
    QCOMPARE(e.c.weapons().first(), QStringLiteral("Pistol"));
    QCOMPARE(roster::record(e.c.roster(), 1), roster::defaultRecord(1));
}

void TestBotEditorController::add_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("added"); // empty: nothing added
    QTest::addColumn<bool>("refused");

    QTest::newRow("plain") << "Zed" << true << "Zed" << false;
    QTest::newRow("blanks around") << "   Zed  " << true << "Zed" << false;
    QTest::newRow("cut to 14") << "ABCDEFGHIJKLMNOPQRST" << true << "ABCDEFGHIJKLMN" << false;
    QTest::newRow("braces") << "{x}" << true << "(x)" << false;
    QTest::newRow("cancelled") << "Zed" << false << "" << false;
    QTest::newRow("blanks only") << "    " << true << "" << false;
    QTest::newRow("taken, other case") << "josef" << true << "" << true;
    QTest::newRow("taken after trimming") << " KILLERN " << true << "" << true;
}

void TestBotEditorController::add()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, added);
    QFETCH(bool, refused);

    Editor e;
    e.c.selectBot(9);
    e.c.setSkill(Skill::Reaction, 99); // shown, not yet stored
    e.box.expectInput(typed, accepted);
    if (refused) e.box.expect(Answer::Ok);
    e.c.add();

    QCOMPARE(e.box.inputPrompts.value(0).title, QStringLiteral("Add Bot"));
    QCOMPARE(e.box.inputPrompts.value(0).prompt, QStringLiteral("Type the new bot's name:"));
    QCOMPARE(e.box.inputPrompts.value(0).initial, QString());
    if (refused)
        checkPrompt(e.box, QStringLiteral("Add Bot Error"),
                    QStringLiteral("The name '%1' is already in use.  Please choose a unique name.").arg(typed.trimmed()),
                    Buttons::Ok, Icon::Exclamation);
    if (added.isEmpty()) {
        QCOMPARE(e.c.names(), roster::defaultNames());
        QCOMPARE(e.c.roster(), roster::defaultRoster());
        return;
    }
    QCOMPARE(field(roster::record(e.c.roster(), 9), 3), QStringLiteral("99")); // stored on the way
    QCOMPARE(e.c.names().size(), 17);
    QCOMPARE(e.c.names().last(), added);
    QCOMPARE(e.c.curBot(), 16);
    QCOMPARE(e.c.curBotName(), added);
    QCOMPARE(e.c.shownRecord(), added + QStringLiteral("{67{50{70{50{\"40 cf 00\"{base{012385687"));
    QCOMPARE(e.c.weapons().at(4), QStringLiteral("BFG 9000"));
    QCOMPARE(e.c.resetBotCaption(), QStringLiteral("Re&set"));
    QVERIFY(!e.c.resetBotEnabled());
}

void TestBotEditorController::rename_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("renamed"); // empty: no change
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

    Editor e;
    e.box.expectInput(typed);
    if (refused) e.box.expect(Answer::Ok);
    e.c.rename();

    QCOMPARE(e.box.inputPrompts.value(0).prompt, QStringLiteral("Type a new name for 'Hugne':"));
    QCOMPARE(e.box.inputPrompts.value(0).title, QStringLiteral("Rename Bot"));
    if (refused)
        checkPrompt(e.box, QStringLiteral("Rename Bot Error"),
                    QStringLiteral("The name '%1' is already in use.  Please choose a unique name.").arg(typed),
                    Buttons::Ok, Icon::Exclamation);
    const QString name = renamed.isEmpty() ? QStringLiteral("Hugne") : renamed;
    QCOMPARE(e.c.names().first(), name);
    QCOMPARE(e.c.curBotName(), name);
    // The record's name follows at the next store.
    QCOMPARE(field(roster::record(e.c.roster(), 0), 0), QStringLiteral("Hugne"));
    e.c.selectBot(1);
    QCOMPARE(field(roster::record(e.c.roster(), 0), 0), name);
}

void TestBotEditorController::questions_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("Roster");
    QTest::addColumn<int>("names");
    QTest::addColumn<QString>("shown");

    // Before each: Zed added, Rambo's aiming 1 stored, his perfection 2 shown but not stored.
    QString edited = roster::replaceRecord(roster::defaultRoster(), 9,
                                           QStringLiteral("Rambo{1{85{1{3{\"ff ff 00\"{base{012345678"));
    edited = roster::appendRecord(edited, QStringLiteral("Zed{67{50{70{50{\"40 cf 00\"{base{012385687"));
    const QString shownEdit = QStringLiteral("Rambo{1{2{1{3{\"ff ff 00\"{base{012345678");
    const int no = int(Answer::No);
    const int yes = int(Answer::Yes);

    QTest::newRow("remove, no") << "remove" << no << edited << 17 << shownEdit;
    QTest::newRow("remove, yes") << "remove" << yes << roster::removeRecord(edited, 9) << 16 << roster::defaultRecord(0);
    QTest::newRow("reset bot, no") << "resetBot" << no << edited << 17 << shownEdit;
    QTest::newRow("reset bot, yes") << "resetBot" << yes << roster::replaceRecord(edited, 9, roster::defaultRecord(9))
                                    << 17 << roster::defaultRecord(9);
    QTest::newRow("reset all, no") << "resetAll" << no << edited << 17 << shownEdit;
    QTest::newRow("reset all, yes") << "resetAll" << yes << roster::defaultRoster() << 16 << roster::defaultRecord(0);
}

void TestBotEditorController::questions()
{
    QFETCH(QString, op);
    QFETCH(int, answer);
    QFETCH(QString, Roster);
    QFETCH(int, names);
    QFETCH(QString, shown);

    Editor e;
    e.box.expectInput(QStringLiteral("Zed"));
    e.c.add();
    e.c.selectBot(9);
    e.c.setSkill(Skill::Aiming, 1);
    e.c.selectBot(0);
    e.c.selectBot(9);
    e.c.setSkill(Skill::Perfection, 2);
    e.box.expect(Answer(answer));
    QString title, text;
    if (op == u"remove") {
        e.c.remove();
        title = QStringLiteral("Remove Bot");
        text = QStringLiteral("Are you sure you want to remove the bot 'Rambo' (removing a custom bot cannot be undone)?");
    } else if (op == u"resetBot") {
        e.c.resetBot();
        title = QStringLiteral("Reset Bot");
        text = QStringLiteral("Are you sure you want to reset the bot 'Rambo' to its default settings?");
    } else {
        e.c.resetAll();
        title = QStringLiteral("Reset All Bots");
        text = QStringLiteral("Are you sure you want to reset all bots settings?  This will delete any bots you may have added.");
    }
    checkPrompt(e.box, title, text, Buttons::YesNo, Icon::Question);
    QCOMPARE(e.c.roster(), Roster);
    QCOMPARE(e.c.names().size(), names);
    QCOMPARE(e.c.shownRecord(), shown);
}

void TestBotEditorController::removingTheLastBotIsRefused()
{
    std::unique_ptr<Editor> e(Editor::onRoster(QStringLiteral("Solo{1{2{3{4{\"00 00 00\"{base{012345678")));
    e->box.expect(Answer::Ok);
    e->c.remove();
    checkPrompt(e->box, QStringLiteral("Remove Error"), QStringLiteral("You must have at least one bot"),
                Buttons::Ok, Icon::Exclamation);
    QCOMPARE(e->c.names(), QStringList{"Solo"});
}

void TestBotEditorController::weaponRows()
{
    Editor e;
    e.c.selectBot(1); // rows in digit order
    QVERIFY(!e.c.upEnabled());
    QVERIFY(e.c.downEnabled());
    e.c.moveWeaponUp(); // nothing above the first row
    e.c.moveWeaponDown();
    QCOMPARE(e.c.weaponRow(), 1);
    e.c.selectWeaponRow(8);
    QVERIFY(e.c.upEnabled());
    QVERIFY(!e.c.downEnabled());
    e.c.moveWeaponDown(); // nothing below the last row
    e.c.moveWeaponUp();
    QCOMPARE(e.c.weaponRow(), 7);
    e.c.MenuReplace(QStringLiteral("Shotgun"));
    QCOMPARE(e.c.weaponRow(), 7);
    QCOMPARE(field(e.c.shownRecord(), 7), QStringLiteral("102345637"));
}

void TestBotEditorController::recordsShownAndStoredAgain_data()
{
    QTest::addColumn<QString>("record"); // shown after Ann{10{20{30{40{"01 02 03"{red{876543210
    QTest::addColumn<QString>("stored");
    QTest::newRow("clean") << "B{1{2{3{4{\"0a 0b 0c\"{s{012345678" << "B{1{2{3{4{\"0a 0b 0c\"{s{012345678";
    QTest::newRow("values that do not convert keep the controls")
        << "B{x{101{-1{ {\"zz 7\"{s{012345678" << "B{10{20{30{40{\"01 02 03\"{s{012345678";
    QTest::newRow("short weaponpref") << "B{1{2{3{4{\"00 00 00\"{s{87" << "B{1{2{3{4{\"00 00 00\"{s{872345678";
    QTest::newRow("weaponpref with other characters")
        << "B{1{2{3{4{\"00 00 00\"{s{x9-8" << "B{1{2{3{4{\"00 00 00\"{s{012845678";
    QTest::newRow("long weaponpref") << "B{1{2{3{4{\"00 00 00\"{s{8888888887" << "B{1{2{3{4{\"00 00 00\"{s{888888888";
}

void TestBotEditorController::recordsShownAndStoredAgain()
{
    QFETCH(QString, record);
    QFETCH(QString, stored);
    std::unique_ptr<Editor> e(Editor::onRoster(roster::record(kTwoBots, 0) + u'}' + record));
    e->c.selectBot(1);
    QCOMPARE(e->c.weapons().size(), 9);
    QCOMPARE(e->c.shownRecord(), stored);
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
    std::unique_ptr<Editor> e(Editor::onRoster(kTwoBots));
    const QByteArray original = e->rosterBytes();
    QVERIFY(QFile::setPermissions(e->rosterFile(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    e->c.setSkill(Skill::Aiming, 77);
    e->box.expect(Answer(answer));
    QCOMPARE(e->c.close(), closes);

    const QChar sep = QDir::separator();
    checkPrompt(e->box, QStringLiteral("ZDoom Cajun Bot Editor Error"),
                QStringLiteral("An error occurred when trying to write to the file '") + e->dir.path() + sep
                    + QStringLiteral("zcajun") + sep
                    + QStringLiteral("Bots.cfg'.  Make sure the file is not read-only or in use by another "
                                     "program.\r\n\r\nPress Retry to try again.  You will lose any changes "
                                     "if you press Abort."),
                Buttons::AbortRetryIgnore, Icon::Critical);
    QCOMPARE(e->rosterBytes(), original);
    QCOMPARE(field(roster::record(e->c.roster(), 0), 1), QStringLiteral("77")); // still in memory
}

void TestBotEditorController::retryWritesOnceTheFolderIsThere()
{
    QTemporaryDir dir;
    // Creates the missing folder when asked, as a user would before pressing Retry.
    struct FixingBox final : MessageBox
    {
        QString folder;
        int shown = 0;
        Answer show(const QString&, const QString&, Buttons, Icon) override
        {
            ++shown;
            QDir().mkpath(folder);
            return Answer::Retry;
        }
        bool input(const QString&, const QString&, QString&) override { return false; }
    } box;
    box.folder = dir.filePath(QStringLiteral("zcajun"));
    BotEditorController c(dir.path(), box);
    c.load();
    QVERIFY(c.close());
    QCOMPARE(box.shown, 1);
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("zcajun/Bots.cfg"))));
}

void TestBotEditorController::hostileFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QRandomGenerator rng(20240601);
    const auto junk = [&rng](qsizetype size) {
        QByteArray b(size, '\0');
        for (char& ch : b) ch = char(rng.bounded(256));
        return b;
    };
    QByteArray bots;
    const QByteArray block = roster::encode(roster::fileText(roster::defaultRoster()));
    while (bots.size() < 5 * 1024 * 1024) bots += block;

    QTest::newRow("no closing brace") << QByteArray("{\r\n\tname\t\tBob\r\n\taiming\t\t5\r\n");
    QTest::newRow("zero bytes") << QByteArray();
    QTest::newRow("binary junk") << junk(64 * 1024);
    QTest::newRow("unbalanced braces") << QByteArray("}}}{{{{}{}}{\t{\t}\r\n{{{{{\t\t\t}");
    QTest::newRow("values with three tabs")
        << QByteArray("{\r\n\tname\t\tBob\t\t\t\r\n\taiming\t\t\t\t67\r\n\tcolor\t\t\"\t\t\t\"\r\n}\r\n");
    QTest::newRow("5 MB of bots") << bots;
    QTest::newRow("5 MB of junk") << junk(5 * 1024 * 1024);
    QTest::newRow("5 MB of closing braces") << QByteArray(5 * 1024 * 1024, '}');
}

void TestBotEditorController::hostileFiles()
{
    QFETCH(QByteArray, bytes);
    Editor e(bytes, true);
    QVERIFY(!e.c.names().isEmpty());
    QCOMPARE(e.c.weapons().size(), 9);
    e.c.selectBot(int(e.c.names().size()) - 1);
    QVERIFY(e.c.close());
    // What was written opens again.
    BotEditorController again(e.dir.path(), e.box);
    again.load();
    QVERIFY(!again.names().isEmpty());
    QVERIFY(e.box.prompts.isEmpty());
}

QTEST_GUILESS_MAIN(TestBotEditorController)
#include "tst_bot_editor_controller.moc"
