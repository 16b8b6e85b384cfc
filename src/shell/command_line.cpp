#include "shell/command_line.h"

#include "base/about.h"

namespace tarnwick {

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine result;
    QStringList words;
    for (const QString& a : arguments) {
        if (a == QLatin1StringView("--help")) {
            result.action = CommandLine::Action::Help;
        } else if (a == QLatin1StringView("--version")) {
            if (result.action == CommandLine::Action::Start) result.action = CommandLine::Action::Version;
        } else if (a == QLatin1StringView("--run")) {
            result.run = true;
        } else {
            words << (a.contains(u' ') ? u'"' + a + u'"' : a);
        }
    }
    result.argumentText = words.join(u' ');
    return result;
}

QString versionText()
{
    return QStringLiteral("Tarnwick ") + about::version();
}

QString usageText()
{
    return QStringLiteral(
        "Usage: tarnwick [--run] [SETTINGS.twk] [PORT-ARGUMENTS...]\n"
        "       tarnwick --help | --version\n"
        "\n"
        "Tarnwick composes the command line of the ZDoom source port from its option pages\n"
        "and starts the port with it.\n"
        "\n"
        "  SETTINGS.twk    open a settings file, as File > Open settings does\n"
        "  PORT-ARGUMENTS  any other arguments are added to the Extra commands box (page 4)\n"
        "  --run           start the port with the saved settings, as F2 does, then close\n"
        "  --help          print this text and exit\n"
        "  --version       print the version and exit\n"
        "\n"
        "Settings are kept in ~/.config/tarnwick/settings.db; the environment variable\n"
        "TARNWICK_SETTINGS names another file. At the first start Tarnwick looks for a port on\n"
        "PATH and in /usr/games, and for game WADs in $DOOMWADDIR, $DOOMWADPATH,\n"
        "~/.local/share/games/doom, /usr/local/share/games/doom and /usr/share/games/doom.\n"
        "The help pages are under Help > Contents (F1); see also tarnwick(1).\n");
}

} // namespace tarnwick
