// Figures for the launch core: composing the command line, saving and loading the six
// option windows on the SQLite store, and loading history lists.

#include "launch/composer.h"
#include "launch/launch_session.h"
#include "pages/game/game_options_controller.h"
#include "pages/play/game_catalog.h"
#include "pages/play/play_options_controller.h"
#include "pages/secondary/gameplay_flags.h"
#include "pages/secondary/secondary_controllers.h"
#include "platform/file_system.h"
#include "settings/history.h"
#include "settings/persistence.h"
#include "settings/settings_store.h"
#include "shell/file_chooser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace tarnwick;

namespace {

class NoDialog final : public FileDialog
{
public:
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&) override { return {}; }
};

// The model as the program wires it, over one store.
struct Model
{
    explicit Model(SettingsStore& s) : store(s) {}
    SettingsStore& store;
    LaunchSession session;
    Histories histories{store};
    NoDialog dialog;
    FileChooser chooser{dialog};
    LocalFileSystem fs;
    GameOptionsController game{session, chooser, fs};
    PlayOptionsController play{session, store, histories, chooser, fs, game};
    SoundVideoController sound{session};
    MiscController misc{session};
    GameplayFlagsController flags{session};
    ObsoleteController obsolete{session, chooser};
    Persistence persistence{store, session, {game, play, sound, misc, flags, obsolete}};
};

// A profile with most options in use, so every step of the composer has work to do.
void fillProfile(Model& m)
{
    m.game.setExe(QStringLiteral("\"C:\\Games\\ZDoom\\zdoom.exe\""));
    m.game.setIni(QStringLiteral("C:\\Games\\ZDoom\\zdoom-player.ini"));
    m.game.setIwad(QStringLiteral("C:\\Games\\WADs\\doom2.wad"));
    m.game.setDemos(1);
    m.game.selectRecordDemo();
    m.game.setMaxDemo(QStringLiteral("512"));
    m.play.chooseGame(1);
    m.play.chooseMap(14);
    m.play.setFast(1);
    m.play.setTimer(QStringLiteral("20"));
    m.play.setTurbo(QStringLiteral("120"));
    LaunchProfile& p = m.session.profile();
    for (int i = 0; i < 10; ++i) {
        p.lstPWADhid << QStringLiteral("\"C:\\Games\\My Maps\\map%1.wad\"").arg(i);
        p.lstPWAD << QStringLiteral("map%1.wad").arg(i);
    }
    p.lstDehhid << QStringLiteral("C:\\Games\\patch.deh");
    p.lstDeh << QStringLiteral("patch.deh");
    m.play.selectDeathmatch();
    m.play.setHostPlayers(QStringLiteral("4"));
    m.play.setExtratic(1);
    m.play.setPort(QStringLiteral("5030"));
    m.sound.chooseWidthRow(2);
    m.sound.setMusic(0);
    for (int i = 0; i < 7; i += 2) m.misc.setSwitch(i, 1);
    m.misc.setExtraCommands(QStringLiteral("+vid_fps 1 +map map15   "));
    for (int i = 0; i < 23; i += 3) m.flags.setFlagBox(i, 1 - p.DF[size_t(i)]);
    m.obsolete.setHeapSize(QStringLiteral("32"));
    m.obsolete.setTransFile(QStringLiteral("cache.tch"));
}

void writeList(SettingsStore& store, const QString& name, int count)
{
    const QString section = QStringLiteral("Tarnwick\\History\\") + name;
    SettingsStore::Transaction tx(store);
    for (int i = 1; i <= count; ++i)
        store.write(section, name + QString::number(i), QStringLiteral("C:\\Games\\Entry %1 of %2").arg(count - i).arg(name));
    store.write(section, name + QStringLiteral("Count"), QString::number(count));
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
        Model m(memory);
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
        Model m(store);
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
            Model fresh(store);
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
        for (int h = 0; h < kHistoryCount; ++h) writeList(store, historyName(History(h)), 1000);
        constexpr int rounds = 10;
        qint64 ns = 0;
        for (int round = 0; round < rounds; ++round) {
            Histories histories(store);
            QElapsedTimer t;
            t.start();
            for (int h = 0; h < kHistoryCount; ++h) histories.GetHistory(History(h), historyName(History(h)));
            ns += t.nsecsElapsed();
        }
        std::printf("Loading the twelve histories of 1,000 entries each: %.2f ms\n", ms(ns) / rounds);
    }

    {
        SettingsStore store;
        store.open(dir.filePath(QStringLiteral("long-history.db")));
        writeList(store, QStringLiteral("ZEXE"), 100000);
        Histories histories(store);
        QElapsedTimer t;
        t.start();
        histories.GetHistory(History::ZEXE, QStringLiteral("ZEXE"));
        const qint64 load = t.nsecsElapsed();
        t.restart();
        histories.CmbProc(QStringLiteral("c:\\games\\entry 5 of zexe"), QStringLiteral("ZEXE"), History::ZEXE);
        const qint64 lookup = t.nsecsElapsed();
        std::printf("GetHistory of one list of 100,000 entries: %.1f ms (%lld shown); recording a known text: %.1f ms\n",
                    ms(load), static_cast<long long>(histories.shown(History::ZEXE).size()), ms(lookup));
    }
    return 0;
}
