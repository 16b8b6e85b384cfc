#include "settings/settings_file_commands.h"

#include "platform/message_box.h"
#include "settings/settings_file.h"
#include "platform/file_chooser.h"
#include "base/dropped_files.h"
#include "base/paths.h"

namespace tarnwick {

namespace {

const QString kSaveTitle = QStringLiteral("Save Settings");
const QString kOpenTitle = QStringLiteral("Open Settings");

} // namespace

SettingsFileCommands::SettingsFileCommands(SettingsStore& store, FileChooser& chooser,
                                           MessageBox& messages, std::function<void()> saveNow,
                                           std::function<void()> reload)
    : m_store(store), m_chooser(chooser), m_messages(messages), m_saveNow(std::move(saveNow)),
      m_reload(std::move(reload))
{
}

bool SettingsFileCommands::exportSettings()
{
    const QString path = paths::unquoted(m_chooser.FileDialogSave(kSaveTitle, filter()));
    if (path.isEmpty()) return false;
    // The file carries what the pages show now, not what was saved at the last exit.
    if (m_saveNow) m_saveNow();
    QString error;
    if (exportSettingsFile(m_store, path, &error)) return true;
    m_messages.show(QStringLiteral("The settings could not be saved to the file '%1':\r\n\r\n%2")
                        .arg(path, error),
                    kSaveTitle, MessageBox::Buttons::Ok, MessageBox::Icon::Exclamation);
    return false;
}

bool SettingsFileCommands::importSettings()
{
    const QString path = paths::unquoted(m_chooser.FileDialogOpen(kOpenTitle, filter()));
    return !path.isEmpty() && importFile(path);
}

bool SettingsFileCommands::isSettingsFileName(const QString& path)
{
    return drops::allEndIn({path}, "twk");
}

bool SettingsFileCommands::takesDroppedFiles(const QStringList& paths)
{
    return paths.size() == 1 && isSettingsFileName(paths.first());
}

bool SettingsFileCommands::importFile(const QString& path)
{
    if (!import(path)) return false;
    if (m_reload) m_reload();
    return true;
}

bool SettingsFileCommands::importFromArgument(const QString& argument)
{
    const QString path = paths::unquoted(argument);
    if (path.isEmpty()) return false;
    return import(path);
}

bool SettingsFileCommands::import(const QString& path)
{
    QString error;
    if (importSettingsFile(m_store, path, &error)) return true;
    m_messages.show(QStringLiteral("The settings file '%1' could not be imported:\r\n\r\n%2\r\n\r\n"
                                   "No settings were changed.")
                        .arg(path, error),
                    kOpenTitle, MessageBox::Buttons::Ok, MessageBox::Icon::Exclamation);
    return false;
}

} // namespace tarnwick
