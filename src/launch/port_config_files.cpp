#include "launch/port_config_files.h"

#include "base/paths.h"
#include "launch/launch_command.h"
#include "platform/file_system.h"

#include <QDir>
#include <QFileInfo>

namespace tarnwick::portconfig {

namespace {

QStringList iniFilesIn(const QString& folder)
{
    if (folder.isEmpty()) return {};
    // The port looks for its file without regard to case, so "ZDOOM.INI" counts.
    return QDir(folder).entryList({QStringLiteral("*.ini")}, QDir::Files,
                                  QDir::Name | QDir::IgnoreCase);
}

QString configHome()
{
    // A relative XDG_CONFIG_HOME is to be ignored, as the port ignores it.
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir::cleanPath(xdg);
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.config"));
}

} // namespace

const QStringList& familyNames()
{
    static const QStringList names = {QStringLiteral("zdoom"), QStringLiteral("gzdoom"),
                                      QStringLiteral("lzdoom")};
    return names;
}

QString findExecutable(const QString& portFolder, const QString& exeLocation,
                       const FileSystem& files)
{
    // The program Run would start: a bare name is the port folder's copy, else PATH's.
    const QString named = paths::toNative(paths::unquoted(exeLocation).trimmed());
    const QString program = programToStart(named, paths::toNative(portFolder));
    if (files.fileExists(program)) return program;
    if (portFolder.isEmpty()) return {};
    for (const QString& name : familyNames()) {
#ifdef Q_OS_WIN
        const QString path = paths::join(portFolder, name + QStringLiteral(".exe"));
#else
        const QString path = paths::join(paths::toNative(portFolder), name);
#endif
        if (files.fileExists(path)) return path;
    }
    return {};
}

QString baseName(const QString& executable)
{
    QString name = paths::fileNamePart(paths::unquoted(executable).trimmed());
    if (name.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive)) name.chop(4);
    return name.isEmpty() ? QStringLiteral("zdoom") : name;
}

QStringList userFolders(const QString& baseName)
{
#ifdef Q_OS_WIN
    Q_UNUSED(baseName);
    return {};
#else
    QStringList names{baseName};
    for (const QString& name : familyNames())
        if (!names.contains(name)) names << name;
    const QString home = QDir::homePath();
    const QString config = configHome();
    QStringList folders;
    for (const QString& name : names) {
        for (const QString& folder : {config + u'/' + name, home + QStringLiteral("/.") + name}) {
            const QString clean = QDir::cleanPath(folder);
            if (!folders.contains(clean)) folders << clean;
        }
    }
    return folders;
#endif
}

QString defaultFile(const QString& portFolder, const QString& baseName)
{
#ifdef Q_OS_WIN
    return paths::join(portFolder, QStringLiteral("zdoom-") + userName() + QStringLiteral(".ini"));
#else
    Q_UNUSED(portFolder);
    return configHome() + u'/' + baseName + u'/' + baseName + QStringLiteral(".ini");
#endif
}

QList<ConfigFile> configFiles(const QString& portFolder, const QString& baseName)
{
    QList<ConfigFile> files;
    const QString folder = paths::withoutTrailingSeparator(paths::toNative(portFolder));
    for (const QString& name : iniFilesIn(folder))
        files.append({paths::join(folder, name), name});

    const QString ownName = baseName + QStringLiteral(".ini");
    qsizetype own = -1;
    for (const QString& userFolder : userFolders(baseName)) {
        const bool portsOwnFolder =
            QFileInfo(userFolder).fileName().compare(baseName, Qt::CaseInsensitive) == 0 ||
            QFileInfo(userFolder).fileName().compare(u'.' + baseName, Qt::CaseInsensitive) == 0;
        for (const QString& name : iniFilesIn(userFolder)) {
            const QString path = userFolder + u'/' + name;
            if (own < 0 && portsOwnFolder && name.compare(ownName, Qt::CaseInsensitive) == 0)
                own = files.size();
            files.append({path, shownPath(path)});
        }
    }
    if (own > 0) files.move(own, 0);
    if (files.isEmpty()) {
        const QString path = defaultFile(folder, baseName);
        files.append({path,
                      folder.isEmpty() || paths::folderPart(path) != folder
                          ? shownPath(path)
                          : paths::fileNamePart(path),
                      false});
    }
    return files;
}

QString browseFolder(const QString& portFolder, const QString& baseName)
{
    const QString folder = paths::withoutTrailingSeparator(paths::toNative(portFolder));
    if (!iniFilesIn(folder).isEmpty()) return {};
    const QString first = paths::folderPart(configFiles(folder, baseName).constFirst().path);
    return QFileInfo(first).isDir() ? first : QString();
}

QString shownPath(const QString& path)
{
    const QString home = QDir::cleanPath(QDir::homePath());
    if (home.size() > 1 && path.startsWith(home + u'/')) return u'~' + path.mid(home.size());
    return QDir::toNativeSeparators(path);
}

QString userName()
{
    if (qEnvironmentVariableIsSet("USERNAME")) return qEnvironmentVariable("USERNAME");
    return qEnvironmentVariable("USER");
}

} // namespace tarnwick::portconfig
