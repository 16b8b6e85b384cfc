#include "base/file_writer.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#include <QSaveFile>
#endif

namespace tarnwick {

namespace {

using Outcome = FileWriteResult::Outcome;
using Method = FileWriteResult::Method;

FileWriteResult failure(Outcome outcome, int error, const QString& reason = QString())
{
    FileWriteResult result;
    result.outcome = outcome;
    result.error = error;
    result.reason = reason.isEmpty() ? QString::fromLocal8Bit(std::strerror(error)) : reason;
    return result;
}

FileWriteResult written(Method method)
{
    FileWriteResult result;
    result.outcome = Outcome::Written;
    result.method = method;
    return result;
}

#ifdef Q_OS_UNIX

// 0, or the error number of the first failing write.
int writeAll(int fd, const char* data, qint64 size, off_t offset)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(size), offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        data += n;
        size -= n;
        offset += n;
    }
    return 0;
}

// The file's current bytes, or nothing when they cannot be read.
std::optional<QByteArray> readAll(int fd, off_t size)
{
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    off_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, bytes.data() + done, size_t(size - done), done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt;
        done += n;
    }
    return bytes;
}

// Makes sure `size` bytes have their blocks before anything is overwritten, so a full
// disk is found while the old bytes are still whole. File systems that cannot reserve
// are written without.
int reserve(int fd, off_t oldSize, off_t size)
{
    if (size <= oldSize) return 0;
#ifdef Q_OS_LINUX
    if (::fallocate(fd, 0, 0, size) == 0) return 0;
    const int error = errno;
    if (error == ENOSPC || error == EDQUOT || error == EFBIG) {
        // A reservation cut short may have grown the file: it gets its old size back.
        const int truncated = ::ftruncate(fd, oldSize);
        Q_UNUSED(truncated);
        return error;
    }
#else
    Q_UNUSED(fd);
#endif
    return 0;
}

int closeReporting(int fd)
{
    // Linux closes the descriptor even when interrupted; only a real failure (a network
    // file system that could not store the data) counts.
    return ::close(fd) != 0 && errno != EINTR ? errno : 0;
}

void syncFolder(const QByteArray& file)
{
    const qsizetype slash = file.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : file.left(slash);
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd); // a rename that survives a power cut is a bonus, not a condition
    ::close(fd);
}

FileWriteResult create(const QByteArray& target, const QByteArray& bytes)
{
    const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return failure(errno == EISDIR ? Outcome::Folder : Outcome::Failed, errno);
    int error = writeAll(fd, bytes.constData(), bytes.size(), 0);
    if (!error && ::fsync(fd) != 0) error = errno;
    const int closed = closeReporting(fd);
    if (!error) error = closed;
    if (error) {
        ::unlink(target.constData()); // nothing was there before: no half file stays behind
        return failure(Outcome::Failed, error);
    }
    syncFolder(target);
    return written(Method::Created);
}

FileWriteResult writeInPlace(const QByteArray& target, const QByteArray& bytes, off_t oldSize)
{
    // Read and write, so the old bytes can be put back; a file that may be written but
    // not read is written without that safety net.
    int fd = ::open(target.constData(), O_RDWR | O_CLOEXEC);
    std::optional<QByteArray> old;
    if (fd >= 0) old = readAll(fd, oldSize);
    else if (errno == EACCES || errno == EPERM) fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return failure(Outcome::Failed, errno);

    int error = reserve(fd, oldSize, bytes.size());
    if (error) {
        ::close(fd);
        return failure(Outcome::Failed, error);
    }
    error = writeAll(fd, bytes.constData(), bytes.size(), 0);
    if (!error && ::ftruncate(fd, bytes.size()) != 0) error = errno;
    if (!error && ::fsync(fd) != 0) error = errno;
    if (error && old) {
        writeAll(fd, old->constData(), old->size(), 0);
        if (::ftruncate(fd, old->size()) == 0) ::fsync(fd);
    }
    const int closed = closeReporting(fd);
    if (!error) error = closed;
    if (error) return failure(Outcome::Failed, error);
    return written(Method::InPlace);
}

