#pragma once

#include "platform/file_dialog.h"

#include <QStringList>

namespace tarnwick {

class FileSystem;

// The program's one file dialog: every caller passes a title and its own filter, and the
// dialog adds "All files". A chosen path with a blank comes back in double quotes, so it
// reaches the command line as one argument; a cancelled dialog gives the empty text.
//
// Each dialog opens near what the player already typed: `near` holds the texts of the box
// being filled (and any folder remembered for it), the first that names a folder, or a file
// in a folder, wins. Otherwise the dialog opens in the home folder, never in the folder the
// program happened to be started from.
class FileChooser
{
public:
    FileChooser(FileDialog& dialog, const FileSystem& fs, QString homeFolder);

    QString FileDialogOpen(const QString& title, const QString& filter, const QStringList& near = {});
    QString FileDialogSave(const QString& title, const QString& filter, const QStringList& near = {});
    QString chooseFolder(const QString& prompt, const QStringList& near = {});

    QString startFolder(const QStringList& near) const;

    static QString withAllFiles(const QString& filter);

private:
    FileDialog& m_dialog;
    const FileSystem& m_fs;
    QString m_home;
};

} // namespace tarnwick
