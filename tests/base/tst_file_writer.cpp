#include "base/file_writer.h"
#include "snapshots.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <functional>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <linux/capability.h>

using namespace tarnwick;
using Outcome = FileWriteResult::Outcome;
using Method = FileWriteResult::Method;

namespace {

const QByteArray kOld = "old bytes\n";
// More than a page, so that it needs room a full disk does not have.
const QByteArray kNew = QByteArray(6000, 'n') + '\n';

// Switches capabilities of the administrator on or off for this process, so that root
// meets the file rights a player meets. Without them (a player's own account) it changes
// nothing.
bool setCapabilities(std::initializer_list<int> caps, bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    for (const int cap : caps) {
        const quint32 bit = 1u << (cap % 32);
        data[cap / 32].effective = on ? (data[cap / 32].effective | (data[cap / 32].permitted & bit))
                                      : (data[cap / 32].effective & ~bit);
    }
    return ::syscall(SYS_capset, &header, data) == 0;
}

struct stat statOf(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) st.st_nlink = 0;
    return st;
}

const char* outcomeName(Outcome o)
{
    switch (o) {
    case Outcome::Written: return "written";
    case Outcome::ReadOnlyFile: return "read-only file";
    case Outcome::Folder: return "folder";
    case Outcome::Failed: return "failed";
    }
    return "?";
}

const char* methodName(Method m)
{
    switch (m) {
    case Method::None: return "";
    case Method::Created: return " (created)";
    case Method::Replaced: return " (replaced)";
    case Method::InPlace: return " (in place)";
    }
    return "?";
}

// Everything a case checks, as one line: what the writer said, what the file holds, and
// what became of its mode, owner, identity and links; then what else the folder holds.
QString summary(const FileWriteResult& r, const QString& path, const struct stat& before)
{
    QStringList parts{QLatin1String(outcomeName(r.outcome)) + QLatin1String(methodName(r.method))};
    if (!r.ok()) {
        parts << r.reason;
        // The system's own words for the number it gave, never a made-up text.
        if (r.reason != QString::fromLocal8Bit(std::strerror(r.error)) && r.error != EINVAL) parts << "reason?";
    }
    const QByteArray bytes = test::fileBytes(path);
    parts << (bytes == kNew ? "new bytes" : bytes == kOld ? "old bytes" : QFileInfo(path).isFile() ? "other bytes" : "no file");
    const struct stat after = statOf(QFileInfo(path).canonicalFilePath().isEmpty() ? path : QFileInfo(path).canonicalFilePath());
    if (before.st_nlink > 0 && after.st_nlink > 0 && S_ISREG(after.st_mode)) {
        parts << QString::asprintf("mode %o", after.st_mode & 07777);
        if (after.st_uid != before.st_uid || after.st_gid != before.st_gid) parts << "owner changed";
        parts << (after.st_ino == before.st_ino ? "same file" : "new file");
    }
    QStringList others = QDir(QFileInfo(path).path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    others.removeAll(QFileInfo(path).fileName());
    if (!others.isEmpty()) parts << "beside: " + others.join(u' ');
    return parts.join(QStringLiteral(", "));
}

// Runs `body` in a child process with a mount table of its own, in which `folder` is a
// small file system of its own; the summary it returns comes back. Empty when this
// account may not mount.
QString inOwnFileSystem(const QString& folder, const std::function<QString()>& body)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        QByteArray out;
        if (::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
            && ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=64k") == 0)
            out = body().toUtf8();
        [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], out.constData(), size_t(out.size()));
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    QByteArray got;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) got.append(buffer, n);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return QString::fromUtf8(got);
}

bool fillUp(const QString& folder)
{
    QFile filler(folder + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly)) return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {}
    return true;
}

} // namespace

class TestFileWriter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void writes_data();
    void writes();
};

void TestFileWriter::initTestCase()
{
    ::umask(022);
    // Root writes into a read-only folder and over any file; the player does not.
    setCapabilities({CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}, false);
}

void TestFileWriter::cleanupTestCase()
{
    setCapabilities({CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}, true);
}

