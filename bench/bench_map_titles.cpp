// Reading the map titles of the loaded map WADs: twenty 25 MB WADs and one 500 MB
// archive, made here as sparse files. Prints the time and the bytes read from files
// (the kernel's count of this process's reads).

#include "formats/map_info.h"
#include "pages/play/map_titles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtEndian>

#include <cstdio>

using namespace tarnwick;

namespace {

constexpr qint64 kWadSize = 25LL << 20;
constexpr qint64 kArchiveSize = 500LL << 20;
constexpr int kMaps = 32;

// Bytes this process has read through read() and pread() so far.
qint64 bytesReadSoFar()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:")) return line.mid(6).trimmed().toLongLong();
    return -1;
}

QByteArray mapInfoText(int file)
{
    QByteArray text;
    for (int m = 1; m <= kMaps; ++m) text += QStringLiteral("map MAP%1 \"File %2 map %3\" { next = \"x\" }\n")
                                                 .arg(m, 2, 10, QLatin1Char('0')).arg(file).arg(m).toUtf8();
    return text;
}

// A WAD of 25 MB: MAPINFO first, each map's marker and a 700 KB THINGS lump in the hole,
// the table at the end.
bool makeWad(const QString& path, int n)
{
    const QByteArray info = mapInfoText(n);
    QByteArray table;
    auto entry = [&table](qint64 offset, qint64 size, const char* name) {
        char e[16] = {};
        qToLittleEndian<qint32>(qint32(offset), e);
        qToLittleEndian<qint32>(qint32(size), e + 4);
        memcpy(e + 8, name, strlen(name));
        table.append(e, 16);
    };
    entry(12, info.size(), "MAPINFO");
    const qint64 things = 700 * 1024;
    for (int m = 1; m <= kMaps; ++m) {
        const QByteArray marker = QStringLiteral("MAP%1").arg(m, 2, 10, QLatin1Char('0')).toLatin1();
        entry(0, 0, marker.constData());
        entry(4096 + (m - 1) * things, things, "THINGS");
    }
    const qint64 tableAt = kWadSize - table.size();
    char header[12] = {'P', 'W', 'A', 'D'};
    qToLittleEndian<qint32>(qint32(table.size() / 16), header + 4);
    qToLittleEndian<qint32>(qint32(tableAt), header + 8);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(header, 12) == 12 && f.write(info) == info.size() &&
           f.resize(tableAt) && f.seek(tableAt) && f.write(table) == table.size();
}

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A 500 MB .pk3 of stored entries: the text lumps, then 32 map WADs whose data is a hole.
// Written by hand because only its layout matters here.
bool makeArchive(const QString& path)
{
    struct Entry
    {
        QByteArray name, data;
        qint64 size;
        quint32 crc;
        qint64 offset = 0;
    };
    QList<Entry> entries;
    const QByteArray info = mapInfoText(99);
    entries.append({"mapinfo.txt", info, info.size(), crc32(info)});
    const QByteArray language = "[enu default]\nTITLE = \"x\";\n";
    entries.append({"language.txt", language, language.size(), crc32(language)});
    const qint64 mapSize = (kArchiveSize - (1 << 20)) / kMaps;
    for (int m = 1; m <= kMaps; ++m)
        entries.append({QStringLiteral("maps/map%1.wad").arg(m, 2, 10, QLatin1Char('0')).toLatin1(), {}, mapSize, 0});

    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    auto le16 = [](QByteArray& b, quint16 v) { char c[2]; qToLittleEndian(v, c); b.append(c, 2); };
    auto le32 = [](QByteArray& b, quint32 v) { char c[4]; qToLittleEndian(v, c); b.append(c, 4); };
    qint64 at = 0;
    for (Entry& e : entries) {
        e.offset = at;
        QByteArray local("PK\3\4", 4);
        le16(local, 20); le16(local, 0); le16(local, 0); le16(local, 0); le16(local, 0);
        le32(local, e.crc); le32(local, quint32(e.size)); le32(local, quint32(e.size));
        le16(local, quint16(e.name.size())); le16(local, 0);
        local += e.name;
        if (!f.seek(at) || f.write(local + e.data) < 0) return false;
        at += local.size() + e.size;
    }
    QByteArray central;
    for (const Entry& e : entries) {
        central += QByteArray("PK\1\2", 4);
        le16(central, 20); le16(central, 20); le16(central, 0); le16(central, 0); le16(central, 0); le16(central, 0);
        le32(central, e.crc); le32(central, quint32(e.size)); le32(central, quint32(e.size));
        le16(central, quint16(e.name.size())); le16(central, 0); le16(central, 0); le16(central, 0); le16(central, 0);
        le32(central, 0); le32(central, quint32(e.offset));
        central += e.name;
    }
    QByteArray end("PK\5\6", 4);
    le16(end, 0); le16(end, 0); le16(end, quint16(entries.size())); le16(end, quint16(entries.size()));
    le32(end, quint32(central.size())); le32(end, quint32(at)); le16(end, 0);
    return f.seek(at) && f.write(central + end) == central.size() + end.size();
}

struct Figures
{
    double ms = 0;
    qint64 bytes = 0;
    QStringList rows;
};

Figures readTitles(const QStringList& files)
{
    Figures best;
    for (int run = 0; run < 5; ++run) {
        const qint64 before = bytesReadSoFar();
        QElapsedTimer timer;
        timer.start();
        QList<WadMapInfo> infos;
        for (const QString& path : files) infos.append(readWadMapInfo(path));
        const QStringList rows = titledMapRows(1, infos);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        const qint64 bytes = bytesReadSoFar() - before;
        if (run == 0 || ms < best.ms) best = {ms, bytes, rows};
    }
    return best;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    QStringList wads;
    for (int i = 0; i < 20; ++i) {
        wads << dir.filePath(QStringLiteral("maps%1.wad").arg(i));
        if (!makeWad(wads.last(), i)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(wads.last()));
            return 1;
        }
    }
    const QString archive = dir.filePath(QStringLiteral("big.pk3"));
    if (!makeArchive(archive)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(archive));
        return 1;
    }

    const Figures w = readTitles(wads);
    std::printf("map titles, 20 map WADs of 25 MB: %.2f ms, %lld bytes read (goal: under 20 ms, under 1 MB); row 7 \"%s\"\n",
                w.ms, static_cast<long long>(w.bytes), qPrintable(w.rows.value(6)));
    const Figures a = readTitles({archive});
    std::printf("map titles, one 500 MB archive: %.2f ms, %lld bytes read; row 7 \"%s\"\n", a.ms,
                static_cast<long long>(a.bytes), qPrintable(a.rows.value(6)));
    return 0;
}
