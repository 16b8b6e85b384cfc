#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tarnwick {

class FileChooser;
class MessageBox;
class SettingsStore;

// The File menu's "&Save settings..." and "&Open settings..." and the start-up import of a
// settings file named as the program's argument.
class SettingsFileCommands
{
public:
    // `saveNow` writes the current option values to the store, as "&Save settings now"
    // does; `reload` loads every option window from the store again (Set_Imp).
    SettingsFileCommands(SettingsStore& store, FileChooser& chooser, MessageBox& messages,
                         std::function<void()> saveNow, std::function<void()> reload);

    static QString filter() { return QStringLiteral("Tarnwick Settings (*.twk)|*.twk|"); }

    // Asks for a file name, saves the current values, then writes the file. A file that
    // cannot be written is reported. Returns true when the file was written.
    bool exportSettings();

    // Asks for a file, imports it and reloads the option windows. A file that cannot be
    // read as a settings file is reported and changes nothing. Returns true on import.
    bool importSettings();

    // A settings file dropped on the main window: one ".twk" file, imported and reloaded as
    // "&Open settings..." imports the file chosen in its dialog.
    static bool takesDroppedFiles(const QStringList& paths);
    // A settings file by its name: ending in ".twk", in any letter case.
    static bool isSettingsFileName(const QString& path);
    bool importFile(const QString& path);

    // The start-up import: the argument with its quotes removed names the file. Imports
    // without reloading (start-up reloads itself); reports a file that cannot be read.
    bool importFromArgument(const QString& argument);

private:
    bool import(const QString& path);

    SettingsStore& m_store;
    FileChooser& m_chooser;
    MessageBox& m_messages;
    std::function<void()> m_saveNow;
    std::function<void()> m_reload;
};

} // namespace tarnwick
