// How fast Tarnwick's window appears and how much memory it holds once idle, next to a
// bare Qt window (a main window holding one line edit) started in the same run.
//
// Three programs are started in turn, round after round, so that the load of the machine
// falls on all of them alike: the bare window, Tarnwick on a fresh settings file, and
// Tarnwick on a lived-in one (twelve histories of 1,000 entries, 200 save games of 1 MB in
// the port folder). The probe watches from the X server's side: when the window maps,
// when its first pixels arrive, when it falls quiet, and the CPU and memory at that point.
//
//   bench_startup [ROUNDS] [OTHER]  measure (needs an X display; ./dev bench gives it one);
//                                   OTHER is another build of tarnwick to start alongside
//   bench_startup --state DIR   only make the lived-in state in DIR (for profiling)

#include "bench_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tarnwick;

namespace {

constexpr int kSaves = 200;
constexpr qint64 kSaveSize = 1 << 20;
constexpr int kHistoryEntries = 1000;

struct Subject
{
    const char* label;
    QString program;
    QString windowName;
    QString settings; // TARNWICK_SETTINGS, empty for the bare window
    bool fresh;       // the settings file is removed before every start
};

using Figures = QHash<QString, double>;

// The lived-in state, made by the program's own model and store: the port folder with its
// save games, the pages filled in as a player leaves them, and twelve long histories.
bool makeLivedInState(const QString& dir, QString& settingsPath)
{
    const QString port = dir + QStringLiteral("/ZDoom");
    if (!QDir().mkpath(port)) return false;
    for (int n = 0; n < kSaves; ++n)
        if (!bench::writeSaveGame(port + QStringLiteral("/zdoomsv%1.zds").arg(n, 3, 10, QLatin1Char('0')), n, kSaveSize))
            return false;

    settingsPath = dir + QStringLiteral("/settings.db");
    SettingsStore store;
    if (!store.open(settingsPath)) return false;
    for (int h = 0; h < kHistoryCount; ++h) bench::writeHistory(store, historyName(History(h)), kHistoryEntries);

    bench::Model m(store);
    m.gamePage.setExe(port + QStringLiteral("/zdoom"));
    m.gamePage.setFolder(port);
    m.gamePage.setIwad(port + QStringLiteral("/doom2.wad"));
    m.gamePage.chooseSaveGame(12);
    m.playPage.chooseGame(1);
    m.playPage.chooseMap(6);
    m.playPage.setFast(1);
    LaunchProfile& p = m.session.profile();
    for (int i = 0; i < 6; ++i) {
        p.lstPWADhid << QStringLiteral("%1/maps/episode%2.wad").arg(port).arg(i);
        p.lstPWAD << QStringLiteral("episode%1.wad").arg(i);
    }
    m.miscPage.setExtraCommands(QStringLiteral("+vid_fps 1"));
    for (auto w : {OptionWindow::GameOptions, OptionWindow::PlayOptions, OptionWindow::SoundVideo, OptionWindow::Misc,
                   OptionWindow::GameplayFlags, OptionWindow::Obsolete})
        m.persistence.Set_Exp(w);
    return p.lvwLGRows.size() == kSaves + 1;
}

void removeSettings(const QString& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) QFile::remove(path + QLatin1StringView(suffix));
}

// One start under the probe; the figures of its last line ("name=value ...").
Figures probe(const QString& probeTool, const Subject& s)
{
    if (s.fresh) removeSettings(s.settings);
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("TARNWICK_AUTORUN"));
    if (!s.settings.isEmpty()) env.insert(QStringLiteral("TARNWICK_SETTINGS"), s.settings);
    run.setProcessEnvironment(env);
    run.start(probeTool, {QStringLiteral("-n"), s.windowName, QStringLiteral("-q"), QStringLiteral("800"),
                          QStringLiteral("-T"), QStringLiteral("30"), QStringLiteral("-c"), QStringLiteral("--"),
                          s.program});
    Figures f;
    if (!run.waitForFinished(60000)) {
        run.kill();
        run.waitForFinished();
        return f;
    }
    const QList<QByteArray> lines = run.readAllStandardOutput().trimmed().split('\n');
    for (const QByteArray& word : lines.last().split(' ')) {
        const qsizetype eq = word.indexOf('=');
        bool ok = false;
        const double v = word.mid(eq + 1).toDouble(&ok);
        if (eq > 0 && ok) f.insert(QString::fromLatin1(word.left(eq)), v);
    }
    if (f.value(QStringLiteral("paint_ms"), -1) < 0) {
        std::fprintf(stderr, "%s: no first paint seen: %s\n", s.label, run.readAllStandardError().constData());
        f.clear();
    }
    return f;
}

