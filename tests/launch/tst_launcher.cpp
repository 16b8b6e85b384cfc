#include "core_rig.h"

#include "launch/launch_command.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using namespace tarnwick;

namespace {

// A stand-in port: it writes its tag, its working folder and each argument, each ended by
// a zero byte, into `out` (all at once, so a reader never sees half of it), and exits with 3.
bool makeStandIn(const QString& path, const char* tag, const QString& out)
{
    const QByteArray o = QFile::encodeName(out);
    return test::putFile(path, "#!/bin/sh\n{ printf '%s\\0' " + QByteArray(tag) + " \"$(pwd -P)\"; for a in \"$@\"; do "
                               "printf '%s\\0' \"$a\"; done; } > '" + o + ".part' && mv '" + o + ".part' '" + o + "'\nexit 3\n") &&
           QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
}

} // namespace

class TestLauncher : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void runRecordsTheHistories();
    void runFailures();
    void batchFile();
    void batchFileProblems();
    void scriptStartsWhatRunStarts_data();
    void scriptStartsWhatRunStarts();

private:
    QTemporaryDir m_dir;
    QString m_port;     // the port folder: a stand-in "zdoom" tagged "folder"
    QString m_received; // where the stand-ins write
};

// A second "zdoom" and an "onpath-port", both tagged "path", are found through PATH. A
// strict umask shows that an exported script's mode does not depend on it.
void TestLauncher::initTestCase()
{
    const QString root = QFileInfo(m_dir.path()).canonicalFilePath();
    m_port = root + QStringLiteral("/port folder");
    m_received = root + QStringLiteral("/received");
    const QString bin = root + QStringLiteral("/bin");
    QVERIFY(QDir().mkpath(m_port) && QDir().mkpath(bin));
    QVERIFY(makeStandIn(m_port + QStringLiteral("/zdoom"), "folder", m_received));
    QVERIFY(test::putFile(m_port + QStringLiteral("/my doom.wad"), "")); // named after -IWAD below
    QVERIFY(makeStandIn(bin + QStringLiteral("/zdoom"), "path", m_received));
    QVERIFY(makeStandIn(bin + QStringLiteral("/onpath-port"), "path", m_received));
    qputenv("PATH", QFile::encodeName(bin) + ':' + qgetenv("PATH"));
    ::umask(077);
}

// A launch records each box's text in its history, under the names earlier builds used.
void TestLauncher::runRecordsTheHistories()
{
    test::Program g;
    auto& r = g.r;
    using P = LaunchProfile;
    const struct { QString P::*field; const char* list; const char* text; } fields[] = {
        {&P::txtEXE, "ZEXE", "zdoom"},     {&P::txtINI, "Config", "z.ini"}, {&P::txtIWAD, "IWAD", "doom2.wad"},
        {&P::txtParm, "Parm", "p.txt"},    {&P::txtLMP, "Demo", "d.lmp"},   {&P::txtJoin, "Join", "10.0.0.2"},
        {&P::txtEC, "EC", "-nomusic"},     {&P::txtNET, "Net", "1 .2"},    {&P::txtTransFile, "TransFile", "t.tch"},
        {&P::txtFol, "ZFolder", nullptr}};
    for (const auto& f : fields) r.p().*f.field = f.text ? QString::fromLatin1(f.text) : g.t.dir.path();
    r.p().txtPWAD = QStringLiteral("not recorded at a launch");
    // The program exists, so nothing is asked. How the box is split and where it starts:
    // scriptStartsWhatRunStarts below and the main window's run test.
    QVERIFY(test::putFile(g.t.path(QStringLiteral("zdoom")), ""));
    r.session.setCommandText(QStringLiteral("./zdoom -warp 7"));
    r.launcher.run();
    QCOMPARE(r.processes.starts.size(), 1);
    for (const auto& f : fields) QCOMPARE(r.histories.stored(f.list), QStringList{r.p().*f.field});
    QVERIFY(r.histories.stored(QStringLiteral("PWAD")).isEmpty());
    // The translucency list is written under the name a launch has always used.
    QCOMPARE(g.t.store.entries(QStringLiteral("Tarnwick\\History\\TransFile")).value(0).first, QStringLiteral("TransfileCount"));
}

