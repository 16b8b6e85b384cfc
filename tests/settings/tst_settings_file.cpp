#include "doubles.h"
#include "temp_store.h"

#include "settings/settings_file.h"
#include "settings/settings_file_commands.h"
#include "shell/file_chooser.h"
#include "shell/main_controller.h"

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

// The File menu commands with scripted dialogs; saving writes a marker, reloading reads one.
struct Rig
{
    test::TempStore t;
    test::ScriptedFileDialog dialogs;
    test::ScriptedMessageBox messages;
    FileChooser chooser{dialogs};
    int saves = 0;
    int reloads = 0;
    QString reloadedExe;
    SettingsFileCommands commands{
        t.store, chooser, messages,
        [this] { t.store.write(kSection, QStringLiteral("1ZEXE"), QStringLiteral("saved %1").arg(++saves)); },
        [this] {
            ++reloads;
            reloadedExe = t.store.read(kSection, QStringLiteral("1ZEXE"));
        }};

    void checkWarning(const QString& title, const QString& path) const
    {
        QCOMPARE(messages.prompts.size(), 1);
        QCOMPARE(messages.prompts[0].title, title);
        QCOMPARE(messages.prompts[0].icon, MessageBox::Icon::Exclamation);
        QVERIFY(messages.prompts[0].text.contains(path));
    }
};

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
    QTest::newRow("empty") << QStringLiteral("");
    QTest::newRow("blanks, quotes, backslashes")
        << QStringLiteral("\"C:\\Program Files\\zdoom.exe\" a\\\"b\\\\\"c\\n [x]=;y @=\"z\"  ");
    QTest::newRow("trailing backslash") << QStringLiteral("C:\\Games\\");
    QTest::newRow("non-ASCII") << QStringLiteral("Übersicht € 日本 \U0001F47E");
    QTest::newRow("line breaks, wrapped") << QStringLiteral("-warp 1 1\r\n-fast\n").repeated(30);
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
    QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + text5.toUtf8() << expected5;
    QTest::newRow("UTF-8, LF line ends") << QString(text5).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8()
                                         << expected5;
    QTest::newRow("REGEDIT4 Windows-1252")
        << QByteArray("REGEDIT4\r\n\r\n") + kKeyLine +
               "\r\n\"1ZEXE\"=\"C:\\\\Spiele\\\\zdoom.exe\"\r\n\"2Skill\"=\"\xDC" "ben \x96 \x80\"\r\n\r\n"
        << expected5;
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
    QTest::newRow("UTF-16 cut in a character") << good16.left(good16.size() - 3);
    QTest::newRow("UTF-16 cut in a value") << good16.left(good16.size() - 10);
    QTest::newRow("cut in the key line") << good.left(30);
    QTest::newRow("cut in a hex value") << good + "\"x\"=hex(1):41,00,\\\r\n";
    QTest::newRow("UTF-8 mark, not UTF-8") << QByteArray("\xEF\xBB\xBF") + good + "\"x\"=\"\xE9\"\r\n";
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
    QTest::addColumn<QString>("argument"); // %1: a temporary folder
    QTest::addColumn<bool>("isSettingsFile");
    QTest::newRow("lower case") << "%1/a.twk" << true;
    QTest::newRow("capitals, quoted, blanks") << "\"%1/my saved settings.TWK\"" << true;
    QTest::newRow("mixed case") << "%1/b.Twk" << true;
    QTest::newRow("an option") << "-fast" << false;
    QTest::newRow("other extension") << "%1/settings.twk.bak" << false;
}

void TestSettingsFile::argument()
{
    QFETCH(QString, argument);
    QFETCH(bool, isSettingsFile);
    Rig r;
    argument.replace(QStringLiteral("%1"), r.t.dir.path());
    QCOMPARE(MainController::isSettingsFileArgument(argument), isSettingsFile);
    if (!isSettingsFile) return;
    writeBytes(QString(argument).remove(u'"'), QByteArray("REGEDIT4\r\n\r\n") + kKeyLine + "\r\n\"4EC\"=\"-x\"\r\n");
    QVERIFY(r.commands.importFromArgument(argument));
    QCOMPARE(r.t.store.read(kSection, QStringLiteral("4EC")), QStringLiteral("-x"));
    QCOMPARE(r.reloads, 0); // start-up reloads by itself
}

void TestSettingsFile::exportCommand()
{
    Rig r;
    r.dialogs.expect(QString());
    QVERIFY(!r.commands.exportSettings());
    QCOMPARE(r.saves, 0);

    const QString path = r.t.path(QStringLiteral("with blanks.twk"));
    r.dialogs.expect(path);
    QVERIFY(r.commands.exportSettings());
    QCOMPARE(r.dialogs.calls.last().title, QStringLiteral("Save Settings"));
    QCOMPARE(r.dialogs.calls.last().filter, QStringLiteral("Tarnwick Settings (*.twk)|*.twk|All files (*.*)|*.*"));
    test::TempStore copy;
    QVERIFY(importSettingsFile(copy.store, path));
    QCOMPARE(copy.store.read(kSection, QStringLiteral("1ZEXE")), QStringLiteral("saved 1")); // saved first

    const QString unwritable = r.t.path(QStringLiteral("no such folder/s.twk"));
    r.dialogs.expect(unwritable);
    r.messages.expect(MessageBox::Answer::Ok);
    QVERIFY(!r.commands.exportSettings());
    r.checkWarning(QStringLiteral("Save Settings"), unwritable);
    QCOMPARE(r.reloads, 0);
}

void TestSettingsFile::importCommand()
{
    Rig r;
    seed(r.t.store);
    r.dialogs.expect(QString());
    QVERIFY(!r.commands.importSettings());

    const QString bad = r.t.path(QStringLiteral("not settings.twk"));
    writeBytes(bad, "[boot]\r\nshell=explorer.exe\r\n");
    r.dialogs.expect(bad);
    r.messages.expect(MessageBox::Answer::Ok);
    QVERIFY(!r.commands.importSettings());
    r.checkWarning(QStringLiteral("Open Settings"), bad);
    QCOMPARE(r.reloads, 0);

    const QString good = r.t.path(QStringLiteral("good settings.twk"));
    writeBytes(good, QByteArray("REGEDIT4\r\n\r\n") + kKeyLine + "\r\n\"1ZEXE\"=\"new.exe\"\r\n");
    r.dialogs.expect(good);
    QVERIFY(r.commands.importSettings());
    QCOMPARE(r.dialogs.calls.last().title, QStringLiteral("Open Settings"));
    QCOMPARE(r.reloadedExe, QStringLiteral("new.exe")); // the reload sees the imported store
    QCOMPARE(r.reloads, 1);
    QCOMPARE(r.saves, 0);
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settings_file.moc"
