#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tarnwick {
class FileSystem;
}

// Where the port keeps its configuration file. On Windows the port keeps it beside its
// executable. On Linux the ports of the ZDoom family keep it in the player's own
// configuration folder, named after the port ("~/.config/gzdoom/gzdoom.ini"; older
// builds used "~/.zdoom/"), and a packaged port's folder ("/usr/games") holds none.
namespace tarnwick::portconfig {

// The port's executables the editor knows by name when the EXE location names none.
const QStringList& familyNames();

// The executable the EXE location names, found as Run finds it (programToStart(): a bare
// name is the port folder's copy, else the one in PATH), else the first of zdoom, gzdoom
// and lzdoom in the port folder; empty when none of them exists. Double quotes around the
// EXE location are dropped.
QString findExecutable(const QString& portFolder, const QString& exeLocation,
                       const FileSystem& files);

// The executable's file name without ".exe": "gzdoom" for "/usr/games/gzdoom"; "zdoom"
// when there is no name at all.
QString baseName(const QString& executable);

// The per-user folders searched for configuration files, in order: for the executable's
// base name, then zdoom, gzdoom and lzdoom, first "$XDG_CONFIG_HOME/<name>" (by default
// "~/.config/<name>"), then "~/.<name>"; each folder once. Empty on Windows.
QStringList userFolders(const QString& baseName);

// The file the port reads when none exists yet and creates on its first run: on Linux
// "<$XDG_CONFIG_HOME>/<name>/<name>.ini"; on Windows "zdoom-<user name>.ini" in the port
// folder.
QString defaultFile(const QString& portFolder, const QString& baseName);

struct ConfigFile
{
    QString path;       // the full path
    QString shown;      // the name alone in the port folder, else the path from "~"
    bool exists = true; // false only for the default file when no file was found
};

// The files offered for editing. The port's own per-user file comes first when it exists
// ("<folder>/<base name>.ini" in one of the base name's folders); then the INI files of
// the port folder, then those of the per-user folders, each list by name. When no file is
// found anywhere, the one entry is defaultFile().
QList<ConfigFile> configFiles(const QString& portFolder, const QString& baseName);

// The folder a configuration-file browse starts in: empty when the port folder holds an
// INI file (the dialog then opens where it always does), else the folder of the first
// file configFiles() offers when that folder exists.
QString browseFolder(const QString& portFolder, const QString& baseName);

// A path for showing: the home folder written as "~".
QString shownPath(const QString& path);

// USERNAME, or USER where that is not set.
QString userName();

} // namespace tarnwick::portconfig