// A start that fails shows the system's words and number for what went wrong and records
// nothing. The port folder holds "zdoom" with the row's bytes and mode (a folder for mode 0).
void TestLauncher::runFailures()
{
    // The start of a program built for machine 0xBEEF, which no computer is.
    const QByteArray elf = QByteArray("\x7f" "ELF\x02\x01\x01", 7) + QByteArray(9, 0) + QByteArray("\x02\0\xef\xbe", 4);
    // "missing": the program is no file, so the check before Run asks first ("Run anyway").
    const struct { QByteArray bytes; int mode; const char* command; int error; bool missing; } starts[] = {
        {"echo no #! line", 0x7755, "zdoom -x", ENOEXEC, false}, {elf, 0x7755, "zdoom", ENOEXEC, false},
        {"#!/bin/sh", 0x6644, "./zdoom", EACCES, false}, {"#!/bin/sh", 0x6644, "np -x", ENOENT, true},
        {{}, 0, "./zdoom", EACCES, true}};
    for (const auto& s : starts) {
        test::Program g;
        auto& r = g.r;
        const QString folder = g.t.path(QStringLiteral("port")), file = folder + QStringLiteral("/zdoom");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(s.mode ? test::putFile(file, s.bytes) && QFile::setPermissions(file, QFileDevice::Permissions(s.mode))
                       : QDir().mkpath(file));
        r.game.setExe(QStringLiteral("zdoom"));
        r.game.setFolder(folder);
        r.session.setCommandText(QString::fromLatin1(s.command));
        SystemProcessLauncher system;
        Launcher launcher(r.session, r.histories, system, r.messages, r.chooser, r.fs);
        if (s.missing) r.messages.expect(MessageBox::Answer::RunAnyway);
        r.messages.expect(MessageBox::Answer::Ok);
        launcher.run();
        QCOMPARE(r.messages.prompts.first().title, QString(s.missing ? "Missing Files" : "Run Error"));
        QCOMPARE(test::shown(r.messages).mid(s.missing ? 1 : 0), QStringList{test::prompt("Run Error", "An error occurred when trying to run '" +
            QString::fromLatin1(s.command) + "' - " + QString::fromLocal8Bit(std::strerror(s.error)) + ", " +
            QString::number(s.error) + ".  Make sure that the ZDoom EXE location ('zdoom') is valid.  Also check that the "
            "ZDoom folder is valid ('" + folder + "').", MessageBox::Buttons::Ok, MessageBox::Icon::Critical)});
        QVERIFY(r.histories.stored(QStringLiteral("ZEXE")).isEmpty());
    }
}

// The six lines of the batch file: the executable's text is taken out of the command. Only a
// ".bat" name gets the batch file; any other name the shell script.
void TestLauncher::batchFile()
{
    const struct { const char* exe; const char* command; const char* name; const char* fourthLine; } files[] = {
        {"\"C:\\My Games\\zdoom.exe\"", "\"C:\\My Games\\zdoom.exe\" -FAST", "my launch.bat", "zdoom -FAST"},
        {"", "-WARP 1 1 -SKILL 3", "x.BAT", "zdoom -WARP 1 1 -SKILL 3"},
        {"zdoom.exe", "-x zdoom.exe", "x.bat", "zdoom -x zdoom.exe"}, {"", "", "x.sh", nullptr}, {"", "", "x", nullptr}};
    for (const auto& f : files) {
        test::Program g;
        auto& r = g.r;
        r.game.setExe(QString::fromLatin1(f.exe));
        r.game.setFolder(QStringLiteral("D:\\Games\\ZDoom"));
        r.session.setCommandText(QString::fromLatin1(f.command));
        r.dialog.expect(g.t.path(QString::fromLatin1(f.name)));
        r.launcher.exportBatch();
        QCOMPARE(r.dialog.calls[0].kind + '|' + r.dialog.calls[0].title + '|' + r.dialog.calls[0].filter,
                 QStringLiteral("save|Export .bat File|Shell script (*.sh)|*.sh|MS-DOS Batch File (*.bat)|*.bat|"
                                "All files (*.*)|*.*"));
        const QByteArray bytes = test::fileBytes(g.t.path(QString::fromLatin1(f.name)));
        if (!f.fourthLine) QVERIFY2(bytes.startsWith("#!/bin/sh\n"), f.name);
        else QCOMPARE(bytes, "@echo off\r\nD:\r\ncd D:\\Games\\ZDoom\r\n" + QByteArray(f.fourthLine) +
                      "\r\necho Generated by Tarnwick - Tarnwick: ZDoom Launcher. tarnwick.feedback@example.org.  Last "
                      "updated: 18 July 2009\r\necho Tarnwick version: 2.6.3\r\n");
    }
}

