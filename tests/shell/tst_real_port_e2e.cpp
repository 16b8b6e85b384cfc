// A real port started by the real program: the map, skill, sound and demo chosen through
// the program's own model are saved, the program runs the game once, and the demo the port
// records tells which map and skill it was started on.

#include "core_rig.h"
#include "program_run.h"

#include "settings/persistence.h"
#include "settings/settings_store.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

using namespace tarnwick;

namespace {

const QString kPort = QStringLiteral("/usr/games/chocolate-doom");
const QString kIwad = QStringLiteral("/usr/share/games/doom/freedoom2.wad");
constexpr int kWaitMs = 60000;

// Processes working in `folder` or naming it on their command line: the port and anything
// it started. The port is started detached, in a session of its own, so it is found here
// rather than through the program's process group.
QList<pid_t> processesUsing(const QString& folder)
{
    QList<pid_t> found;
    const QByteArray needle = folder.toLocal8Bit();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        if (!number || pid == ::getpid()) continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        const QByteArray words = cmdline.open(QIODevice::ReadOnly) ? cmdline.readAll() : QByteArray();
        const QString cwd = QFileInfo(QStringLiteral("/proc/%1/cwd").arg(entry)).symLinkTarget();
        if (cwd == folder || words.contains(needle)) found.append(pid);
    }
    return found;
}

void killWithGroups(const QList<pid_t>& pids)
{
    for (pid_t pid : pids) {
        const pid_t group = ::getpgid(pid);
        if (group > 1 && group != ::getpgrp()) ::kill(-group, SIGKILL);
        ::kill(pid, SIGKILL);
    }
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray tail(const QByteArray& text, int lines)
{
    QList<QByteArray> all = text.trimmed().split('\n');
    return all.mid(std::max<qsizetype>(0, all.size() - lines)).join('\n');
}

// The port on its own, with the same words the program composes, to tell a port that cannot
// run here from a launch that went wrong.
QByteArray runPortDirectly(const QStringList& arguments, const QProcessEnvironment& env, const QString& folder,
                           bool& recorded, const QString& demo)
{
    QProcess port;
    port.setProcessEnvironment(env);
    port.setWorkingDirectory(folder);
    port.setProcessChannelMode(QProcess::MergedChannels);
    port.setChildProcessModifier([] { ::setpgid(0, 0); });
    port.start(kPort, arguments);
    if (port.waitForStarted(5000) && !port.waitForFinished(kWaitMs)) {
        ::kill(-static_cast<pid_t>(port.processId()), SIGKILL);
        port.waitForFinished(5000);
    }
    recorded = QFileInfo::exists(demo);
    return port.readAll();
}

} // namespace

class TestRealPortE2e : public QObject
{
    Q_OBJECT
private slots:
    void recordedDemoShowsTheChosenMapAndSkill();
};

void TestRealPortE2e::recordedDemoShowsTheChosenMapAndSkill()
{
    if (!QFileInfo(kPort).isExecutable()) QSKIP("chocolate-doom is not installed (apt-get install chocolate-doom)");
    if (!QFileInfo::exists(kIwad)) QSKIP("freedoom2.wad is not installed (apt-get install freedoom)");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    const QString demoName = folder + QStringLiteral("/tarnwick-demo");
    const QString demo = demoName + QStringLiteral(".lmp"); // the port adds the extension
    const QString settings = folder + QStringLiteral("/settings.db");

    // The choices a player makes on the pages, saved as the program saves them. The demo
    // file's name is not among the saved fields (only its history is), so it comes in with
    // the program's argument, which joins the extra commands.
    {
        SettingsStore store;
        QVERIFY(store.open(settings));
        test::CoreRig rig(store);
        rig.game.setExe(kPort);
        rig.game.setFolder(folder);
        rig.play.chooseGame(1); // Doom2
        rig.game.setIwad(kIwad);
        rig.play.chooseMap(6);   // MAP07
        rig.play.chooseSkill(3); // the fourth skill
        rig.sound.setSound(0);
        rig.game.setDemos(1);
        rig.game.selectRecordDemo();
        rig.game.setMaxDemo(QStringLiteral("1")); // 1 KB: the port stops by itself
        rig.misc.setExtraCommands(QStringLiteral("-NOGUI"));
        rig.flags.setAddToCommandLine(0); // this port knows no +SET
        rig.main.saveSettingsNow();
        store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form1Top"), QStringLiteral("0"));
    }

    QProcessEnvironment env;
    env.insert(QStringLiteral("TARNWICK_SETTINGS"), settings);
    env.insert(QStringLiteral("HOME"), folder);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), folder + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("SDL_VIDEODRIVER"), QStringLiteral("dummy"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    const QString log = folder + QStringLiteral("/output.log");

    QDeadlineTimer deadline(kWaitMs);
    const test::ProgramRun run = test::ProgramRun::start(
        QStringLiteral(TARNWICK_PROGRAM), {QStringLiteral("-RECORD"), demoName}, env, log, 30000);
    QVERIFY2(run.finished, run.output.constData());
    QCOMPARE(run.exitCode, 0);

    // The port records, writes the demo when it is full and stops.
    QByteArray started; // the port's command line, as seen while it ran
    for (QList<pid_t> running = processesUsing(folder); !running.isEmpty(); running = processesUsing(folder)) {
        if (started.isEmpty())
            started = fileBytes(QStringLiteral("/proc/%1/cmdline").arg(running.first())).replace('\0', ' ');
        if (deadline.hasExpired()) {
            killWithGroups(running);
            QFAIL(("still running after " + QByteArray::number(kWaitMs / 1000) + " s: " + started +
                   "\noutput:\n" + tail(fileBytes(log), 15)).constData());
        }
        QThread::msleep(100);
    }

    if (!QFileInfo::exists(demo)) {
        // Tell a port that cannot run in this sandbox from a launch that went wrong.
        QProcessEnvironment portEnv = QProcessEnvironment::systemEnvironment();
        for (const QString& key : env.keys()) portEnv.insert(key, env.value(key));
        bool recorded = false;
        const QStringList probe = {QStringLiteral("-iwad"), kIwad,    QStringLiteral("-record"), demoName,
                                   QStringLiteral("-maxdemo"), QStringLiteral("1"), QStringLiteral("-nosound")};
        const QByteArray direct = runPortDirectly(probe, portEnv, folder, recorded, demo);
        if (!recorded)
            QSKIP(("chocolate-doom records no demo in this environment even when started directly; it said:\n" +
                   tail(direct, 15)).constData());
        QFAIL(("the port started directly records a demo, started by the program it did not; seen running: " +
               started + "\noutput:\n" + tail(fileBytes(log), 15)).constData());
    }

    // Version, skill minus one, episode, map.
    const QByteArray bytes = fileBytes(demo).left(4);
    QCOMPARE(bytes.size(), 4);
    QCOMPARE(int(quint8(bytes[0])), 109);
    QCOMPARE(int(quint8(bytes[1])), 3);
    QCOMPARE(int(quint8(bytes[2])), 1);
    QCOMPARE(int(quint8(bytes[3])), 7);
}

QTEST_GUILESS_MAIN(TestRealPortE2e)
#include "tst_real_port_e2e.moc"
