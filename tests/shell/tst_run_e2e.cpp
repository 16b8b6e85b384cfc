// The real program, started with a settings file made beforehand: it loads the saved
// values (a save game chosen on page 1 among them), runs the game once as F2 does, and a
// stand-in port writes down what it got.

#include "program_run.h"

#include "settings/settings_store.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;

class TestRunE2e : public QObject
{
    Q_OBJECT
private slots:
    void savedSettingsReachTheStartedPort();
};

void TestRunE2e::savedSettingsReachTheStartedPort()
{
    QTemporaryDir dir;
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    const QString portFolder = folder + QStringLiteral("/port folder");
    const QString mapWad = folder + QStringLiteral("/my maps/level one.wad");
    const QString received = folder + QStringLiteral("/received.txt");
    const QString standIn = portFolder + QStringLiteral("/stand in.sh");
    QVERIFY(QDir().mkpath(portFolder) && QDir().mkpath(QFileInfo(mapWad).path()) && test::putFile(mapWad, "PWAD"));
    // Its working folder, then each argument on a line of its own.
    QVERIFY(test::putFile(standIn, "#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" +
                                       received.toLocal8Bit() + "'\n"));
    QVERIFY(QFile::setPermissions(standIn, QFile::permissions(standIn) | QFileDevice::ExeOwner));
    // The port opens a save by the exact name it gets, and Linux file names keep their case.
    QVERIFY(test::makeSaves(portFolder, {"Zdoomsv0:wad", "zdoomsv1:wad"}));

    const QString settings = folder + QStringLiteral("/settings.db");
    {
        SettingsStore store;
        QVERIFY(store.open(settings));
        const QList<QPair<QString, QString>> values = {
            {"1ZEXE", u'"' + standIn + u'"'}, {"1ZFolder", portFolder}, {"2Game", "1"}, {"2Map", "6"},
            {"2Skill", "3"}, {"2Fast", "1"}, {"1LG", "3"}, {"2PWADList", u'"' + mapWad + u'"'}, {"3Sound", "0"},
            {"4EC", "-NOGUI +name \"Big Player\""}, {"DFUse", "0"}};
        for (const auto& [key, value] : values) store.write(QStringLiteral("Tarnwick\\Settings"), key, value);
        store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form1Top"), QStringLiteral("0"));
    }

    QProcessEnvironment env;
    env.insert(QStringLiteral("TARNWICK_SETTINGS"), settings);
    // The program's own arguments join the extra commands; one with a blank stays one word.
    const auto run = test::ProgramRun::start({QStringLiteral("-ARG"), QStringLiteral("two words")}, env,
                                             folder + QStringLiteral("/tarnwick.log"));
    QVERIFY2(run.finished, run.output.constData());
    QCOMPARE(run.exitCode, 0);
    QVERIFY(test::awaitProcessesIn(portFolder, QDeadlineTimer(30000)));

    const QStringList expected = {portFolder, "-LOADGAME", "zdoomsv1.zds", "-WARP", "7", "-FAST", "-FILE", mapWad, "-SKILL", "4", "-NOSOUND",
                                  "-NOGUI", "+name", "Big Player", "-ARG", "two words", ""};
    QCOMPARE(QString::fromLocal8Bit(test::fileBytes(received)).split(u'\n'), expected);

    // A successful start records the launch in the histories.
    SettingsStore after;
    QVERIFY(after.open(settings));
    QCOMPARE(after.read(QStringLiteral("Tarnwick\\History\\ZEXE"), QStringLiteral("ZEXE1")), u'"' + standIn + u'"');
    QCOMPARE(after.read(QStringLiteral("Tarnwick\\History\\EC"), QStringLiteral("EC1")),
             QStringLiteral("-NOGUI +name \"Big Player\" -ARG \"two words\""));
}

QTEST_GUILESS_MAIN(TestRunE2e)
#include "tst_run_e2e.moc"
