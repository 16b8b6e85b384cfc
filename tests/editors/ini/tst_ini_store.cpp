#include "doubles.h"
#include "editors/ini/ini_document.h"
#include "editors/ini/ini_store.h"
#include "base/text_encoding.h"
#include "snapshots.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QFileInfo>
#include <QTest>

using namespace tarnwick;
using test::fileBytes;
using test::putFile;

namespace {

IniDocument parsed(const QByteArray& bytes)
{
    IniDocument doc;
    doc.setBytes(bytes);
    return doc;
}

// One edit of a file: the value the key had before ("<none>": absent), the value written,
// the whole file afterwards (null: the old file followed by a few new lines) and the value
// read back (null: the value written).
struct Edit
{
    QByteArray before, section, key, was, value, after, readBack;
};

} // namespace

Q_DECLARE_METATYPE(Edit)

class TestIniStore : public QObject
{
    Q_OBJECT
private slots:
    void editChangesOnlyItsKey_data();
    void editChangesOnlyItsKey();
    void encodings_data();
    void encodings();
    void unwritableFileGivesOneMessage_data();
    void unwritableFileGivesOneMessage();
};

// Every file, however odd, reads back to its own bytes; an edit changes the one value or
// adds the one line, and keeps every other byte.
void TestIniStore::editChangesOnlyItsKey_data()
{
    QTest::addColumn<Edit>("edit");
    const auto row = [](const char* name, QByteArray before, const char* section, const char* key, QByteArray was,
                        const char* value, QByteArray after, QByteArray readBack = {}) {
        QTest::newRow(name) << Edit{before, section, key, was, value, after, readBack.isNull() ? QByteArray(value) : readBack};
    };
    QRandomGenerator random(4711);
    QByteArray junk(256 * 1024, Qt::Uninitialized);
    for (char& b : junk) b = char(random.bounded(256));
    const QByteArray longValue(10 * 1024 * 1024, '7');

    row("replace, CR LF, comment kept", "; mine\r\n[A]\r\nx=1\r\ny=2\r\n", "A", "x", "1", "5",
        "; mine\r\n[A]\r\nx=5\r\ny=2\r\n");
    row("names in any case, blanks kept", "[doom.player]\n NAME =  Bob  \n", "Doom.Player", "name", "Bob", "Al",
        "[doom.player]\n NAME =  Al  \n");
    row("equals in the value, empty value", "[A]\nx=a=b\n", "A", "x", "a=b", "", "[A]\nx=\n");
    row("new key after the section's last entry", "[A]\nx=1\n; about=B\n\n[B]\ny=2\n", "A", "z", "<none>", "3",
        "[A]\nx=1\nz=3\n; about=B\n\n[B]\ny=2\n");
    row("new section after a blank line", "[A]\nx=1\n", "B", "y", "<none>", "2", "[A]\nx=1\n\n[B]\ny=2\n");
    row("no final line break", "[A]\r\nx=1", "B", "y", "<none>", "2", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2");
    row("duplicate keys: the first counts", "[A]\nxx=0\nx=1\nx=2\n", "A", "x", "1", "3", "[A]\nxx=0\nx=3\nx=2\n");
    row("section named twice", "[A]\nx=1\n[B]\ny=0\n[a]\ny=2\n", "A", "y", "2", "5", "[A]\nx=1\n[B]\ny=0\n[a]\ny=5\n");
    row("new key in the section's last appearance", "[A]\nx=1\n[B]\n[a]\nx=9\n", "A", "z", "<none>", "1",
        "[A]\nx=1\n[B]\n[a]\nx=9\nz=1\n");
    row("key before any section", "x=1\n[A]\ny=2\n", "A", "x", "<none>", "5", "x=1\n[A]\ny=2\nx=5\n");
    // A header without its "]" ends the section before it and opens none.
    row("unclosed header", "[A]\ny=0\n[B\nx=1\n", "A", "x", "<none>", "2", "[A]\ny=0\nx=2\n[B\nx=1\n");
    row("unclosed header named like the section", "[A\nx=1\n", "A", "x", "<none>", "2", "[A\nx=1\n\n[A]\nx=2\n");
    row("byte-order mark before the first header", "\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "x", "1", "2",
        "\xEF\xBB\xBF[A]\r\nx=2\r\n");
    row("byte-order mark alone", "\xEF\xBB\xBF", "A", "x", "<none>", "2", "\xEF\xBB\xBF[A]\nx=2\n");
    row("CR only", "[A]\rx=1\r", "A", "y", "<none>", "2", "[A]\rx=1\ry=2\r");
    row("mixed line ends: a new line takes the first", "[A]\r\nx=1\ny=2\rz=3\n\r", "A", "w", "<none>", "4",
        "[A]\r\nx=1\ny=2\rz=3\nw=4\r\n\r");
    row("NUL bytes", QByteArray("[A]\nx=a\0b\n\0\n", 12), "A", "x", QByteArray("a\0b", 3), "c",
        QByteArray("[A]\nx=c\n\0\n", 10));
    row("10 MB line", "[GlobalSettings]\r\nGamma=" + longValue + "\r\nx=1", "globalsettings", "gamma", longValue, "1",
        "[GlobalSettings]\r\nGamma=1\r\nx=1");
    row("line break in the value", "[A]\nx=1\n", "A", "x", "1", "a\r\nb", "[A]\nx=a  b\n", "a  b");
    row("outer blanks are not stored", "[A]\nx=1\n", "A", "x", "1", "  Bob\t ", "[A]\nx=Bob\n", "Bob");
    row("a line break at the end is no blank inside", "[A]\nx=1\n", "A", "x", "1", " a b\n", "[A]\nx=a b\n", "a b");
    row("same value: nothing changes", "[A]\nx = 1\n", "A", "x", "1", "1", "[A]\nx = 1\n");
    row("binary junk", junk, "Doom.Player", "name", "<none>", "Player", QByteArray());
}

void TestIniStore::editChangesOnlyItsKey()
{
    QFETCH(Edit, edit);
    IniDocument doc = parsed(edit.before);
    QCOMPARE(doc.bytes(), edit.before);
    QCOMPARE(doc.value(edit.section, edit.key).value_or("<none>"), edit.was);
    QCOMPARE(doc.setValue(edit.section, edit.key, edit.value), edit.before != edit.after);
    const QByteArray after = doc.bytes();
    if (edit.after.isNull()) QVERIFY(after.startsWith(edit.before) && after.size() < edit.before.size() + 40);
    else QCOMPARE(after, edit.after);
    QCOMPARE(parsed(after).value(edit.section, edit.key), edit.readBack);
}

// Valid UTF-8 is read and written as UTF-8, anything else as Windows-1252, where a character
// the code page lacks becomes "?": the file (null: none yet), the name written, the file
// then, and what "name" and "other" read back as.
void TestIniStore::encodings_data()
{
    for (const char* column : {"before", "written", "after"}) QTest::addColumn<QByteArray>(column);
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("other");
    const QString jorg = QStringLiteral("J\u00f6rg \u00c5ngstr\u00f6m");
    const QByteArray jorgUtf8 = jorg.toUtf8();
    const auto row = [](const char* tag, QByteArray before, QString written, QByteArray after, QString name, QString other) {
        QTest::newRow(tag) << before << written.toUtf8() << after << name << other;
    };
    row("new file: UTF-8", QByteArray(), QStringLiteral("Zo\u00eb \u20ac \u540d \U0001F600"),
        "[A]\nname=Zo\xc3\xab \xe2\x82\xac \xe5\x90\x8d \xf0\x9f\x98\x80\n",
        QStringLiteral("Zo\u00eb \u20ac \u540d \U0001F600"), "[NOT FOUND]");
    row("UTF-8 name kept when another key is written", "[A]\nother=" + jorgUtf8 + "\n", "x",
        "[A]\nother=" + jorgUtf8 + "\nname=x\n", "x", jorg);
    row("UTF-8 with a byte-order mark", "\xEF\xBB\xBF[A]\r\nother=\xc3\xa9t\xc3\xa9\r\n", jorg,
        "\xEF\xBB\xBF[A]\r\nother=\xc3\xa9t\xc3\xa9\r\nname=" + jorgUtf8 + "\r\n", jorg, QStringLiteral("\u00e9t\u00e9"));
    row("Windows-1252 stays so", "[A]\nother=J\xf6rg \x80\n", QStringLiteral("Zo\u00eb \u20ac \u540d"),
        "[A]\nother=J\xf6rg \x80\nname=Zo\xeb \x80 ?\n", QStringLiteral("Zo\u00eb \u20ac ?"), QStringLiteral("J\u00f6rg \u20ac"));
    row("unassigned code-page bytes survive", "[A]\nother=\x81\x9d\xff\n", "x", "[A]\nother=\x81\x9d\xff\nname=x\n", "x",
        QStringLiteral("\u0081\u009d\u00ff"));
    // Byte runs that look like UTF-8 but are not: an overlong "/", a surrogate half, a
    // sequence cut by the end of the file, a code point above U+10FFFF.
    for (const char* odd : {"\xc0\xaf", "\xed\xa0\x80", "\xe2\x82", "\xf4\x90\x80\x80", "\xc3("})
        row(QByteArray("not UTF-8: ").append(QByteArray(odd).toHex(' ')).constData(), "[A]\nother=" + QByteArray(odd), "\u00e9",
            "[A]\nother=" + QByteArray(odd) + "\nname=\xe9", QStringLiteral("\u00e9"), filetext::decode(odd));
}

void TestIniStore::encodings()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, after);
    QFETCH(QString, name);
    QFETCH(QString, other);
    QTemporaryDir dir;
    const QString path = dir.filePath("zdoom.ini");
    if (!before.isNull()) QVERIFY(putFile(path, before));
    test::ScriptedMessageBox messages;
    IniStore store(messages);
    QVERIFY(store.WriteKey(QString::fromUtf8(written), "A", "name", path));
    QCOMPARE(fileBytes(path), after);
    QCOMPARE(store.ReadKey("A", "name", path), name);
    QCOMPARE(store.ReadKey("A", "other", path), other);
}

