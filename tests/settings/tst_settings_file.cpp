#include "doubles.h"
#include "temp_store.h"

#include "settings/settings_file.h"
#include "settings/settings_file_commands.h"
#include "shell/file_chooser.h"
#include "shell/main_controller.h"

#include <QBuffer>
#include <QFile>
#include <QStringEncoder>
#include <QTest>

using namespace tarnwick;

namespace {

const QString kSection = QStringLiteral("Tarnwick\\Settings");
const QByteArray kKeyLine =
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Orlem Brask\\Tarnwick\\Settings]";

QByteArray utf16le(const QString& text, bool bom = true)
{
    return (bom ? QByteArray("\xFF\xFE") : QByteArray()) + QStringEncoder(QStringConverter::Utf16LE).encode(text);
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
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
    void roundTrip_data();
    void roundTrip();
    void readsHandMadeFiles_data();
    void readsHandMadeFiles();
    void badFileChangesNothing_data();
    void badFileChangesNothing();
    void argument_data();
    void argument();
    void exportCommand();
    void importCommand();
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
    const QByteArray expected = utf16le(QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n") +
                                        QString::fromLatin1(kKeyLine) +
                                        QStringLiteral("\r\n\"1ZEXE\"=\"C:\\\\Games\\\\\\\"zdoom\\\".exe\"\r\n"
                                                       "\"2Map\"=\"\"\r\n\r\n"));
    QCOMPARE(f.readAll(), expected);
}

void TestSettingsFile::roundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << QStringLiteral("zdoom.exe");
    QTest::newRow("empty") << QStringLiteral("");
    QTest::newRow("blanks and quotes") << QStringLiteral("\"C:\\Program Files\\zdoom.exe\"  ");
    QTest::newRow("trailing backslash") << QStringLiteral("C:\\Games\\");
    QTest::newRow("escape look-alikes") << QStringLiteral("a\\\"b\\\\\"c\\n");
    QTest::newRow("path list") << QStringLiteral("\"D:\\my maps\\a.wad\"|b.wad");
    QTest::newRow("non-ASCII") << QStringLiteral("Übersicht € 日本 \U0001F47E");
    QTest::newRow("equals, semicolon, brackets") << QStringLiteral("[x]=;y @=\"z\"");
    QTest::newRow("line breaks") << QStringLiteral("first line\r\nsecond\nthird\r");
    QTest::newRow("long multi-line") << QStringLiteral("-warp 1 1\r\n").repeated(40);
}

void TestSettingsFile::roundTrip()
{
    QFETCH(QString, value);
    test::TempStore from;
    from.store.write(kSection, QStringLiteral("3PrimarySound"), value);
    from.store.write(kSection, QStringLiteral("4EC"), QStringLiteral("after"));
    const QString path = from.path(QStringLiteral("round trip.twk"));
    QString error;
    QVERIFY2(exportSettingsFile(from.store, path, &error), qPrintable(error));

    test::TempStore to;
    QVERIFY2(importSettingsFile(to.store, path, &error), qPrintable(error));
    QCOMPARE(to.store.entries(kSection), from.store.entries(kSection));
}

void TestSettingsFile::readsHandMadeFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SettingsEntries>("expected");

    const QString text5 = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n") + QString::fromLatin1(kKeyLine) +
                          QStringLiteral("\r\n\"1ZEXE\"=\"C:\\\\Spiele\\\\zdoom.exe\"\r\n\"2Skill\"=\"Üben – €\"\r\n\r\n");
    const SettingsEntries expected5{{"1ZEXE", "C:\\Spiele\\zdoom.exe"}, {"2Skill", "Üben – €"}};
    QTest::newRow("5.00 UTF-16LE") << utf16le(text5) << expected5;
    QTest::newRow("5.00 UTF-16LE without mark") << utf16le(text5, false) << expected5;
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + text5.toUtf8() << expected5;
    QTest::newRow("UTF-8, LF line ends") << QString(text5).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8()
                                         << expected5;
    QTest::newRow("REGEDIT4 Windows-1252")
        << QByteArray("REGEDIT4\r\n\r\n") + kKeyLine +
               "\r\n\"1ZEXE\"=\"C:\\\\Spiele\\\\zdoom.exe\"\r\n\"2Skill\"=\"\xDC" "ben \x96 \x80\"\r\n\r\n"
        << expected5;
    QTest::newRow("key in other letter case")
        << QByteArray("REGEDIT4\r\n\r\n[hkey_current_user\\SOFTWARE\\vb AND vba program settings\\orlem brask\\"
                      "TARNWICK\\settings]\r\n\"a\"=\"1\"\r\n")
        << SettingsEntries{{"a", "1"}};
    QTest::newRow("other keys, types and comments")
        << QByteArray("REGEDIT4\r\n\r\n"
                      "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Orlem Brask\\Tarnwick]\r\n"
                      "\"URLAbout\"=\"http://x/\"\r\n\r\n") +
               kKeyLine +
               "\r\n@=\"default\"\r\n; \"commented\"=\"no\"\r\n\"n\"=dword:00000010\r\n\"h\"=hex:01,02,\\\r\n  03\r\n"
               "\"e\"=hex(2):41,00\r\n\"gone\"=-\r\n\"kept\" = \"yes\"\r\n\r\n"
               "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Orlem Brask\\Tarnwick\\Settings\\Sub]\r\n"
               "\"sub\"=\"no\"\r\n[-" + kKeyLine.mid(1) + "\r\n\"afterDelete\"=\"no\"\r\n"
        << SettingsEntries{{"kept", "yes"}};
    QTest::newRow("string written in hex over several lines")
        << utf16le(QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n") + QString::fromLatin1(kKeyLine) +
                   QStringLiteral("\r\n\"4EC\"=hex(1):61,00,0d,00,0a,00,\\\r\n  62,00,00,00\r\n"))
        << SettingsEntries{{"4EC", "a\r\nb"}};
    QTest::newRow("settings key with no values") << QByteArray("REGEDIT4\n\n") + kKeyLine + "\n" << SettingsEntries{};
}

