#pragma once

#include <QByteArray>
#include <QString>

namespace tarnwick {

// What writing a whole file came to.
struct FileWriteResult
{
    enum class Outcome {
        Written,
        ReadOnlyFile, // the file exists and may not be written (its mode, its file system)
        Folder,       // a folder stands where the file should be
        Failed,       // anything else; `reason` says what
    };
    // How the bytes reached the disk.
    enum class Method {
        None,     // they did not
        Created,  // a new file
        Replaced, // a new file renamed over the old one
        InPlace,  // the old file overwritten
    };

    Outcome outcome = Outcome::Failed;
    Method method = Method::None;
    int error = 0;  // the system's error number, 0 when written
    QString reason; // the system's own words for `error`, such as "Permission denied"

    bool ok() const { return outcome == Outcome::Written; }
};

// Writes `bytes` as the whole content of the file at `path` (native separators).
//
// An existing file is replaced atomically by default: the bytes go to a new file in the
// same folder, which takes the old one's permissions, owner and group and is then renamed
// over it, so a crash or a full disk leaves either the old file or the new one. The file
// is overwritten in place instead where a replacement would break something the player set
// up: when the folder may not be written (but the file may), when the file has more than
// one hard link, or when the new file could not be given the old one's owner or group. An
// in-place write reserves the space first and puts the old bytes back if writing fails.
//
// A file whose mode grants nobody the right to write is taken as marked read-only and
// refused even where the process could write it anyway (as the administrator can). A
// symbolic link is followed and its target written.
FileWriteResult writeFileContents(const QString& path, const QByteArray& bytes);

} // namespace tarnwick