// A file that cannot be written: one message with the system's own reason, the file as it
// was, and nothing left beside it; a missing file or a folder reads as "[NOT FOUND]".
void TestIniStore::unwritableFileGivesOneMessage_data()
{
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only file") << "Permission denied";
    QTest::newRow("folder in its place") << "a folder of that name is in the way";
    QTest::newRow("missing folder") << "No such file or directory";
    // Writing a file that could not be read would lose the rest of it.
    QTest::newRow("too large to be read") << "it could not be read (the file is too large to be a configuration file)";
}

void TestIniStore::unwritableFileGivesOneMessage()
{
    QFETCH(QString, reason);
    const QString kind = QTest::currentDataTag();
    QTemporaryDir dir;
    const QString path = dir.filePath(kind == "missing folder" ? "gone/zdoom.ini" : "zdoom.ini");
    const QByteArray original = "[A]\nx = 1\n";
    test::ScriptedMessageBox messages; // a message without a scripted answer fails the test
    IniStore store(messages);
    if (kind == "read-only file") {
        QVERIFY(putFile(path, original) && QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
        QVERIFY(store.WriteKey("1", "a", "X", path)); // the value it has: nothing to write
    }
    if (kind == "folder in its place") QVERIFY(QDir(dir.path()).mkdir("zdoom.ini"));
    const bool large = kind == "too large to be read";
    if (large) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(IniStore::kMaximumSize + 1));
    }
    messages.expect(MessageBox::Answer::Ok);
    QVERIFY(!store.WriteKey("2", "A", "x", path));
    QCOMPARE(test::shown(messages), QStringList{test::prompt("Configuration File Error", "Cannot save the configuration file '"
        + QDir::toNativeSeparators(path) + "': " + reason + ".  The file has been left as it was.",
        MessageBox::Buttons::Ok, MessageBox::Icon::Exclamation)});
    if (large) QCOMPARE(QFileInfo(path).size(), IniStore::kMaximumSize + 1);
    else QCOMPARE(fileBytes(path), kind == "read-only file" ? original : QByteArray("<unreadable>"));
    QCOMPARE(store.ReadKey("a", "X", path), kind == "read-only file" ? "1" : "[NOT FOUND]");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), kind == "read-only file" || large ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestIniStore)
#include "tst_ini_store.moc"
