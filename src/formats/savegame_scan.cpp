#include "formats/savegame_scan.h"

#include "platform/file_system.h"
#include "base/paths.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <new>
#include <string_view>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarnwick {

namespace {

// The port keeps its descriptive fields in PNG text chunks; this is which keyword fills
// which cell of the row. Keywords compare byte for byte, letter case included.
struct KeywordColumn
{
    std::string_view keyword;
    int column;
};
constexpr std::array<KeywordColumn, 8> kKeywordColumns{{
    {"Title", 0},
    {"Game WAD", 1},
    {"Map WAD", 2},
    {"Current Map", 3},
    {"Creation Time", 4},
    {"Comment", 5},
    {"Software", 6},
    {"ZDoom Save Version", 7},
}};
constexpr int kCommentColumn = 5;
// The port writes its console variables after the fields we show; nothing after them
// matters to the list.
constexpr std::string_view kStopKeyword = "Important CVARs";

constexpr qint64 kFirstChunk = 8;    // after the PNG signature
constexpr qint64 kHeaderSize = 8;    // length, type
constexpr qint64 kCheckValueSize = 4; // the CRC after the data, never read
constexpr int kMaxChunks = 100;      // a file without IEND cannot keep the walk going
// Text chunks are read in blocks of this size while looking for the keyword's end, so a
// hostile length costs no memory unless the keyword is one we show.
constexpr qint64 kTextBlock = 4096;

const QString kDifferentVersion = QStringLiteral("<Different Version>");

thread_local qint64 t_bytesRead = 0;

int columnOf(std::string_view keyword)
{
    for (const KeywordColumn& k : kKeywordColumns)
        if (k.keyword == keyword) return k.column;
    return -1;
}

// Opens a plain file for positioned reads, unbuffered so that an 8-byte header costs 8
// bytes rather than a buffer's worth. On Unix the file is opened without blocking and
// checked to be a regular file, so a FIFO or device put in a save's place after the
// listing cannot stall the scan.
bool openSaveFile(QFile& file, const QString& path)
{
    constexpr auto mode = QIODevice::ReadOnly | QIODevice::Unbuffered;
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#else
    file.setFileName(path);
    return file.open(mode);
#endif
}

// Reads up to `count` bytes at `offset` into `into`; fewer at the end of the file, which
// is not an error. Returns the number read, or -1 on a read error.
qint64 readAt(QFile& file, qint64 offset, char* into, qint64 count)
{
    qint64 done = 0;
#ifdef Q_OS_UNIX
    // One system call a read: a folder of saves costs a few reads per file.
    while (done < count) {
        const ssize_t n = ::pread(file.handle(), into + done, size_t(count - done), off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += n;
    }
#else
    if (!file.seek(offset)) return -1;
    while (done < count) {
        const qint64 n = file.read(into + done, count - done);
        if (n < 0) return -1;
        if (n == 0) break;
        done += n;
    }
#endif
    t_bytesRead += done;
    return done;
}

enum class Walk { Continue, Stop, Error };

// One tEXt chunk whose data starts at `offset` and of which `available` bytes exist:
// a keyword, a zero byte, the value. Only values of keywords in the table are read.
Walk readTextChunk(QFile& file, qint64 offset, qint64 available, SaveGameRow& row)
{
    QByteArray head(std::min(available, kTextBlock), Qt::Uninitialized);
    qint64 got = readAt(file, offset, head.data(), head.size());
    if (got < 0) return Walk::Error;
    head.truncate(got);

    qsizetype zero = head.indexOf('\0');
    if (zero < 0) {
        // The keyword is longer than any we show; only whether a separator exists at all
        // still matters.
        for (qint64 scanned = got; scanned < available && zero < 0; scanned += got) {
            got = readAt(file, offset + scanned, head.data(), std::min(available - scanned, qint64(head.size())));
            if (got <= 0) return Walk::Error;
            zero = QByteArrayView(head.constData(), got).indexOf('\0');
        }
        return zero < 0 ? Walk::Error : Walk::Continue;
    }

    const std::string_view keyword(head.constData(), size_t(zero));
    if (keyword == kStopKeyword) return Walk::Stop;
    const int column = columnOf(keyword);
    if (column < 0) return Walk::Continue;

    QByteArray value = head.mid(zero + 1);
    if (available > head.size()) {
        const qsizetype have = value.size();
        value.resize(have + (available - head.size()));
        got = readAt(file, offset + head.size(), value.data() + have, available - head.size());
        if (got < 0) return Walk::Error;
        value.truncate(have + got);
    }
    QString text = QString::fromLocal8Bit(value);
    if (column == kCommentColumn) text.replace(QChar(10), QChar(u' '));
    row.cells[size_t(column)] = std::move(text);
    return Walk::Continue;
}

// Walks the chunks of a PNG save header by header, filling `row`. False on an error that
// must end the scan. Chunk data other than text is passed over by its length, unread.
bool walkChunks(QFile& file, SaveGameRow& row)
{
    const qint64 size = file.size();
    qint64 pos = kFirstChunk;
    // Past the end every header would read as zeros: no text, no IEND, only more of the
    // same until the chunk limit. Stopping there gives the same row.
    for (int count = 0; count < kMaxChunks && pos < size; ++count) {
        char header[kHeaderSize];
        const qint64 got = readAt(file, pos, header, kHeaderSize);
        if (got < 0) return false;
        if (got < kHeaderSize) return true;
        const quint32 length = qFromBigEndian<quint32>(header);
        const std::string_view type(header + 4, 4);
        const qint64 dataPos = pos + kHeaderSize;
        if (type == "tEXt") {
            switch (readTextChunk(file, dataPos, std::min<qint64>(length, size - dataPos), row)) {
            case Walk::Error: return false;
            case Walk::Stop: return true;
            case Walk::Continue: break;
            }
        }
        if (type == "IEND") return true;
        pos = dataPos + qint64(length) + kCheckValueSize;
    }
    return true;
}

// Reads the save at `path` and appends its row. False when the scan must end: the file
// could not be opened or read (no row), or a text chunk was broken (row as filled so far).
bool readSaveGame(const QString& path, QList<SaveGameRow>& rows)
{
    QFile file;
    if (!openSaveFile(file, path)) return false;
    char signature[3];
    const qint64 got = readAt(file, 1, signature, 3);
    if (got < 0) return false;
    if (std::string_view(signature, size_t(got)) != "PNG") {
        SaveGameRow row;
        row.cells[0] = kDifferentVersion;
        rows.append(std::move(row));
        return true;
    }
    rows.append(SaveGameRow{});
    return walkChunks(file, rows.back());
}

// The *.zds files of `folder` as a file list box shows them: plain files only, letter case
// of the extension ignored, sorted without regard to case (ties broken by case so the
// order never depends on the directory's).
QStringList saveFileNames(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files, QDir::NoSort);
    names.removeIf([](const QString& n) { return !n.endsWith(QLatin1String(".zds"), Qt::CaseInsensitive); });
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

} // namespace

SaveGameFolder scanSaveGameFolder(const QString& folder)
{
    t_bytesRead = 0;
    SaveGameFolder result;
    try {
        // An empty text is no folder (not the current one).
        if (!LocalFileSystem().folderExists(folder)) {
            result.completed = true;
            return result;
        }
        result.files = saveFileNames(paths::toNative(folder));
        for (const QString& name : std::as_const(result.files))
            if (!readSaveGame(paths::toNative(paths::join(folder, name)), result.rows)) return result;
        result.completed = true;
    } catch (const std::bad_alloc&) {
        // A huge text value the machine cannot hold ends the scan like any broken file.
        result.completed = false;
    }
    return result;
}

qint64 lastScanBytesRead()
{
    return t_bytesRead;
}

} // namespace tarnwick
