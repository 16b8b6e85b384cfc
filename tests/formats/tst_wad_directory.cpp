#include "snapshots.h"
#include "wad_builder.h"

#include "formats/map_info.h"
#include "formats/wad_directory.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;

class TestWadDirectory : public QObject
{
    Q_OBJECT
private slots:
    void readsOnlyWhatIsAsked();
    void hostileFiles_data();
    void hostileFiles();

private:
    QTemporaryDir m_dir;
};

// Of a WAD, the header, the table and the lump asked for are read; of an archive, the central
// directory and the entry asked for: nothing else of the file.
void TestWadDirectory::readsOnlyWhatIsAsked()
{
    const QString path = m_dir.filePath(QStringLiteral("maps.wad"));
    const QByteArray big(300000, 'x');
    QVERIFY(test::putFile(path, test::wadBytes({{"MAP01", ""}, {"THINGS", big}, {"mapinfo", "map MAP01 \"A\""}})));
    const auto wad = ResourceFile::open(path);
    QVERIFY(wad);
    QCOMPARE(wad->kind(), ResourceFile::Kind::Wad);
    QStringList names;
    for (const ResourceEntry& e : wad->entries()) names << QStringLiteral("%1:%2").arg(e.name).arg(e.size);
    QCOMPARE(names, (QStringList{"MAP01:0", "THINGS:300000", "MAPINFO:13"}));
    QCOMPARE(wad->bytesRead(), 12 + 3 * 16);
    QCOMPARE(wad->read(2).value_or("<none>"), QByteArray("map MAP01 \"A\""));
    QCOMPARE(wad->bytesRead(), 12 + 3 * 16 + 13);
    QVERIFY(!wad->read(1, 1000)); // larger than the limit: not read at all
    QCOMPARE(wad->bytesRead(), 12 + 3 * 16 + 13);
    QVERIFY(!wad->read(3));

    const QString pk3 = m_dir.filePath(QStringLiteral("maps.pk3"));
    QVERIFY(test::writeZip(pk3, {{"MapInfo.txt", "map MAP01 \"A\""}, {"maps/mäp01.wad", QByteArray(5000, 'w')}}));
    const auto zip = ResourceFile::open(pk3);
    QVERIFY(zip);
    QCOMPARE(zip->kind(), ResourceFile::Kind::Archive);
    QCOMPARE(zip->entries().size(), 2);
    QCOMPARE(zip->entries()[1].name + ':' + QString::number(zip->entries()[1].size), QStringLiteral("maps/mäp01.wad:5000"));
    QCOMPARE(zip->read(0).value_or("<none>"), QByteArray("map MAP01 \"A\""));
    QCOMPARE(zip->bytesRead(), 13); // the map WAD was not inflated
}

// Each hostile file is refused or read within what it holds; the map reader reports it
// without titles. "make" builds the file; "entries" is the entry count when it opens (-1:
// refused); "readable" lists which entries read back.
void TestWadDirectory::hostileFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("readable");

    QTest::newRow("lump count 2^31") << "count2^31" << -1 << "";
    QTest::newRow("more lumps than the reader takes") << "countCap" << -1 << "";
    QTest::newRow("table past the end") << "tablePastEnd" << -1 << "";
    QTest::newRow("table before the header ends") << "tableInHeader" << -1 << "";
    QTest::newRow("header cut short") << "shortHeader" << -1 << "";
    QTest::newRow("not a WAD") << "text" << -1 << "";
    QTest::newRow("lump past the end") << "lumpPastEnd" << 2 << "0";
    QTest::newRow("lump of negative size") << "negativeLump" << 2 << "0";
    QTest::newRow("overlapping lumps") << "overlap" << 2 << "0,1";
    QTest::newRow("2 GB sparse file, huge lump") << "sparse" << 2 << "0";
    QTest::newRow("zip bomb") << "bomb" << 2 << "0";
    QTest::newRow("zip cut short") << "cutZip" << -1 << "";
    QTest::newRow("zip of a signature alone") << "zipStub" << -1 << "";
    QTest::newRow("zip without entries") << "zipEmpty" << 0 << "";
    QTest::newRow("zip, stored entries") << "zipStored" << 2 << "0,1";
    QTest::newRow("zip, Zip64 sizes and offsets") << "zip64" << 2 << "0,1";
    QTest::newRow("zip, Zip64, second entry past 4 GiB") << "zip64Gap" << 2 << "0,1";
    QTest::newRow("zip, longest comment after a false end") << "zipComment" << 2 << "0,1";
    QTest::newRow("zip, CRC mismatch") << "zipCrc" << 2 << "0";
    QTest::newRow("zip bomb that declares 100 bytes") << "zipLyingSize" << 2 << "0";
    QTest::newRow("zip, unknown method") << "zipMethod" << 2 << "0";
    QTest::newRow("zip, local extra past the directory") << "zipLocalExtra" << 2 << "0";
    QTest::newRow("zip, entry data past the end") << "zipPastEnd" << 2 << "0";
    QTest::newRow("zip, entries overlap") << "zipOverlap" << -1 << "";
    QTest::newRow("zip, more entries than the directory holds") << "zipCount" << -1 << "";
    QTest::newRow("zip, Zip64 count of 2^40") << "zip64Count" << -1 << "";
    QTest::newRow("many big text entries") << "budget" << 8 << "0,7";
    QTest::newRow("folder named x.wad") << "folder" << -1 << "";
    QTest::newRow("pipe named x.wad") << "fifo" << -1 << "";
    QTest::newRow("pipe named x.deh") << "fifoDeh" << -1 << "";
    QTest::newRow("unreadable file") << "unreadable" << -1 << "";
    QTest::newRow("missing file") << "missing" << -1 << "";
}

