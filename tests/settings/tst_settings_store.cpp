#include "snapshots.h"
#include "temp_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>
#include <unistd.h>

using namespace tarnwick;

namespace {

const QString kSettings = QStringLiteral("Tarnwick\\Settings");

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void namesIgnoreLetterCaseAndKeepTheFirst();
    void valuesKeepTheirBytesInTheFile_data();
    void valuesKeepTheirBytesInTheFile();
    void transactionCommitsAtTheOutermostEnd();
    void firstStartMakesTheFileWithItsFirstWrite();
    void unusableFileIsLeftAlone_data();
    void unusableFileIsLeftAlone();
    void emptyFileBecomesTheDatabase_data();
    void emptyFileBecomesTheDatabase();
    void copiesStartedTogetherLoseNothing();
    void writeWaitsForAnotherProgramsLock();
};

// Both spellings of the obsolete sound key and of the translucency history reach one value,
// kept in the case first written, also in a new folder and after the program starts again.
void TestSettingsStore::namesIgnoreLetterCaseAndKeepTheFirst()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a/b/settings.db"));
    const QString history = QStringLiteral("Tarnwick\\History\\Transfile");
    const QList<QPair<QString, QString>> expected = {{"TransfileCount", "2"}, {"Transfile1", "b.tch"}};
    {
        SettingsStore s;
        QVERIFY2(s.open(path), qPrintable(s.errorText()));
        s.write(kSettings, QStringLiteral("3PrimarySound"), QStringLiteral("1"));
        s.write(QStringLiteral("tarnwick\\settings"), QStringLiteral("3Primarysound"), QStringLiteral("2"));
        s.write(history, QStringLiteral("TransfileCount"), QStringLiteral("1"));
        s.write(history, QStringLiteral("Transfile1"), QStringLiteral("a.tch"));
        s.write(QStringLiteral("TARNWICK\\HISTORY\\TRANSFILE"), QStringLiteral("TRANSFILE1"), QStringLiteral("b.tch"));
        s.write(history.toLower(), QStringLiteral("transfilecount"), QStringLiteral("2"));
        QCOMPARE(s.entries(QStringLiteral("Tarnwick\\History\\TransFile")), expected);
    }
    SettingsStore again;
    QVERIFY(again.open(path) && again.isPersistent());
    QCOMPARE(again.entries(history), expected);
    QCOMPARE(again.entries(kSettings), (QList<QPair<QString, QString>>{{"3PrimarySound", "2"}}));
    QVERIFY(again.contains(QStringLiteral("TARNWICK\\settings"), QStringLiteral("3PRIMARYSOUND")));
    QCOMPARE(again.read(kSettings, QStringLiteral("3PrimarySoundx"), QStringLiteral("dflt")), QStringLiteral("dflt"));

    // Deleting a section, named in any case, leaves the sections its name begins or continues;
    // a list written again afterwards starts afresh, in the new letter case.
    for (const QString& section : {history + u'x', QStringLiteral("Tarnwick\\History"), QStringLiteral("Tarnwick")})
        again.write(section, QStringLiteral("k"), section);
    again.deleteSection(QStringLiteral("TARNWICK\\history\\transfile"));
    QVERIFY(again.entries(history).isEmpty());
    QCOMPARE(again.read(history + u'x', "k") + again.read("Tarnwick\\History", "k") + again.read("Tarnwick", "k"),
             history + "xTarnwick\\HistoryTarnwick");
    again.write(QStringLiteral("tarnwick\\history\\TRANSFILE"), QStringLiteral("TRANSFILECOUNT"), QStringLiteral("1"));
    QCOMPARE(again.entries(history).value(0).first, QStringLiteral("TRANSFILECOUNT"));
}

// A value is kept as UTF-8 text that SQLite itself makes from UTF-16 and back, as every
// earlier build kept it, so a file reads the same whichever build wrote it. Zero characters
// stay; a broken UTF-16 pair comes back as SQLite reads it.
void TestSettingsStore::valuesKeepTheirBytesInTheFile_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("readBack");
    const QString accents = QStringLiteral("\u00fcber \u2013 \u20ac");
    QTest::newRow("accents") << accents << QByteArray::fromHex("c3bc62657220e2809320e282ac") << accents;
    QTest::newRow("a pair") << QStringLiteral("\U0001F600") << QByteArray::fromHex("f09f9880") << QStringLiteral("\U0001F600");
    QTest::newRow("zero characters") << QStringLiteral("a") + QChar(0) + u'b' + QChar(0) << QByteArray("a\0b\0", 4)
                                     << QStringLiteral("a") + QChar(0) + u'b' + QChar(0);
    QTest::newRow("empty") << QString() << QByteArray() << QStringLiteral("");
    QTest::newRow("halves in the wrong order") << QStringLiteral("x") + QChar(0xDC00) + QChar(0xD83D) + u'y'
                                               << QByteArray::fromHex("78f09080bd79") << QStringLiteral("x\U0001003Dy");
}

