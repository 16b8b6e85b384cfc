#include "core_rig.h"
#include "temp_store.h"

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
    void exportedFileIsRegistryFormat();
    void roundTripKeepsEveryValue();
    void readsHandMadeFiles_data();
    void readsHandMadeFiles();
    void badFileChangesNothing_data();
    void badFileChangesNothing();
    void argument_data();
    void argument();
    void fileMenuCommands();
};

void TestSettingsFile::exportedFileIsRegistryFormat()
{
    test::TempStore t;
    t.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form1Top"), QStringLiteral("10"));
    t.store.write(kSection, QStringLiteral("1ZEXE"), QStringLiteral("C:\\Games\\\"zdoom\".exe"));
    t.store.write(kSection, QStringLiteral("2Map"), QStringLiteral(""));
    t.store.write(QStringLiteral("Tarnwick\\History\\ZEXE"), QStringLiteral("1"), QStringLiteral("x"));
    const QString path = t.path(QStringLiteral("out.twk"));
    QString error;
    QVERIFY2(exportSettingsFile(t.store, path, &error), qPrintable(error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), utf16le("Windows Registry Editor Version 5.00\r\n\r\n" + QString::fromLatin1(kKeyLine) +
                                  "\r\n\"1ZEXE\"=\"C:\\\\Games\\\\\\\"zdoom\\\".exe\"\r\n\"2Map\"=\"\"\r\n\r\n"));
}

void TestSettingsFile::roundTripKeepsEveryValue()
{
    test::TempStore from, to;
    const QStringList values = {"", "\"C:\\Program Files\\zdoom.exe\" a\\\"b\\\\\"c\\n [x]=;y @=\"z\"  ", "C:\\Games\\",
                                "Übersicht € 日本 \U0001F47E", QStringLiteral("-warp 1 1\r\n-fast\n").repeated(30)};
    for (int i = 0; i < values.size(); ++i) from.store.write(kSection, QStringLiteral("Key%1").arg(i), values[i]);
    const QString path = from.path(QStringLiteral("round trip.twk"));
    QString error;
    QVERIFY2(exportSettingsFile(from.store, path, &error), qPrintable(error));
    QVERIFY2(importSettingsFile(to.store, path, &error), qPrintable(error));
    QCOMPARE(to.store.entries(kSection), from.store.entries(kSection));
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
    QVERIFY(test::writeBytes(path, bytes));
    QString error;
    QVERIFY2(importSettingsFile(t.store, path, &error), qPrintable(error));
    QCOMPARE(t.store.entries(kSection), before + expected);
    QVERIFY(!t.store.contains(kSection, QStringLiteral("URLAbout")));
}

void TestSettingsFile::badFileChangesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = regedit4("\"1ZEXE\"=\"new.exe\"\r\n\"2Map\"=\"3\"\r\n");
    const QByteArray good16 = utf16le(QString::fromLatin1(good).replace("REGEDIT4", "Windows Registry Editor Version 5.00"));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("no header") << good.mid(10);
    QTest::newRow("binary with zero bytes") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + good;
    QTest::newRow("UTF-16 cut in a character") << good16.left(good16.size() - 3);
    QTest::newRow("cut in the key line") << good.left(30);
    QTest::newRow("cut in a hex value") << good + "\"x\"=hex(1):41,00,\\\r\n";
    QTest::newRow("UTF-8 mark, not UTF-8") << "\xEF\xBB\xBF" + good + "\"x\"=\"\xE9\"\r\n";
    QTest::newRow("only other keys") << QByteArray("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n\"1ZEXE\"=\"x\"\r\n");
}

void TestSettingsFile::badFileChangesNothing()
{
    QFETCH(QByteArray, bytes);
    test::TempStore t;
    seed(t.store);
    const SettingsEntries before = t.store.entries(kSection);
    const QString path = t.path(QStringLiteral("bad.twk"));
    QVERIFY(test::writeBytes(path, bytes));
    QString error;
    QVERIFY(!importSettingsFile(t.store, path, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(t.store.entries(kSection), before);
}

// The program's argument at start-up: a settings file is imported and loaded, anything else
// joins the extra commands. "%1" is a temporary folder holding the file.
void TestSettingsFile::argument_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("extra");
    QTest::newRow("capitals, quoted, blanks") << "\"%1/my saved settings.TWK\"" << "-imported";
    QTest::newRow("mixed case") << "%1/b.Twk" << "-imported";
    QTest::newRow("an option") << "-fast" << "-fast";
    QTest::newRow("other extension") << "%1/settings.twk.bak" << "%1/settings.twk.bak";
}

void TestSettingsFile::argument()
{
    QFETCH(QString, argument);
    QFETCH(QString, extra);
    test::TempStore t;
    argument.replace(QStringLiteral("%1"), t.dir.path());
    if (argument.contains(t.dir.path()))
        QVERIFY(test::writeBytes(QString(argument).remove(u'"'), regedit4("\"4EC\"=\"-imported\"\r\n")));
    test::CoreRig r(t.store);
    r.main.startup(argument, 1280);
    QCOMPARE(r.p().txtEC, extra.replace(QStringLiteral("%1"), t.dir.path()));
    QVERIFY(r.command().endsWith(r.p().txtEC + " +SET DMFLAGS 0 +SET DMFLAGS2 0"));
}

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

    const QString bad = t.path(QStringLiteral("not settings.twk"));
    QVERIFY(test::writeBytes(bad, "[boot]\r\nshell=explorer.exe\r\n"));
    r.dialog.expect(bad);
    r.messages.expect(MessageBox::Answer::Ok);
    QVERIFY(!r.settingsFiles.importSettings());
    QCOMPARE(r.messages.prompts.last().title, QStringLiteral("Open Settings"));
    QVERIFY(r.messages.prompts.last().text.contains(bad));

    // An import replaces the path lists by the file's entries and reloads every window.
    r.p().lstPWADhid = r.p().lstPWAD = {"old.wad"};
    const QString good = t.path(QStringLiteral("good settings.twk"));
    QVERIFY(test::writeBytes(good, regedit4("\"1ZEXE\"=\"new.exe\"\r\n\"2PWADList\"=\"C:\\\\m\\\\a.wad|b.wad\"\r\n")));
    r.dialog.expect(good);
    QVERIFY(r.settingsFiles.importSettings());
    QCOMPARE(r.dialog.calls.last().title, QStringLiteral("Open Settings"));
    QCOMPARE(r.p().lstPWADhid, (QStringList{"C:\\m\\a.wad", "b.wad"}));
    QVERIFY2(r.command().startsWith("new.exe -WARP 1 1 -FILE C:\\m\\a.wad b.wad"), qPrintable(r.command()));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settings_file.moc"