void TestFileWriter::writes_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* setup, const char* expected) { QTest::newRow(setup) << setup << expected; };
    row("new file", "written (created), new bytes");
    row("file", "written (replaced), new bytes, mode 640, new file");
    row("hard link", "written (in place), new bytes, mode 640, same file, beside: other");
    row("symbolic link", "written (replaced), new bytes, mode 640, new file, beside: target");
    row("read-only folder", "written (in place), new bytes, mode 664, same file");
    row("read-only folder, new file", "failed, Permission denied, no file");
    row("read-only file", "read-only file, Permission denied, old bytes, mode 444, same file");
    row("folder in its place", "folder, Is a directory, no file");
    row("missing folder", "failed, No such file or directory, no file");
    row("another group", "written (replaced), new bytes, mode 660, new file");
    row("another owner", "written (in place), new bytes, mode 666, same file");
    row("full disk", "failed, No space left on device, old bytes, mode 640, same file, beside: filler");
    row("full disk, hard link", "failed, No space left on device, old bytes, mode 640, same file, beside: filler other");
    row("full disk, new file", "failed, No space left on device, no file, beside: filler");
    row("read-only file system", "read-only file, Read-only file system, old bytes, mode 640, same file");
}

void TestFileWriter::writes()
{
    QFETCH(QString, setup);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("zcajun"));
    QVERIFY(QDir().mkdir(folder));
    QString path = folder + QStringLiteral("/Bots.cfg");
    const auto existing = [&](const QString& file, int mode) {
        return test::putFile(file, kOld) && ::chmod(QFile::encodeName(file).constData(), mode_t(mode)) == 0;
    };
    const auto run = [&] {
        const struct stat before = statOf(QFileInfo(path).canonicalFilePath().isEmpty() ? path : QFileInfo(path).canonicalFilePath());
        return summary(writeFileContents(path, kNew), path, before);
    };
    const bool root = ::geteuid() == 0;
    const QByteArray native = QFile::encodeName(path);
    QString got;

    if (setup == "new file") {
        got = run();
        QCOMPARE(statOf(path).st_mode & 0777, mode_t(0644)); // as the umask asks of a new file
    } else if (setup == "file" || setup == "hard link" || setup == "read-only file") {
        QVERIFY(existing(path, setup == "read-only file" ? 0444 : 0640));
        if (setup == "hard link") QVERIFY(::link(native.constData(), QFile::encodeName(folder + "/other").constData()) == 0);
        got = run();
        if (setup == "hard link") QCOMPARE(test::fileBytes(folder + "/other"), kNew);
    } else if (setup == "symbolic link") {
        QVERIFY(existing(folder + "/target", 0640));
        QVERIFY(QFile::link(QStringLiteral("target"), path));
        got = run();
        path = folder + "/target";
        QVERIFY(QFileInfo(folder + "/Bots.cfg").isSymLink());
    } else if (setup.startsWith("read-only folder")) {
        if (!setup.endsWith("new file")) QVERIFY(existing(path, 0664));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup));
        got = run();
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    } else if (setup == "folder in its place") {
        QVERIFY(QDir().mkdir(path));
        got = run();
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(QDir().rmdir(path));
    } else if (setup == "missing folder") {
        path = folder + "/gone/Bots.cfg";
        got = run();
    } else if (setup == "another group" || setup == "another owner") {
        if (!root) QSKIP("giving a file to another owner or group takes the administrator");
        const bool owner = setup == "another owner";
        QVERIFY(existing(path, owner ? 0666 : 0660));
        QVERIFY(::chown(native.constData(), owner ? 4242 : uid_t(-1), 4242) == 0);
        // Without the right to give files away, the new file could not be the old owner's.
        if (owner) QVERIFY(setCapabilities({CAP_CHOWN}, false));
        got = run();
        if (owner) QVERIFY(setCapabilities({CAP_CHOWN}, true));
        QCOMPARE(statOf(path).st_gid, gid_t(4242));
        QCOMPARE(statOf(path).st_uid, owner ? uid_t(4242) : ::geteuid());
    } else {
        // A full disk and a read-only file system need a file system of their own.
        got = inOwnFileSystem(folder, [&]() -> QString {
            if (!setup.endsWith("new file") && !existing(path, 0640)) return QStringLiteral("set-up failed");
            if (setup.endsWith("hard link") && ::link(native.constData(), QFile::encodeName(folder + "/other").constData()) != 0)
                return QStringLiteral("set-up failed");
            if (setup.startsWith("full disk") && !fillUp(folder)) return QStringLiteral("set-up failed");
            if (setup == "read-only file system"
                && ::mount(nullptr, QFile::encodeName(folder).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
                return QStringLiteral("set-up failed");
            return run();
        });
        if (got.isEmpty()) QSKIP("this account may not mount a file system of its own");
    }
    QCOMPARE(got, expected);
}

QTEST_GUILESS_MAIN(TestFileWriter)
#include "tst_file_writer.moc"
