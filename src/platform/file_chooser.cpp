#include "platform/file_chooser.h"

#include "base/paths.h"

namespace tarnwick {

QString FileChooser::withAllFiles(const QString& filter)
{
    return filter + QStringLiteral("All files (*.*)|*.*");
}

QString FileChooser::FileDialogOpen(const QString& title, const QString& filter)
{
    return paths::quotedIfBlank(m_dialog.openFile(title, withAllFiles(filter), m_initialFolder));
}

QString FileChooser::FileDialogSave(const QString& title, const QString& filter)
{
    return paths::quotedIfBlank(m_dialog.saveFile(title, withAllFiles(filter), m_initialFolder));
}

QString FileChooser::chooseFolder(const QString& prompt)
{
    return m_dialog.chooseFolder(prompt);
}

} // namespace tarnwick
