#include "formats/savegame_scan.h"

#include "formats/plain_file.h"

#include "platform/file_system.h"
#include "base/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <string_view>


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
// How much of a text chunk is read: far more than any cell shows, far less than a
// hostile length field could ask for.
constexpr qint64 kTextWindow = 64 * 1024;

const QString kDifferentVersion = QStringLiteral("<Different Version>");

thread_local qint64 t_bytesRead = 0;

int columnOf(std::string_view keyword)
{
    for (const KeywordColumn& k : kKeywordColumns)
        if (k.keyword == keyword) return k.column;
    return -1;
}

using plainfile::Open;

// A positioned read, counted for the benchmark.
qint64 readAt(QIODevice& file, qint64 offset, char* into, qint64 count)
{
    const qint64 done = plainfile::readAt(file, offset, into, count);
    if (done > 0) t_bytesRead += done;
    return done;
}

enum class Walk { Continue, Stop, Error };

// One tEXt chunk whose data starts at `offset` and of which `available` bytes exist:
// a keyword, a zero byte, the value. Only the first kTextWindow bytes are ever read: a
// keyword is at most 79 bytes long, so a chunk without a zero byte in that window is
// broken, and a value longer than the window is cut there (no cell shows that much).
Walk readTextChunk(QIODevice& file, qint64 offset, qint64 available, SaveGameRow& row)
{
    QByteArray data(std::min(available, kTextWindow), Qt::Uninitialized);
    const qint64 got = readAt(file, offset, data.data(), data.size());
    if (got < 0) return Walk::Error;
    data.truncate(got);

    const qsizetype zero = data.indexOf('\0');
    if (zero < 0) return Walk::Error;
    const std::string_view keyword(data.constData(), size_t(zero));
    if (keyword == kStopKeyword) return Walk::Stop;
    const int column = columnOf(keyword);
    if (column < 0) return Walk::Continue;

    QString text = QString::fromLocal8Bit(QByteArrayView(data).sliced(zero + 1));
    if (column == kCommentColumn) text.replace(QChar(10), QChar(u' '));
    row.cells[size_t(column)] = std::move(text);
    return Walk::Continue;
}

// Walks the chunks of a PNG save header by header, filling `row`. False on an error that
// must end the scan. Chunk data other than text is passed over by its length, unread.
bool walkChunks(QIODevice& file, SaveGameRow& row)
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

// Reads the save at `path` into `row`. Gone: the file is no plain file (any more) and
// is not listed; Broken: it could not be opened or read, and the scan ends.
enum class SaveFile { Read, Gone, Broken };
SaveFile readSaveFile(const QString& path, QList<SaveGameRow>& rows)
{
    QFile file;
    switch (plainfile::open(file, path)) {
    case Open::Done: break;
    case Open::NotPlain: return SaveFile::Gone;
    case Open::Failed: return SaveFile::Broken;
    }
    rows.append(SaveGameRow{});
    return readSaveGame(file, rows.back()) ? SaveFile::Read : SaveFile::Broken;
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
    // An empty text is no folder (not the current one).
    if (!LocalFileSystem().folderExists(folder)) {
        result.completed = true;
        return result;
    }
    result.files = saveFileNames(paths::toNative(folder));
    for (qsizetype i = 0; i < result.files.size();) {
        switch (readSaveFile(paths::toNative(paths::join(folder, result.files.at(i))), result.rows)) {
        case SaveFile::Read: ++i; break;
        case SaveFile::Gone: result.files.removeAt(i); break;
        case SaveFile::Broken: return result;
        }
    }
    result.completed = true;
    return result;
}

bool readSaveGame(QIODevice& device, SaveGameRow& row)
{
    char signature[3];
    const qint64 got = readAt(device, 1, signature, 3);
    if (got < 0) return false;
    if (std::string_view(signature, size_t(got)) != "PNG") {
        row = SaveGameRow{};
        row.cells[0] = kDifferentVersion;
        return true;
    }
    return walkChunks(device, row);
}

QByteArray readSavePicture(const QString& path)
{
    constexpr qint64 kMaxPicture = 16 * 1024 * 1024;
    QFile file;
    if (plainfile::open(file, paths::toNative(path)) != Open::Done) return {};
    QByteArray png(kFirstChunk, Qt::Uninitialized);
    if (readAt(file, 0, png.data(), kFirstChunk) != kFirstChunk || !png.startsWith("\x89PNG")) return {};
    const qint64 size = file.size();
    bool inImage = false;
    // The count bounds a file of endless empty chunks; a picture has a handful.
    for (qint64 pos = kFirstChunk, count = 0; pos < size && count < 10000; ++count) {
        char header[kHeaderSize];
        if (readAt(file, pos, header, kHeaderSize) != kHeaderSize) break;
        const qint64 whole = kHeaderSize + qint64(qFromBigEndian<quint32>(header)) + kCheckValueSize;
        const std::string_view type(header + 4, 4);
        if (type == "IEND" || (inImage && type != "IDAT")) break;
        inImage = type == "IDAT";
        // Text is for the list, not the picture.
        if (type != "tEXt" && type != "zTXt" && type != "iTXt") {
            if (png.size() + whole > kMaxPicture) return {};
            const qsizetype at = png.size();
            png.resize(at + whole);
            if (readAt(file, pos, png.data() + at, whole) != whole) return {};
        }
        pos += whole;
    }
    if (!inImage) return {};
    return png.append("\0\0\0\0IEND\xae\x42\x60\x82", 12);
}

qint64 lastScanBytesRead()
{
    return t_bytesRead;
}

} // namespace tarnwick
