#pragma once

#include "formats/map_info.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QStringList>

namespace tarnwick {

// The map a row of a game's map list warps to ("MAP07", "E1M1"), read the way the command
// line reads the row; empty for no row or a game without a map list.
QString mapOfRow(int game, int row, const QString& text);

// The play page's map rows for `game` with the titles that `files` (in load order) give:
// the catalog's rows in the catalog's format with a file's title in place of the game's
// own, the last file that names a map winning, then the maps the files add beyond the
// game's list as extra rows in map order. When no file gives any title, the rows are
// exactly the catalog's.
QStringList titledMapRows(int game, const QList<WadMapInfo>& files);

// Map WADs read once per file version: a file is read again only when its size or time
// of last change differs from the copy kept.
class MapWadCache
{
public:
    WadMapInfo info(const QString& path);

private:
    struct Kept
    {
        qint64 size = -1;
        QDateTime modified;
        WadMapInfo info;
    };
    QHash<QString, Kept> m_files;
};

} // namespace tarnwick
