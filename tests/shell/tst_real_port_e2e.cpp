// A real port started by the real program: the map, skill, sound and demo chosen through
// the program's own model are saved, the program runs the game once, and the demo the port
// records tells which map and skill it was started on.

#include "core_rig.h"
#include "program_run.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;

class TestRealPortE2e : public QObject
{
    Q_OBJECT
private slots:
    void recordedDemoShowsTheChosenMapAndSkill();
};

void TestRealPortE2e::recordedDemoShowsTheChosenMapAndSkill()
{
    const QString port = QStringLiteral("/usr/games/chocolate-doom");
    const QString iwad = QStringLiteral("/usr/share/games/doom/freedoom2.wad");
    if (!QFileInfo(port).isExecutable()) QSKIP("chocolate-doom is not installed (apt-get install chocolate-doom)");
    if (!QFileInfo::exists(iwad)) QSKIP("freedoom2.wad is not installed (apt-get install freedoom)");

    QTemporaryDir dir;
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    const QString demoName = folder + QStringLiteral("/tarnwick-demo"); // the port adds ".lmp"
    const QString settings = folder + QStringLiteral("/settings.db");

    // The choices a player makes on the pages, saved as the program saves them. The demo
    // file's name is not among the saved fields (only its history is), so it comes in with
    // the program's argument, which joins the extra commands.
    {
        SettingsStore store;
        QVERIFY(store.open(settings));
        test::CoreRig rig(store);
        rig.game.setExe(port);
        rig.game.setFolder(folder);
        rig.play.chooseGame(1); // Doom2
        rig.game.setIwad(iwad);
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
    QDeadlineTimer deadline(60000);
    const auto run = test::ProgramRun::start({QStringLiteral("-RECORD"), demoName}, env, log);
    QVERIFY2(run.finished, run.output.constData());
    QCOMPARE(run.exitCode, 0);

    // The port records, writes the demo when it is full and stops.
    QVERIFY2(test::awaitProcessesIn(folder, deadline),
             ("still running after 60 s; the port's output:\n" + test::tail(test::fileBytes(log))).constData());
    const QByteArray demo = test::fileBytes(demoName + QStringLiteral(".lmp")).left(4);
    QVERIFY2(demo.size() == 4, ("no demo recorded; the port's output:\n" + test::tail(test::fileBytes(log))).constData());
    // Version, skill minus one, episode, map.
    QCOMPARE((QList<int>{quint8(demo[0]), quint8(demo[1]), quint8(demo[2]), quint8(demo[3])}), (QList<int>{109, 3, 1, 7}));
}

QTEST_GUILESS_MAIN(TestRealPortE2e)
#include "tst_real_port_e2e.moc"
