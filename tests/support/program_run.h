#pragma once

#include "snapshots.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <csignal>
#include <unistd.h>

namespace tarnwick::test {

// The last lines of a text, for a failure message.
inline QByteArray tail(const QByteArray& text, int lines = 15)
{
    const QList<QByteArray> all = text.trimmed().split('\n');
    return all.mid(std::max<qsizetype>(0, all.size() - lines)).join('\n');
}

// The built program on the offscreen platform, told by --run to play once and close, in a
// process group of its own so an overrun can be stopped with all it started in that group.
// Its output goes to a file, not a pipe: a port it starts inherits that file and may go on
// writing after the program has ended.
struct ProgramRun
{
    bool finished = false;
    int exitCode = -1;
    QByteArray output; // standard output and error together, as far as written on return

    static ProgramRun start(const QStringList& arguments, const QProcessEnvironment& extra, const QString& logFile)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(extra);
        QProcess process;
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(logFile);
        process.setStandardInputFile(QProcess::nullDevice());
        process.setChildProcessModifier([] { ::setpgid(0, 0); });
        process.start(QStringLiteral(TARNWICK_PROGRAM), QStringList{QStringLiteral("--run")} + arguments);
        ProgramRun run;
        run.finished = process.waitForFinished(30000);
        if (!run.finished && process.processId() > 0) ::kill(-pid_t(process.processId()), SIGKILL);
        process.waitForFinished(5000);
        run.output = process.errorString().toLocal8Bit() + '\n' + fileBytes(logFile);
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return run;
    }
};

// Processes working in `folder`: a port the program started there, detached in a session of
// its own, so it is found here rather than through the program's process group.
inline QList<pid_t> processesIn(const QString& folder)
{
    QList<pid_t> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const pid_t pid = entry.toInt();
        if (pid > 0 && pid != ::getpid() && QFileInfo(QStringLiteral("/proc/%1/cwd").arg(pid)).symLinkTarget() == folder)
            found.append(pid);
    }
    return found;
}

// Waits until no process works in `folder`; false, once they and their process groups are
// killed, when they are still running at the deadline.
inline bool awaitProcessesIn(const QString& folder, QDeadlineTimer deadline)
{
    for (QList<pid_t> running = processesIn(folder); !running.isEmpty(); running = processesIn(folder)) {
        if (deadline.hasExpired()) {
            for (pid_t pid : running) {
                if (::getpgid(pid) > 1 && ::getpgid(pid) != ::getpgrp()) ::kill(-::getpgid(pid), SIGKILL);
                ::kill(pid, SIGKILL);
            }
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

} // namespace tarnwick::test
