#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>
#include <QtEndian>

#include <zlib.h>

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

struct ZipOptions
{
    bool stored = false;  // entries stored as they are instead of deflated
    bool zip64 = false;   // sizes and offsets in Zip64 extra fields, Zip64 end records
    QByteArray comment;   // after the end record
    qint64 gap = 0;       // bytes of hole after the first entry (writeZip makes it sparse)
};

inline QByteArray rawDeflate(const QByteArray& data)
{
    z_stream z{};
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&z, uLong(data.size()))), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

// A zip archive of `entries`, its bytes laid out as if `options.gap` bytes followed the
// first entry; `firstEnd` receives where that entry ends. Names carry no UTF-8 flag.
inline QByteArray zipBytes(const Lumps& entries, const ZipOptions& o = {}, qsizetype* firstEnd = nullptr)
{
    auto le = [](QByteArray& b, quint64 v, int bytes) {
        for (int i = 0; i < bytes; ++i) b.append(char(v >> (8 * i)));
    };
    const quint64 all = 0xffffffffu;
    QByteArray body, central;
    for (const auto& entry : entries) {
        const QByteArray& name = entry.first;
        const QByteArray& data = entry.second;
        const QByteArray packed = o.stored ? data : rawDeflate(data);
        const quint64 offset = quint64(body.size()) + (body.isEmpty() ? 0 : o.gap);
        // Zip64: the sizes, then (central directory only) the offset.
        auto zip64 = [&](bool withOffset) {
            QByteArray x;
            if (!o.zip64) return x;
            le(x, 1, 2);
            le(x, withOffset ? 24 : 16, 2);
            le(x, quint64(data.size()), 8);
            le(x, quint64(packed.size()), 8);
            if (withOffset) le(x, offset, 8);
            return x;
        };
        for (QByteArray* b : {&body, &central}) {
            const bool inCentral = b == &central;
            const QByteArray extra = zip64(inCentral);
            *b += inCentral ? QByteArray("PK\1\2", 4) : QByteArray("PK\3\4", 4);
            if (inCentral) le(*b, 45, 2);                 // made by
            le(*b, 45, 2);                                // needed
            le(*b, 0, 2);                                 // flags
            le(*b, o.stored ? 0 : 8, 2);                  // method
            le(*b, 0, 4);                                 // time and date
            le(*b, crc32_z(0, reinterpret_cast<const Bytef*>(data.constData()), size_t(data.size())), 4);
            le(*b, o.zip64 ? all : quint64(packed.size()), 4);
            le(*b, o.zip64 ? all : quint64(data.size()), 4);
            le(*b, quint64(name.size()), 2);
            le(*b, quint64(extra.size()), 2);
            if (inCentral) {
                le(*b, 0, 6);                             // comment length, disk, internal attributes
                le(*b, 0, 4);                             // external attributes
                le(*b, o.zip64 ? all : offset, 4);
            }
            *b += name + extra + (inCentral ? QByteArray() : packed);
        }
        if (firstEnd && offset == 0) *firstEnd = body.size();
    }
    const quint64 centralAt = quint64(body.size()) + (entries.isEmpty() ? 0 : o.gap);
    const quint64 count = quint64(entries.size());
    QByteArray end;
    if (o.zip64) {
        end += QByteArray("PK\6\6", 4);
        le(end, 44, 8);      // the rest of the record
        le(end, 45 * 65537, 4); // made by, needed
        le(end, 0, 8);       // disks
        le(end, count, 8);
        le(end, count, 8);
        le(end, quint64(central.size()), 8);
        le(end, centralAt, 8);
        end += QByteArray("PK\6\7", 4);
        le(end, 0, 4);
        le(end, centralAt + quint64(central.size()), 8);
        le(end, 1, 4);
    }
    end += QByteArray("PK\5\6", 4);
    le(end, 0, 4); // disks
    le(end, o.zip64 ? 0xffff : count, 2);
    le(end, o.zip64 ? 0xffff : count, 2);
    le(end, o.zip64 ? all : quint64(central.size()), 4);
    le(end, o.zip64 ? all : centralAt, 4);
    le(end, quint64(o.comment.size()), 2);
    return body + central + end + o.comment;
}

// The archive as a file, the gap a hole in it.
inline bool writeZip(const QString& path, const Lumps& entries, const ZipOptions& o = {})
{
    qsizetype split = 0;
    const QByteArray bytes = zipBytes(entries, o, &split);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes.left(split)) == split && f.resize(split + o.gap) &&
           f.seek(split + o.gap) && f.write(bytes.mid(split)) == bytes.size() - split;
}

} // namespace tarnwick::test
