#include "core_rig.h"
#include "temp_store.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace tarnwick;

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Program
{
    test::TempStore t;
    QTemporaryDir folder;
    test::CoreRig r{t.store};
};

} // namespace

class TestLauncher : public QObject
{
    Q_OBJECT
private slots:
    void runStartsTheCommandBoxAsItStands();
    void runFailure_data();
    void runFailure();
    void batchFile_data();
    void batchFile();
    void batchFileProblems();
    void shellScriptKeepsEveryArgument();
};

void TestLauncher::runStartsTheCommandBoxAsItStands()
{
    Program g;
    auto& r = g.r;
    const struct { void (*set)(test::CoreRig&, const QString&); const char* list; const char* text; } fields[] = {
        {[](auto& r, auto& v) { r.game.setExe(v); }, "ZEXE", "zdoom"},
        {[](auto& r, auto& v) { r.game.setIni(v); }, "Config", "z.ini"},
        {[](auto& r, auto& v) { r.game.setIwad(v); }, "IWAD", "doom2.wad"},
        {[](auto& r, auto& v) { r.game.setParm(v); }, "Parm", "p.txt"},
        {[](auto& r, auto& v) { r.game.setDemoFile(v); }, "Demo", "d.lmp"},
        {[](auto& r, auto& v) { r.play.setJoinAddress(v); }, "Join", "10.0.0.2"},
        {[](auto& r, auto& v) { r.misc.setExtraCommands(v); }, "EC", "-nomusic"},
        {[](auto& r, auto& v) { r.obsolete.setNet(v); }, "Net", "1 .2"},
        {[](auto& r, auto& v) { r.obsolete.setTransFile(v); }, "TransFile", "t.tch"},
        {[](auto& r, auto& v) { r.game.setFolder(v); }, "ZFolder", nullptr}};
    for (const auto& f : fields) f.set(r, f.text ? QString::fromLatin1(f.text) : g.folder.path());
    r.play.setListText(PlayOptionsController::FileList::MapWads, QStringLiteral("not recorded at a launch"));
    r.session.setCommandText(QStringLiteral("\"/opt/my port/zdoom\" -iwad \"my doom2.wad\"  -warp 7"));
    r.launcher.run();
    QCOMPARE(r.processes.starts.size(), 1);
    QCOMPARE(r.processes.starts[0].program, QStringLiteral("/opt/my port/zdoom"));
    QCOMPARE(r.processes.starts[0].arguments, (QStringList{"-iwad", "my doom2.wad", "-warp", "7"}));
    QCOMPARE(r.processes.starts[0].folder, g.folder.path());
    for (const auto& f : fields)
        QCOMPARE(r.histories.stored(f.list), QStringList{f.text ? QString::fromLatin1(f.text) : g.folder.path()});
    QVERIFY(r.histories.stored(QStringLiteral("PWAD")).isEmpty());
    // The translucency list is written under the name a launch has always used.
    QCOMPARE(g.t.store.entries(QStringLiteral("Tarnwick\\History\\TransFile")).value(0).first,
             QStringLiteral("TransfileCount"));
}

void TestLauncher::runFailure_data()
{
    QTest::addColumn<bool>("folderExists");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty folder") << false
        << "An error occurred when trying to run 'zdoom -WARP 1 1' - No such file or directory, 2.  Make sure that the "
           "ZDoom EXE location ('zdoom') is valid.  Also check that the ZDoom folder is valid ('').";
    QTest::newRow("program that will not start") << true
        << "An error occurred when trying to run 'zdoom -WARP 1 1' - Permission denied, 13.  Make sure that the "
           "ZDoom EXE location ('zdoom') is valid.  Also check that the ZDoom folder is valid ('$DIR').";
}

void TestLauncher::runFailure()
{
    QFETCH(bool, folderExists);
    QFETCH(QString, message);
    Program g;
    auto& r = g.r;
    r.game.setExe(QStringLiteral("zdoom"));
    r.game.setFolder(folderExists ? g.folder.path() : QString());
    r.processes.fail = true;
    r.processes.failure = {QStringLiteral("Permission denied"), 13};
    r.session.setCommandText(QStringLiteral("zdoom -WARP 1 1"));
    r.messages.expect(MessageBox::Answer::Ok);
    r.launcher.run();
    QCOMPARE(r.messages.prompts.size(), 1);
    const auto& prompt = r.messages.prompts[0];
    QCOMPARE(prompt.text, message.replace(QStringLiteral("$DIR"), g.folder.path()));
    QVERIFY(prompt.title == "Run Error" && prompt.buttons == MessageBox::Buttons::Ok && prompt.icon == MessageBox::Icon::Critical);
    QVERIFY(r.histories.stored(QStringLiteral("ZEXE")).isEmpty());
}