void TestSettingsFile::readsHandMadeFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SettingsEntries, expected);
    test::TempStore t;
    seed(t.store);
    const SettingsEntries before = t.store.entries(kSection);
    const QString path = t.path(QStringLiteral("hand made.twk"));
    writeBytes(path, bytes);

    QString error;
    QVERIFY2(importSettingsFile(t.store, path, &error), qPrintable(error));
    for (const auto& [name, value] : expected) QCOMPARE(t.store.read(kSection, name), value);
    QCOMPARE(t.store.entries(kSection).size(), before.size() + expected.size());
    QCOMPARE(t.store.read(kSection, QStringLiteral("4Noidle")), QStringLiteral("1"));
    QVERIFY(!t.store.contains(kSection, QStringLiteral("URLAbout")));
}

void TestSettingsFile::badFileChangesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = QByteArray("REGEDIT4\r\n\r\n") + kKeyLine + "\r\n\"1ZEXE\"=\"new.exe\"\r\n\"2Map\"=\"3\"\r\n";
    const QByteArray good16 = utf16le(QString::fromLatin1(good).replace(QStringLiteral("REGEDIT4"),
                                                                        QStringLiteral("Windows Registry Editor Version 5.00")));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("no header") << good.mid(10);
    QTest::newRow("binary with zero bytes") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + good;
    QTest::newRow("binary after the header") << QByteArray("REGEDIT4\r\n\x01\x02\xFF\xFE garbage\r\n") + good.mid(10);
    QTest::newRow("UTF-16 cut in a character") << good16.left(good16.size() - 3);
    QTest::newRow("UTF-16 cut in a value") << good16.left(good16.size() - 10);
    QTest::newRow("cut in the key line") << good.left(30);
    QTest::newRow("cut in a hex value") << good + "\"x\"=hex(1):41,00,\\\r\n";
    QTest::newRow("bad hex byte") << good + "\"x\"=hex:4G\r\n";
    QTest::newRow("text after the value") << good + "\"x\"=\"1\" extra\r\n";
    QTest::newRow("UTF-8 mark, not UTF-8") << QByteArray("\xEF\xBB\xBF") + good + "\"x\"=\"\xE9\"\r\n";
    QTest::newRow("header only") << QByteArray("Windows Registry Editor Version 5.00\r\n\r\n");
    QTest::newRow("only other keys") << QByteArray("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n\"1ZEXE\"=\"x\"\r\n");
}

