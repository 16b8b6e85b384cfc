#include "platform/process_launcher.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <vector>

#ifdef Q_OS_WIN
#include <QProcess>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tarnwick {

ProcessLauncher::Failure ProcessLauncher::systemFailure(int number)
{
    return {QString::fromLocal8Bit(std::strerror(number)), number};
}

#ifdef Q_OS_WIN

bool SystemProcessLauncher::startDetached(const QString& program, const QStringList& arguments,
                                          const QString& workingFolder, Failure& failure)
{
    if (QProcess::startDetached(program, arguments, workingFolder)) return true;
    failure = systemFailure(ENOENT);
    return false;
}

#else

namespace {

// Tells the waiting parent why the child could not go on, and ends the child. Only calls
// that are safe between fork and exec.
[[noreturn]] void reportAndExit(int pipe)
{
    const int number = errno;
    [[maybe_unused]] const ssize_t written = ::write(pipe, &number, sizeof number);
    ::_exit(127);
}

} // namespace

bool SystemProcessLauncher::startDetached(const QString& program, const QStringList& arguments,
                                          const QString& workingFolder, Failure& failure)
{
    // Everything the child needs is made before the fork: after it, a child of a threaded
    // program may only make calls that take no locks.
    const QByteArray file = QFile::encodeName(program);
    const QByteArray folder = QFile::encodeName(workingFolder);
    std::vector<QByteArray> words{file};
    for (const QString& a : arguments) words.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    // The child writes the error number into this pipe when it cannot start the program;
    // a successful exec closes it with nothing written.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        failure = systemFailure(errno);
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        failure = systemFailure(errno);
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::close(report[0]);
        // A session of its own and a second fork: the port is not our child, nothing has
        // to wait for it, and closing Tarnwick's terminal does not end it.
        ::setsid();
        const pid_t port = ::fork();
        if (port < 0) reportAndExit(report[1]);
        if (port > 0) ::_exit(0);
        struct sigaction byDefault = {};
        byDefault.sa_handler = SIG_DFL;
        ::sigaction(SIGPIPE, &byDefault, nullptr);
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        if (!folder.isEmpty() && ::chdir(folder.constData()) != 0) reportAndExit(report[1]);
        ::execv(file.constData(), argv.data());
        reportAndExit(report[1]);
    }

    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int number = 0;
    ssize_t got = 0;
    do {
        got = ::read(report[0], &number, sizeof number);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (got == ssize_t(sizeof number)) {
        failure = systemFailure(number);
        return false;
    }
    return true;
}

#endif

} // namespace tarnwick
