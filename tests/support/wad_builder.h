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

// A WAD header and a lump table entry, the numbers written as they come (so tests can
// write nonsense such as a count of 2^31).
inline QByteArray wadHeader(const char* magic, qint64 count, qint64 tableOffset)
{
    char h[12];
    memcpy(h, magic, 4);
    qToLittleEndian<quint32>(quint32(count), h + 4);
    qToLittleEndian<quint32>(quint32(tableOffset), h + 8);
    return QByteArray(h, 12);
}

inline QByteArray wadEntry(qint64 offset, qint64 size, const QByteArray& name)
{
    char e[16] = {};
    qToLittleEndian<quint32>(quint32(offset), e);
    qToLittleEndian<quint32>(quint32(size), e + 4);
    memcpy(e + 8, name.constData(), std::min<qsizetype>(8, name.size()));
    return QByteArray(e, 16);
}

// A WAD: the header, the lumps' data in order, then the lump table.
inline QByteArray wadBytes(const Lumps& lumps, const char* magic = "PWAD")
{
    QByteArray data;
    QByteArray table;
    for (const auto& [name, bytes] : lumps) {
        table += wadEntry(12 + data.size(), bytes.size(), name);
        data += bytes;
    }
    return wadHeader(magic, lumps.size(), 12 + data.size()) + data + table;
}

// A zip archive of `entries`, written by libzip (deflated unless `store`).
inline bool writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& entries, bool store = false)
{
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip) return false;
    bool ok = true;
    for (const auto& [name, bytes] : entries) {
        // libzip reads the buffer when the archive is closed: give it a copy it frees itself.
        void* copy = malloc(std::max<qsizetype>(1, bytes.size()));
        memcpy(copy, bytes.constData(), bytes.size());
        zip_source_t* src = zip_source_buffer(zip, copy, zip_uint64_t(bytes.size()), 1);
        const zip_int64_t index = src ? zip_file_add(zip, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (src) zip_source_free(src);
            ok = false;
        } else if (store) {
            zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_STORE, 0);
        }
    }
    return zip_close(zip) == 0 && ok;
}

} // namespace tarnwick::test