void TestSettingsStore::valuesKeepTheirBytesInTheFile()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, stored);
    QFETCH(QString, readBack);
    test::TempStore t;
    t.store.write(kSettings, QStringLiteral("k"), value);
    sqlite3* db = nullptr;
    sqlite3_stmt* q = nullptr;
    QByteArray bytes("no row");
    if (sqlite3_open(QFile::encodeName(t.store.path()).constData(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT CAST(value AS BLOB) FROM store WHERE key='k'", -1, &q, nullptr) == SQLITE_OK &&
        sqlite3_step(q) == SQLITE_ROW)
        bytes = QByteArray(static_cast<const char*>(sqlite3_column_blob(q, 0)), sqlite3_column_bytes(q, 0));
    sqlite3_finalize(q);
    sqlite3_close(db);
    QCOMPARE(bytes.toHex(), stored.toHex());
    SettingsStore again;
    QVERIFY(again.open(t.store.path()));
    const QString read = again.read(kSettings, QStringLiteral("K"), QStringLiteral("missing"));
    QCOMPARE(read, readBack);
    QVERIFY(!read.isNull());
}

void TestSettingsStore::transactionCommitsAtTheOutermostEnd()
{
    test::TempStore t;
    SettingsStore other;
    QVERIFY(other.open(t.store.path()));
    {
        SettingsStore::Transaction outer(t.store);
        t.store.write(kSettings, QStringLiteral("1ZEXE"), QStringLiteral("zdoom"));
        {
            SettingsStore::Transaction inner(t.store);
            t.store.write(kSettings, QStringLiteral("1ZFolder"), QStringLiteral("/games"));
        }
        // The writer sees its own writes; another program sees none until the save is done.
        QCOMPARE(t.store.read(kSettings, QStringLiteral("1ZFolder")), QStringLiteral("/games"));
        QVERIFY(other.entries(kSettings).isEmpty());
    }
    QCOMPARE(other.entries(kSettings).size(), 2);
}

// A first start reads an empty store without making a file; the first write makes it whole,
// and a program still waiting to write reads what another one has kept meanwhile.
void TestSettingsStore::firstStartMakesTheFileWithItsFirstWrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new folder/settings.db"));
    SettingsStore first, second;
    QVERIFY(first.open(path) && first.isPersistent() && first.created() && second.open(path));
    QCOMPARE(first.read(kSettings, QStringLiteral("1ZEXE"), QStringLiteral("none")), QStringLiteral("none"));
    first.deleteSection(kSettings);
    QVERIFY(!QFileInfo::exists(path));

    first.write(kSettings, QStringLiteral("1ZEXE"), QStringLiteral("zdoom"));
    QCOMPARE(second.read(kSettings, QStringLiteral("1zexe")), QStringLiteral("zdoom"));
    second.write(kSettings, QStringLiteral("2Game"), QStringLiteral("1"));
    QCOMPARE(first.entries(kSettings).size(), 2);
    SettingsStore later; // the next start is no first start
    QVERIFY(later.open(path) && !later.created());
    const QStringList left = QDir(dir.filePath(QStringLiteral("new folder"))).entryList(QDir::Files | QDir::Hidden);
    QVERIFY2(left.filter(QStringLiteral("tarnwick")).isEmpty(), qPrintable(left.join(u' ')));
}

