#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <csignal>
#include <unistd.h>

namespace tarnwick::test {

// The built program on the offscreen platform, told to run the game once and close, in a
// process group of its own so an overrun can be stopped with all it started in that group.
// Its output goes to a file, not a pipe: a port it starts inherits that file and may go on
// writing after the program has ended.
struct ProgramRun
{
    bool finished = false;
    int exitCode = -1;
    QByteArray output; // standard output and error together, as far as written on return

    static ProgramRun start(const QString& program, const QStringList& arguments,
                            const QProcessEnvironment& extra, const QString& logFile, int timeoutMs)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TARNWICK_AUTORUN"), QStringLiteral("1"));
        for (const QString& key : extra.keys()) env.insert(key, extra.value(key));

        QProcess process;
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(logFile);
        process.setStandardInputFile(QProcess::nullDevice());
        process.setChildProcessModifier([] { ::setpgid(0, 0); });
        process.start(program, arguments);

        ProgramRun run;
        if (!process.waitForStarted(timeoutMs)) {
            run.output = process.errorString().toLocal8Bit();
            return run;
        }
        run.finished = process.waitForFinished(timeoutMs);
        if (!run.finished) {
            ::kill(-static_cast<pid_t>(process.processId()), SIGKILL);
            process.waitForFinished(5000);
        }
        QFile log(logFile);
        if (log.open(QIODevice::ReadOnly)) run.output = log.readAll();
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return run;
    }
};

} // namespace tarnwick::test
