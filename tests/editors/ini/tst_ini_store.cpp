#include "doubles.h"
#include "editors/ini/ini_document.h"
#include "editors/ini/ini_store.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray junk(int size)
{
    QRandomGenerator random(4711);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& b : bytes) b = char(random.bounded(256));
    return bytes;
}

IniDocument parsed(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    IniDocument doc;
    doc.read(buffer);
    return doc;
}

} // namespace

class TestIniStore : public QObject
{
    Q_OBJECT
private slots:
    void hostileFilesSurviveUntouched_data();
    void hostileFilesSurviveUntouched();
    void lookUp_data();
    void lookUp();
    void editChangesOnlyItsKey_data();
    void editChangesOnlyItsKey();
    void appendingToJunkKeepsEveryByte();

    void readKeyOfMissingThings();
    void writeKeyCreatesFileAndSection();
    void eightBitValues();
    void unchangedValueDoesNotRewrite();
    void unwritableFileGivesOneMessage_data();
    void unwritableFileGivesOneMessage();
    void batchWritesOnceAndReportsOnce();
};

// Reading any file and writing it back without an edit gives the same bytes.
void TestIniStore::hostileFilesSurviveUntouched_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("binary junk") << junk(64 * 1024);
    QTest::newRow("10 MB line") << (QByteArray("[GlobalSettings]\nGamma=") + QByteArray(10 * 1024 * 1024, '7') + "\n");
    QTest::newRow("no final line break") << QByteArray("[A]\r\nx=1");
    QTest::newRow("CR only") << QByteArray("[A]\rx=1\r\r[B]\ry=2\r");
    QTest::newRow("mixed endings") << QByteArray("[A]\r\nx=1\ny=2\rz=3\n\r");
    QTest::newRow("NUL byte") << QByteArray("[A]\nx=a\0b\n\0\n", 13);
    QTest::newRow("duplicates") << QByteArray("[A]\nx=1\nx=2\n[a]\nx=3\n");
    QTest::newRow("only separators") << QByteArray("\n\r\n\r\r\n\n");
}

void TestIniStore::hostileFilesSurviveUntouched()
{
    QFETCH(QByteArray, bytes);
    IniDocument doc = parsed(bytes);
    QCOMPARE(doc.bytes(), bytes);
    QVERIFY(!doc.value("GlobalSettings", "missing"));
    // Writing back the value a key already has changes nothing.
    if (const auto x = doc.value("A", "x")) {
        QVERIFY(!doc.setValue("a", "X", *x));
        QCOMPARE(doc.bytes(), bytes);
    }
    QVERIFY(!doc.isModified());
}

void TestIniStore::lookUp_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("expected"); // "<none>" when absent
    const auto row = [](const char* name, QByteArray file, const char* section, const char* key, QByteArray expected) {
        QTest::newRow(name) << file << QByteArray(section) << QByteArray(key) << expected;
    };
    row("case of names", "[doom.player]\nNAME=Bob\n", "Doom.Player", "name", "Bob");
    row("blanks", " [ A ] \n  x  =  two words  \n", "A", "x", "two words");
    row("empty value", "[A]\nx=\n", "A", "x", "");
    row("equals in value", "[A]\nx=a=b\n", "A", "x", "a=b");
    row("first of two keys", "[A]\nx=1\nx=2\n", "A", "x", "1");
    row("section named twice", "[A]\nx=1\n[B]\ny=0\n[a]\ny=2\n", "A", "y", "2");
    row("key before any section", "x=1\n[A]\n", "A", "x", "<none>");
    row("other section", "[B]\nx=1\n", "A", "x", "<none>");
    row("comment", "[A]\n#x=1\n;x=2\n", "A", "x", "<none>");
    row("unclosed header", "[A]\n[B\nx=1\n", "A", "x", "1");
    row("CR only", "[A]\rx=1\ry=2", "A", "y", "2");
    row("NUL in value", QByteArray("[A]\nx=a\0b\n", 10), "A", "x", QByteArray("a\0b", 3));
}

void TestIniStore::lookUp()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, expected);
    QCOMPARE(parsed(file).value(section, key).value_or("<none>"), expected);
}

