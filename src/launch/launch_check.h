#pragma once

#include <QString>
#include <QStringList>

namespace tarnwick {

class FileSystem;
struct LaunchCommand;

// The files a command line names that the port, started in its folder, would not find: the
// program (found as Run finds it, programToStart()), the file
// after -IWAD, -CONFIG, -PLAYDEMO, -TIMEDEMO and -LOADGAME, every file after -FILE and
// -DEH up to the next option, and the response file after "@". Relative names are taken
// from the folder, and a name without an extension also counts as found with the one the
// port adds (.wad, .deh, .lmp, .zds). Option words are matched in any letter case. Each
// missing file is listed once, as the full path looked for, in command-line order.
QStringList missingLaunchFiles(const LaunchCommand& launch, const FileSystem& fs);

} // namespace tarnwick
