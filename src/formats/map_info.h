#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace tarnwick {

// What one map WAD or archive says about its maps.
struct WadMapInfo
{
    QStringList maps;               // maps it holds (map lumps, or maps/*.wad in an archive)
    QHash<QString, QString> titles; // map name -> title given by its map information
    QHash<QString, QString> strings; // LANGUAGE and DEHACKED strings by upper-case name
    QString error;                  // why the file could not be read; empty when it was
};

// Reads the maps and titles of one file: a WAD, a .pk3/.zip archive, or a plain DeHackEd
// patch (.deh/.bex). Never throws; a file that cannot be read gives an empty result with
// the reason in `error`.
//
// Within a file, LANGUAGE and DEHACKED strings are read first, so that a map information
// entry's `lookup KEY` finds the file's own strings; then UMAPINFO, MAPINFO and ZMAPINFO
// in that order, a later one replacing an earlier title of the same map.
WadMapInfo readWadMapInfo(const QString& path);

namespace mapinfo {

// A map's name as the port matches it: "map7", "MAP07" and Hexen's "7" are all "MAP07",
// "e1m1" is "E1M1"; any other name comes back in upper case.
QString normalizedMapName(const QString& name);

// The map number of "MAPnn" (0 when it is no such name), and episode and map of "ExMy".
int mapNumber(const QString& normalized);
bool episodeMap(const QString& normalized, int& episode, int& map);

// A level-name string without the "level 7: " or "E1M1: " the game's own strings start with.
QString titleFromString(const QString& levelString);

// The parsers, each adding to what it is given. Unknown or broken statements are skipped.
void readLanguage(const QString& text, QHash<QString, QString>& strings);
void readDehacked(const QString& text, QHash<QString, QString>& strings);
// MAPINFO and ZMAPINFO (`map MAP07 "Title"`, `map MAP07 lookup KEY`) and UMAPINFO
// (`map MAP07 { levelname = "Title" }`) share one reader.
void readMapInfo(const QString& text, const QHash<QString, QString>& strings, QHash<QString, QString>& titles);

} // namespace mapinfo

} // namespace tarnwick
