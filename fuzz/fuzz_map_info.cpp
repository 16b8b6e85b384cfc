// Feeds arbitrary text to the readers of LANGUAGE, DEHACKED and (Z/U)MAPINFO lumps, each
// reader getting what the one before it found, as a map WAD's lumps do.
#include "formats/map_info.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QHash<QString, QString> strings;
    QHash<QString, QString> titles;
    tarnwick::mapinfo::readLanguage(text, strings);
    tarnwick::mapinfo::readDehacked(text, strings);
    tarnwick::mapinfo::readMapInfo(text, strings, titles);
    for (const QString& t : std::as_const(titles)) tarnwick::mapinfo::titleFromString(t);
    return 0;
}
