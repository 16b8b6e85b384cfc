#pragma once

#include <QByteArray>
#include <QString>

class QFile;
class QIODevice;

// Opening and reading the port's own files (save games, map WADs, archives, patches), which
// may be anything a player's folder holds.
namespace tarnwick::plainfile {

// Opens a plain file for positioned reads, unbuffered so that an 8-byte header costs 8
// bytes rather than a buffer's worth. On Unix the file is opened without blocking and
// checked to be a regular file on the open descriptor, so a FIFO or device put in the
// file's place can neither stall the program nor feed it endless bytes. A missing file is
// NotPlain; Failed puts the system's reason into `reason` when given.
enum class Open { Done, NotPlain, Failed };
Open open(QFile& file, const QString& path, QString* reason = nullptr);

// Reads up to `count` bytes at `offset` into `into`; fewer at the end of the file, which
// is not an error. Returns the number read, or -1 on a read error.
qint64 readAt(QIODevice& file, qint64 offset, char* into, qint64 count);
// The same as bytes: shorter at the end of the file, empty on an error or a negative place.
QByteArray readAt(QIODevice& file, qint64 offset, qint64 count);

} // namespace tarnwick::plainfile
