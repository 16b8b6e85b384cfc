#pragma once

#include "platform/file_dialog.h"

namespace tarnwick {

// The program's one file dialog: every caller passes a title and its own filter, and the
// dialog adds "All files". A chosen path with a blank comes back in double quotes, so it
// reaches the command line as one argument; a cancelled dialog gives the empty text.
// The dialog remembers the initial folder its callers last set.
class FileChooser
{
public:
    explicit FileChooser(FileDialog& dialog) : m_dialog(dialog) {}

    QString FileDialogOpen(const QString& title, const QString& filter);
    QString FileDialogSave(const QString& title, const QString& filter);
    QString chooseFolder(const QString& prompt);

    void setInitialFolder(const QString& folder) { m_initialFolder = folder; }
    QString initialFolder() const { return m_initialFolder; }

    static QString withAllFiles(const QString& filter);

private:
    FileDialog& m_dialog;
    QString m_initialFolder;
};

} // namespace tarnwick
