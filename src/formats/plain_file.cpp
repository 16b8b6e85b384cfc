#include "formats/plain_file.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarnwick::plainfile {

Open open(QFile& file, const QString& path, QString* reason)
{
    constexpr auto mode = QIODevice::ReadOnly | QIODevice::Unbuffered;
#ifdef Q_OS_UNIX
    const auto failed = [reason](int error) {
        if (reason) *reason = QString::fromLocal8Bit(std::strerror(error));
        return Open::Failed;
    };
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? Open::NotPlain : failed(errno);
    struct stat st{};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return failed(error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return Open::NotPlain;
    }
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (reason) *reason = file.errorString();
        return Open::Failed;
    }
    return Open::Done;
#else
    file.setFileName(path);
    if (!QFileInfo(path).isFile()) return Open::NotPlain;
    if (file.open(mode)) return Open::Done;
    if (reason) *reason = file.errorString();
    return Open::Failed;
#endif
}

qint64 readAt(QIODevice& file, qint64 offset, char* into, qint64 count)
{
    qint64 done = 0;
#ifdef Q_OS_UNIX
    // A plain file: one system call a read, with no seek before it.
    if (auto* plain = qobject_cast<QFile*>(&file); plain && plain->handle() >= 0) {
        while (done < count) {
            const ssize_t n = ::pread(plain->handle(), into + done, size_t(count - done), off_t(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return -1;
            if (n == 0) break;
            done += n;
        }
        return done;
    }
#endif
    // Not every device seeks past its end; nothing is there to read anyway.
    if (offset >= file.size()) return 0;
    if (!file.seek(offset)) return -1;
    while (done < count) {
        const qint64 n = file.read(into + done, count - done);
        if (n < 0) return -1;
        if (n == 0) break;
        done += n;
    }
    return done;
}

QByteArray readAt(QIODevice& file, qint64 offset, qint64 count)
{
    if (offset < 0 || count < 0) return {};
    QByteArray bytes(count, Qt::Uninitialized);
    const qint64 got = readAt(file, offset, bytes.data(), count);
    if (got < 0) return {};
    bytes.truncate(got);
    return bytes;
}

} // namespace tarnwick::plainfile