void TestIniStore::editChangesOnlyItsKey_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("after");
    const auto row = [](const char* name, QByteArray before, const char* section, const char* key, const char* value,
                        QByteArray after) {
        QTest::newRow(name) << before << QByteArray(section) << QByteArray(key) << QByteArray(value) << after;
    };
    row("replace, CR LF", "; mine\r\n[A]\r\nx=1\r\ny=2\r\n", "A", "x", "5", "; mine\r\n[A]\r\nx=5\r\ny=2\r\n");
    row("replace keeps spacing and case", "[doom.player]\nNAME = Bob  \n", "Doom.Player", "name", "Al",
        "[doom.player]\nNAME = Al  \n");
    row("new key at end of its section", "[A]\nx=1\n; about B\n\n[B]\ny=2\n", "A", "z", "3",
        "[A]\nx=1\nz=3\n; about B\n\n[B]\ny=2\n");
    row("new section after a blank line", "[A]\nx=1\n", "B", "y", "2", "[A]\nx=1\n\n[B]\ny=2\n");
    row("no final break, replace", "[A]\nx=1", "A", "x", "2", "[A]\nx=2");
    row("no final break, new key", "[A]\nx=1", "A", "y", "2", "[A]\nx=1\ny=2");
    row("no final break, new section", "[A]\r\nx=1", "B", "y", "2", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2");
    row("duplicate sections, first key", "[A]\nx=1\n[B]\n[a]\nx=9\n", "A", "x", "5", "[A]\nx=5\n[B]\n[a]\nx=9\n");
    row("duplicate sections, new key in the last", "[A]\nx=1\n[B]\n[a]\nx=9\n", "A", "z", "1",
        "[A]\nx=1\n[B]\n[a]\nx=9\nz=1\n");
    row("duplicate keys", "[A]\nx=1\nx=2\n", "A", "x", "3", "[A]\nx=3\nx=2\n");
    row("key before any section", "x=1\n[A]\ny=2\n", "A", "x", "5", "x=1\n[A]\ny=2\nx=5\n");
    row("CR only", "[A]\rx=1\r", "A", "y", "2", "[A]\rx=1\ry=2\r");
    row("NUL byte kept", QByteArray("[A]\nx=a\0b\n\0\n", 12), "A", "y", "1",
        QByteArray("[A]\nx=a\0b\ny=1\n\0\n", 16));
    row("10 MB value replaced", "[GlobalSettings]\r\nGamma=" + QByteArray(10 * 1024 * 1024, '7') + "\r\nx=1",
        "globalsettings", "gamma", "1", "[GlobalSettings]\r\nGamma=1\r\nx=1");
    row("line break in value", "[A]\nx=1\n", "A", "x", "a\r\nb", "[A]\nx=a  b\n");
    row("same value, nothing changes", "[A]\nx = 1\n", "A", "x", "1", "[A]\nx = 1\n");
}

void TestIniStore::editChangesOnlyItsKey()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, after);
    IniDocument doc = parsed(before);
    QCOMPARE(doc.setValue(section, key, value), before != after);
    QCOMPARE(doc.bytes(), after);
    QCOMPARE(parsed(after).value(section, key).value_or("<none>"), QByteArray(value).replace('\r', ' ').replace('\n', ' '));
}

void TestIniStore::appendingToJunkKeepsEveryByte()
{
    const QByteArray before = junk(256 * 1024);
    IniDocument doc = parsed(before);
    QVERIFY(doc.setValue("Doom.Player", "name", "Player"));
    const QByteArray after = doc.bytes();
    QVERIFY(after.startsWith(before));
    QVERIFY(after.size() - before.size() < 40);
    QCOMPARE(parsed(after).value("doom.player", "NAME"), std::optional(QByteArray("Player")));
}

void TestIniStore::readKeyOfMissingThings()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("zdoom.ini");
    test::ScriptedMessageBox messages;
    IniStore store(messages);
    QCOMPARE(store.ReadKey("A", "x", path), QStringLiteral("[NOT FOUND]"));
    writeFile(path, "[A]\nx=1\n");
    QCOMPARE(store.ReadKey("A", "y", path), QStringLiteral("[NOT FOUND]"));
    QCOMPARE(store.ReadKey("B", "x", path), QStringLiteral("[NOT FOUND]"));
    QCOMPARE(store.ReadKey("a", "X", path), QStringLiteral("1"));
    QCOMPARE(store.ReadKey("A", "x", dir.path()), QStringLiteral("[NOT FOUND]"));
}

