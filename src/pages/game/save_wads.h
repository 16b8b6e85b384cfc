#pragma once

#include <QString>
#include <QStringList>

namespace tarnwick {

class FileSystem;
class GameOptionsController;
class Histories;
class LaunchSession;
class MessageBox;
class PlayOptionsController;
class SettingsStore;

// The file names a save's "Map WAD" field holds, in order. The port writes the WAD that
// holds the saved map, which is the game WAD itself when no map WAD was loaded; several
// names may be separated by blanks, commas, semicolons or "|", a name with blanks in
// double quotes.
QStringList saveMapWadNames(const QString& field, const QString& gameWad);

// Save games made with other WADs than the current ones: the mark on their rows and the
// "Use this save's WADs" command of the save list.
class SaveWads
{
public:
    SaveWads(LaunchSession& session, SettingsStore& store, Histories& histories, FileSystem& fs,
             MessageBox& messages, GameOptionsController& gamePage, PlayOptionsController& playPage);

    // What differs between the save of list row `row` (1-based, as the list counts) and the
    // current game WAD and map WAD list, one line each; empty when nothing differs or the
    // save does not say.
    QString difference(int row) const;

    // Sets the game WAD from the game WAD locations and the map WAD list from the save's
    // field, in its order. Each map WAD is looked for in the Map WAD history, the port
    // folder and the folders of the files already in the list; one message names every
    // file that was not found.
    void useSaveWads(int row);

private:
    QString findGameWad(const QString& name, int& game) const;
    QString findMapWad(const QString& name) const;

    LaunchSession& m_session;
    SettingsStore& m_store;
    Histories& m_histories;
    FileSystem& m_fs;
    MessageBox& m_messages;
    GameOptionsController& m_gamePage;
    PlayOptionsController& m_playPage;
};

} // namespace tarnwick
