#include "editors/bots/bot_roster.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;

namespace {

QString native(QString path)
{
    return path.replace(u'/', QDir::separator());
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

const QString kHugneBlock = QStringLiteral(
    "{\r\n"
    "\tname\t\tHugne\r\n"
    "\taiming\t\t67\r\n"
    "\tperfection\t50\r\n"
    "\treaction\t70\r\n"
    "\tisp\t\t50\r\n"
    "\tcolor\t\t\"40 cf 00\"\r\n"
    "\tskin\t\tbase\r\n"
    "\tweaponpref\t012385687\r\n"
    "}\r\n"
    "\r\n");

} // namespace

class TestBotRoster : public QObject
{
    Q_OBJECT
private slots:
    void writtenDefaultRosterHasTheBlockFormat();
    void defaultRosterRoundTrips();
    void recordOperations_data();
    void recordOperations();
    void readsByPosition_data();
    void readsByPosition();
    void writesOnlyEightFields();
    void everyByteSurvivesReadAndWrite();
    void rosterPath_data();
    void rosterPath();
    void writeReplacesTheFile();
};

void TestBotRoster::writtenDefaultRosterHasTheBlockFormat()
{
    const QString text = roster::fileText(roster::defaultRoster());
    QVERIFY(text.startsWith(kHugneBlock));
    QVERIFY(text.endsWith(QStringLiteral("\tweaponpref\t012385787\r\n}\r\n\r\n\r\n")));
    QCOMPARE(text.count(QStringLiteral("{\r\n\tname\t\t")), 16);
    QCOMPARE(text.count(QStringLiteral("\r\n}\r\n\r\n")), 16);
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));
    QCOMPARE(roster::record(roster::defaultRoster(), 14), QStringLiteral("V234{72{35{46{77{\"ff ff ff\"{base{012345876"));
}

void TestBotRoster::defaultRosterRoundTrips()
{
    const roster::ReadResult read = roster::GetBots(roster::fileText(roster::defaultRoster()));
    QVERIFY(!read.usedDefault);
    QCOMPARE(read.Roster, roster::defaultRoster());
    QCOMPARE(read.names, roster::defaultNames());
    // The colour keeps its quotes through the file.
    QCOMPARE(roster::record(read.Roster, 2).section(u'{', 5, 5), QStringLiteral("\"50 50 60\""));
}

void TestBotRoster::recordOperations_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("Roster");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");

    QTest::newRow("get middle") << "get" << "a{1}b{2}c{3" << 1 << "b{2";
    QTest::newRow("get past the end") << "get" << "a}b" << 5 << "";
    QTest::newRow("replace first") << "replace" << "a}b}c" << 0 << "X}b}c";
    QTest::newRow("replace last") << "replace" << "a}b}c" << 2 << "a}b}X";
    QTest::newRow("replace past the end keeps the place") << "replace" << "a}b" << 3 << "a}b}}X";
    QTest::newRow("remove middle") << "remove" << "a}b}c" << 1 << "a}c";
    QTest::newRow("remove first") << "remove" << "a}b}c" << 0 << "b}c";
    QTest::newRow("remove past the end") << "remove" << "a}b" << 4 << "a}b";
    QTest::newRow("append") << "append" << "a}b" << -1 << "a}b}X";
}

void TestBotRoster::recordOperations()
{
    QFETCH(QString, op);
    QFETCH(QString, Roster);
    QFETCH(int, index);
    QFETCH(QString, expected);
    const QString x = QStringLiteral("X");
    QString got;
    if (op == u"get") got = roster::record(Roster, index);
    else if (op == u"replace") got = roster::replaceRecord(Roster, index, x);
    else if (op == u"remove") got = roster::removeRecord(Roster, index);
    else got = roster::appendRecord(Roster, x);
    QCOMPARE(got, expected);
}

