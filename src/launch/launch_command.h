#pragma once

#include <QString>
#include <QStringList>

namespace tarnwick {

// What Run starts for a command box: one program with its arguments, in the port folder.
// The exported shell script is written from the same value, so both start the same thing.
struct LaunchCommand
{
    QString program;       // the box's first word; "\" written as the native separator
    QStringList arguments; // the other words, as the port receives them
    QString folder;        // the port folder, as the folder box holds it
};

// Splits the command box the way a player reads it: blanks separate words and double
// quotes group them (three double quotes in a row stand for one literal quote). A word
// that is "~" or starts with "~/" gets `home` in place of the "~"; nothing else is
// expanded, so "$HOME", "*" or "~user" reach the port as typed.
LaunchCommand launchCommand(const QString& command, const QString& folder, const QString& home);

// The file Run starts for `program` working in `folder`: a bare name is taken from the
// folder when an executable file of that name is there, and otherwise searched for in
// PATH; a path with a separator is taken relative to the folder. Empty when a bare name
// is found nowhere.
QString programToStart(const QString& program, const QString& folder);

// The word in single quotes, so a POSIX shell passes it on untouched.
QString shellQuote(const QString& word);

// A POSIX shell script that does what Run does: it changes to the port folder, finds the
// program by the same rule as programToStart() and replaces itself with it (so the
// script ends with the port's exit status), every argument quoted for the shell.
QString shellScriptText(const LaunchCommand& command);

} // namespace tarnwick
