#pragma once

#include "launch/launch_session.h"
#include "pages/play/map_titles.h"
#include "settings/history.h"

#include <functional>

namespace tarnwick {

class FileChooser;
class FileSystem;
class GameOptionsController;
class SettingsStore;

// "2: Play Options": game, map and skill; the map WAD and patch lists; play mode,
// multiplayer, monsters, timer and turbo.
class PlayOptionsController
{
public:
    // One of the page's two file lists: map WADs or DeHackEd/BEX patches.
    enum class FileList { MapWads, Patches };

    PlayOptionsController(LaunchSession& session, SettingsStore& store, Histories& histories,
                          FileChooser& chooser, FileSystem& fs, GameOptionsController& gamePage);

    // Game, map, skill.
    void chooseGame(int index);
    void Skill(int Game);
    void chooseMap(int row);
    void chooseSkill(int row);
    void setOther(const QString& text);
    void randomMap();
    // The random map draws from this; the default is a clock-seeded uniform generator.
    void setRandomSource(std::function<float()> source) { m_random = std::move(source); }

    // File lists.
    void setListText(FileList list, const QString& text);
    void selectListEntry(FileList list, int index);
    void addToList(FileList list);
    // Files dropped on a list's frame: whether it takes them (every one a file of the list's
    // kind), and adding them in drop order as "Add" adds a chosen file.
    static bool takesDroppedFiles(FileList list, const QStringList& paths);
    void addDroppedFiles(FileList list, const QStringList& paths);
    void clearList(FileList list);
    void removeFromList(FileList list);
    void moveUpInList(FileList list);
    void moveDownInList(FileList list);
    static QString ShortFN(const QString& LongFN);
    // Replaces the map WAD list with `paths`, in order.
    void setMapWads(const QStringList& paths);

    // Rebuilds the map rows from the catalog and the titles of the loaded map WADs,
    // keeping the chosen map (not its position). A map row chosen before the rows that
    // hold it existed (the settings loader sets the map before the map WAD list) is
    // chosen now when it exists.
    void refreshMapRows();

    // Play mode and network.
    void optSP_Click();
    void selectCoop();
    void selectDeathmatch();
    void selectAltdeath();
    void selectHost();
    void selectJoin();
    void setHostPlayers(const QString& text);
    void setJoinAddress(const QString& text);
    void setExtratic(int value);
    void setDebugFile(int value);
    void setDup(const QString& text);
    void setPort(const QString& text);

    // Monsters, timer, turbo.
    void setMonsters(int value);
    void setFast(int value);
    void setRespawn(int value);
    void setTimer(const QString& text);
    void setTurbo(const QString& text);
    void leaveTurbo();

    void reset();

    // Which controls accept input.
    bool mapControlsEnabled() const { return m_session.profile().cmbGame != 6; }
    bool otherMapEnabled() const { return m_session.profile().cmbGame == 6; }
    bool hostJoinEnabled() const { return !m_session.profile().optSP; }
    bool hostPlayersEnabled() const { return hostJoinEnabled() && m_session.profile().optHost; }
    bool joinAddressEnabled() const
    {
        return hostJoinEnabled() && m_session.profile().optJoin && !m_session.profile().optHost;
    }
    bool monsterOptionsEnabled() const { return m_session.profile().chkNomonsters == 1; }

    struct ListInfo
    {
        QStringList LaunchProfile::*hidden;
        QStringList LaunchProfile::*shown;
        int LaunchProfile::*index;
        QString LaunchProfile::*text;
        QString LaunchProfile::*folder;
        History history;
        const char* title;
        const char* filter;
        const char* dropped; // the endings of the files a drop adds
    };
    static const ListInfo& info(FileList list);

private:
    void appendToList(FileList list, const QString& path);
    void selectMode(bool LaunchProfile::*mode);
    void setText(QString LaunchProfile::*field, const QString& text);
    void setCheck(int LaunchProfile::*field, int value);
    QStringList mapRowsOf(int game);
    void mapWadsChanged(FileList list);

    LaunchSession& m_session;
    SettingsStore& m_store;
    Histories& m_histories;
    FileChooser& m_chooser;
    FileSystem& m_fs;
    GameOptionsController& m_gamePage;
    std::function<float()> m_random;
    MapWadCache m_mapWads;
    int m_pendingMapRow = -1;
};

} // namespace tarnwick
