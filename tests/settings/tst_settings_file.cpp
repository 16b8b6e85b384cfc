#include "core_rig.h"

#include "settings/settings_file.h"

#include <QFile>
#include <QStringEncoder>
#include <QTest>

using namespace tarnwick;

namespace {

const QString kSection = QStringLiteral("Tarnwick\\Settings");
const QByteArray kKeyLine =
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Orlem Brask\\Tarnwick\\Settings]";

QByteArray utf16le(const QString& text)
{
    return QByteArray("\xFF\xFE") + QStringEncoder(QStringConverter::Utf16LE).encode(text);
}

QByteArray regedit4(const QByteArray& lines)
{
    return "REGEDIT4\r\n\r\n" + kKeyLine + "\r\n" + lines;
}

// A store already holding values no test file names, to show that an import keeps them and
// a failure changes nothing.
void seed(SettingsStore& store)
{
    store.write(kSection, QStringLiteral("3Sound"), QStringLiteral("0"));
    store.write(kSection, QStringLiteral("4Noidle"), QStringLiteral("1"));
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
private slots:
    void exportAndImportAgain();
    void importedValueExportsAgain_data();
    void importedValueExportsAgain();
    void readsHandMadeFiles_data();
    void readsHandMadeFiles();
    void badFileChangesNothing();
    void argument();
    void fileMenuCommands();
};

// The file holds every key of the settings section and nothing else, as version 5.00; read
// back it restores every key and value exactly.
void TestSettingsFile::exportAndImportAgain()
{
    test::TempStore from, to;
    from.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form1Top"), QStringLiteral("10"));
    from.store.write(kSection, QStringLiteral("1ZEXE"), QStringLiteral("C:\\Games\\\"zdoom\".exe"));
    from.store.write(kSection, QStringLiteral("2Map"), QStringLiteral(""));
    const QString path = from.path(QStringLiteral("round trip.twk"));
    QString error;
    QVERIFY2(exportSettingsFile(from.store, path, &error), qPrintable(error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), utf16le("Windows Registry Editor Version 5.00\r\n\r\n" + QString::fromLatin1(kKeyLine) +
                                  "\r\n\"1ZEXE\"=\"C:\\\\Games\\\\\\\"zdoom\\\".exe\"\r\n\"2Map\"=\"\"\r\n\r\n"));

    const QStringList values = {"\"C:\\Program Files\\zdoom.exe\" a\\\"b\\\\\"c\\n [x]=;y @=\"z\"  ", "C:\\Games\\",
                                "Übersicht € 日本 \U0001F47E", QStringLiteral("-warp 1 1\r\n-fast\n").repeated(30)};
    for (int i = 0; i < values.size(); ++i) from.store.write(kSection, QStringLiteral("Key%1").arg(i), values[i]);
    QVERIFY2(exportSettingsFile(from.store, path, &error) && importSettingsFile(to.store, path, &error), qPrintable(error));
    QCOMPARE(to.store.entries(kSection), from.store.entries(kSection));
}

// Whatever an import accepted, or the store holds, an export writes so that it imports
// again with the same value: a zero character goes out in hex like a line break.
void TestSettingsFile::importedValueExportsAgain_data()
{
    QTest::addColumn<QString>("hex");      // UTF-16LE bytes of a hex(1) value in the imported file
    QTest::addColumn<QString>("imported"); // what the import reads from them
    QTest::newRow("zero inside") << "61,00,00,00,62,00,00,00" << QStringLiteral("a") + QChar(0) + u'b';
    QTest::newRow("zero first") << "00,00,62,00,00,00" << QChar(0) + QStringLiteral("b");
    QTest::newRow("zero and a line break") << "61,00,00,00,0a,00,62,00" << QStringLiteral("a") + QChar(0) + QStringLiteral("\nb");
    QTest::newRow("half of a pair") << "3d,d8,62,00,00,00" << QChar(QChar::ReplacementCharacter) + QStringLiteral("b");
}

