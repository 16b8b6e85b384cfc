#include "formats/wad_directory.h"

#include "formats/plain_file.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace tarnwick {

namespace {

// What the central directory says of one archive entry; the local header is read only
// when the entry is.
struct ArchiveEntry
{
    quint64 localOffset = 0;
    quint64 compressedSize = 0;
    quint64 size = 0;
    quint32 crc = 0;
    quint16 method = 0;
    quint16 flags = 0;
};

} // namespace

struct ResourceFile::Impl
{
    QFile file;                          // opened once, unbuffered; read by seek and read
    std::vector<ArchiveEntry> archive;   // archives: parallel to m_entries
    quint64 dataEnd = 0;                 // archives: where the central directory starts
};

namespace {

constexpr qint64 kHeaderSize = 12;
constexpr qint64 kTableEntrySize = 16;

// Zip records: fixed sizes before their variable parts.
constexpr qint64 kEndSize = 22;
constexpr qint64 kMaxComment = 0xffff;
constexpr qint64 kZip64LocatorSize = 20;
constexpr qint64 kZip64EndSize = 56;
constexpr qint64 kCentralSize = 46;
constexpr qint64 kLocalSize = 30;
constexpr qint64 kMaxCentralDirectory = 64 * 1024 * 1024;
constexpr quint16 kStored = 0;
constexpr quint16 kDeflated = 8;
constexpr quint16 kEncrypted = 1;

void fail(QString* error, const QString& reason)
{
    if (error) *error = reason;
}

// A lump name: up to eight bytes, ended early by a zero byte, compared in upper case.
QString lumpName(const char* bytes)
{
    qsizetype length = 0;
    while (length < 8 && bytes[length] != '\0') ++length;
    return QString::fromLatin1(bytes, length).toUpper();
}

using plainfile::readAt;

quint16 u16(const char* p) { return qFromLittleEndian<quint16>(p); }
quint32 u32(const char* p) { return qFromLittleEndian<quint32>(p); }
quint64 u64(const char* p) { return qFromLittleEndian<quint64>(p); }

bool hasSignature(const char* p, char a, char b) { return p[0] == 'P' && p[1] == 'K' && p[2] == a && p[3] == b; }

// Where the central directory lies and how many entries it holds, from the end record
// (and the Zip64 end record when there is one).
struct Directory
{
    quint64 offset = 0;
    quint64 size = 0;
    quint64 count = 0;
};

// Reads the end record found at `at` in the file. Returns an empty string when it
// describes a directory that fits before it, else why not.
QString readEndRecord(QFile& file, qint64 at, const char* end, Directory& dir)
{
    quint64 disk = u16(end + 4), dirDisk = u16(end + 6), onDisk = u16(end + 8);
    dir.count = u16(end + 10);
    dir.size = u32(end + 12);
    dir.offset = u32(end + 16);
    quint64 bound = quint64(at); // the directory ends before this

    const QByteArray locator = at >= kZip64LocatorSize ? readAt(file, at - kZip64LocatorSize, kZip64LocatorSize) : QByteArray();
    if (locator.size() == kZip64LocatorSize && hasSignature(locator.constData(), 6, 7)) {
        const quint64 recordAt = u64(locator.constData() + 8);
        if (u32(locator.constData() + 4) != 0 || u32(locator.constData() + 16) > 1)
            return QStringLiteral("archive spans several disks");
        if (at < kZip64LocatorSize + kZip64EndSize || recordAt > quint64(at - kZip64LocatorSize - kZip64EndSize))
            return QStringLiteral("Zip64 end record lies outside the file");
        const QByteArray record = readAt(file, qint64(recordAt), kZip64EndSize);
        if (record.size() != kZip64EndSize || !hasSignature(record.constData(), 6, 6))
            return QStringLiteral("Zip64 end record is damaged");
        const char* r = record.constData();
        disk = u32(r + 16);
        dirDisk = u32(r + 20);
        onDisk = u64(r + 24);
        dir.count = u64(r + 32);
        dir.size = u64(r + 40);
        dir.offset = u64(r + 48);
        bound = recordAt;
    }
    if (disk != 0 || dirDisk != 0 || onDisk != dir.count) return QStringLiteral("archive spans several disks");
    if (dir.count > quint64(ResourceFile::kMaxLumps))
        return QStringLiteral("archive entry count %1 is out of range").arg(dir.count);
    if (dir.size > quint64(kMaxCentralDirectory)) return QStringLiteral("central directory is larger than 64 MiB");
    if (dir.offset > bound || dir.size > bound - dir.offset)
        return QStringLiteral("central directory lies outside the file");
    if (dir.count * kCentralSize > dir.size)
        return QStringLiteral("central directory is too small for %1 entries").arg(dir.count);
    return {};
}

// The end record is the last thing in the file but for a comment of up to 64 KiB, which
// may itself hold the record's signature: the search runs backwards and takes the first
// candidate that describes a directory in front of it. The last 4 KiB are looked at
// first, since comments are short or absent.
QString findDirectory(QFile& file, qint64 fileSize, Directory& dir)
{
    QString firstReason;
    qint64 searched = 0; // bytes at the end of the file already looked at
    for (const qint64 window : {qint64(4096), kEndSize + kMaxComment}) {
        const qint64 length = std::min(window, fileSize);
        if (length <= searched) break;
        const qint64 base = fileSize - length;
        const QByteArray tail = readAt(file, base, length);
        if (tail.size() != length) return QStringLiteral("archive cannot be read");
        // Candidates in the part already searched were tried with the smaller window.
        for (qint64 p = length - std::max(kEndSize, searched + 1); p >= 0; --p) {
            const char* end = tail.constData() + p;
            if (p + kEndSize > length || !hasSignature(end, 5, 6)) continue;
            if (u16(end + 20) > length - p - kEndSize) continue; // its comment would not fit
            const QString reason = readEndRecord(file, base + p, end, dir);
            if (reason.isEmpty()) return {};
            if (firstReason.isEmpty()) firstReason = reason;
        }
        searched = length;
    }
    return firstReason.isEmpty() ? QStringLiteral("archive has no central directory") : firstReason;
}

// The Zip64 extra field (0x0001) holds, in this order, each of the uncompressed size,
// the compressed size and the local header offset whose 32-bit field is all ones.
bool readZip64Extra(const char* extra, qint64 length, ArchiveEntry& e, bool wantSize, bool wantCompressed, bool wantOffset)
{
    if (!wantSize && !wantCompressed && !wantOffset) return true;
    for (qint64 at = 0; at + 4 <= length;) {
        const quint16 id = u16(extra + at);
        const qint64 fieldLength = u16(extra + at + 2);
        const char* p = extra + at + 4;
        at += 4 + fieldLength;
        if (at > length) return false;
        if (id != 0x0001) continue;
        const qint64 needed = 8 * (int(wantSize) + int(wantCompressed) + int(wantOffset));
        if (fieldLength < needed) return false;
        if (wantSize) e.size = u64(p), p += 8;
        if (wantCompressed) e.compressedSize = u64(p), p += 8;
        if (wantOffset) e.localOffset = u64(p);
        return true;
    }
    return false;
}

// Lists the central directory. Entries whose data would reach past the start of the
// central directory are listed but never read; entries whose data overlap another's
// (the trick of a zip bomb that reuses its bytes) refuse the archive.
QString readCentralDirectory(QFile& file, const Directory& dir, QList<ResourceEntry>& entries,
                             std::vector<ArchiveEntry>& archive)
{
    const QByteArray bytes = readAt(file, qint64(dir.offset), qint64(dir.size));
    if (bytes.size() != qint64(dir.size)) return QStringLiteral("central directory cannot be read");
    const char* data = bytes.constData();
    entries.reserve(qsizetype(dir.count));
    archive.reserve(dir.count);
    std::vector<std::pair<quint64, quint64>> extents; // [start, end) of each readable entry
    qint64 at = 0;
    for (quint64 i = 0; i < dir.count; ++i) {
        if (at + kCentralSize > bytes.size() || !hasSignature(data + at, 1, 2))
            return QStringLiteral("central directory entry %1 is damaged").arg(i);
        const char* c = data + at;
        const qint64 nameLength = u16(c + 28), extraLength = u16(c + 30), commentLength = u16(c + 32);
        if (at + kCentralSize + nameLength + extraLength + commentLength > bytes.size())
            return QStringLiteral("central directory entry %1 is damaged").arg(i);
        ArchiveEntry e;
        e.flags = u16(c + 8);
        e.method = u16(c + 10);
        e.crc = u32(c + 16);
        e.compressedSize = u32(c + 20);
        e.size = u32(c + 24);
        e.localOffset = u32(c + 42);
        if (!readZip64Extra(c + kCentralSize + nameLength, extraLength, e, e.size == 0xffffffffu,
                            e.compressedSize == 0xffffffffu, e.localOffset == 0xffffffffu))
            return QStringLiteral("central directory entry %1 has a damaged Zip64 field").arg(i);

        ResourceEntry entry;
        // Names are UTF-8 in practice, whether or not the entry says so.
        entry.name = QString::fromUtf8(c + kCentralSize, nameLength);
        entry.size = qint64(std::min<quint64>(e.size, quint64(INT64_MAX)));
        // The local header's own name and extra field come between, so this is where the
        // entry's data ends at the earliest.
        const quint64 minimal = quint64(kLocalSize + nameLength);
        entry.inside = e.localOffset <= dir.offset && e.compressedSize <= dir.offset &&
                       e.localOffset + minimal + e.compressedSize <= dir.offset;
        if (entry.inside) extents.emplace_back(e.localOffset, e.localOffset + minimal + e.compressedSize);
        entries.append(entry);
        archive.push_back(e);
        at += kCentralSize + nameLength + extraLength + commentLength;
    }
    std::sort(extents.begin(), extents.end());
    for (size_t i = 1; i < extents.size(); ++i)
        if (extents[i].first < extents[i - 1].second) return QStringLiteral("archive entries overlap");
    return {};
}

// Inflates raw deflate data of `compressed` bytes starting at `at`, stopping once the
// output passes `cap` bytes (the caller then refuses it). Counts the bytes it produces.
std::optional<QByteArray> inflateEntry(QFile& file, qint64 at, quint64 compressed, qint64 cap, qint64& produced)
{
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return std::nullopt;
    constexpr qint64 kStep = 64 * 1024;
    QByteArray input;
    QByteArray out;
    quint64 fed = 0;
    int status = Z_OK;
    bool ok = file.seek(at);
    while (ok && status != Z_STREAM_END) {
        if (z.avail_in == 0 && fed < compressed) {
            input = file.read(qint64(std::min<quint64>(kStep, compressed - fed)));
            if (input.isEmpty()) break; // the file shrank
            fed += quint64(input.size());
            z.next_in = reinterpret_cast<Bytef*>(input.data());
            z.avail_in = uInt(input.size());
        }
        const qint64 room = std::min(kStep, cap + 1 - out.size());
        if (room <= 0) break;
        const qsizetype before = out.size();
        out.resize(before + room);
        z.next_out = reinterpret_cast<Bytef*>(out.data() + before);
        z.avail_out = uInt(room);
        const uInt inBefore = z.avail_in;
        status = inflate(&z, Z_NO_FLUSH);
        out.resize(before + room - z.avail_out);
        produced += out.size() - before;
        // Z_BUF_ERROR only means no progress; with no input left that is a cut stream.
        const bool progressed = z.avail_in != inBefore || out.size() != before;
        if ((status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) || (!progressed && status != Z_STREAM_END))
            ok = false;
    }
    inflateEnd(&z);
    if (!ok || status != Z_STREAM_END) return std::nullopt;
    return out;
}

} // namespace

