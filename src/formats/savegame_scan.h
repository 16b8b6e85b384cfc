#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

class QIODevice;

namespace tarnwick {

// The eight cells of one save game's row: Name, Game WAD, Map WAD, Map, Created,
// Map Name and Time, ZDoom Version, Save Version.
struct SaveGameRow
{
    std::array<QString, 8> cells;
};

struct SaveGameFolder
{
    QStringList files;       // the folder's *.zds file names (no folder), sorted by name
    QList<SaveGameRow> rows; // rows[i] belongs to files[i]; shorter than files when the scan ended early
    bool completed = false;  // false when an error ended the scan before the last file
};

// Lists and reads the save games of `folder`, whose text may end in "\" or "/".
//
// Only plain files whose names end in ".zds" (any letter case) are listed, the way a file
// list box would show them: folders, hidden (dot) files, FIFOs, sockets and devices are
// not, nor links to them, nor a file that turns into one (or vanishes) between the
// listing and its reading. Names are sorted without regard to letter case.
//
// A missing or empty folder, or an empty folder text, gives no files and counts as
// completed. A file that cannot be opened, or a text chunk without a zero separator,
// ends the scan: the rows read so far stay (the broken file's row as filled so far) and
// completed is false. Never throws, never leaves a file open.
SaveGameFolder scanSaveGameFolder(const QString& folder);

// Reads one save's row from a seekable device. A device that is no PNG image gives the
// row "<Different Version>". Reading past the end is no error: a text chunk cut short
// keeps the bytes that exist, a header cut short ends the walk. Of a text chunk at most
// its first 64 KiB are read, so time and memory are bounded by what a row shows and not
// by the chunk's length field; a keyword that does not end within them makes the chunk
// broken. False when the save is broken (a read error, a text chunk without its zero
// separator): the row holds what was read before.
bool readSaveGame(QIODevice& device, SaveGameRow& row);

// The picture of the save at `path` as a PNG image of its own: the chunks up to the end of
// the image data, then IEND. The game's state that follows the picture in the file is
// never read. Empty when the file is no PNG image, holds no image data, cannot be read, or
// its picture would take more than 16 MiB.
QByteArray readSavePicture(const QString& path);

// Statistics for the benchmark: bytes read by the last scan on this thread.
qint64 lastScanBytesRead();

} // namespace tarnwick
