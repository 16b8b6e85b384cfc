#include "editors/bots/bot_roster.h"
#include "snapshots.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;

class TestBotRoster : public QObject
{
    Q_OBJECT
private slots:
    void rosterFile();
    void recordOperations();
    void readsByKey_data();
    void readsByKey();
    void writtenRostersReadBack();
};

// Where the roster file is; the default roster written over an older file in the block
// format, and read back; every byte of 8-bit text read and written unchanged.
void TestBotRoster::rosterFile()
{
    const QString native = QDir::toNativeSeparators(QStringLiteral("/games/zdoom/zcajun/Bots.cfg"));
    QCOMPARE(roster::RosterPath(QStringLiteral("/games/zdoom")), native);
    QCOMPARE(roster::RosterPath(QStringLiteral("/games//zdoom/")), native); // doubled separators are reduced

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Bots.cfg"));
    QVERIFY(test::putFile(path, QByteArray(10000, 'x')));
    QVERIFY(roster::writeFile(path, roster::defaultRoster(), filetext::Encoding::Utf8).ok());
    const QByteArray bytes = test::fileBytes(path);
    QVERIFY(bytes.endsWith("\tweaponpref\t012385787\r\n}\r\n\r\n\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Bots.cfg"});

    const roster::ReadResult read = roster::GetBots(filetext::decode(bytes, filetext::Encoding::Utf8));
    QVERIFY(!read.usedDefault);
    QCOMPARE(read.names, roster::defaultNames());
    // Every value of the sixteen default bots, colours in their quotes.
    const QString defaults = QStringLiteral(
        "Hugne{67{50{70{50{\"40 cf 00\"{base{012385687}Josef{34{75{15{90{\"b0 b0 b0\"{base{012345678}"
        "Sven{80{67{72{87{\"50 50 60\"{base{012345678}Emmily{15{50{50{50{\"8f 00 00\"{base{082345678}"
        "Mats{5{13{2{100{\"ff ff ff\"{base{012345678}Joel{45{30{70{60{\"ff af 3f\"{base{012345678}"
        "James{56{34{78{50{\"bf 00 00\"{base{012345678}Gustav{25{55{32{70{\"00 00 ff\"{base{012345678}"
        "Flare{61{50{23{32{\"00 00 7f\"{base{012345678}Rambo{90{85{1{3{\"ff ff 00\"{base{012345678}"
        "Ingo{12{35{56{37{\"40 cf 00\"{base{012345678}Kassy{1{35{1{100{\"b0 b0 b0\"{base{012345678}"
        "Derrick{67{15{76{37{\"50 50 60\"{base{012345678}Hellkeeper{52{35{50{37{\"8f 00 00\"{base{012345678}"
        "V234{72{35{46{77{\"ff ff ff\"{base{012345876}killern{100{100{100{23{\"ff ff ff\"{base{012385787");
    QCOMPARE(read.Roster, defaults);
    // A record gives eight fields at most; a short one, or one with empty fields, the
    // lines of the values it has, in a block of its own.
    QCOMPARE(roster::fileText(QStringLiteral("a{1{2{3{4{c{s{w{extra}b}c{{{{9")),
             QStringLiteral("{\r\n\tname\t\ta\r\n\taiming\t\t1\r\n\tperfection\t2\r\n\treaction\t3\r\n\tisp\t\t4\r\n"
                            "\tcolor\t\tc\r\n\tskin\t\ts\r\n\tweaponpref\tw\r\n}\r\n\r\n{\r\n\tname\t\tb\r\n}\r\n\r\n"
                            "{\r\n\tname\t\tc\r\n\tisp\t\t9\r\n}\r\n\r\n\r\n"));

    QByteArray all;
    for (int b = 0; b < 256; ++b) all += char(b);
    // Bytes that are no UTF-8 are read in the Western code page, and every one comes back.
    QCOMPARE(filetext::detect(all), filetext::Encoding::Windows1252);
    QCOMPARE(filetext::encode(filetext::decode(all, filetext::Encoding::Windows1252), filetext::Encoding::Windows1252), all);
}

void TestBotRoster::recordOperations()
{
    QCOMPARE(roster::record(QStringLiteral("a{1}b{2}c{3"), 1), QStringLiteral("b{2"));
    QCOMPARE(roster::replaceRecord(QStringLiteral("a}b}c"), 2, QStringLiteral("X")), QStringLiteral("a}b}X"));
    QCOMPARE(roster::replaceRecord(QStringLiteral("a}b"), 3, QStringLiteral("X")), QStringLiteral("a}b}}X")); // keeps its place
    QCOMPARE(roster::removeRecord(QStringLiteral("a}b}c"), 1), QStringLiteral("a}c"));
    QCOMPARE(roster::removeRecord(QStringLiteral("a}b"), 4), QStringLiteral("a}b"));
    QCOMPARE(roster::appendRecord(QStringLiteral("a}b"), QStringLiteral("X")), QStringLiteral("a}b}X"));
}

