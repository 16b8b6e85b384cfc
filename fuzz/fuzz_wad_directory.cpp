// Feeds arbitrary bytes to the WAD and archive directory reader through a real file, since
// the reader works on files with positioned reads, then reads every entry and the titles.
#include "formats/map_info.h"
#include "formats/wad_directory.h"

#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QTemporaryFile file;
    if (!file.open()) return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.flush();
    if (auto resource = tarnwick::ResourceFile::open(file.fileName())) {
        for (qsizetype i = 0; i < resource->entries().size() && i < 64; ++i) resource->read(i, 1 << 16);
    }
    tarnwick::readWadMapInfo(file.fileName());
    return 0;
}
