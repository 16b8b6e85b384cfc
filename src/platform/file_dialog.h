#pragma once

#include <QString>

namespace tarnwick {

// The platform's open-file, save-file and folder pickers. Filters come in the pipe form
// "Description (*.ext)|*.ext|Other (*.a;*.b)|*.a;*.b" and the answer is the chosen path
// as the platform gives it (no quoting), or the empty text when the user cancels.
class FileDialog
{
public:
    virtual ~FileDialog() = default;

    virtual QString openFile(const QString& title, const QString& filter,
                             const QString& initialFolder) = 0;
    virtual QString saveFile(const QString& title, const QString& filter,
                             const QString& initialFolder) = 0;
    virtual QString chooseFolder(const QString& prompt, const QString& initialFolder) = 0;
};

} // namespace tarnwick
