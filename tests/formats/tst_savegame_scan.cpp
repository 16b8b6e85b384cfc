#include "snapshots.h"

#include "formats/savegame_scan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;

namespace {

using test::pngChunk;
QByteArray text(const QByteArray& keyword, const QByteArray& value) { return pngChunk("tEXt", keyword + '\0' + value); }
QByteArray png(const QByteArray& chunks) { return QByteArrayLiteral("\x89PNG\r\n\x1a\n") + chunks; }
const QByteArray kEnd = pngChunk("IEND", {});

// Titles of the rows, which the tests give the file's own name.
QStringList titles(const SaveGameFolder& r)
{
    QStringList t;
    for (const SaveGameRow& row : r.rows) t << row.cells[0];
    return t;
}

// Caps the address space at what is in use plus 1 GB while it lives, so that memory
// sized by a hostile length field fails the test instead of being overcommitted unseen.
class AddressSpaceCap
{
    rlimit m_old{};

public:
    AddressSpaceCap()
    {
        QFile statm(QStringLiteral("/proc/self/statm"));
        QVERIFY(statm.open(QIODevice::ReadOnly));
        const qint64 inUse = statm.readAll().split(' ').value(0).toLongLong() * ::sysconf(_SC_PAGESIZE);
        QCOMPARE(::getrlimit(RLIMIT_AS, &m_old), 0);
        rlimit cap = m_old;
        cap.rlim_cur = std::min<rlim_t>(m_old.rlim_cur, rlim_t(inUse + (qint64(1) << 30)));
        QCOMPARE(::setrlimit(RLIMIT_AS, &cap), 0);
    }
    ~AddressSpaceCap() { ::setrlimit(RLIMIT_AS, &m_old); }
};

qsizetype openFiles()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
}

} // namespace

class TestSaveGameScan : public QObject
{
    Q_OBJECT
private slots:
    void readsOneSave_data();
    void readsOneSave();
    void listsSaves();
    void hugeSparseSavesReadOnlyWhatARowShows();
    void pictureLeavesTheGameStateUnread_data();
    void pictureLeavesTheGameStateUnread();
};

// Each file is saved as "a.zds" beside a well-formed "b.zds": a scan that goes on lists both.
void TestSaveGameScan::readsOneSave_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<bool>("goesOn");

    QByteArray all;
    QStringList allCells;
    for (const char* k : {"Title", "Game WAD", "Map WAD", "Current Map", "Creation Time", "Comment", "Software",
                          "ZDoom Save Version"}) {
        all += text(k, QByteArray("v ") + k);
        allCells << QStringLiteral("v ") + QLatin1String(k);
    }
    const QStringList none(8);
    auto only = [&](int column, const QString& v) { QStringList c = none; c[column] = v; return c; };
    const QByteArray title = text("Title", "T");
    QByteArray junk99;
    for (int i = 0; i < 99; ++i) junk99 += pngChunk("zzZZ", "x");

    QTest::newRow("every keyword to its column") << png(all + kEnd) << allCells << true;
    QTest::newRow("comment on two lines") << png(text("Comment", "MAP01\nTime 0:12") + kEnd) << only(5, "MAP01 Time 0:12") << true;
    QTest::newRow("unknown and wrong-case keys") << png(text("title", "x") + text("Engine", "y") + kEnd) << none << true;
    QTest::newRow("important cvars stops")
        << png(title + text("Important CVARs", "sv_x\\1") + text("Software", "S") + kEnd) << only(0, "T") << true;
    QTest::newRow("other chunk data unread")
        << png(pngChunk("zTXt", QByteArrayLiteral("Title\0x")) + pngChunk("IDAT", text("Title", "x")) + kEnd) << none << true;
    QTest::newRow("nothing after IEND") << png(kEnd + title) << none << true;
    QTest::newRow("99 chunks then text") << png(junk99 + title) << only(0, "T") << true;
    QTest::newRow("100 chunks then text") << png(junk99 + pngChunk("zzZZ", "x") + title) << none << true;
    QTest::newRow("not a PNG") << QByteArray("GIF89a....") << only(0, "<Different Version>") << true;
    QTest::newRow("zero bytes") << QByteArray() << only(0, "<Different Version>") << true;
    QTest::newRow("cut inside header") << png(title) + QByteArrayLiteral("\0\0\0\5tE") << only(0, "T") << true;
    QTest::newRow("text length 0xFFFFFFFF") << png(title + pngChunk("tEXt", QByteArrayLiteral("Software\0S"), 0xFFFFFFFF)).chopped(4)
                                            << QStringList{"T", "", "", "", "", "", "S", ""} << true;
    QTest::newRow("other length 0xFFFFFFFF") << png(pngChunk("IDAT", "x", 0xFFFFFFFF) + title) << none << true;
    QTest::newRow("no zero separator ends scan") << png(title + pngChunk("tEXt", "Software") + kEnd) << only(0, "T") << false;
    QTest::newRow("keyword longer than 64 KiB ends scan")
        << png(title + text(QByteArray(70000, 'K'), "v") + kEnd) << only(0, "T") << false;
    QTest::newRow("text cut before its data ends scan") << png(title) + QByteArrayLiteral("\0\0\0\5tEXt") << only(0, "T") << false;
}

