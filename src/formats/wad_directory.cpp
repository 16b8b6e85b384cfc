#include "formats/wad_directory.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <zip.h>

#include <filesystem>

namespace tarnwick {

struct ResourceFile::Impl
{
    QFile file;           // WADs
    zip_t* zip = nullptr; // archives

    ~Impl()
    {
        if (zip) zip_discard(zip); // opened read-only: nothing to write back
    }
};

namespace {

constexpr qint64 kHeaderSize = 12;
constexpr qint64 kTableEntrySize = 16;

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

} // namespace

bool ResourceFile::isRegularFile(const QString& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(QFile::encodeName(path).toStdString(), ec);
    return !ec && status.type() == std::filesystem::file_type::regular;
}

ResourceFile::ResourceFile(Kind kind) : m_kind(kind), m_impl(std::make_unique<Impl>()) {}

ResourceFile::~ResourceFile() = default;

std::unique_ptr<ResourceFile> ResourceFile::open(const QString& path, QString* error)
{
    if (!isRegularFile(path)) {
        fail(error, QFileInfo::exists(path) ? QStringLiteral("not a file") : QStringLiteral("not found"));
        return nullptr;
    }
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        fail(error, probe.errorString());
        return nullptr;
    }
    char magic[kHeaderSize] = {};
    const qint64 got = probe.read(magic, kHeaderSize);
    const qint64 fileSize = probe.size();

    if (got >= 4 && magic[0] == 'P' && magic[1] == 'K') {
        probe.close();
        int code = 0;
        zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
        if (!zip) {
            zip_error_t err;
            zip_error_init_with_code(&err, code);
            fail(error, QString::fromLocal8Bit(zip_error_strerror(&err)));
            zip_error_fini(&err);
            return nullptr;
        }
        std::unique_ptr<ResourceFile> archive(new ResourceFile(Kind::Archive));
        archive->m_impl->zip = zip;
        const zip_int64_t count = zip_get_num_entries(zip, 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            zip_stat_t st;
            zip_stat_init(&st);
            if (zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
                continue;
            ResourceEntry entry;
            entry.name = QString::fromUtf8(st.name);
            entry.size = (st.valid & ZIP_STAT_SIZE) ? static_cast<qint64>(std::min<zip_uint64_t>(st.size, INT64_MAX)) : 0;
            archive->m_entries.append(entry);
            archive->m_offsets.append(i); // archives keep the libzip index here
        }
        return archive;
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

    std::unique_ptr<ResourceFile> wad(new ResourceFile(Kind::Wad));
    wad->m_bytesRead = got;
    QByteArray table;
    if (count > 0) {
        if (!probe.seek(tableOffset)) {
            fail(error, probe.errorString());
            return nullptr;
        }
        table = probe.read(count * kTableEntrySize);
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
    wad->m_impl->file.setFileName(path);
    if (!wad->m_impl->file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        fail(error, wad->m_impl->file.errorString());
        return nullptr;
    }
    return wad;
}

std::optional<QByteArray> ResourceFile::read(qsizetype index, qint64 limit)
{
    if (index < 0 || index >= m_entries.size() || limit < 0) return std::nullopt;
    const ResourceEntry& entry = m_entries.at(index);
    if (!entry.inside || entry.size > limit) return std::nullopt;

    if (m_kind == Kind::Wad) {
        QFile& file = m_impl->file;
        if (!file.seek(m_offsets.at(index))) return std::nullopt;
        QByteArray bytes = file.read(entry.size);
        m_bytesRead += bytes.size();
        // The file shrank since the table was read.
        if (bytes.size() != entry.size) return std::nullopt;
        return bytes;
    }

    // The declared size may lie: inflate in steps and stop one byte past the limit.
    zip_file_t* f = zip_fopen_index(m_impl->zip, static_cast<zip_uint64_t>(m_offsets.at(index)), 0);
    if (!f) return std::nullopt;
    QByteArray bytes;
    constexpr qint64 kStep = 64 * 1024;
    bool ok = true;
    while (true) {
        const qint64 room = std::min(kStep, limit + 1 - bytes.size());
        if (room <= 0) {
            ok = false;
            break;
        }
        const qsizetype at = bytes.size();
        bytes.resize(at + room);
        const zip_int64_t n = zip_fread(f, bytes.data() + at, static_cast<zip_uint64_t>(room));
        if (n < 0) {
            ok = false;
            break;
        }
        bytes.resize(at + n);
        m_bytesRead += n;
        if (n == 0) break;
    }
    zip_fclose(f);
    if (!ok || bytes.size() > limit) return std::nullopt;
    return bytes;
}

} // namespace tarnwick
