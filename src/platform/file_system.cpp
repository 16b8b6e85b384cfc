#include "platform/file_system.h"

#include "base/paths.h"

#include <QDir>
#include <QFileInfo>

namespace tarnwick {

bool LocalFileSystem::fileExists(const QString& path) const
{
    if (path.isEmpty()) return false;
    const QFileInfo info(paths::toNative(path));
    return info.exists() && !info.isDir();
}

bool LocalFileSystem::folderExists(const QString& path) const
{
    if (path.isEmpty()) return false;
    return QFileInfo(paths::toNative(path)).isDir();
}

bool LocalFileSystem::createFolder(const QString& path)
{
    return !path.isEmpty() && QDir().mkpath(paths::toNative(path));
}

} // namespace tarnwick