ResourceFile::ResourceFile(Kind kind) : m_kind(kind), m_impl(std::make_unique<Impl>()) {}

ResourceFile::~ResourceFile() = default;

std::unique_ptr<ResourceFile> ResourceFile::open(const QString& path, QString* error)
{
    std::unique_ptr<ResourceFile> resource(new ResourceFile(Kind::Wad));
    QFile& file = resource->m_impl->file;
    QString reason;
    switch (plainfile::open(file, path, &reason)) {
    case plainfile::Open::Done: break;
    case plainfile::Open::NotPlain:
        fail(error, QFileInfo::exists(path) ? QStringLiteral("not a file") : QStringLiteral("not found"));
        return nullptr;
    case plainfile::Open::Failed: fail(error, reason); return nullptr;
    }
    char magic[kHeaderSize] = {};
    const qint64 got = file.read(magic, kHeaderSize);
    const qint64 fileSize = file.size();

    if (got >= 4 && magic[0] == 'P' && magic[1] == 'K') {
        resource->m_kind = Kind::Archive;
        Directory dir;
        QString reason = findDirectory(file, fileSize, dir);
        if (reason.isEmpty())
            reason = readCentralDirectory(file, dir, resource->m_entries, resource->m_impl->archive);
        if (!reason.isEmpty()) {
            fail(error, reason);
            return nullptr;
        }
        resource->m_impl->dataEnd = dir.offset;
        return resource;
    }

    if (got < kHeaderSize || (memcmp(magic, "IWAD", 4) != 0 && memcmp(magic, "PWAD", 4) != 0)) {
        fail(error, QStringLiteral("not a WAD file or archive"));
        return nullptr;
    }
    // Both numbers are signed 32-bit on disk; a negative one (a count of 2^31) is nonsense.
    const qint64 count = qFromLittleEndian<qint32>(magic + 4);
    const qint64 tableOffset = qFromLittleEndian<qint32>(magic + 8);
    if (count < 0 || count > kMaxLumps) {
        fail(error, QStringLiteral("lump count %1 is out of range").arg(count));
        return nullptr;
    }
    if (tableOffset < kHeaderSize || tableOffset + count * kTableEntrySize > fileSize) {
        fail(error, QStringLiteral("lump table lies outside the file"));
        return nullptr;
    }

    ResourceFile* wad = resource.get();
    wad->m_bytesRead = got;
    QByteArray table;
    if (count > 0) {
        if (!file.seek(tableOffset)) {
            fail(error, file.errorString());
            return nullptr;
        }
        table = file.read(count * kTableEntrySize);
        wad->m_bytesRead += table.size();
        if (table.size() != count * kTableEntrySize) {
            fail(error, QStringLiteral("lump table is cut short"));
            return nullptr;
        }
    }
    wad->m_entries.reserve(count);
    wad->m_offsets.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        const char* e = table.constData() + i * kTableEntrySize;
        const qint64 offset = qFromLittleEndian<qint32>(e);
        const qint64 size = qFromLittleEndian<qint32>(e + 4);
        ResourceEntry entry;
        entry.name = lumpName(e + 8);
        entry.size = std::max<qint64>(size, 0);
        entry.inside = offset >= 0 && size >= 0 && offset + size <= fileSize;
        wad->m_entries.append(entry);
        wad->m_offsets.append(offset);
    }
    return resource;
}

