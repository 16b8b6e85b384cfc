#include "temp_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

#include <unistd.h>

using namespace tarnwick;

namespace {

const QString kSettings = QStringLiteral("Tarnwick\\Settings");

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A database that some other program made: a table of its own, one row.
void makeForeignDatabase(const QString& path)
{
    const QString name = QStringLiteral("foreign-db");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE scores (player TEXT, frags INTEGER)")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO scores VALUES ('doomguy', 99)")));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// Writes `count` keys "<prefix><i>" from its own store on its own thread, in groups of
// `group` writes per transaction (1: each write alone).
class Writer : public QThread
{
public:
    Writer(QString path, QString prefix, int count, int group)
        : m_path(std::move(path)), m_prefix(std::move(prefix)), m_count(count), m_group(group)
    {
    }
    bool opened = false;

protected:
    void run() override
    {
        SettingsStore store;
        opened = store.open(m_path);
        for (int i = 0; i < m_count; i += m_group) {
            SettingsStore::Transaction tx(store);
            for (int j = i; j < i + m_group && j < m_count; ++j)
                store.write(kSettings, m_prefix + QString::number(j), QString::number(j));
        }
    }

private:
    QString m_path;
    QString m_prefix;
    int m_count;
    int m_group;
};

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT
private slots:
    void namesIgnoreLetterCase_data();
    void namesIgnoreLetterCase();
    void firstWrittenCaseIsKept();
    void deleteSectionRemovesOnlyThatSection();
    void transactionCommitsAtTheOutermostEnd();
    void writesOutliveTheStore();
    void twoProgramsWritingAtOnceLoseNothing();
    void unusableFileIsLeftAlone_data();
    void unusableFileIsLeftAlone();
    void missingFolderIsCreated();
};

void TestSettingsStore::namesIgnoreLetterCase_data()
{
    QTest::addColumn<QString>("writeSection");
    QTest::addColumn<QString>("writeKey");
    QTest::addColumn<QString>("readSection");
    QTest::addColumn<QString>("readKey");
    QTest::newRow("obsolete sound key") << "Tarnwick\\Settings" << "3PrimarySound" << "tarnwick\\settings" << "3Primarysound";
    QTest::newRow("history section") << "Tarnwick\\History\\Transfile" << "TransfileCount" << "Tarnwick\\History\\TransFile" << "TRANSFILECOUNT";
    QTest::newRow("page key") << "Tarnwick" << "Form1Top" << "TARNWICK" << "form1top";
}

void TestSettingsStore::namesIgnoreLetterCase()
{
    QFETCH(QString, writeSection);
    QFETCH(QString, writeKey);
    QFETCH(QString, readSection);
    QFETCH(QString, readKey);
    test::TempStore t;
    QVERIFY(t.store.isPersistent());
    t.store.write(writeSection, writeKey, QStringLiteral("1"));
    QCOMPARE(t.store.read(readSection, readKey), QStringLiteral("1"));
    QVERIFY(t.store.contains(readSection, readKey));
    t.store.write(readSection, readKey, QStringLiteral("2"));
    QCOMPARE(t.store.read(writeSection, writeKey), QStringLiteral("2"));
    QCOMPARE(t.store.entries(writeSection).size(), 1);
    QCOMPARE(t.store.read(readSection, readKey + u'x', QStringLiteral("dflt")), QStringLiteral("dflt"));
    QVERIFY(!t.store.contains(readSection, readKey + u'x'));
}

void TestSettingsStore::firstWrittenCaseIsKept()
{
    test::TempStore t;
    const QString section = QStringLiteral("Tarnwick\\History\\Transfile");
    t.store.write(section, QStringLiteral("TransfileCount"), QStringLiteral("1"));
    t.store.write(section, QStringLiteral("Transfile1"), QStringLiteral("a.tch"));
    t.store.write(QStringLiteral("TARNWICK\\HISTORY\\TRANSFILE"), QStringLiteral("TRANSFILE1"), QStringLiteral("b.tch"));
    t.store.write(QStringLiteral("tarnwick\\history\\transfile"), QStringLiteral("transfilecount"), QStringLiteral("2"));

    const QList<QPair<QString, QString>> expected = {{QStringLiteral("TransfileCount"), QStringLiteral("2")},
                                                    {QStringLiteral("Transfile1"), QStringLiteral("b.tch")}};
    QCOMPARE(t.store.entries(QStringLiteral("Tarnwick\\History\\TransFile")), expected);

    SettingsStore later;
    QVERIFY(later.open(t.store.path()));
    QCOMPARE(later.entries(section), expected);
}

