#pragma once

#include <QString>

namespace tarnwick {

class FileSystem;
class MessageBox;

// The main window's "ZDoom &INI Editor..." entry asks this first: the editor opens when
// the port's executable exists, the one the EXE location names (in the port folder or
// where the location points) or one named zdoom, gzdoom or lzdoom in the port folder
// (portconfig::findExecutable()). When none exists the user is told so and the answer is
// false.
bool iniEditorMayOpen(const QString& portFolder, const QString& exeLocation, FileSystem& files,
                      MessageBox& messages);

} // namespace tarnwick
