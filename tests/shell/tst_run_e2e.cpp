// The real program, started with a settings file made beforehand: it loads the saved
// values, runs the game once as F2 does, and a stand-in port writes down what it got.

#include "program_run.h"

#include "settings/settings_store.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace tarnwick;

namespace {

const QString kSettings = QStringLiteral("Tarnwick\\Settings");

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Waits (bounded) for a file that appears whole, as the stand-in renames it into place.
QByteArray awaitFile(const QString& path, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) return f.readAll();
        QThread::msleep(50);
    }
    return {};
}

} // namespace

class TestRunE2e : public QObject
{
    Q_OBJECT
private slots:
    void savedSettingsReachTheStartedPort();
};

void TestRunE2e::savedSettingsReachTheStartedPort()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString portFolder = dir.filePath(QStringLiteral("port folder"));
    const QString mapFolder = dir.filePath(QStringLiteral("my maps"));
    QVERIFY(QDir().mkpath(portFolder));
    QVERIFY(QDir().mkpath(mapFolder));
    const QString received = dir.filePath(QStringLiteral("received.txt"));
    const QString standIn = portFolder + QStringLiteral("/stand in.sh");
    const QString mapWad = mapFolder + QStringLiteral("/level one.wad");

    // Its working folder, then each argument on a line of its own.
    QVERIFY(writeFile(standIn, "#!/bin/sh\n"
                               "out='" + received.toLocal8Bit() + "'\n"
                               "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$out.part\"\n"
                               "mv \"$out.part\" \"$out\"\n"));
    QVERIFY(QFile::setPermissions(standIn, QFile::permissions(standIn) | QFileDevice::ExeOwner));

    const QString settings = dir.filePath(QStringLiteral("settings.db"));
    {
        SettingsStore store;
        QVERIFY(store.open(settings));
        const QList<QPair<QString, QString>> values = {
            {"1ZEXE", u'"' + standIn + u'"'},
            {"1ZFolder", portFolder},
            {"2Game", "1"},
            {"2Map", "6"},
            {"2Skill", "3"},
            {"2Fast", "1"},
            {"2PWADList", u'"' + mapWad + u'"'},
            {"3Sound", "0"},
            {"4EC", "-NOGUI +name \"Big Player\""},
            {"DFUse", "0"},
        };
        for (const auto& [key, value] : values) store.write(kSettings, key, value);
        store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form1Top"), QStringLiteral("0"));
    }

    QProcessEnvironment env;
    env.insert(QStringLiteral("TARNWICK_SETTINGS"), settings);
    // The program's own arguments join the extra commands; one with a blank stays one word.
    const test::ProgramRun run = test::ProgramRun::start(
        QStringLiteral(TARNWICK_PROGRAM), {QStringLiteral("-ARG"), QStringLiteral("two words")}, env,
        dir.filePath(QStringLiteral("tarnwick.log")), 30000);
    QVERIFY2(run.finished, run.output.constData());
    QCOMPARE(run.exitCode, 0);

    const QStringList lines = QString::fromLocal8Bit(awaitFile(received, 30000)).split(u'\n');
    QVERIFY2(lines.size() > 1, "the stand-in port was not started (or wrote nothing)");
    QCOMPARE(lines.first(), QFileInfo(portFolder).canonicalFilePath());
    const QStringList expected = {
        QStringLiteral("-WARP"), QStringLiteral("7"),     QStringLiteral("-FAST"),
        QStringLiteral("-FILE"), mapWad,                  QStringLiteral("-SKILL"),
        QStringLiteral("4"),     QStringLiteral("-NOSOUND"), QStringLiteral("-NOGUI"),
        QStringLiteral("+name"), QStringLiteral("Big Player"), QStringLiteral("-ARG"),
        QStringLiteral("two words"), QString(), // the file's last line ends in a line break
    };
    QCOMPARE(lines.mid(1), expected);

    // A successful start records the launch in the histories.
    SettingsStore after;
    QVERIFY(after.open(settings));
    QCOMPARE(after.read(QStringLiteral("Tarnwick\\History\\ZEXE"), QStringLiteral("ZEXE1")), u'"' + standIn + u'"');
    QCOMPARE(after.read(QStringLiteral("Tarnwick\\History\\EC"), QStringLiteral("EC1")),
             QStringLiteral("-NOGUI +name \"Big Player\" -ARG \"two words\""));
}

QTEST_GUILESS_MAIN(TestRunE2e)
#include "tst_run_e2e.moc"
