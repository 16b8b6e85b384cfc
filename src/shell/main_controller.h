#pragma once

#include "settings/history.h"

#include <QObject>
#include <QPoint>

#include <array>
#include <functional>

namespace tarnwick {

class FileChooser;
class FileSystem;
class GameOptionsController;
class GameplayFlagsController;
class InstallSearch;
class LaunchSession;
class DocumentOpener;
class MessageBox;
class MiscController;
class ObsoleteController;
class Persistence;
class PlayOptionsController;
class SettingsStore;
class SoundVideoController;

// The main window's rules: start-up and shutdown order, the page windows' visibility,
// the history commands, saving, and the first-run layout.
class MainController final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainController)

public:
    enum class Layout { Keep, FourByFour, Cascade };

    struct Deps
    {
        SettingsStore& store;
        LaunchSession& session;
        Histories& histories;
        Persistence& persistence;
        MessageBox& messages;
        FileSystem& fs;
        DocumentOpener& opener;
        GameOptionsController& gamePage;
        PlayOptionsController& playPage;
        SoundVideoController& soundPage;
        MiscController& miscPage;
        GameplayFlagsController& flags;
        ObsoleteController& obsolete;
        InstallSearch& installs;
    };

    explicit MainController(Deps deps, QObject* parent = nullptr);

    // Imports a settings file into the store (set by whoever provides settings files).
    void setSettingsImporter(std::function<bool(const QString& path)> importer)
    {
        m_importer = std::move(importer);
    }

    // Before the window is built: starts reading what start-up will need from disk (the
    // saves in the stored port folder; on a first start, the search for an installed port
    // and game WADs) on a second thread.
    void readAhead(bool firstStart);
    // Start-up: histories, saved settings, the program's argument, on a first start the
    // search for an installed port and game WADs, one composition. Returns the layout the
    // pages need: a first run is laid out by the screen's width (pixels).
    Layout startup(const QString& argument, int screenWidth, bool firstStart = false);
    // The start-up's writes, which nothing on screen waits for: on a first start the default
    // web links and the game WAD locations found. Called once the window has been drawn (at
    // the latest by shutdown()).
    void finishStartup();

    // What a page's window looked like when the program closed.
    struct PageWindow
    {
        bool visible = true;
        QPoint position;
    };
    // Shutdown: each page saves its fields, visibility and position; then the gameplay
    // flags and the obsolete options; all of it in one transaction.
    void shutdown(const std::array<PageWindow, 4>& pages);

    // "&Save settings now": the four pages and the gameplay flags (the obsolete options
    // are saved only at exit).
    void saveSettingsNow();

    // "&Reset all...": asks, then resets the four pages and the gameplay flags with one
    // composition. The obsolete options, histories, positions and game WAD locations stay.
    // With "Re&set ZDoom Locations" ticked, the emptied locations are searched for again.
    void resetAll();

    // "&Clear history...": asks, then empties all twelve lists; every box keeps its text.
    void clearAllHistories();

    // Page windows 1 to 4.
    bool pageVisible(int page) const { return m_visible.at(page - 1); }
    bool showItemVisible(int page) const { return !pageVisible(page); }
    void hidePage(int page);
    void showPage(int page);  // the show-page menu item
    void pageActivated(int page);
    void fourByFour();        // all four pages shown

    // The Help menu and the location check.
    void checkLocations();
    void about();
    void helpContents(const QString& applicationDir);
    void sendFeedback();
    void website();

    // The editors' menu entries: whether the editor may open on the port folder (asking
    // and creating what is needed first); the window then opens on portFolder().
    bool mayOpenIniEditor();
    bool mayOpenBotEditor();
    QString portFolder() const;
    // The executable the configuration editor serves (portconfig::findExecutable()).
    QString portExecutable() const;

    // Writes the ten web-link keys.
    void URLReset();

    // The argument's rule: a ".twk" settings file (quotes removed, any letter case) is imported;
    // anything else is added to the extra commands.
    static bool isSettingsFileArgument(const QString& argument);

signals:
    void pageVisibilityChanged(int page, bool visible);

private:
    void setPageVisible(int page, bool visible);
    void setHistoryBoxText(History h, const QString& text);
    QString historyBoxText(History h) const;

    Deps m_d;
    std::array<bool, 4> m_visible{true, true, true, true};
    std::function<bool(const QString&)> m_importer;
    bool m_startupWritesDue = false;
    bool m_savesJustRead = false; // by the start-up load, until the window is drawn
};

} // namespace tarnwick