void TestLauncher::batchFile_data()
{
    QTest::addColumn<QString>("exe");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("fourthLine");
    QTest::newRow("quoted executable taken out") << "\"C:\\My Games\\zdoom.exe\"" << "\"C:\\My Games\\zdoom.exe\" -FAST"
                                                 << "zdoom -FAST";
    QTest::newRow("no executable") << "" << "-WARP 1 1 -SKILL 3" << "zdoom -WARP 1 1 -SKILL 3";
    QTest::newRow("hand edit without the executable") << "zdoom.exe" << "-x zdoom.exe" << "zdoom -x zdoom.exe";
}

void TestLauncher::batchFile()
{
    QFETCH(QString, exe);
    QFETCH(QString, command);
    QFETCH(QString, fourthLine);
    Program g;
    auto& r = g.r;
    r.game.setExe(exe);
    r.game.setFolder(QStringLiteral("D:\\Games\\ZDoom"));
    r.session.setCommandText(command);
    const QString path = g.folder.filePath(QStringLiteral("my launch.bat"));
    r.dialog.expect(path);
    r.launcher.exportBatch();
    QCOMPARE(r.dialog.calls[0].kind + '|' + r.dialog.calls[0].title + '|' + r.dialog.calls[0].filter,
             QStringLiteral("save|Export .bat File|MS-DOS Batch File (*.bat)|*.bat|All files (*.*)|*.*"));
    QCOMPARE(readBytes(path), "@echo off\r\nD:\r\ncd D:\\Games\\ZDoom\r\n" + fourthLine.toLocal8Bit() +
             "\r\necho Generated by Tarnwick - Tarnwick: ZDoom Launcher. tarnwick.feedback@example.org.  Last "
             "updated: 18 July 2009\r\necho Tarnwick version: 2.6.3\r\n");
}

void TestLauncher::batchFileProblems()
{
    Program g;
    auto& r = g.r;
    r.messages.expect(MessageBox::Answer::Ok); // no folder: nothing is asked
    r.launcher.exportBatch();
    QCOMPARE(r.messages.prompts.last().title + '|' + r.messages.prompts.last().text,
             "Export .bat File|The ZDoom folder TextBox must not be empty.  Please put something in this TextBox and try again");
    QCOMPARE(r.messages.prompts.last().icon, MessageBox::Icon::Exclamation);

    r.game.setFolder(g.folder.path());
    r.dialog.expect(QString()); // cancelled: silent, nothing written
    r.launcher.exportBatch();
    QCOMPARE(r.messages.prompts.size(), 1);
    QVERIFY(QDir(g.folder.path()).isEmpty());

    const QString bad = g.folder.filePath(QStringLiteral("no such folder/x.bat"));
    r.dialog.expect(bad);
    r.messages.expect(MessageBox::Answer::Ok);
    r.launcher.exportBatch();
    QVERIFY2(r.messages.prompts.last().text.startsWith(
                 "An error occurred when trying to export the batch file '" + bad + "': "),
             qPrintable(r.messages.prompts.last().text));
    QCOMPARE(r.messages.prompts.last().title, QStringLiteral("Export .bat File Error"));
    QCOMPARE(r.messages.prompts.last().icon, MessageBox::Icon::Exclamation);
}

// The script is run: the fake port writes the arguments it got, one a line, into the
// folder it was started in.
void TestLauncher::shellScriptKeepsEveryArgument()
{
    if (QStandardPaths::findExecutable(QStringLiteral("sh")).isEmpty()) QSKIP("no POSIX shell");
    Program g;
    const QString folder = g.folder.filePath(QStringLiteral("port folder"));
    const QString port = g.folder.filePath(QStringLiteral("my port/zdoom"));
    QVERIFY(QDir().mkpath(folder) && QDir().mkpath(QFileInfo(port).path()));
    QVERIFY(test::writeBytes(port, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > args.txt\n"));
    QVERIFY(QFile::setPermissions(port, QFile::permissions(port) | QFileDevice::ExeOwner));

    auto& r = g.r;
    r.game.setExe(u'"' + port + u'"');
    r.game.setFolder(folder);
    r.session.setCommandText(u'"' + port + u'"' + QStringLiteral(" -IWAD \"my doom.wad\" -x it's $HOME `id` a\\b"));
    const QString script = g.folder.filePath(QStringLiteral("launch game.sh"));
    r.dialog.expect(script);
    r.launcher.exportBatch();
    QVERIFY(QFileInfo(script).isExecutable());
    QCOMPARE(QProcess::execute(QStringLiteral("sh"), {script}), 0);
    QCOMPARE(readBytes(folder + QStringLiteral("/args.txt")), "-IWAD\nmy doom.wad\n-x\nit's\n$HOME\n`id`\na\\b\n");
}

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
