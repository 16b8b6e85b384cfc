#include "launch/launch_check.h"

#include "base/paths.h"
#include "launch/launch_command.h"
#include "platform/file_system.h"

#include <QFileInfo>

namespace tarnwick {

namespace {

// How the port takes the words after an option: one file or a run of files, and the
// extension it adds to a name that has none.
struct FileOption
{
    const char* word;
    bool many;
    const char* extension;
};

constexpr FileOption kFileOptions[] = {
    {"-IWAD", false, ".wad"},     {"-CONFIG", false, nullptr},  {"-PLAYDEMO", false, ".lmp"},
    {"-TIMEDEMO", false, ".lmp"}, {"-LOADGAME", false, ".zds"}, {"-FILE", true, nullptr},
    {"-DEH", true, ".deh"},
};

// A run of files ends at the next option, console command or response file.
bool endsFileRun(const QString& word)
{
    return word.startsWith(u'-') || word.startsWith(u'+') || word.startsWith(u'@');
}

} // namespace

QStringList missingLaunchFiles(const LaunchCommand& launch, const FileSystem& fs)
{
    const QString& folder = launch.folder;
    const QStringList& words = launch.arguments;
    QStringList missing;
    auto check = [&](const QString& name, const char* extension) {
        const QString path = paths::resolvedIn(folder, name);
        const bool found = fs.fileExists(path) ||
                           (extension && QFileInfo(path).suffix().isEmpty() &&
                            fs.fileExists(path + QLatin1StringView(extension)));
        if (!found && !missing.contains(path)) missing.append(path);
    };
    if (launch.program.isEmpty()) return missing;

    const QString program = programToStart(launch.program, folder);
    if (program.isEmpty() || !fs.fileExists(program)) check(launch.program, nullptr);

    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words.at(i);
        if (word.startsWith(u'@') && word.size() > 1) {
            check(word.mid(1), nullptr);
            continue;
        }
        for (const FileOption& option : kFileOptions) {
            if (word.compare(QLatin1StringView(option.word), Qt::CaseInsensitive) != 0) continue;
            while (i + 1 < words.size() && !endsFileRun(words.at(i + 1))) {
                check(words.at(++i), option.extension);
                if (!option.many) break;
            }
            break;
        }
    }
    return missing;
}

} // namespace tarnwick