// Replaces the file through a new one beside it. Nothing when the new file cannot be
// made in that folder or cannot be given the old one's owner and group: the caller then
// writes in place.
std::optional<FileWriteResult> writeReplacing(const QByteArray& target, const struct stat& old,
                                              const QByteArray& bytes)
{
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray temporary = target.left(slash + 1) + '.' + target.mid(slash + 1) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        if (errno == EACCES || errno == EPERM) return std::nullopt; // a folder the player may not write
        return failure(Outcome::Failed, errno);
    }
    const auto discard = [&](int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        return failure(Outcome::Failed, error);
    };

    struct stat fresh {};
    if (::fstat(fd, &fresh) != 0) return discard(errno);
    if (fresh.st_uid != old.st_uid || fresh.st_gid != old.st_gid) {
        const uid_t owner = fresh.st_uid != old.st_uid ? old.st_uid : uid_t(-1);
        const gid_t group = fresh.st_gid != old.st_gid ? old.st_gid : gid_t(-1);
        if (::fchown(fd, owner, group) != 0) {
            ::close(fd);
            ::unlink(temporary.constData());
            return std::nullopt; // the file keeps its owner and group rather than being swapped
        }
    }
    if (::fchmod(fd, old.st_mode & 07777) != 0) return discard(errno);
    if (const int error = writeAll(fd, bytes.constData(), bytes.size(), 0)) return discard(error);
    if (::fsync(fd) != 0) return discard(errno);
    if (const int error = closeReporting(fd)) {
        ::unlink(temporary.constData());
        return failure(Outcome::Failed, error);
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return failure(Outcome::Failed, error);
    }
    syncFolder(target);
    return written(Method::Replaced);
}

} // namespace

FileWriteResult writeFileContents(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty()) return failure(Outcome::Failed, ENOENT);
    QByteArray target = QFile::encodeName(path);
    struct stat st {};
    if (::stat(target.constData(), &st) != 0) {
        if (errno != ENOENT) return failure(Outcome::Failed, errno);
        return create(target, bytes);
    }
    if (S_ISDIR(st.st_mode)) return failure(Outcome::Folder, EISDIR);
    if (!S_ISREG(st.st_mode)) return failure(Outcome::Failed, EINVAL, QStringLiteral("Not a regular file"));

    // A link is followed: its target is the file written, and the link stays a link.
    if (char* real = ::realpath(target.constData(), nullptr)) {
        target = real;
        std::free(real);
    }

    // Mode bits without any write right are the player's "read-only" mark; the
    // administrator could write anyway, but should not.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return failure(Outcome::ReadOnlyFile, EACCES);
    // Opening for writing truncates nothing and asks the system every question at once:
    // rights, a read-only file system, a program being run from the file.
    const int probe = ::open(target.constData(), O_WRONLY | O_CLOEXEC);
    if (probe < 0) {
        const int error = errno;
        const bool readOnly = error == EACCES || error == EPERM || error == EROFS || error == ETXTBSY;
        return failure(readOnly ? Outcome::ReadOnlyFile : Outcome::Failed, error);
    }
    ::close(probe);

    // A second hard link would keep the old bytes if the name were given to a new file.
    if (st.st_nlink > 1) return writeInPlace(target, bytes, st.st_size);
    if (std::optional<FileWriteResult> replaced = writeReplacing(target, st, bytes)) return *replaced;
    return writeInPlace(target, bytes, st.st_size);
}

#else // not Unix: the platform's atomic save, with Qt's description of a failure

FileWriteResult writeFileContents(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (info.isDir()) return failure(Outcome::Folder, EISDIR);
    if (info.exists() && !info.isWritable()) return failure(Outcome::ReadOnlyFile, EACCES);
    const bool existed = info.exists();
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return written(existed ? Method::Replaced : Method::Created);
    return failure(Outcome::Failed, EIO, file.errorString());
}

#endif

} // namespace tarnwick
