#pragma once

#include <QString>
#include <QStringList>

namespace tarnwick {

// What the program was asked to do by its own arguments. Tarnwick takes only its three
// long options; every other argument keeps its meaning for the launch: a ".twk" settings
// file is imported, anything else is added to the extra commands.
struct CommandLine
{
    enum class Action { Start, Help, Version };

    Action action = Action::Start;
    bool run = false;     // --run: play with the saved settings, then close
    QString argumentText; // the other arguments joined by one blank, one with a blank quoted
};

// `arguments` without the program's name.
CommandLine parseCommandLine(const QStringList& arguments);

QString usageText();
QString versionText();

} // namespace tarnwick