void TestLauncher::batchFileProblems()
{
    test::Program g;
    QTemporaryDir folder;
    auto& r = g.r;
    r.messages.expect(MessageBox::Answer::Ok); // no folder: nothing is asked
    r.launcher.exportBatch();
    r.game.setFolder(folder.path());
    r.dialog.expect(QString()); // cancelled: silent, nothing written
    r.launcher.exportBatch();
    QVERIFY(QDir(folder.path()).isEmpty());

    const QString bad = folder.filePath(QStringLiteral("no such folder/x.bat"));
    r.dialog.expect(bad);
    r.messages.expect(MessageBox::Answer::Ok);
    r.launcher.exportBatch();
    QCOMPARE(r.messages.prompts.size(), 2);
    QCOMPARE(r.messages.prompts[0].title + '|' + r.messages.prompts[0].text,
             "Export .bat File|The ZDoom folder TextBox must not be empty.  Please put something in this TextBox and try again");
    QVERIFY2(r.messages.prompts[1].text.startsWith("An error occurred when trying to export the batch file '" + bad + "': "),
             qPrintable(r.messages.prompts[1].text));
    QCOMPARE(r.messages.prompts[1].title, QStringLiteral("Export .bat File Error"));
}

// Run with the system's launcher, then the exported script run on its own: the same
// stand-in gets the same working folder and the same arguments, argument by argument.
// "@" stands for the port folder.
void TestLauncher::scriptStartsWhatRunStarts_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("received"); // the stand-in's tag, then each argument
    const QString home = QDir::homePath();
    QTest::newRow("bare name: the port folder's copy before PATH's")
        << "zdoom -IWAD \"my doom.wad\" +name \"zdoom fan\"" << QStringList{"folder", "-IWAD", "my doom.wad", "+name", "zdoom fan"};
    QTest::newRow("bare name found in PATH") << "onpath-port -x" << QStringList{"path", "-x"};
    QTest::newRow("absolute path with a blank") << "\"@/zdoom\" -a" << QStringList{"folder", "-a"};
    QTest::newRow("path from the port folder") << "./zdoom" << QStringList{"folder"};
    QTest::newRow("words the shell would change")
        << "zdoom $HOME `id` $(id) it's a;b c&d e|f -leading \"a  b\" x\\y *.wad ? [a] # !x %PATH% 'q q' é€"
        << QStringList{"folder", "$HOME", "`id`", "$(id)", "it's", "a;b", "c&d", "e|f", "-leading", "a  b", "x\\y", "*.wad",
                       "?", "[a]", "#", "!x", "%PATH%", "'q", "q'", "é€"};
    QTest::newRow("quotes, line breaks, tabs")
        << "zdoom say\"\"\"hi\"\"\" \"two\nlines\" \"tab\there\" \"\" a\nb"
        << QStringList{"folder", "say\"hi\"", "two\nlines", "tab\there", "a", "b"};
    QTest::newRow("home folder")
        << "zdoom ~ ~/x \"~/my maps/a.wad\" ~user x~/y -file=~/z"
        << QStringList{"folder", home, home + "/x", home + "/my maps/a.wad", "~user", "x~/y", "-file=~/z"};
}

void TestLauncher::scriptStartsWhatRunStarts()
{
    QFETCH(QString, command);
    QFETCH(QStringList, received);
    received.insert(1, m_port);
    QFile::remove(m_received);
    const auto receivedNow = [this] {
        const QByteArray bytes = test::fileBytes(m_received);
        QFile::remove(m_received);
        QStringList words = QString::fromUtf8(bytes).split(QChar(0));
        words.removeLast(); // after the last zero
        return words;
    };

    test::Program g;
    auto& r = g.r;
    r.game.setExe(QStringLiteral("zdoom"));
    r.game.setFolder(m_port);
    r.session.setCommandText(command.replace(u'@', m_port));
    SystemProcessLauncher system;
    Launcher launcher(r.session, r.histories, system, r.messages, r.chooser, r.fs);
    launcher.run();
    QVERIFY(r.messages.prompts.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_received), 10000);
    QCOMPARE(receivedNow(), received);

    const QString script = g.t.path(QStringLiteral("launch game.sh"));
    r.dialog.expect(script);
    launcher.exportBatch();
    QCOMPARE(int(QFile::permissions(script) & 0x7077), 0x7055); // rwxr-xr-x
    QVERIFY(test::fileBytes(script).startsWith("#!/bin/sh\n# Generated by Tarnwick - Tarnwick: ZDoom Launcher. "
        "tarnwick.feedback@example.org.  Last updated: 18 July 2009\n# Tarnwick version: 2.6.3\n"));
    QCOMPARE(QProcess::execute(script, {}), 3); // the port's exit status
    QCOMPARE(receivedNow(), received);
}

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
