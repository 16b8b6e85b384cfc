#pragma once

#include <QString>

#include <array>

namespace tarnwick {

class FileChooser;
class GameOptionsController;
class PlayOptionsController;
class SettingsStore;

// One game WAD the player can keep a location for: the dialog row, the pop-up menu item
// and the game it selects on the play page (99: leave the game alone).
struct IwadRecord
{
    const char* name;       // "Doom2.wad"; the key is "IWAD" + name
    const char* label;      // the dialog's label caption
    const char* tooltip;    // the dialog box's tooltip
    const char* menuCaption;
    const char* browseTitle;
    int game;
};

// In the dialog's top-to-bottom order, which is also the pop-up menu's order.
extern const std::array<IwadRecord, 9> kIwadRecords;

QString iwadKey(const IwadRecord& record);

// The pop-up menu of game WADs and the "Game WAD Locations" dialog.
class IwadLocations
{
public:
    IwadLocations(SettingsStore& store, FileChooser& chooser, GameOptionsController& gamePage,
                  PlayOptionsController& playPage);

    // A pop-up menu choice: the stored location goes to the game WAD box and selects the
    // game; without one, the player is asked for the file, which is then stored.
    void IWADMenu(const QString& IWAD, int li);

    // The dialog: nine boxes read afresh at each opening, written only by OK.
    std::array<QString, 9> load() const;
    // A row's "..." button: the new path, or the current one when cancelled.
    QString browse(int row, const QString& current);
    void save(const std::array<QString, 9>& boxes);

private:
    SettingsStore& m_store;
    FileChooser& m_chooser;
    GameOptionsController& m_gamePage;
    PlayOptionsController& m_playPage;
};

} // namespace tarnwick
