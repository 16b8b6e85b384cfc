#pragma once

#include "formats/savegame_scan.h"
#include "launch/launch_session.h"

#include <future>

namespace tarnwick {

class FileChooser;
class FileSystem;

// "1: Game Options": where the port lives, the configuration, game WAD and parameter
// files, the demo options and the save game to load.
class GameOptionsController
{
public:
    GameOptionsController(LaunchSession& session, FileChooser& chooser, FileSystem& fs);

    // Text edits and history choices; each recomposes.
    void setExe(const QString& text);
    void setFolder(const QString& text); // also rescans the save games there
    void setIni(const QString& text);
    void setIwad(const QString& text);
    void setParm(const QString& text);
    void setDemoFile(const QString& text);
    void setMaxDemo(const QString& text); // keeps a whole number of at least 1, or nothing
    void setResetLocations(int value);

    void setDemos(int value);
    void selectPlayDemo();
    void selectRecordDemo();
    void setTimeDemo(int value);

    // The six "..." buttons.
    void browseExe();
    void browseFolder();
    void browseIni();
    void browseIwad();
    void browseParm();
    void browseDemo();

    // A demo file dropped on the demo box: one ".lmp" file, set as Browse6 sets a chosen one.
    static bool takesDroppedDemo(const QStringList& paths);
    void dropDemo(const QStringList& paths);

    // Rebuilds the save-game list from the port folder, keeping the selected row by position.
    void rescanSaveGames();
    // What is read ahead: the saves of a folder and, when the row the load will select
    // shows a picture, that save's picture as it is in the file (PNG).
    struct SavesAhead
    {
        SaveGameFolder scan;
        QString pictureIdentity; // savePictureIdentity() of the file read, empty for none
        QByteArray picture;
    };
    // Starts reading the saves of `folder` and the picture of row `row` on a second thread
    // while the window is being built; the next rescan of that same folder takes what it
    // read instead of reading again.
    void readSaveGamesAhead(const QString& folder, int row = 1);
    // What is being read ahead, for the page to decode the picture meanwhile; not valid
    // when nothing is.
    std::shared_future<SavesAhead> savesAhead() const { return m_ahead; }
    // The picture beside the list follows the file, not only its name, since the port
    // rewrites a slot in place: its path, size and time. Empty for no file.
    static QString savePictureIdentity(const QString& path);
    // A click on row `row` (1-based) of the save-game list.
    void chooseSaveGame(int row);

    void reset();

    // Which demo controls accept input.
    bool demoControlsEnabled() const { return m_session.profile().chkDemos == 1; }
    bool timeDemoEnabled() const { return demoControlsEnabled() && m_session.profile().optPlay; }
    bool maxDemoEnabled() const { return demoControlsEnabled() && !m_session.profile().optPlay; }

    // The folder box appends what is typed: every key but Delete puts the caret at the end first.
    static bool folderKeyMovesCaretToEnd(int key) { return key != 0x01000007 /* Qt::Key_Delete */; }

private:
    // The picture shown for a row of the list: the save's file in `folder`, when the row
    // comes from a save with a game WAD field (the others have no picture).
    static QString savePicturePath(const QString& folder, const SaveGameRow& row, const QString& file);
    void setText(QString LaunchProfile::*field, const QString& text);
    // The dialog opens near the box's text, else in `otherwise`, else in the home folder.
    void browseInto(QString LaunchProfile::*field, void (GameOptionsController::*set)(const QString&),
                    const QString& title, const QString& filter, const QString& otherwise = {});

    LaunchSession& m_session;
    FileChooser& m_chooser;
    FileSystem& m_fs;
    QString m_aheadFolder;
    std::shared_future<SavesAhead> m_ahead;
};

} // namespace tarnwick
