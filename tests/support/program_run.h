#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <csignal>
#include <unistd.h>

namespace tarnwick::test {

// The built program, started with its own settings file on the offscreen platform in a
// process group of its own, so an overrun takes everything it started down with it.
struct ProgramRun
{
    bool finished = false;
    int exitCode = -1;
    QByteArray output; // standard output and error together

    static ProgramRun start(const QString& program, const QStringList& arguments,
                            const QProcessEnvironment& extra, int timeoutMs)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TARNWICK_AUTORUN"), QStringLiteral("1"));
        for (const QString& key : extra.keys()) env.insert(key, extra.value(key));

        QProcess process;
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
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
        run.output = process.readAll();
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return run;
    }
};

} // namespace tarnwick::test
