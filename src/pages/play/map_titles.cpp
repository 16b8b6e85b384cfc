#include "pages/play/map_titles.h"

#include "pages/play/game_catalog.h"

#include <QFileInfo>

#include <algorithm>

namespace tarnwick {

namespace {

// Doom and Heretic name their maps by episode and map, the others by number.
bool episodic(int game) { return game == 0 || game == 4; }

// The game's own level-name string of a map, which a file's LANGUAGE or DEHACKED replaces.
QString levelStringKey(int game, const QString& map)
{
    int e = 0;
    int m = 0;
    if (episodic(game)) {
        if (!mapinfo::episodeMap(map, e, m)) return {};
        return (game == 4 ? QStringLiteral("HHUSTR_") : QStringLiteral("HUSTR_")) + map;
    }
    const int n = mapinfo::mapNumber(map);
    if (n == 0) return {};
    switch (game) {
    case 1: return QStringLiteral("HUSTR_%1").arg(n);
    case 2: return QStringLiteral("PHUSTR_%1").arg(n);
    case 3: return QStringLiteral("THUSTR_%1").arg(n);
    default: return {}; // Hexen names its maps in MAPINFO only
    }
}

QString titleOf(int game, const QString& map, const QList<WadMapInfo>& files)
{
    const QString key = levelStringKey(game, map);
    for (auto f = files.crbegin(); f != files.crend(); ++f) {
        if (const auto t = f->titles.constFind(map); t != f->titles.constEnd()) return *t;
        if (key.isEmpty()) continue;
        if (const auto s = f->strings.constFind(key); s != f->strings.constEnd()) {
            const QString title = mapinfo::titleFromString(*s);
            if (!title.isEmpty()) return title;
        }
    }
    return {};
}

// Whether a map belongs to the game's naming (and so can have a row of its own).
bool fitsGame(int game, const QString& map)
{
    int e = 0;
    int m = 0;
    return episodic(game) ? mapinfo::episodeMap(map, e, m) : mapinfo::mapNumber(map) > 0;
}

// The text before the colon of a row: "E5M1" or "33".
QString rowLabel(int game, const QString& map)
{
    return episodic(game) ? map : QString::number(mapinfo::mapNumber(map));
}

bool mapOrder(const QString& a, const QString& b)
{
    const int na = mapinfo::mapNumber(a);
    const int nb = mapinfo::mapNumber(b);
    if (na != nb) return na < nb;
    return a < b; // ExMy sorts by episode, then map
}

} // namespace

QString mapOfRow(int game, int row, const QString& text)
{
    if (row < 0) return {};
    if (episodic(game)) return mapinfo::normalizedMapName(text.left(4));
    const qsizetype colon = text.indexOf(u':');
    switch (game) {
    case 1:
    case 2:
    case 3:
        // The catalog's 32 rows are maps 1 to 32 by position; rows a file adds say their map.
        if (row < 32) return mapinfo::normalizedMapName(QString::number(row + 1));
        [[fallthrough]];
    case 5:
        return colon < 0 ? QString() : mapinfo::normalizedMapName(text.left(colon));
    default:
        return {};
    }
}

QStringList titledMapRows(int game, const QList<WadMapInfo>& files)
{
    QStringList rows = catalog::mapRows(game);
    if (rows.isEmpty() || files.isEmpty()) return rows;

    QStringList catalogMaps;
    QStringList titled = rows;
    bool anyTitle = false;
    for (int i = 0; i < rows.size(); ++i) {
        const QString map = mapOfRow(game, i, rows.at(i));
        catalogMaps.append(map);
        const QString title = titleOf(game, map, files);
        if (title.isEmpty()) continue;
        anyTitle = true;
        titled[i] = rows.at(i).left(rows.at(i).indexOf(u':')) + QStringLiteral(": ") + title;
    }

    QStringList extra;
    for (const WadMapInfo& f : files) {
        QStringList maps = f.maps;
        maps.append(f.titles.keys());
        for (const QString& map : maps)
            if (fitsGame(game, map) && !catalogMaps.contains(map) && !extra.contains(map)) extra.append(map);
    }
    std::sort(extra.begin(), extra.end(), mapOrder);
    QStringList extraRows;
    for (const QString& map : extra) {
        QString title = titleOf(game, map, files);
        anyTitle = anyTitle || !title.isEmpty();
        extraRows.append(rowLabel(game, map) + QStringLiteral(": ") + (title.isEmpty() ? map : title));
    }
    return anyTitle ? titled + extraRows : rows;
}

WadMapInfo MapWadCache::info(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile()) {
        m_files.remove(path);
        return readWadMapInfo(path); // says why in its error
    }
    Kept& kept = m_files[path];
    const QDateTime modified = file.lastModified();
    if (kept.size != file.size() || kept.modified != modified) {
        kept.info = readWadMapInfo(path);
        kept.size = file.size();
        kept.modified = modified;
    }
    return kept.info;
}

} // namespace tarnwick