std::optional<QByteArray> ResourceFile::read(qsizetype index, qint64 limit)
{
    if (index < 0 || index >= m_entries.size() || limit < 0) return std::nullopt;
    const ResourceEntry& entry = m_entries.at(index);
    if (!entry.inside || entry.size > limit) return std::nullopt;
    QFile& file = m_impl->file;

    if (m_kind == Kind::Wad) {
        if (!file.seek(m_offsets.at(index))) return std::nullopt;
        QByteArray bytes = file.read(entry.size);
        m_bytesRead += bytes.size();
        // The file shrank since the table was read.
        if (bytes.size() != entry.size) return std::nullopt;
        return bytes;
    }

    const ArchiveEntry& e = m_impl->archive.at(size_t(index));
    if ((e.flags & kEncrypted) || (e.method != kStored && e.method != kDeflated)) return std::nullopt;
    // The local header's own name and extra lengths say where the data starts; the data
    // must still end before the central directory.
    const QByteArray local = readAt(file, qint64(e.localOffset), kLocalSize);
    if (local.size() != kLocalSize || !hasSignature(local.constData(), 3, 4) || u16(local.constData() + 8) != e.method)
        return std::nullopt;
    const quint64 dataAt = e.localOffset + kLocalSize + u16(local.constData() + 26) + u16(local.constData() + 28);
    if (dataAt > m_impl->dataEnd || e.compressedSize > m_impl->dataEnd - dataAt) return std::nullopt;

    std::optional<QByteArray> bytes;
    if (e.method == kStored) {
        if (e.compressedSize != e.size) return std::nullopt;
        bytes = readAt(file, qint64(dataAt), qint64(e.size));
        m_bytesRead += bytes->size();
    } else {
        // The declared size may lie: inflate in steps and stop one byte past it or past the
        // limit, whichever comes first.
        bytes = inflateEntry(file, qint64(dataAt), e.compressedSize, entry.size, m_bytesRead);
    }
    if (!bytes || quint64(bytes->size()) != e.size) return std::nullopt;
    if (crc32_z(0, reinterpret_cast<const Bytef*>(bytes->constData()), size_t(bytes->size())) != e.crc)
        return std::nullopt;
    return bytes;
}

} // namespace tarnwick
