// How long the save-game list takes to fill for a folder of 1,000 saves of 1 MB each,
// and how many bytes it reads to do so. The saves look like the port's: a small picture, a
// few text chunks, one large chunk of the game's state, then IEND.

#include "bench_support.h"
#include "formats/savegame_scan.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace tarnwick;

namespace {

constexpr int kSaves = 1000;
constexpr qint64 kSaveSize = 1 << 20;

// The process's resident memory ("VmRSS") or its peak ("VmHWM"), from the kernel's count.
qint64 residentKiB(const char* field = "VmRSS:")
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field)) return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toLongLong();
    return 0;
}

// Starts the peak count afresh at the present resident memory.
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    for (int n = 0; n < kSaves; ++n) {
        const QString path = dir.filePath(QStringLiteral("save%1.zds").arg(n, 4, 10, QLatin1Char('0')));
        if (!bench::writeSaveGame(path, n, kSaveSize)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    std::printf("created %d saves of %lld bytes in %lld ms\n", kSaves, kSaveSize, timer.elapsed());

    for (int run = 1; run <= 3; ++run) {
        timer.restart();
        const SaveGameFolder r = scanSaveGameFolder(dir.path());
        const qint64 ns = timer.nsecsElapsed();
        if (r.rows.size() != kSaves || !r.completed) {
            std::fprintf(stderr, "scan listed %lld rows, expected %d\n", qlonglong(r.rows.size()), kSaves);
            return 1;
        }
        std::printf("scan %d: %.1f ms (%.1f us a save), %lld bytes read (%.1f a save, %.4f%% of the folder)\n",
                    run, ns / 1e6, ns / 1e3 / kSaves, lastScanBytesRead(), double(lastScanBytesRead()) / kSaves,
                    100.0 * lastScanBytesRead() / (double(kSaveSize) * kSaves));
    }

    // A hostile save: 1 GiB, sparse, whose title chunk claims all of it. Time, bytes read
    // and the growth of the resident memory for a scan of its folder.
    QTemporaryDir hostile;
    {
        QFile f(hostile.filePath(QStringLiteral("huge.zds")));
        const qint64 size = qint64(1) << 30;
        char be[4];
        qToBigEndian(quint32(size - 20), be);
        if (!f.open(QIODevice::WriteOnly) || f.write(QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(be, 4) + "tEXtTitle") != 17 ||
            !f.resize(size)) {
            std::fprintf(stderr, "cannot write the hostile save\n");
            return 1;
        }
    }
    resetPeak();
    const qint64 rssBefore = residentKiB();
    timer.restart();
    const SaveGameFolder h = scanSaveGameFolder(hostile.path());
    const qint64 ns = timer.nsecsElapsed();
    std::printf("hostile 1 GiB save: %.2f ms, %lld bytes read, peak memory %+lld KiB over the %lld KiB before, %lld row(s)\n",
                ns / 1e6, lastScanBytesRead(), residentKiB("VmHWM:") - rssBefore, rssBefore, qlonglong(h.rows.size()));

    timer.restart();
    const bool removed = dir.remove();
    std::printf("removed the folder in %lld ms%s\n", timer.elapsed(), removed ? "" : " (failed)");
    return removed ? 0 : 1;
}
