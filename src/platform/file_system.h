#pragma once

#include <QString>

namespace tarnwick {

// Existence tests and folder creation. Paths are tested as given; callers remove any
// double quotes first where the rule says so.
class FileSystem
{
public:
    virtual ~FileSystem() = default;
    virtual bool fileExists(const QString& path) const = 0;
    virtual bool folderExists(const QString& path) const = 0;
    virtual bool createFolder(const QString& path) = 0;
};

// The real file system, through QFileInfo and QDir. Both "\" and "/" are separators.
class LocalFileSystem final : public FileSystem
{
public:
    bool fileExists(const QString& path) const override;
    bool folderExists(const QString& path) const override;
    bool createFolder(const QString& path) override;
};

} // namespace tarnwick
