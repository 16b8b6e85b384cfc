#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace tarnwick {

// One entry of a WAD's lump table or of an archive's central directory.
struct ResourceEntry
{
    QString name;         // WAD: the lump name in upper case; archive: the path inside it
    qint64 size = 0;      // bytes, as the directory declares them
    bool inside = true;   // false for a WAD lump that reaches past the end of the file
};

// The directory of a map WAD (IWAD/PWAD) or of a .pk3/.zip archive, and the few entries
// a caller asks for.
//
// Both are read with positioned reads on one unbuffered descriptor. A WAD: the 12-byte
// header, the lump table, then only the lumps asked for. An archive: the end record (found
// by searching back over the last 64 KiB, Zip64 records included), the central directory,
// then for each entry asked for its local header and data, stored or inflated with zlib
// and checked against its CRC-32. Hostile files are refused or read safely: a lump table
// or central directory past the end of the file or with more than kMaxLumps entries (or a
// central directory over 64 MiB, or archive entries that overlap) refuses the file, a
// lump or entry outside the file is listed but never read, and no read returns more than
// the limit the caller gives (an archive entry is inflated at most to that limit plus one
// byte, whatever its header claims). Encrypted entries and compression methods other
// than stored and deflate are listed but not read. Only regular files are opened, so a
// folder or a pipe named "x.wad" is refused instead of read or waited on.
class ResourceFile
{
public:
    enum class Kind { Wad, Archive };

    static constexpr qint64 kMaxLumps = 1 << 20;
    static constexpr qint64 kDefaultReadLimit = 4 * 1024 * 1024;

    ~ResourceFile();
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;

    // Opens `path` by its first bytes ("IWAD"/"PWAD", or a zip signature). On failure
    // returns null and puts a one-line reason into `error` when given.
    static std::unique_ptr<ResourceFile> open(const QString& path, QString* error = nullptr);

    Kind kind() const { return m_kind; }
    const QList<ResourceEntry>& entries() const { return m_entries; }

    // The whole of entry `index`, or nothing when the index is out of range, the entry is
    // larger than `limit` or lies outside the file, or reading fails.
    std::optional<QByteArray> read(qsizetype index, qint64 limit = kDefaultReadLimit);

    // Bytes this object has read from the file so far (archives: bytes of entry data
    // produced, inflated or stored; the directory is not counted).
    qint64 bytesRead() const { return m_bytesRead; }

private:
    struct Impl;
    explicit ResourceFile(Kind kind);

    Kind m_kind;
    QList<ResourceEntry> m_entries;
    QList<qint64> m_offsets; // WAD lumps' file offsets, parallel to m_entries
    qint64 m_bytesRead = 0;
    std::unique_ptr<Impl> m_impl;
};

} // namespace tarnwick
