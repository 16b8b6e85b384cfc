#include "editors/bots/bot_roster.h"
#include "snapshots.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;

class TestBotRoster : public QObject
{
    Q_OBJECT
private slots:
    void rosterFile();
    void recordOperations();
    void readsByPosition_data();
    void readsByPosition();
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
    QVERIFY(roster::writeFile(path, roster::defaultRoster()));
    const QByteArray bytes = test::fileBytes(path);
    QVERIFY(bytes.startsWith("{\r\n\tname\t\tHugne\r\n\taiming\t\t67\r\n\tperfection\t50\r\n\treaction\t70\r\n\tisp\t\t50\r\n"
                             "\tcolor\t\t\"40 cf 00\"\r\n\tskin\t\tbase\r\n\tweaponpref\t012385687\r\n}\r\n\r\n{\r\n"));
    QVERIFY(bytes.endsWith("\tweaponpref\t012385787\r\n}\r\n\r\n\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Bots.cfg"});

    const roster::ReadResult read = roster::GetBots(roster::decode(bytes));
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
    // A record gives eight fields at most, and a short one as many as it has.
    QCOMPARE(roster::fileText(QStringLiteral("a{1{2{3{4{c{s{w{extra}b")),
             QStringLiteral("{\r\n\tname\t\ta\r\n\taiming\t\t1\r\n\tperfection\t2\r\n\treaction\t3\r\n\tisp\t\t4\r\n"
                            "\tcolor\t\tc\r\n\tskin\t\ts\r\n\tweaponpref\tw\r\n}\r\n\r\n{\r\n\tname\t\tb\r\n\r\n"));

    QByteArray all;
    for (int b = 0; b < 256; ++b) all += char(b);
    QBuffer buffer(&all);
    QString text;
    QVERIFY(buffer.open(QIODevice::ReadOnly) && roster::readText(buffer, text));
    QCOMPARE(roster::encode(text), all);
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

// The file is read by position, not by key word: what each block gives.
void TestBotRoster::readsByPosition_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("Roster");
    QTest::addColumn<QStringList>("names");
    const auto row = [](const char* name, const char* file, const QString& Roster, const QStringList& names) {
        QTest::newRow(name) << QString(file) << Roster << names;
    };
    row("zero bytes", "", roster::defaultRoster(), roster::defaultNames());
    row("no closing brace", "{\r\n\tname\t\tBob\r\n\taiming\t\t5\r\n", roster::defaultRoster(), roster::defaultNames());
    row("keys in another order", "{\r\n\taiming\t\t67\r\n\tname\t\tBob\r\n}\r\n", "67{Bob", {"67"});
    row("empty value", "{\r\n\tname\t\t\r\n\taiming\t\t67\r\n}\r\n", "67", {""});
    row("empty value in the first of two blocks splits the record",
        "{\r\n\tname\t\t\r\n\taiming\t\t67\r\n}\r\n{\r\n\tname\t\tBob\r\n\taiming\t\t5\r\n}\r\n", "67}Bob{5", {"", "Bob"});
    row("three tabs after a value shift the items", "{\r\n\tname\t\tBob\t\t\t\r\n\taiming\t\t67\r\n\tperfection\t50\r\n}\r\n",
        "Bob{aiming{perfection", {"Bob"});
    row("three tabs after a block's last value", "{\r\n\tname\t\tBob\t\t\t\r\n}\r\n{\r\n\tname\t\tAl\r\n}\r\n", "Bob}{Al",
        {"Bob", "Al"});
    row("text before the first block", "junk\r\n{\r\n\tname\t\tBob\r\n}\r\n", "unk{Bob", {"Bob"});
    row("blocks without a name", "{\r\n}\r\n{\r\n}\r\n", "", {"Hugne"});
    row("LF line ends stay in the value", "{\n\tname\t\tBob\n}\n", "{Bob\n", {"Bob\n"});
    row("no opening brace after the first block", "{\r\n\tname\t\tBob\r\n}\r\n\tname\t\tAl\r\n}\r\n", "Bob", {"Bob"});
}

void TestBotRoster::readsByPosition()
{
    QFETCH(QString, file);
    QFETCH(QString, Roster);
    QFETCH(QStringList, names);
    const roster::ReadResult read = roster::GetBots(file);
    QCOMPARE(read.Roster, Roster);
    QCOMPARE(read.names, names);
}

QTEST_GUILESS_MAIN(TestBotRoster)
#include "tst_bot_roster.moc"
