// How long the first start's search for a port and game WADs takes when the folders it
// reads hold 10,000 files: once spread over the five WAD folders, once in each of them.
// The times are of a warm file system cache, as on a machine where the files were just
// installed; the first of the runs shows a colder one.

#include "pages/game/install_search.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace tarnwick;

namespace {

bool makeFile(const QString& path, bool executable = false)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.close();
    return !executable || f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

// `files` files in every WAD folder of `places` (random add-on names and a few game WADs),
// a port in /usr/games and a filled PATH of empty folders before it.
bool makeSystem(const QString& root, const SearchPlaces& places, int files)
{
    for (const QString& folder : places.wadFolders + places.programFolders)
        if (!QDir().mkpath(folder)) return false;
    if (!makeFile(root + QStringLiteral("/usr/games/gzdoom"), true)) return false;
    const char* const wads[] = {"DOOM2.WAD", "freedoom1.wad", "Heretic.wad", "hexen.wad"};
    for (qsizetype f = 0; f < places.wadFolders.size(); ++f) {
        for (int n = 0; n < files; ++n) {
            const QString name = n < 4 && f == n % places.wadFolders.size()
                                     ? QString::fromLatin1(wads[n])
                                     : QStringLiteral("addon-%1.pk3").arg(n, 5, 10, QLatin1Char('0'));
            if (!makeFile(places.wadFolders[f] + u'/' + name)) return false;
        }
    }
    return true;
}

void measure(const char* what, int filesPerFolder)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), root + QStringLiteral("/usr/local/bin:") + root + QStringLiteral("/usr/bin:") +
                                           root + QStringLiteral("/bin:") + root + QStringLiteral("/usr/sbin"));
    env.insert(QStringLiteral("DOOMWADDIR"), root + QStringLiteral("/wads"));
    env.insert(QStringLiteral("DOOMWADPATH"), root + QStringLiteral("/more-wads"));
    env.insert(QStringLiteral("HOME"), root + QStringLiteral("/home"));
    const SearchPlaces places = SearchPlaces::fromEnvironment(env, root);
    if (!dir.isValid() || !makeSystem(root, places, filesPerFolder)) {
        std::fprintf(stderr, "cannot create the folders under %s\n", qPrintable(root));
        return;
    }
    const qsizetype total = filesPerFolder * places.wadFolders.size();

    // Wall time, and the processor time of this thread, which a busy machine inflates less.
    std::vector<double> wall, cpu;
    QString port;
    qsizetype found = 0;
    for (int run = 0; run < 15; ++run) {
        timespec before{}, after{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &before);
        QElapsedTimer timer;
        timer.start();
        port = findPort(places.programFolders);
        found = findGameWads(places.wadFolders).size();
        wall.push_back(timer.nsecsElapsed() / 1e6);
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &after);
        cpu.push_back((after.tv_sec - before.tv_sec) * 1e3 + (after.tv_nsec - before.tv_nsec) / 1e6);
    }
    const double first = wall.front();
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%s: %lld files in %lld WAD folders, %lld PATH folders: first %.2f ms, median %.2f ms wall "
                "(%.2f ms processor), worst %.2f ms; found %s and %lld game WADs\n",
                what, qlonglong(total), qlonglong(places.wadFolders.size()), qlonglong(places.programFolders.size()),
                first, wall[wall.size() / 2], cpu[cpu.size() / 2], wall.back(),
                qPrintable(QDir(root).relativeFilePath(port)), qlonglong(found));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    measure("first-start search, spread", 2000);
    measure("first-start search, in each folder", 10000);
    return 0;
}