void TestSettingsStore::deleteSectionRemovesOnlyThatSection()
{
    test::TempStore t;
    const QString deh = QStringLiteral("Tarnwick\\History\\Deh");
    t.store.write(deh, QStringLiteral("DehCount"), QStringLiteral("1"));
    t.store.write(deh, QStringLiteral("Deh1"), QStringLiteral("a.deh"));
    t.store.write(QStringLiteral("Tarnwick\\History\\Dehx"), QStringLiteral("k"), QStringLiteral("kept"));
    t.store.write(QStringLiteral("Tarnwick\\History"), QStringLiteral("k"), QStringLiteral("kept"));
    t.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form1Top"), QStringLiteral("0"));

    t.store.deleteSection(QStringLiteral("TARNWICK\\history\\deh"));
    QVERIFY(t.store.entries(deh).isEmpty());
    QCOMPARE(t.store.read(deh, QStringLiteral("Deh1"), QStringLiteral("gone")), QStringLiteral("gone"));
    QCOMPARE(t.store.read(QStringLiteral("Tarnwick\\History\\Dehx"), QStringLiteral("k")), QStringLiteral("kept"));
    QCOMPARE(t.store.read(QStringLiteral("Tarnwick\\History"), QStringLiteral("k")), QStringLiteral("kept"));
    QCOMPARE(t.store.read(QStringLiteral("Tarnwick"), QStringLiteral("Form1Top")), QStringLiteral("0"));
    t.store.deleteSection(deh); // deleting what is gone is harmless

    // A list written again after deletion starts afresh, in the new letter case.
    t.store.write(QStringLiteral("tarnwick\\history\\DEH"), QStringLiteral("DEHCOUNT"), QStringLiteral("1"));
    QCOMPARE(t.store.entries(deh).value(0).first, QStringLiteral("DEHCOUNT"));
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
        QCOMPARE(other.read(kSettings, QStringLiteral("1ZEXE"), QStringLiteral("none")), QStringLiteral("none"));
        QCOMPARE(other.read(kSettings, QStringLiteral("1ZFolder"), QStringLiteral("none")), QStringLiteral("none"));
    }
    QCOMPARE(other.read(kSettings, QStringLiteral("1ZEXE")), QStringLiteral("zdoom"));
    QCOMPARE(other.read(kSettings, QStringLiteral("1ZFolder")), QStringLiteral("/games"));
}

void TestSettingsStore::writesOutliveTheStore()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.db"));
    {
        SettingsStore s;
        QVERIFY(s.open(path));
        s.write(kSettings, QStringLiteral("4EC"), QStringLiteral("-nomusic \"quoted\" ünïcode"));
        s.write(kSettings, QStringLiteral("1ZEXE"), QString());
    }
    SettingsStore again;
    QVERIFY(again.open(path));
    QCOMPARE(again.read(kSettings, QStringLiteral("4ec")), QStringLiteral("-nomusic \"quoted\" ünïcode"));
    QVERIFY(again.contains(kSettings, QStringLiteral("1ZEXE")));
    QCOMPARE(again.read(kSettings, QStringLiteral("1ZEXE"), QStringLiteral("x")), QString());
}

void TestSettingsStore::twoProgramsWritingAtOnceLoseNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.db"));
    {
        SettingsStore first; // the file exists before the two start, as after any earlier run
        QVERIFY(first.open(path));
    }
    Writer a(path, QStringLiteral("a"), 300, 7);
    Writer b(path, QStringLiteral("b"), 300, 1);
    a.start();
    b.start();
    QVERIFY(a.wait(120000));
    QVERIFY(b.wait(120000));
    QVERIFY(a.opened);
    QVERIFY(b.opened);

    SettingsStore reader;
    QVERIFY(reader.open(path));
    const QHash<QString, QString> all = reader.readSection(kSettings);
    QCOMPARE(all.size(), 600);
    for (int i = 0; i < 300; ++i) {
        QCOMPARE(all.value(QStringLiteral("a%1").arg(i)), QString::number(i));
        QCOMPARE(all.value(QStringLiteral("b%1").arg(i)), QString::number(i));
    }
}

void TestSettingsStore::unusableFileIsLeftAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("garbage") << "garbage";
    QTest::newRow("zero bytes") << "empty";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("no permission") << "unreadable";
    QTest::newRow("another program's database") << "foreign";
    QTest::newRow("text that starts like a database") << "fake header";
}

void TestSettingsStore::unusableFileIsLeftAlone()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("my settings.db"));
    if (kind == QLatin1StringView("garbage")) {
        QByteArray junk;
        for (int i = 0; i < 3000; ++i) junk += char((i * 7919) & 0xff);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(junk);
    } else if (kind == QLatin1StringView("empty")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else if (kind == QLatin1StringView("folder")) {
        QVERIFY(QDir().mkpath(path));
        QVERIFY(QFile(path + QStringLiteral("/keep.txt")).open(QIODevice::WriteOnly));
    } else if (kind == QLatin1StringView("unreadable")) {
        if (::geteuid() == 0) QSKIP("root reads every file");
        makeForeignDatabase(path);
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
    } else if (kind == QLatin1StringView("foreign")) {
        makeForeignDatabase(path);
    } else {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("SQLite format 3\0", 16) + QByteArray(2000, 'x'));
    }
    const QByteArray before = bytesOf(path);
    const QStringList siblingsBefore = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    SettingsStore store;
    QVERIFY(!store.open(path));
    QVERIFY(!store.isPersistent());
    QVERIFY2(store.errorText().contains(path), qPrintable(store.errorText()));

    // The program goes on with defaults in memory.
    QCOMPARE(store.read(kSettings, QStringLiteral("1ZEXE"), QStringLiteral("default")), QStringLiteral("default"));
    store.write(kSettings, QStringLiteral("1ZEXE"), QStringLiteral("zdoom"));
    QCOMPARE(store.read(kSettings, QStringLiteral("1ZEXE")), QStringLiteral("zdoom"));
    { SettingsStore::Transaction tx(store); store.write(kSettings, QStringLiteral("2Game"), QStringLiteral("1")); }
    QCOMPARE(store.read(kSettings, QStringLiteral("2game")), QStringLiteral("1"));

    QCOMPARE(bytesOf(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), siblingsBefore);
    if (kind == QLatin1StringView("folder"))
        QCOMPARE(QDir(path).entryList(QDir::Files), QStringList{QStringLiteral("keep.txt")});
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestSettingsStore::missingFolderIsCreated()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a/b/settings.db"));
    SettingsStore store;
    QVERIFY2(store.open(path), qPrintable(store.errorText()));
    QVERIFY(store.isPersistent());
    QVERIFY(store.errorText().isEmpty());
    store.write(kSettings, QStringLiteral("k"), QStringLiteral("v"));
    QVERIFY(QFileInfo(path).isFile());
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