// The file is read by key word: what each file gives, and how many of its lines a
// write would not give back.
void TestBotRoster::readsByKey_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("Roster");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("dropped");
    const auto row = [](const char* name, const char* file, const QString& Roster, const QStringList& names, int dropped = 0) {
        QTest::newRow(name) << QString(file) << Roster << names << dropped;
    };
    const QString all = "Bob{67{50{70{50{\"40 cf 00\"{base{012385687";
    row("editor's own", "{\r\n\tname\t\tBob\r\n\taiming\t\t67\r\n\tperfection\t50\r\n\treaction\t70\r\n\tisp\t\t50\r\n"
        "\tcolor\t\t\"40 cf 00\"\r\n\tskin\t\tbase\r\n\tweaponpref\t012385687\r\n}\r\n\r\n\r\n", all, {"Bob"});
    row("CR line ends", "{\r\tname\t\tBob\r\taiming\t\t5\r}\r{\r\tname\t\tAl\r}\r", "Bob{5}Al", {"Bob", "Al"});
    row("blanks, not tabs", "{\n  name   Bob\n  isp 9\n  color \"40 cf 00\"  \t\n}\n", "Bob{{{{9{\"40 cf 00\"  ", {"Bob"});
    row("keys in another order", "{\r\n\tweaponpref\t876543210\r\n\taiming\t\t67\r\n\tNAME\t\tBob\r\n}\r\n",
        "Bob{67{{{{{{876543210", {"Bob"});
    row("unknown key", "{\r\n\tname\t\tBob\r\n\tteam\t\tred\r\n\taiming\t\t5\r\n}\r\n", "Bob{5", {"Bob"}, 1);
    row("key given twice", "{\r\n\tname\t\tBob\r\n\taiming\t\t5\r\n\taiming\t\t6\r\n}\r\n", "Bob{5", {"Bob"}, 1);
    row("empty value", "{\r\n\tname\t\tBob\r\n\taiming\t\t\r\n\tperfection\t50\r\n}\r\n", "Bob{{50", {"Bob"}, 1);
    row("three tabs after a value", "{\r\n\tname\t\tBob\t\t\t\r\n\taiming\t\t67\r\n}\r\n", "Bob{67", {"Bob"});
    row("no name", "{\r\n\taiming\t\t5\r\n}\r\n{\r\n\tname\t\tBot 1\r\n}\r\n{\r\n\tname\t\r\n\tisp\t\t9\r\n}",
        "Bot 2{5}Bot 1}Bot 3{{{{9", {"Bot 2", "Bot 1", "Bot 3"}, 1);
    row("duplicate names", "{\nname Bob\n}\n{\nname bob\n}\n{\nname Bob 2\n}\n{\nname ABCDEFGHIJKLMN\n}\n{\nname abcdefghijklmn\n}\n",
        "Bob}bob 3}Bob 2}ABCDEFGHIJKLMN}abcdefghijkl 2", {"Bob", "bob 3", "Bob 2", "ABCDEFGHIJKLMN", "abcdefghijkl 2"});
    row("text around the blocks", "junk\r\n{ name Bob\r\nskin a{b} // the end\r\n", "Bob{{{{{{a(b", {"Bob"}, 2);
    row("a block opened in a block", "{\nname A\n{\nname B\n}\n", "A}B", {"A", "B"});
    row("zero bytes", "", roster::defaultRoster(), roster::defaultNames());
    row("no closing brace", "{\r\n\tname\t\tBob\r\n\taiming\t\t5\r\n", roster::defaultRoster(), roster::defaultNames(), 2);
    row("blocks without keys", "{\r\n}\r\n{\r\n# nothing\r\n}\r\n", roster::defaultRoster(), roster::defaultNames(), 1);
}

void TestBotRoster::readsByKey()
{
    QFETCH(QString, file);
    QFETCH(QString, Roster);
    QFETCH(QStringList, names);
    QFETCH(int, dropped);
    const roster::ReadResult read = roster::GetBots(file);
    QCOMPARE(read.Roster, Roster);
    QCOMPARE(read.names, names);
    QCOMPARE(read.droppedLines, dropped);
}

// Rosters the editor could hold, written and read again: the same roster, the same
// names, nothing dropped; blanks at either end of a skin included.
void TestBotRoster::writtenRostersReadBack()
{
    QRandomGenerator random(7);
    const auto pick = [&](QStringView chars, int length) {
        QString text;
        while (text.size() < length) text += chars.at(random.bounded(int(chars.size())));
        return text;
    };
    for (int round = 0; round < 200; ++round) {
        QStringList records, names;
        for (int bot = 0, count = random.bounded(1, 20); bot < count; ++bot) {
            names << QString::number(bot) + pick(u"abcXYZ09 ()\"'\u00e9\u00ff", random.bounded(13)).trimmed();
            records << QStringLiteral("%1{%2{%3{%4{%5{\"%6\"{%7{%8")
                           .arg(names.last()).arg(random.bounded(101)).arg(random.bounded(101)).arg(random.bounded(101))
                           .arg(random.bounded(101)).arg(pick(u"0123456789abcdef", 6).insert(4, u' ').insert(2, u' '))
                           .arg(pick(u" ab.c()\u00e9", random.bounded(1, 15)) + u'.', pick(u"012345678", 9));
        }
        const roster::ReadResult read = roster::GetBots(
            filetext::decode(filetext::encode(roster::fileText(records.join(u'}')), filetext::Encoding::Utf8), filetext::Encoding::Utf8));
        QCOMPARE(read.Roster, records.join(u'}'));
        QCOMPARE(read.names, names);
        QCOMPARE(read.droppedLines, 0);
    }
}

QTEST_GUILESS_MAIN(TestBotRoster)
#include "tst_bot_roster.moc"