void TestSettingsStore::unusableFileIsLeftAlone_data()
{
    QTest::addColumn<QString>("kind");
    for (const char* kind : {"garbage", "text", "folder", "no permission", "another program's database", "inside a file"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

void TestSettingsStore::unusableFileIsLeftAlone()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("my settings.db"));
    if (kind == "inside a file") { // a folder that cannot be made
        QVERIFY(test::putFile(path, "text"));
        path += QStringLiteral("/settings.db");
    } else if (kind == "folder") {
        QVERIFY(QDir().mkpath(path) && test::putFile(path + QStringLiteral("/keep.txt"), {}));
    } else if (kind == "garbage" || kind == "text") {
        QVERIFY(test::putFile(path, kind == "text" ? QByteArray("[GlobalSettings]\nGamma=1\n")
                                                   : QByteArray("SQLite format 3\0", 16) + QByteArray(2000, '\x9c')));
    } else {
        if (kind == QLatin1StringView("no permission") && ::geteuid() == 0) QSKIP("root reads every file");
        sqlite3* db = nullptr;
        const bool made = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
                          sqlite3_exec(db, "CREATE TABLE scores (player TEXT)", nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        QVERIFY(made);
        if (kind == QLatin1StringView("no permission")) QVERIFY(QFile::setPermissions(path, {}));
    }
    const QByteArray before = test::fileBytes(path);
    const QStringList siblingsBefore = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    SettingsStore store;
    QVERIFY(!store.open(path));
    QVERIFY(!store.isPersistent());
    QVERIFY2(store.errorText().contains(path), qPrintable(store.errorText()));
    // The program goes on with defaults in memory.
    QCOMPARE(store.read(kSettings, QStringLiteral("1ZEXE"), QStringLiteral("default")), QStringLiteral("default"));
    { SettingsStore::Transaction tx(store); store.write(kSettings, QStringLiteral("2Game"), QStringLiteral("1")); }
    QCOMPARE(store.read(kSettings, QStringLiteral("2game")), QStringLiteral("1"));

    QCOMPARE(test::fileBytes(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), siblingsBefore);
    if (kind == QLatin1StringView("folder")) QCOMPARE(QDir(path).entryList(QDir::Files), QStringList{"keep.txt"});
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// A first start killed before it wrote anything leaves a file of zero bytes, perhaps with
// an empty journal beside it: the next start makes it the settings database.
void TestSettingsStore::emptyFileBecomesTheDatabase_data()
{
    QTest::addColumn<QStringList>("leftovers");
    QTest::newRow("zero bytes") << QStringList{};
    QTest::newRow("with a journal") << QStringList{"-journal"};
    QTest::newRow("with a log and its index") << QStringList{"-wal", "-shm"};
}

void TestSettingsStore::emptyFileBecomesTheDatabase()
{
    QFETCH(QStringList, leftovers);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.db"));
    for (const QString& file : QStringList{""} + leftovers) QVERIFY(test::putFile(path + file, {}));
    {
        SettingsStore store;
        QVERIFY2(store.open(path) && store.isPersistent(), qPrintable(store.errorText()));
        store.write(kSettings, QStringLiteral("1ZEXE"), QStringLiteral("zdoom"));
    }
    SettingsStore again;
    QVERIFY(again.open(path));
    QCOMPARE(again.read(kSettings, QStringLiteral("1ZEXE")), QStringLiteral("zdoom"));
}

// Copies of the program started at the same moment all use the settings file and lose none
// of what they write: on a new file in a folder not made yet, and (the first round, with more
// keys) on the file of an earlier run. One copy saves seven keys per transaction, the others
// key by key.
void TestSettingsStore::copiesStartedTogetherLoseNothing()
{
    constexpr int kCopies = 3;
    for (int round = 0; round < 60; ++round) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("new/settings.db"));
        const int keys = round == 0 ? 300 : 8;
        if (round == 0) {
            SettingsStore earlier;
            QVERIFY(earlier.open(path));
            earlier.write(QStringLiteral("Tarnwick"), QStringLiteral("URLAbout"), QStringLiteral("x"));
        }
        std::atomic<int> waiting = kCopies;
        QStringList errors(kCopies);
        auto copy = [&](int n) {
            SettingsStore store;
            for (--waiting; waiting > 0;) std::this_thread::yield();
            if (!store.open(path)) errors[n] = store.errorText();
            const int group = n == 0 ? 7 : 1;
            for (int i = 0; i < keys; i += group) {
                SettingsStore::Transaction tx(store);
                for (int j = i; j < i + group && j < keys; ++j) store.write(kSettings, QStringLiteral("%1-%2").arg(n).arg(j), QString::number(round));
            }
        };
        std::vector<std::thread> copies;
        for (int n = 0; n < kCopies; ++n) copies.emplace_back(copy, n);
        for (std::thread& t : copies) t.join();
        QCOMPARE(errors.join(QString()), QString());
        SettingsStore next;
        QVERIFY(next.open(path));
        const QHash<QString, QString> all = next.readSection(kSettings);
        QCOMPARE(all.size(), kCopies * keys);
        for (const QString& value : all) QCOMPARE(value, QString::number(round));
    }
}

// Another copy of the program holding the file's write lock longer than a write's own
// retries last: the write waits for it and lands, nothing is lost.
void TestSettingsStore::writeWaitsForAnotherProgramsLock()
{
    test::TempStore t;
    t.store.write(kSettings, QStringLiteral("before"), QStringLiteral("1")); // the file exists
    sqlite3* other = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(t.store.path()).constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread release([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    t.store.write(kSettings, QStringLiteral("during"), QStringLiteral("2"));
    release.join();
    sqlite3_close(other);
    SettingsStore again;
    QVERIFY(again.open(t.store.path()));
    QCOMPARE(again.read(kSettings, QStringLiteral("during")), QStringLiteral("2"));
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
