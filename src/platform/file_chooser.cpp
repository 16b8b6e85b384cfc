#include "platform/file_chooser.h"

#include "base/paths.h"
#include "platform/file_system.h"

namespace tarnwick {

FileChooser::FileChooser(FileDialog& dialog, const FileSystem& fs, QString homeFolder)
    : m_dialog(dialog), m_fs(fs), m_home(std::move(homeFolder))
{
}

QString FileChooser::withAllFiles(const QString& filter)
{
    return filter + QStringLiteral("All files (*.*)|*.*");
}

QString FileChooser::startFolder(const QStringList& near) const
{
    for (const QString& text : near) {
        const QString path = paths::unquoted(text).trimmed();
        if (path.isEmpty()) continue;
        if (m_fs.folderExists(path)) return path;
        const QString folder = paths::folderPart(path);
        if (!folder.isEmpty() && m_fs.folderExists(folder)) return folder;
    }
    return m_home;
}

QString FileChooser::FileDialogOpen(const QString& title, const QString& filter, const QStringList& near)
{
    return paths::quotedIfBlank(m_dialog.openFile(title, withAllFiles(filter), startFolder(near)));
}

QString FileChooser::FileDialogSave(const QString& title, const QString& filter, const QStringList& near)
{
    return paths::quotedIfBlank(m_dialog.saveFile(title, withAllFiles(filter), startFolder(near)));
}

QString FileChooser::chooseFolder(const QString& prompt, const QStringList& near)
{
    return m_dialog.chooseFolder(prompt, startFolder(near));
}

} // namespace tarnwick
