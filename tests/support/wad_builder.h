#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>
#include <QtEndian>

#include <zip.h>

// WADs and archives made by the tests themselves.
namespace tarnwick::test {

using Lumps = QList<QPair<QByteArray, QByteArray>>;

// Little-endian 32-bit numbers, written as they come (so tests can write nonsense such as a
// count of 2^31), then `tail` cut or padded with zeros to `tailSize` bytes.
inline QByteArray wadRecord(qint64 first, qint64 second, const QByteArray& tail, int tailSize)
{
    QByteArray r(8, 0);
    qToLittleEndian<quint32>(quint32(first), r.data());
    qToLittleEndian<quint32>(quint32(second), r.data() + 4);
    return r + tail.left(tailSize).leftJustified(tailSize, '\0');
}

// A WAD header and a lump table entry.
inline QByteArray wadHeader(const char* magic, qint64 count, qint64 tableOffset)
{
    return QByteArray(magic, 4) + wadRecord(count, tableOffset, {}, 0);
}

inline QByteArray wadEntry(qint64 offset, qint64 size, const QByteArray& name) { return wadRecord(offset, size, name, 8); }

// A WAD: the header, the lumps' data in order, then the lump table.
inline QByteArray wadBytes(const Lumps& lumps)
{
    QByteArray data;
    QByteArray table;
    for (const auto& [name, bytes] : lumps) {
        table += wadEntry(12 + data.size(), bytes.size(), name);
        data += bytes;
    }
    return wadHeader("PWAD", lumps.size(), 12 + data.size()) + data + table;
}

// A deflated zip archive of `entries`, written by libzip.
inline bool writeZip(const QString& path, const Lumps& entries)
{
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip) return false;
    bool ok = true;
    for (const auto& [name, bytes] : entries) {
        // libzip reads the buffer when the archive is closed, while `entries` still holds it.
        zip_source_t* src = zip_source_buffer(zip, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (!src || zip_file_add(zip, name.constData(), src, ZIP_FL_ENC_UTF_8) < 0) {
            if (src) zip_source_free(src);
            ok = false;
        }
    }
    return zip_close(zip) == 0 && ok;
}

} // namespace tarnwick::test
