#pragma once

#include <QString>

namespace tarnwick {

class FileSystem;
class MessageBox;

// The main window's "ZDoom &INI Editor..." entry asks this first: the editor opens only
// on a folder that holds the port's executable. When it is missing the user is told so
// and the answer is false.
bool iniEditorMayOpen(const QString& portFolder, FileSystem& files, MessageBox& messages);

} // namespace tarnwick
