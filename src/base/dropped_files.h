#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

// Files dragged onto the program from a file manager arrive as a list of addresses.
namespace tarnwick::drops {

// The local files among `urls`, in order; empty when anything else comes along (a web
// address), so such a drag is refused as a whole.
QStringList localFiles(const QList<QUrl>& urls);

// True when there is at least one path and every one ends in a dot and one of the blank-
// separated `endings` ("wad pk3"), in any letter case.
bool allEndIn(const QStringList& paths, const char* endings);

} // namespace tarnwick::drops
