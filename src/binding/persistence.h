#pragma once

#include <QPoint>
#include <QString>

#include <optional>

namespace tarnwick {

class GameOptionsController;
class GameplayFlagsController;
class LaunchSession;
class MiscController;
class ObsoleteController;
class PlayOptionsController;
class SettingsStore;
class SoundVideoController;

// The six option windows whose fields are saved, in saving and loading order.
enum class OptionWindow { GameOptions, PlayOptions, SoundVideo, Misc, GameplayFlags, Obsolete };

struct OptionControllers
{
    GameOptionsController& game;
    PlayOptionsController& play;
    SoundVideoController& sound;
    MiscController& misc;
    GameplayFlagsController& flags;
    ObsoleteController& obsolete;
};

// Saves and loads the option windows' fields under "Tarnwick\Settings", one key per field
// in a fixed order, and the four pages' visibility and position under "Tarnwick".
// Loading assigns each field through the same controller operation a player's edit runs,
// so every reaction the order relies on happens: the folder rescans the save games before
// the saved row is picked, the game rebuilds the map and skill lists before their rows.
class Persistence
{
public:
    Persistence(SettingsStore& store, LaunchSession& session, OptionControllers controllers);

    void Set_Exp(OptionWindow window);
    void Set_Imp();

    // Page windows (page 1 to 4).
    bool storedVisible(int page) const; // the visibility key, True when absent or unreadable
    std::optional<QPoint> storedPosition(int page) const;
    void markShown(int page);           // the show-page menu writes "True" before showing
    void savePageWindow(int page, bool visible, QPoint position); // at unload, after Set_Exp
    bool pagesPlaced() const;           // false on a first run: "Form1Top" is empty
    QString storedSaveFolder() const;   // the port folder the load will set
    int storedSaveRow() const;          // the save-list row the load will select, 1 when unreadable

private:
    SettingsStore& m_store;
    LaunchSession& m_session;
    OptionControllers m_c;
};

} // namespace tarnwick
