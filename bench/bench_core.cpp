// Figures for the launch core: composing the command line, saving and loading the six
// option windows on the SQLite store, and loading history lists.

#include "bench_support.h"
#include "launch/composer.h"
#include "shell/app_context.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace tarnwick;

namespace {

// A profile with most options in use, so every step of the composer has work to do.
void fillProfile(bench::Model& m)
{
    m.gamePage.setExe(QStringLiteral("\"C:\\Games\\ZDoom\\zdoom.exe\""));
    m.gamePage.setIni(QStringLiteral("C:\\Games\\ZDoom\\zdoom-player.ini"));
    m.gamePage.setIwad(QStringLiteral("C:\\Games\\WADs\\doom2.wad"));
    m.gamePage.setDemos(1);
    m.gamePage.selectRecordDemo();
    m.gamePage.setMaxDemo(QStringLiteral("512"));
    m.playPage.chooseGame(1);
    m.playPage.chooseMap(14);
    m.playPage.setFast(1);
    m.playPage.setTimer(QStringLiteral("20"));
    m.playPage.setTurbo(QStringLiteral("120"));
    LaunchProfile& p = m.session.profile();
    for (int i = 0; i < 10; ++i) {
        p.lstPWADhid << QStringLiteral("\"C:\\Games\\My Maps\\map%1.wad\"").arg(i);
        p.lstPWAD << QStringLiteral("map%1.wad").arg(i);
    }
    p.lstDehhid << QStringLiteral("C:\\Games\\patch.deh");
    p.lstDeh << QStringLiteral("patch.deh");
    m.playPage.selectDeathmatch();
    m.playPage.setHostPlayers(QStringLiteral("4"));
    m.playPage.setExtratic(1);
    m.playPage.setPort(QStringLiteral("5030"));
    m.soundPage.chooseWidthRow(2);
    m.soundPage.setMusic(0);
    for (int i = 0; i < 7; i += 2) m.miscPage.setSwitch(i, 1);
    m.miscPage.setExtraCommands(QStringLiteral("+vid_fps 1 +map map15   "));
    for (int i = 0; i < 23; i += 3) m.flags.setFlagBox(i, 1 - p.DF[size_t(i)]);
    m.obsolete.setHeapSize(QStringLiteral("32"));
    m.obsolete.setTransFile(QStringLiteral("cache.tch"));
}

double ms(qint64 ns) { return double(ns) / 1e6; }

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("Tarnwick core benchmark\n\n");

    {
        SettingsStore memory;
        memory.openInMemory();
        bench::Model m(memory);
        fillProfile(m);
        const LaunchProfile p = m.session.profile();
        constexpr int calls = 200000;
        qsizetype total = 0;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < calls; ++i) total += composeCommandLine(p).size();
        const qint64 ns = t.nsecsElapsed();
        std::printf("Composing one command line (%lld characters): %.0f ns per call over %d calls\n",
                    static_cast<long long>(total / calls), double(ns) / calls, calls);
    }

    {
        SettingsStore store;
        if (!store.open(dir.filePath(QStringLiteral("settings.db")))) {
            std::printf("cannot open the settings file: %s\n", qPrintable(store.errorText()));
            return 1;
        }
        bench::Model m(store);
        fillProfile(m);
        const OptionWindow windows[] = {OptionWindow::GameOptions, OptionWindow::PlayOptions, OptionWindow::SoundVideo,
                                        OptionWindow::Misc,        OptionWindow::GameplayFlags, OptionWindow::Obsolete};
        constexpr int rounds = 20;
        qint64 saveNs = 0;
        qint64 loadNs = 0;
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer t;
            t.start();
            for (OptionWindow w : windows) m.persistence.Set_Exp(w);
            saveNs += t.nsecsElapsed();
            bench::Model fresh(store);
            t.restart();
            fresh.persistence.Set_Imp();
            loadNs += t.nsecsElapsed();
            if (fresh.session.commandText() != composeCommandLine(m.session.profile())) {
                std::printf("round trip changed the command line:\n%s\n%s\n", qPrintable(fresh.session.commandText()),
                            qPrintable(composeCommandLine(m.session.profile())));
                return 1;
            }
        }
        std::printf("Set_Exp of all six windows (84 keys, six durable commits) on SQLite: %.2f ms\n", ms(saveNs) / rounds);
        std::printf("Set_Imp of all six windows from SQLite: %.2f ms\n", ms(loadNs) / rounds);
    }

    {
        SettingsStore store;
        store.open(dir.filePath(QStringLiteral("histories.db")));
        for (int h = 0; h < kHistoryCount; ++h) bench::writeHistory(store, historyName(History(h)), 1000);
        constexpr int rounds = 10;
        qint64 ns = 0;
        qsizetype shown = 0;
        for (int round = 0; round < rounds; ++round) {
            Histories histories(store);
            QElapsedTimer t;
            t.start();
            // The lists are read when their boxes first show them.
            for (int h = 0; h < kHistoryCount; ++h) histories.GetHistory(History(h), historyName(History(h)));
            for (int h = 0; h < kHistoryCount; ++h) shown += histories.shown(History(h)).size();
            ns += t.nsecsElapsed();
        }
        std::printf("Loading the twelve histories of 1,000 entries each: %.2f ms (%lld shown)\n", ms(ns) / rounds,
                    static_cast<long long>(shown / rounds));
    }

    {
        SettingsStore store;
        store.open(dir.filePath(QStringLiteral("long-history.db")));
        bench::writeHistory(store, QStringLiteral("ZEXE"), 100000);
        Histories histories(store);
        QElapsedTimer t;
        t.start();
        histories.GetHistory(History::ZEXE, QStringLiteral("ZEXE"));
        const qsizetype shown = histories.shown(History::ZEXE).size();
        const qint64 load = t.nsecsElapsed();
        t.restart();
        histories.CmbProc(QStringLiteral("/HOME/PLAYER/GAMES/ENTRY 5 OF ZEXE"), QStringLiteral("ZEXE"), History::ZEXE);
        const qint64 lookup = t.nsecsElapsed();
        std::printf("GetHistory of one list of 100,000 entries: %.1f ms (%lld shown); recording a known text: %.1f ms\n",
                    ms(load), static_cast<long long>(shown), ms(lookup));
    }
    return 0;
}