void TestBotRoster::readsByPosition_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("Roster");
    QTest::addColumn<QStringList>("names");

    const QString defaults = roster::defaultRoster();
    const QStringList defaultNames = roster::defaultNames();

    QTest::newRow("zero bytes") << "" << defaults << defaultNames;
    QTest::newRow("blanks only") << "  \r\n\t " << defaults << defaultNames;
    QTest::newRow("text without a closing brace")
        << "{\r\n\tname\t\tBob\r\n\taiming\t\t5\r\n" << defaults << defaultNames;
    QTest::newRow("keys in another order")
        << "{\r\n\taiming\t\t67\r\n\tname\t\tBob\r\n}\r\n" << "67{Bob" << QStringList{"67"};
    QTest::newRow("empty value")
        << "{\r\n\tname\t\t\r\n\taiming\t\t67\r\n}\r\n" << "67" << QStringList{""};
    QTest::newRow("empty value in the first of two blocks splits the record")
        << "{\r\n\tname\t\t\r\n\taiming\t\t67\r\n}\r\n{\r\n\tname\t\tBob\r\n\taiming\t\t5\r\n}\r\n"
        << "67}Bob{5" << QStringList{"", "Bob"};
    QTest::newRow("three tabs after a value shift the items")
        << "{\r\n\tname\t\tBob\t\t\t\r\n\taiming\t\t67\r\n\tperfection\t50\r\n}\r\n"
        << "Bob{aiming{perfection" << QStringList{"Bob"};
    QTest::newRow("three tabs after a block's last value")
        << "{\r\n\tname\t\tBob\t\t\t\r\n}\r\n{\r\n\tname\t\tAl\r\n}\r\n"
        << "Bob}{Al" << QStringList{"Bob", "Al"};
    QTest::newRow("text before the first block")
        << "junk\r\n{\r\n\tname\t\tBob\r\n}\r\n" << "unk{Bob" << QStringList{"Bob"};
    QTest::newRow("a lone closing brace")
        << "}" << "" << QStringList{"Hugne"};
    QTest::newRow("blocks without a name")
        << "{\r\n}\r\n{\r\n}\r\n" << "" << QStringList{"Hugne"};
    QTest::newRow("LF line ends keep the line break in the value")
        << "{\n\tname\t\tBob\n}\n" << "{Bob\n" << QStringList{"Bob\n"};
    QTest::newRow("no opening brace after the first block")
        << "{\r\n\tname\t\tBob\r\n}\r\n\tname\t\tAl\r\n}\r\n" << "Bob" << QStringList{"Bob"};
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

void TestBotRoster::writesOnlyEightFields()
{
    QCOMPARE(roster::fileText(QStringLiteral("a{1{2{3{4{c{s{w{extra}b")),
             QStringLiteral("{\r\n\tname\t\ta\r\n\taiming\t\t1\r\n\tperfection\t2\r\n\treaction\t3\r\n"
                            "\tisp\t\t4\r\n\tcolor\t\tc\r\n\tskin\t\ts\r\n\tweaponpref\tw\r\n}\r\n\r\n"
                            "{\r\n\tname\t\tb\r\n\r\n"));
}

void TestBotRoster::everyByteSurvivesReadAndWrite()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b) all += char(b);
    QBuffer buffer(&all);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QString text;
    QVERIFY(roster::readText(buffer, text));
    QCOMPARE(text.size(), 256);
    QCOMPARE(roster::encode(text), all);
}

void TestBotRoster::rosterPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << "/games/zdoom" << native("/games/zdoom/zcajun/Bots.cfg");
    QTest::newRow("trailing separator") << "/games/zdoom/" << native("/games/zdoom/zcajun/Bots.cfg");
    QTest::newRow("doubled inside") << "/games//zdoom" << native("/games/zdoom/zcajun/Bots.cfg");
}

void TestBotRoster::rosterPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, path);
    QCOMPARE(roster::RosterPath(folder), path);
}

void TestBotRoster::writeReplacesTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Bots.cfg"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(10000, 'x'));
    }
    QVERIFY(roster::writeFile(path, roster::defaultRoster()));
    const QByteArray bytes = fileBytes(path);
    QCOMPARE(bytes, roster::encode(roster::fileText(roster::defaultRoster())));
    QVERIFY(bytes.startsWith(roster::encode(kHugneBlock)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Bots.cfg"});
}

QTEST_GUILESS_MAIN(TestBotRoster)
#include "tst_bot_roster.moc"