void TestWadDirectory::hostileFiles()
{
    QFETCH(QString, kind);
    QFETCH(int, entries);
    QFETCH(QString, readable);
    const QString path = m_dir.filePath(kind + QLatin1StringView(kind == "fifoDeh" ? ".deh" : ".wad"));

    using test::wadEntry;
    using test::wadHeader;
    const QByteArray mapinfo = "map MAP01 \"Safe\"";
    bool made = true;
    if (kind == "count2^31") made = test::putFile(path, wadHeader("PWAD", 0x80000000LL, 12) + QByteArray(64, 0));
    if (kind == "countCap") {
        QFile f(path);
        made = f.open(QIODevice::WriteOnly) && f.write(wadHeader("IWAD", ResourceFile::kMaxLumps + 1, 12)) == 12 &&
               f.resize(12 + (ResourceFile::kMaxLumps + 1) * 16);
    }
    if (kind == "tablePastEnd") made = test::putFile(path, wadHeader("PWAD", 2, 20) + QByteArray(30, 0));
    if (kind == "tableInHeader") made = test::putFile(path, wadHeader("PWAD", 1, 4) + wadEntry(0, 4, "X"));
    if (kind == "shortHeader") made = test::putFile(path, QByteArray("PWAD\1\0\0\0", 8));
    if (kind == "text") made = test::putFile(path, "just some words");
    // A good MAPINFO lump, then a second entry that is wrong in its own way.
    const QHash<QString, QByteArray> second = {{"lumpPastEnd", wadEntry(12, 1 << 30, "MAPINFO")},
                                               {"negativeLump", wadEntry(12, 0xffffffffLL, "MAPINFO")},
                                               {"overlap", wadEntry(14, 4, "ZMAPINFO")}};
    if (second.contains(kind))
        made = test::putFile(path, wadHeader("PWAD", 2, 12 + mapinfo.size()) + mapinfo +
                                       wadEntry(12, mapinfo.size(), "MAPINFO") + second[kind]);
    if (kind == "sparse") {
        // Two gigabytes of hole: the table at the very end names a lump that spans it all.
        const qint64 size = (qint64(2) << 30) - 32;
        QFile f(path);
        made = f.open(QIODevice::WriteOnly) && f.write(wadHeader("PWAD", 2, size) + mapinfo) > 0 && f.resize(size) &&
               f.seek(size) && f.write(wadEntry(12, mapinfo.size(), "MAPINFO") + wadEntry(12, size - 12, "MAPINFO")) == 32;
    }
    // 64 MB of zeros inflate from a few kilobytes; the reader stops at its limit.
    if (kind == "bomb") made = test::writeZip(path, {{"mapinfo.txt", mapinfo}, {"zmapinfo.txt", QByteArray(64 << 20, ' ')}});
    if (kind == "budget") {
        // Six 4 MB map information entries after a good one: the reader gives up before the last.
        test::Lumps entries{{"mapinfo.txt", mapinfo}};
        for (const char* name : {"Mapinfo.txt", "mApinfo.txt", "maPinfo.txt", "mapInfo.txt", "mapiNfo.txt", "mapinFo.txt"})
            entries.append({name, QByteArray(ResourceFile::kDefaultReadLimit, ' ')});
        entries.append({"MAPINFO.TXT", QByteArray("map MAP01 \"Late\"")});
        made = test::writeZip(path, entries);
    }
    if (kind.startsWith(u"zip")) {
        // A good archive of two entries, then one thing wrong with it.
        test::ZipOptions o{kind == "zipStored", kind.startsWith(u"zip64"), {}, kind == "zip64Gap" ? qint64(9) << 29 : 0};
        if (kind == "zipComment") // the false record's directory lies outside the file
            o.comment = QByteArray(0xffff - 22, 'c') + "PK\5\6" + QByteArray(12, 0) + QByteArray(4, '\xff') + QByteArray(2, 0);
        const test::Lumps lumps{{"mapinfo.txt", mapinfo}, {"zmapinfo.txt", QByteArray(kind == "zipLyingSize" ? 64 << 20 : 5000, ' ')}};
        QByteArray z = test::zipBytes(lumps, o);
        const qsizetype local1 = z.indexOf("PK\3\4", 4), central1 = z.lastIndexOf("PK\1\2"), end = z.lastIndexOf("PK\5\6");
        auto put = [&z](qsizetype at, quint64 value, int bytes) {
            for (int i = 0; i < bytes; ++i) z[at + i] = char(value >> (8 * i));
        };
        if (kind == "zipCrc") put(central1 + 16, 0x12345678, 4);
        if (kind == "zipLyingSize") put(central1 + 24, 100, 4);
        if (kind == "zipMethod") put(central1 + 10, 12, 2), put(local1 + 8, 12, 2);
        if (kind == "zipLocalExtra") put(local1 + 28, 0xffff, 2);
        if (kind == "zipPastEnd") put(central1 + 20, 0x7ffffff0, 4);
        if (kind == "zipOverlap") put(central1 + 42, 0, 4);
        if (kind == "zipCount") put(end + 8, 60000, 2), put(end + 10, 60000, 2);
        if (kind == "zip64Count") put(z.lastIndexOf("PK\6\6") + 24, 1LL << 40, 8), put(z.lastIndexOf("PK\6\6") + 32, 1LL << 40, 8);
        if (kind == "zipStub") z = "PK\3\4";
        if (kind == "zipEmpty") z = test::zipBytes({});
        made = o.gap ? test::writeZip(path, lumps, o) : test::putFile(path, z);
    }
    if (kind == "cutZip") made = test::writeZip(path, {{"mapinfo.txt", mapinfo}}) && QFile::resize(path, 40);
    if (kind == "folder") made = QDir().mkpath(path);
    if (kind == "fifo" || kind == "fifoDeh") made = mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == "unreadable") {
        if (geteuid() == 0) QSKIP("root reads every file");
        made = test::putFile(path, test::wadBytes({{"MAPINFO", mapinfo}})) && chmod(QFile::encodeName(path), 0) == 0;
    }
    QVERIFY(made);

    QString error;
    const auto file = ResourceFile::open(path, &error);
    QCOMPARE(file ? int(file->entries().size()) : -1, entries);
    QCOMPARE(error.isEmpty(), bool(file));
    QStringList read;
    for (int i = 0; file && i < file->entries().size(); ++i) {
        const qint64 before = file->bytesRead();
        if (file->read(i, 1 << 20)) read << QString::number(i);
        QVERIFY(file->bytesRead() - before <= (1 << 20) + 1);
    }
    QCOMPARE(read.join(u','), readable);

    // The map reader gives the title the file's good part holds, or the reason it read none.
    const WadMapInfo info = readWadMapInfo(path);
    QCOMPARE(info.titles.value(QStringLiteral("MAP01")), QString(readable.isEmpty() ? "" : "Safe"));
    QCOMPARE(info.error.isEmpty(), bool(file));
}

QTEST_GUILESS_MAIN(TestWadDirectory)
#include "tst_wad_directory.moc"