void TestSettingsFile::importedValueExportsAgain()
{
    QFETCH(QString, hex);
    QFETCH(QString, imported);
    test::TempStore from, to;
    const QString file = from.path(QStringLiteral("in.twk")), again = from.path(QStringLiteral("out.twk"));
    QVERIFY(test::putFile(file, utf16le("Windows Registry Editor Version 5.00\r\n\r\n" + QString::fromLatin1(kKeyLine) +
                                         "\r\n\"4EC\"=hex(1):" + hex + "\r\n\"1ZEXE\"=\"after\"\r\n")));
    QString error;
    QVERIFY2(importSettingsFile(from.store, file, &error), qPrintable(error));
    QCOMPARE(from.store.read(kSection, QStringLiteral("4EC")), imported);
    // A value the program itself holds with half of a UTF-16 pair is written readably too.
    from.store.write(kSection, QStringLiteral("2Other"), QStringLiteral("x") + QChar(0xDC00));
    QVERIFY2(exportSettingsFile(from.store, again, &error), qPrintable(error));
    QVERIFY2(importSettingsFile(to.store, again, &error), qPrintable(error));
    QCOMPARE(to.store.read(kSection, QStringLiteral("4EC")), imported);
    QCOMPARE(to.store.read(kSection, QStringLiteral("1ZEXE")), QStringLiteral("after"));
    QCOMPARE(to.store.read(kSection, QStringLiteral("2Other")), QStringLiteral("x") + QChar(QChar::ReplacementCharacter));
}

void TestSettingsFile::readsHandMadeFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SettingsEntries>("expected");
    const QString text5 = "Windows Registry Editor Version 5.00\r\n\r\n" + QString::fromLatin1(kKeyLine) +
                          "\r\n\"1ZEXE\"=\"C:\\\\Spiele\\\\zdoom.exe\"\r\n\"2Skill\"=\"Üben – €\"\r\n\r\n";
    const SettingsEntries expected{{"1ZEXE", "C:\\Spiele\\zdoom.exe"}, {"2Skill", "Üben – €"}};
    QTest::newRow("5.00 UTF-16LE") << utf16le(text5) << expected;
    QTest::newRow("UTF-8 with mark, LF line ends")
        << "\xEF\xBB\xBF" + QString(text5).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8() << expected;
    QTest::newRow("REGEDIT4 Windows-1252")
        << regedit4("\"1ZEXE\"=\"C:\\\\Spiele\\\\zdoom.exe\"\r\n\"2Skill\"=\"\xDC" "ben \x96 \x80\"\r\n\r\n") << expected;
    QTest::newRow("other keys, types and comments, key in other case")
        << QByteArray("REGEDIT4\r\n\r\n"
                      "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Orlem Brask\\Tarnwick]\r\n"
                      "\"URLAbout\"=\"http://x/\"\r\n\r\n") +
               kKeyLine.toLower() +
               "\r\n@=\"default\"\r\n; \"commented\"=\"no\"\r\n\"n\"=dword:00000010\r\n\"h\"=hex:01,02,\\\r\n  03\r\n"
               "\"e\"=hex(2):41,00\r\n\"gone\"=-\r\n\"kept\" = \"yes\"\r\n\r\n"
               "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Orlem Brask\\Tarnwick\\Settings\\Sub]\r\n"
               "\"sub\"=\"no\"\r\n[-" + kKeyLine.mid(1) + "\r\n\"afterDelete\"=\"no\"\r\n"
        << SettingsEntries{{"kept", "yes"}};
}

void TestSettingsFile::readsHandMadeFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SettingsEntries, expected);
    test::TempStore t;
    seed(t.store);
    const SettingsEntries before = t.store.entries(kSection);
    const QString path = t.path(QStringLiteral("hand made.twk"));
    QVERIFY(test::putFile(path, bytes));
    QString error;
    QVERIFY2(importSettingsFile(t.store, path, &error), qPrintable(error));
    QCOMPARE(t.store.entries(kSection), before + expected);
}

// A file that is not a settings file, or is cut or damaged, is refused and changes nothing.
void TestSettingsFile::badFileChangesNothing()
{
    const QByteArray good = regedit4("\"1ZEXE\"=\"new.exe\"\r\n\"2Map\"=\"3\"\r\n");
    const QByteArray good16 = utf16le(QString::fromLatin1(good).replace("REGEDIT4", "Windows Registry Editor Version 5.00"));
    const QByteArray files[] = {
        {}, good.mid(10) /* no header */, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + good,
        good16.left(good16.size() - 3) /* cut in a character */, good + "\"x\"=hex(1):41,00,\\\r\n" /* cut in a value */,
        "\xEF\xBB\xBF" + good + "\"x\"=\"\xE9\"\r\n" /* marked UTF-8, is not */,
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n\"1ZEXE\"=\"x\"\r\n" /* only other keys */};
    for (const QByteArray& bytes : files) {
        test::TempStore t;
        seed(t.store);
        const SettingsEntries before = t.store.entries(kSection);
        QVERIFY(test::putFile(t.path(QStringLiteral("bad.twk")), bytes));
        QString error;
        QVERIFY(!importSettingsFile(t.store, t.path(QStringLiteral("bad.twk")), &error) && !error.isEmpty());
        QCOMPARE(t.store.entries(kSection), before);
    }
}