void TestSaveGameScan::readsOneSave()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, cells);
    QFETCH(bool, goesOn);
    QTemporaryDir dir;
    QVERIFY(test::putFile(dir.filePath("a.zds"), bytes));
    QVERIFY(test::putFile(dir.filePath("b.zds"), png(text("Title", "next") + kEnd)));

    const qsizetype before = openFiles();
    const SaveGameFolder r = [&] {
        AddressSpaceCap cap;
        return scanSaveGameFolder(dir.path());
    }();
    QCOMPARE(openFiles(), before);
    QCOMPARE(r.files, QStringList({"a.zds", "b.zds"}));
    QCOMPARE(r.completed, goesOn);
    QCOMPARE(titles(r), goesOn ? QStringList({cells[0], "next"}) : QStringList(cells[0]));
    QCOMPARE(QStringList(r.rows[0].cells.begin(), r.rows[0].cells.end()), cells);
}

// The *.zds files of a folder in name order, whatever the letter case; "@" stands for the
// temporary folder, which is also the current one. Each save is titled by its name. A name
// ending in "/" is a folder, "name>target" a symbolic link, "name|fifo" and "name|socket"
// those: only plain files (a link to one too) are saves, and nothing else ends the scan.
void TestSaveGameScan::listsSaves()
{
    const QStringList three{"c.zds", "a.zds", "B.zds"}, sorted{"a.zds", "B.zds", "c.zds"};
    const struct { QStringList files; const char* folderText; QStringList listed, titles; } folders[] = {
        {three, "@", sorted, sorted},
        {three, "@\\", sorted, sorted},
        {three, "", {}, {}}, // an empty text is not the current folder
        {{"s.zds", "S.zds"}, "@", {"S.zds", "s.zds"}, {"S.zds", "s.zds"}},
        {{"y.Zds", "a.zds.bak", "zds", "b.wad", ".hidden.zds", "x.zds/"}, "@", {"y.Zds"}, {"y.Zds"}},
        {{"a.zds", "z.zds", "f.zds|fifo", "s.zds|socket", "d.zds>/dev/zero", "n.zds>/dev/null", "l.zds>@", "g.zds>@/gone.zds",
          "k.zds>@/a.zds"}, "@", {"a.zds", "k.zds", "z.zds"}, {"a.zds", "a.zds", "z.zds"}}};
    for (const auto& f : folders) {
        QTemporaryDir dir;
        for (const QString& file : f.files) {
            const QString name = file.section(u'>', 0, 0).section(u'|', 0, 0), kind = file.section(u'|', 1);
            const QByteArray path = QFile::encodeName(dir.filePath(name));
            if (file.contains(u'>')) {
                QVERIFY(QFile::link(file.section(u'>', 1).replace(u'@', dir.path()), dir.filePath(name)));
            } else if (kind == "fifo") { // it would block an ordinary open for ever
                QCOMPARE(::mkfifo(path.constData(), 0600), 0);
            } else if (kind == "socket") {
                const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
                sockaddr_un address{};
                address.sun_family = AF_UNIX;
                QVERIFY(size_t(path.size()) < sizeof address.sun_path);
                std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
                QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
                ::close(fd);
            } else if (name.endsWith(u'/')) {
                QVERIFY(QDir(dir.path()).mkdir(name));
            } else {
                QVERIFY(test::putFile(dir.filePath(name), png(text("Title", name.toUtf8()) + kEnd)));
            }
        }
        const QString old = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const SaveGameFolder r = scanSaveGameFolder(QString::fromLatin1(f.folderText).replace(u'@', dir.path()));
        QDir::setCurrent(old);
        QCOMPARE(r.files, f.listed);
        QCOMPARE(titles(r), f.titles);
        QVERIFY(r.completed);
    }
}

