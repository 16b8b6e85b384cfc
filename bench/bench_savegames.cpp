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

    timer.restart();
    const bool removed = dir.remove();
    std::printf("removed the folder in %lld ms%s\n", timer.elapsed(), removed ? "" : " (failed)");
    return removed ? 0 : 1;
}