double median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

QByteArray loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').mid(0, 3).join(' ') : QByteArray("?");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    if (args.size() == 2 && args[0] == QLatin1StringView("--state")) {
        QString settings;
        if (!makeLivedInState(QDir(args[1]).absolutePath(), settings)) {
            std::fprintf(stderr, "cannot make the lived-in state in %s\n", qPrintable(args[1]));
            return 1;
        }
        std::printf("TARNWICK_SETTINGS=%s\n", qPrintable(settings));
        return 0;
    }
    const int rounds = args.isEmpty() ? 12 : std::max(1, args[0].toInt());

    std::printf("Tarnwick start-up benchmark (medians of %d interleaved starts, Xvfb)\n\n", rounds);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("skipped: no X display (./dev bench runs this under xvfb-run)\n");
        return 0;
    }
    QTemporaryDir dir;
    QString lived;
    if (!dir.isValid() || !makeLivedInState(dir.filePath(QStringLiteral("lived")), lived)) {
        std::fprintf(stderr, "cannot make the lived-in state\n");
        return 1;
    }
    const QString probeTool = QStringLiteral(TARNWICK_PROBE);
    const QString program = QStringLiteral(TARNWICK_PROGRAM);
    std::vector<Subject> subjects = {
        {"bare Qt window", QStringLiteral(TARNWICK_FLOOR), QStringLiteral("QtFloor"), {}, false},
        {"Tarnwick, no settings", program, QStringLiteral("Tarnwick"), dir.filePath(QStringLiteral("fresh.db")), true},
        {"Tarnwick, lived-in", program, QStringLiteral("Tarnwick"), lived, false},
    };
    if (args.size() >= 2) {
        // The other build keeps its own copy of the lived-in settings: a start saves them.
        const QString otherLived = dir.filePath(QStringLiteral("other.db"));
        if (!QFile::copy(lived, otherLived)) return 1;
        subjects.push_back({"other build, no settings", args[1], QStringLiteral("Tarnwick"),
                            dir.filePath(QStringLiteral("other-fresh.db")), true});
        subjects.push_back({"other build, lived-in", args[1], QStringLiteral("Tarnwick"), otherLived, false});
    }
    const int kSubjects = int(subjects.size());

    // One start each first: the font cache and the file cache are then warm for all, and
    // the lived-in pages are placed and saved by the program, as after a player's first run.
    for (const Subject& s : subjects) probe(probeTool, s);

    std::printf("load average before: %s\n", loadAverage().constData());
    std::vector<std::vector<Figures>> runs(subjects.size());
    for (int r = 0; r < rounds; ++r)
        for (int k = 0; k < kSubjects; ++k) {
            const int i = (r + k) % kSubjects; // each takes each place in the order
            Figures f = probe(probeTool, subjects[i]);
            if (!f.isEmpty()) runs[i].push_back(std::move(f));
        }
    std::printf("load average after:  %s\n\n", loadAverage().constData());

    auto med = [&runs](int i, const char* key) {
        std::vector<double> v;
        for (const Figures& f : runs[i]) v.push_back(f.value(QString::fromLatin1(key)));
        return median(v);
    };
    std::printf("%-24s %5s %8s %9s %9s %7s %8s %8s\n", "", "runs", "map ms", "paint ms", "settle ms", "cpu ms",
                "RSS MB", "PSS MB");
    for (int i = 0; i < kSubjects; ++i)
        std::printf("%-24s %5zu %8.1f %9.1f %9.1f %7.0f %8.1f %8.1f\n", subjects[i].label, runs[i].size(),
                    med(i, "map_ms"), med(i, "paint_ms"), med(i, "settle_ms"), med(i, "cpu_ms"),
                    med(i, "rss_settle_kb") / 1024, med(i, "pss_settle_kb") / 1024);
    std::printf("\n");
    const double floorPaint = med(0, "paint_ms");
    const double floorRss = med(0, "rss_settle_kb") / 1024;
    for (int i = 1; i < kSubjects; ++i) {
        const double goal = subjects[i].fresh ? 1.5 : 1.7;
        const double ratio = floorPaint > 0 ? med(i, "paint_ms") / floorPaint : 0;
        const double extra = med(i, "rss_settle_kb") / 1024 - floorRss;
        std::printf("%-24s first paint %.2fx the bare window (goal %.1fx: %s), idle memory %+.1f MB (goal 8 MB: %s)\n",
                    subjects[i].label, ratio, goal, ratio <= goal ? "met" : "missed", extra,
                    extra <= 8 ? "met" : "missed");
    }
    return 0;
}
