#pragma once

#include <QHash>
#include <QProcessEnvironment>
#include <QStringList>

#include <future>

namespace tarnwick {

class GameOptionsController;
class LaunchSession;
class SettingsStore;

// Where a port and game WADs are looked for. Only these folders are read, none below them.
struct SearchPlaces
{
    QStringList programFolders; // PATH's folders, then /usr/games
    QStringList wadFolders;     // $DOOMWADDIR, $DOOMWADPATH, the per-user and shared WAD folders

    // The places of a Linux system: fixed folders lie under `root` ("/" on a real system),
    // the others come from PATH, DOOMWADDIR, DOOMWADPATH and HOME.
    static SearchPlaces fromEnvironment(const QProcessEnvironment& env, const QString& root = QStringLiteral("/"));
};

// The port: the first of zdoom, gzdoom and lzdoom, each looked for in the program folders in
// order; failing those, the first of the other Doom ports. Empty when none is installed.
QString findPort(const QStringList& programFolders);

// The game WADs in `folders`, matched by file name without regard to letter case: the first
// one found of each name, keyed by its game WAD location key ("IWADDoom2.wad"). Freedoom's
// WADs stand in for Doom and Doom II where the originals are missing.
QHash<QString, QString> findGameWads(const QStringList& folders);

// The first start's search: fills the port's location and folder, the game WAD locations and
// the game WAD box, each only where it is still empty.
class InstallSearch
{
public:
    InstallSearch(SettingsStore& store, LaunchSession& session, GameOptionsController& gamePage,
                  SearchPlaces places);

    // Starts looking for the port and the game WADs on a second thread; fillEmpty() then
    // uses what was found instead of looking again, when the folders it would look in are
    // the same.
    void searchAhead();
    // Fills the empty boxes at once. The game WAD locations it found are kept for saveFound(),
    // so that a first start writes nothing before its window is drawn.
    void fillEmpty();
    void saveFound();

private:
    struct Found
    {
        QString port;
        QStringList wadFolders;
        QHash<QString, QString> wads;
    };
    QStringList wadFoldersWith(const QString& portFolder) const;

    SettingsStore& m_store;
    LaunchSession& m_session;
    GameOptionsController& m_gamePage;
    SearchPlaces m_places;
    std::future<Found> m_ahead;
    QHash<QString, QString> m_unsaved;
};

} // namespace tarnwick
