#include "base/file_writer.h"
#include "snapshots.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <functional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <linux/capability.h>

using namespace tarnwick;

namespace {

const QByteArray kOld = "old bytes\n";
const QByteArray kNew = QByteArray(6000, 'n') + '\n'; // more than a page: a full disk has no room for it

// Switches administrator rights of this process on or off, so that root meets the file
// rights a player meets. For a player's own account it changes nothing.
bool setCapabilities(std::initializer_list<int> caps, bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    for (const int cap : caps) {
        auto& set = data[cap / 32];
        set.effective = on ? set.effective | (set.permitted & (1u << cap % 32)) : set.effective & ~(1u << cap % 32);
    }
    return ::syscall(SYS_capset, &header, data) == 0;
}

struct stat statOf(const QString& path)
{
    struct stat st {};
    const QString real = QFileInfo(path).canonicalFilePath();
    if (::stat(QFile::encodeName(real.isEmpty() ? path : real).constData(), &st) != 0) st.st_nlink = 0;
    return st;
}

// One line for all a case checks: what the writer said, what the file holds, what became
// of its mode, owner and identity, and what else its folder holds.
QString summary(const FileWriteResult& r, const QString& path, const struct stat& before)
{
    static const char* const outcomes[] = {"written", "read-only file", "folder", "failed"};
    static const char* const methods[] = {"", " (created)", " (replaced)", " (in place)"};
    QStringList parts{QLatin1String(outcomes[int(r.outcome)]) + QLatin1String(methods[int(r.method)])};
    if (!r.ok()) parts << r.reason + (r.reason == QString::fromLocal8Bit(std::strerror(r.error)) ? "" : " (not the system's)");
    const QByteArray bytes = test::fileBytes(path);
    parts << (bytes == kNew ? "new bytes" : bytes == kOld ? "old bytes" : QFileInfo(path).isFile() ? "other bytes" : "no file");
    const struct stat after = statOf(path);
    if (before.st_nlink > 0 && after.st_nlink > 0 && S_ISREG(after.st_mode)) {
        parts << QString::asprintf("mode %o", after.st_mode & 07777);
        if (after.st_uid != before.st_uid || after.st_gid != before.st_gid) parts << "owner changed";
        parts << (after.st_ino == before.st_ino ? "same file" : "new file");
    }
    QStringList others = QDir(QFileInfo(path).path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    others.removeAll(QFileInfo(path).fileName());
    if (!others.isEmpty()) parts << "beside: " + others.join(u' ');
    return parts.join(QStringLiteral(", "));
}

// `body` run in a child process whose mount table makes `folder` a small file system of
// its own; what it returns comes back, or nothing when this account may not mount.
QString inOwnFileSystem(const QString& folder, const std::function<QString()>& body)
{
    int ends[2];
    if (::pipe(ends) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        QByteArray out;
        if (::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
            && ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=64k") == 0)
            out = body().toUtf8();
        [[maybe_unused]] const ssize_t n = ::write(ends[1], out.constData(), size_t(out.size()));
        ::_exit(0);
    }
    ::close(ends[1]);
    QByteArray got;
    char buffer[4096];
    for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;) got.append(buffer, n);
    ::close(ends[0]);
    ::waitpid(child, nullptr, 0);
    return QString::fromUtf8(got);
}

} // namespace

class TestFileWriter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        ::umask(022);
        setCapabilities({CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}, false);
    }
    void writes_data();
    void writes();
};

void TestFileWriter::writes_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* setup, const char* expected) { QTest::newRow(setup) << setup << expected; };
    row("new file", "written (created), new bytes");
    row("file", "written (replaced), new bytes, mode 640, new file");
    row("hard link", "written (in place), new bytes, mode 640, same file, beside: other");
    row("symbolic link", "written (replaced), new bytes, mode 640, new file, beside: Bots.cfg");
    row("read-only folder", "written (in place), new bytes, mode 640, same file");
    row("read-only folder, new file", "failed, Permission denied, no file");
    row("read-only file", "read-only file, Permission denied, old bytes, mode 444, same file");
    row("folder in its place", "folder, Is a directory, no file");
    row("missing folder", "failed, No such file or directory, no file");
    row("another group", "written (replaced), new bytes, mode 640, new file");
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
    const QString path = folder + (setup.startsWith("missing") ? "/gone/Bots.cfg" : "/Bots.cfg");
    const QByteArray native = QFile::encodeName(path);
    const mode_t mode = setup == "read-only file" ? 0444 : setup == "another owner" ? 0666 : 0640;
    const QString target = setup == "symbolic link" ? folder + "/target" : path;
    const auto prepare = [&] {
        if (setup.endsWith("new file") || setup.startsWith("missing")) return true;
        if (setup == "folder in its place") return QDir().mkdir(path);
        if (!test::putFile(target, kOld) || ::chmod(QFile::encodeName(target).constData(), mode) != 0) return false;
        if (setup.endsWith("symbolic link")) return QFile::link(QStringLiteral("target"), path);
        if (setup.endsWith("hard link")) return ::link(native.constData(), QFile::encodeName(folder + "/other").constData()) == 0;
        return true;
    };
    const auto run = [&] {
        const struct stat before = statOf(path);
        return summary(writeFileContents(path, kNew), target, before);
    };

    if (setup.startsWith("full disk") || setup.endsWith("file system")) {
        const QString got = inOwnFileSystem(folder, [&]() -> QString {
            QFile filler(folder + "/filler");
            if (!prepare()) return QStringLiteral("set-up failed");
            if (setup.startsWith("full disk") && filler.open(QIODevice::WriteOnly))
                while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {}
            filler.close();
            if (setup.endsWith("file system")
                && ::mount(nullptr, QFile::encodeName(folder).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
                return QStringLiteral("set-up failed");
            return run();
        });
        if (got.isEmpty()) QSKIP("this account may not mount a file system of its own");
        QCOMPARE(got, expected);
        return;
    }
    QVERIFY(prepare());
    if (setup.startsWith("another")) {
        if (::geteuid() != 0) QSKIP("giving a file to another owner or group takes the administrator");
        QVERIFY(::chown(native.constData(), setup == "another owner" ? 4242 : uid_t(-1), 4242) == 0);
    }
    if (setup.startsWith("read-only folder")) QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0555) == 0);
    // Without the right to give files away, a new file could not be the old owner's.
    if (setup == "another owner") QVERIFY(setCapabilities({CAP_CHOWN}, false));
    QCOMPARE(run(), expected);
    setCapabilities({CAP_CHOWN}, true);
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
    if (setup == "hard link") QCOMPARE(test::fileBytes(folder + "/other"), kNew);
    if (setup == "symbolic link") QVERIFY(QFileInfo(path).isSymLink());
    if (setup == "new file") QCOMPARE(statOf(path).st_mode & 0777, mode_t(0644)); // as the umask asks
}

QTEST_GUILESS_MAIN(TestFileWriter)
#include "tst_file_writer.moc"