void TestIniStore::writeKeyCreatesFileAndSection()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("new.ini");
    test::ScriptedMessageBox messages;
    IniStore store(messages);
    QVERIFY(store.WriteKey("Player", "Doom.Player", "name", path));
    QVERIFY(store.WriteKey("0.5", "GlobalSettings", "Gamma", path));
    const QByteArray nl = IniDocument().newline();
    QCOMPARE(fileBytes(path), "[Doom.Player]" + nl + "name=Player" + nl + nl + "[GlobalSettings]" + nl + "Gamma=0.5" + nl);
}

void TestIniStore::eightBitValues()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("zdoom.ini");
    writeFile(path, "[A]\nx=caf\xe9\ny=\x80\x81\n");
    test::ScriptedMessageBox messages;
    IniStore store(messages);
    QCOMPARE(store.ReadKey("A", "x", path), QStringLiteral("caf\u00e9"));
    QCOMPARE(store.ReadKey("A", "y", path), QStringLiteral("\u20ac\u0081"));
    QVERIFY(store.WriteKey(QStringLiteral("Zo\u00eb \u20ac \u540d \U0001F600"), "A", "x", path));
    QCOMPARE(fileBytes(path), QByteArray("[A]\nx=Zo\xeb \x80 ? ?\ny=\x80\x81\n"));
}

void TestIniStore::unchangedValueDoesNotRewrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("zdoom.ini");
    writeFile(path, "[A]\r\nx = 1\r\n");
    QFile::setPermissions(path, QFile::ReadOwner);
    test::ScriptedMessageBox messages; // a write attempt would prompt and fail the test
    IniStore store(messages);
    QVERIFY(store.WriteKey("1", "a", "X", path));
    QCOMPARE(fileBytes(path), QByteArray("[A]\r\nx = 1\r\n"));
}

void TestIniStore::unwritableFileGivesOneMessage_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("read-only file") << "read-only";
    QTest::newRow("folder in its place") << "folder";
    QTest::newRow("missing folder") << "missing folder";
}

void TestIniStore::unwritableFileGivesOneMessage()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath("zdoom.ini");
    const QByteArray original = "[A]\nx=1\n";
    if (kind == "read-only") {
        writeFile(path, original);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    } else if (kind == "folder") {
        QVERIFY(QDir(dir.path()).mkdir("zdoom.ini"));
    } else {
        path = dir.filePath("gone/zdoom.ini");
    }
    test::ScriptedMessageBox messages;
    messages.expect(MessageBox::Answer::Ok);
    IniStore store(messages);
    QVERIFY(!store.WriteKey("2", "A", "x", path));
    QCOMPARE(messages.prompts.size(), 1);
    const auto& prompt = messages.prompts.first();
    QCOMPARE(prompt.title, QStringLiteral("Configuration File Error"));
    QVERIFY2(prompt.text.contains(QDir::toNativeSeparators(path)), qPrintable(prompt.text));
    QCOMPARE(prompt.icon, MessageBox::Icon::Exclamation);
    QCOMPARE(prompt.buttons, MessageBox::Buttons::Ok);
    if (kind == "read-only") QCOMPARE(fileBytes(path), original);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), kind == "read-only" ? 1 : 0);
}

void TestIniStore::batchWritesOnceAndReportsOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("zdoom.ini");
    writeFile(path, "[A]\nx=1\n");
    test::ScriptedMessageBox messages;
    IniStore store(messages);

    store.beginBatch(path);
    for (int i = 0; i < 41; ++i) QVERIFY(store.WriteKey(QString::number(i), "A", QStringLiteral("k%1").arg(i), path));
    QCOMPARE(store.ReadKey("A", "k40", path), QStringLiteral("40"));
    QCOMPARE(fileBytes(path), QByteArray("[A]\nx=1\n")); // nothing on disk before the end
    QVERIFY(store.endBatch());
    QCOMPARE(store.ReadKey("A", "k40", path), QStringLiteral("40"));

    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    const QByteArray written = fileBytes(path);
    messages.expect(MessageBox::Answer::Ok);
    store.beginBatch(path);
    for (int i = 0; i < 41; ++i) store.WriteKey("changed", "A", QStringLiteral("k%1").arg(i), path);
    QVERIFY(!store.endBatch());
    QCOMPARE(messages.prompts.size(), 1);
    QCOMPARE(fileBytes(path), written);
}

QTEST_GUILESS_MAIN(TestIniStore)
#include "tst_ini_store.moc"