void TestSettingsFile::badFileChangesNothing()
{
    QFETCH(QByteArray, bytes);
    test::TempStore t;
    seed(t.store);
    const SettingsEntries before = t.store.entries(kSection);
    const QString path = t.path(QStringLiteral("bad.twk"));
    writeBytes(path, bytes);

    QString error;
    QVERIFY(!importSettingsFile(t.store, path, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(t.store.entries(kSection), before);
}

void TestSettingsFile::argument_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("quoted");
    QTest::addColumn<bool>("isSettingsFile");
    QTest::newRow("lower case") << QStringLiteral("a.twk") << false << true;
    QTest::newRow("capitals") << QStringLiteral("A.TWK") << false << true;
    QTest::newRow("mixed case, quoted, blanks") << QStringLiteral("my saved settings.Twk") << true << true;
    QTest::newRow("other extension") << QStringLiteral("settings.twk.bak") << false << false;
}

void TestSettingsFile::argument()
{
    QFETCH(QString, fileName);
    QFETCH(bool, quoted);
    QFETCH(bool, isSettingsFile);
    test::TempStore t;
    const QString path = t.path(fileName);
    writeBytes(path, QByteArray("REGEDIT4\r\n\r\n") + kKeyLine + "\r\n\"4EC\"=\"-nomonsters\"\r\n");
    const QString argument = quoted ? u'"' + path + u'"' : path;

    QCOMPARE(MainController::isSettingsFileArgument(argument), isSettingsFile);
    if (!isSettingsFile) return;
    test::ScriptedFileDialog dialogs;
    test::ScriptedMessageBox messages;
    FileChooser chooser(dialogs);
    SettingsFileCommands commands(t.store, chooser, messages, {}, {});
    QVERIFY(commands.importFromArgument(argument));
    QCOMPARE(t.store.read(kSection, QStringLiteral("4EC")), QStringLiteral("-nomonsters"));
    QVERIFY(!MainController::isSettingsFileArgument(QStringLiteral("-fast")));
}

void TestSettingsFile::exportCommand()
{
    test::TempStore t;
    test::ScriptedFileDialog dialogs;
    test::ScriptedMessageBox messages;
    FileChooser chooser(dialogs);
    int saves = 0;
    SettingsFileCommands commands(t.store, chooser, messages,
                                  [&] { t.store.write(kSection, QStringLiteral("1ZEXE"), QString::number(++saves)); },
                                  [] { QFAIL("an export does not reload"); });

    dialogs.expect(QString());
    QVERIFY(!commands.exportSettings());
    QCOMPARE(saves, 0);

    const QString path = t.path(QStringLiteral("with blanks.twk"));
    dialogs.expect(path);
    QVERIFY(commands.exportSettings());
    QCOMPARE(dialogs.calls.last().title, QStringLiteral("Save Settings"));
    QCOMPARE(dialogs.calls.last().filter, QStringLiteral("Tarnwick Settings (*.twk)|*.twk|All files (*.*)|*.*"));
    test::TempStore copy;
    QVERIFY(importSettingsFile(copy.store, path));
    QCOMPARE(copy.store.read(kSection, QStringLiteral("1ZEXE")), QStringLiteral("1"));

    const QString unwritable = t.path(QStringLiteral("no such folder/s.twk"));
    dialogs.expect(unwritable);
    messages.expect(MessageBox::Answer::Ok);
    QVERIFY(!commands.exportSettings());
    QCOMPARE(messages.prompts.size(), 1);
    QCOMPARE(messages.prompts[0].title, QStringLiteral("Save Settings"));
    QCOMPARE(messages.prompts[0].icon, MessageBox::Icon::Exclamation);
    QVERIFY(messages.prompts[0].text.contains(unwritable));
}

void TestSettingsFile::importCommand()
{
    test::TempStore t;
    seed(t.store);
    test::ScriptedFileDialog dialogs;
    test::ScriptedMessageBox messages;
    FileChooser chooser(dialogs);
    QStringList reloads; // what the reload saw in the store
    SettingsFileCommands commands(t.store, chooser, messages, [] { QFAIL("an import does not save"); },
                                  [&] { reloads << t.store.read(kSection, QStringLiteral("1ZEXE")); });

    dialogs.expect(QString());
    QVERIFY(!commands.importSettings());

    const QString bad = t.path(QStringLiteral("not settings.twk"));
    writeBytes(bad, "[boot]\r\nshell=explorer.exe\r\n");
    dialogs.expect(bad);
    messages.expect(MessageBox::Answer::Ok);
    QVERIFY(!commands.importSettings());
    QCOMPARE(messages.prompts.size(), 1);
    QCOMPARE(messages.prompts[0].title, QStringLiteral("Open Settings"));
    QCOMPARE(messages.prompts[0].icon, MessageBox::Icon::Exclamation);
    QVERIFY(messages.prompts[0].text.contains(bad));
    QVERIFY(reloads.isEmpty());

    const QString good = t.path(QStringLiteral("good settings.twk"));
    writeBytes(good, QByteArray("REGEDIT4\r\n\r\n") + kKeyLine + "\r\n\"1ZEXE\"=\"new.exe\"\r\n");
    dialogs.expect(good);
    QVERIFY(commands.importSettings());
    QCOMPARE(dialogs.calls.last().title, QStringLiteral("Open Settings"));
    QCOMPARE(reloads, QStringList{QStringLiteral("new.exe")});
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settings_file.moc"