// Sparse saves: 2 GB of image data between the title and the last fields, of which only the
// chunk headers are read; and a 1 GiB title chunk, of which the row gets the first 64 KiB.
void TestSaveGameScan::hugeSparseSavesReadOnlyWhatARowShows()
{
    const qint64 gib = qint64(1) << 30;
    const QByteArray head = png(text("Title", "big")), tail = text("Software", "after") + kEnd;
    const struct { QByteArray head; qint64 size; QByteArray tail; QString title, software; qint64 maxRead; } saves[] = {
        {head + pngChunk("IDAT", {}, 2 * gib - head.size() - 12 - tail.size()).left(8), 2 * gib, tail, "big", "after", 100},
        {png(pngChunk("tEXt", "Title", gib - 20).left(8 + 5) + QByteArray(1, '\0')), gib, {}, QString(64 * 1024 - 6, QChar(0)),
         "", 64 * 1024 + 16}};
    for (const auto& s : saves) {
        QTemporaryDir dir;
        QFile f(dir.filePath("big.zds"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(s.head) == s.head.size() && f.resize(s.size - s.tail.size()) &&
                f.seek(s.size - s.tail.size()) && f.write(s.tail) == s.tail.size());
        f.close();
        QCOMPARE(QFileInfo(f).size(), s.size);
        const SaveGameFolder r = [&] {
            AddressSpaceCap cap;
            return scanSaveGameFolder(dir.path());
        }();
        QVERIFY(r.completed);
        QCOMPARE(titles(r), QStringList{s.title});
        QCOMPARE(r.rows[0].cells[6], s.software);
        QVERIFY2(lastScanBytesRead() <= s.maxRead, QByteArray::number(lastScanBytesRead()));
    }
}

// The picture beside the list is the save's chunks up to the end of its image data and an
// end chunk of its own; the game's state after it is never read, nor is a hostile size.
void TestSaveGameScan::pictureLeavesTheGameStateUnread_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("sparseSize"); // the file is made this long, 0 to leave it
    QTest::addColumn<QByteArray>("picture");
    const QByteArray ihdr = pngChunk("IHDR", QByteArray(13, '\1'));
    const QByteArray data1 = pngChunk("IDAT", "first"), data2 = pngChunk("IDAT", "second");
    const QByteArray end = QByteArray("\0\0\0\0IEND\xae\x42\x60\x82", 12);
    const QByteArray state = pngChunk("snAp", QByteArray(100000, 'x'));
    QTest::newRow("as the port writes it") << png(ihdr + text("Title", "t") + data1 + data2 + text("Comment", "c") + state + kEnd)
                                           << qint64(0) << png(ihdr + data1 + data2) + end;
    QTest::newRow("image data after the state") << png(ihdr + state + data1 + kEnd) << qint64(0)
                                                << png(ihdr + state + data1) + end;
    QTest::newRow("not a picture") << QByteArray("GIF89a and so on") << qint64(0) << QByteArray();
    QTest::newRow("no image data") << png(ihdr + text("Title", "t") + kEnd) << qint64(0) << QByteArray();
    QTest::newRow("image data cut short") << png(ihdr + pngChunk("IDAT", "abc", 1000)) << qint64(0) << QByteArray();
    QTest::newRow("1 GiB image data") << png(ihdr + pngChunk("IDAT", {}, (qint64(1) << 30) - 100)) << (qint64(1) << 30)
                                      << QByteArray();
    QTest::newRow("endless empty chunks") << png(ihdr + pngChunk("abCd", {}).repeated(20000) + data1) << qint64(0)
                                          << QByteArray();
}

void TestSaveGameScan::pictureLeavesTheGameStateUnread()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, sparseSize);
    QFETCH(QByteArray, picture);
    QTemporaryDir dir;
    QFile f(dir.filePath("a.zds"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    if (sparseSize) QVERIFY(f.resize(sparseSize));
    f.close();
    AddressSpaceCap cap;
    QCOMPARE(readSavePicture(f.fileName()), picture);
}

QTEST_GUILESS_MAIN(TestSaveGameScan)
#include "tst_savegame_scan.moc"