// The program's argument at start-up: a settings file ("%1" is a temporary folder) is imported
// and loaded, anything else joins the extra commands.
void TestSettingsFile::argument()
{
    const struct { const char* argument; const char* extra; } arguments[] = {
        {"\"%1/my saved settings.TWK\"", "-imported"}, {"-fast", "-fast"}, {"%1/settings.twk.bak", "%1/settings.twk.bak"}};
    for (const auto& a : arguments) {
        test::TempStore t;
        const QString argument = QString::fromLatin1(a.argument).replace(QStringLiteral("%1"), t.dir.path());
        if (argument.contains(t.dir.path()))
            QVERIFY(test::putFile(QString(argument).remove(u'"'), regedit4("\"4EC\"=\"-imported\"\r\n")));
        test::CoreRig r(t.store);
        r.main.startup(argument, 1280);
        QCOMPARE(r.p().txtEC, QString::fromLatin1(a.extra).replace(QStringLiteral("%1"), t.dir.path()));
        QVERIFY(r.command().endsWith(r.p().txtEC + " +SET DMFLAGS 0 +SET DMFLAGS2 0"));
    }
}

// Save and Open settings from the File menu: the dialogs, a folder that cannot be written.
void TestSettingsFile::fileMenuCommands()
{
    test::TempStore t;
    test::CoreRig r(t.store);
    r.game.setExe(QStringLiteral("zdoom"));
    r.dialog.expect(QString()); // cancelled: silent
    QVERIFY(!r.settingsFiles.exportSettings());
    const QString unwritable = t.path(QStringLiteral("no such folder/s.twk"));
    r.dialog.expect(unwritable);
    r.messages.expect(MessageBox::Answer::Ok);
    QVERIFY(!r.settingsFiles.exportSettings());
    QCOMPARE(r.messages.prompts.last().title, QStringLiteral("Save Settings"));
    QVERIFY(r.messages.prompts.last().text.contains(unwritable));
    QCOMPARE(r.messages.prompts.last().icon, MessageBox::Icon::Exclamation);

    const QString exported = t.path(QStringLiteral("with blanks.twk"));
    r.dialog.expect(exported);
    QVERIFY(r.settingsFiles.exportSettings());
    QCOMPARE(r.dialog.calls.last().title, QStringLiteral("Save Settings"));
    QCOMPARE(r.dialog.calls.last().filter, QStringLiteral("Tarnwick Settings (*.twk)|*.twk|All files (*.*)|*.*"));
    test::TempStore copy;
    QVERIFY(importSettingsFile(copy.store, exported));
    QCOMPARE(copy.store.read(kSection, QStringLiteral("1ZEXE")), QStringLiteral("zdoom")); // saved first

    // An import replaces the path lists by the file's entries and reloads every window. (A file
    // it refuses says so: the drop test's broken settings file.)
    r.p().lstPWADhid = r.p().lstPWAD = {"old.wad"};
    const QString good = t.path(QStringLiteral("good settings.twk"));
    QVERIFY(test::putFile(good, regedit4("\"1ZEXE\"=\"new.exe\"\r\n\"2PWADList\"=\"C:\\\\m\\\\a.wad|b.wad\"\r\n")));
    r.dialog.expect(good);
    QVERIFY(r.settingsFiles.importSettings());
    QCOMPARE(r.dialog.calls.last().title, QStringLiteral("Open Settings"));
    QCOMPARE(r.p().lstPWADhid, (QStringList{"C:\\m\\a.wad", "b.wad"}));
    QVERIFY2(r.command().startsWith("new.exe -WARP 1 1 -FILE C:\\m\\a.wad b.wad"), qPrintable(r.command()));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settings_file.moc"
