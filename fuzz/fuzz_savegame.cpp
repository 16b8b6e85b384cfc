// The save-game reader on any bytes: it ends, reads only what a row can show, and scanning
// the same bytes as a file in a folder gives the same row and goes on to the next save. The
// picture read from the same file is made of the file's own chunks.

#include "fuzz_check.h"

#include "formats/savegame_scan.h"

#include <QFile>

#include <cstddef>
#include <cstdint>

using namespace tarnwick;

namespace {

constexpr qsizetype kLongestCell = 64 * 1024;

QByteArray rowText(const SaveGameRow& row)
{
    QByteArray text;
    for (const QString& cell : row.cells) text += cell.toUtf8().left(200) + " | ";
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input input(data, size);
    const QByteArray& bytes = input.bytes;
    SaveGameRow row;
    const bool whole = readSaveGame(input.device, row);
    for (const QString& cell : row.cells)
        fuzz::check(cell.size() <= kLongestCell, "a cell holds at most what a text chunk's first 64 KiB give");

    // The same bytes as the first of two saves in a folder.
    static const QString folder = fuzz::scratchFolder("savegame");
    static const bool next = [] {
        QFile f(folder + QStringLiteral("/b.zds"));
        const QByteArray good("\x89PNG\r\n\x1a\n\0\0\0\x0atEXtTitle\0next\0\0\0\0\0\0\0\0IEND\0\0\0\0", 42);
        return f.open(QIODevice::WriteOnly) && f.write(good) == good.size();
    }();
    fuzz::check(next, "the second save is written");
    QFile file(folder + QStringLiteral("/a.zds"));
    fuzz::check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
                "the save is written");
    file.close();

    // The picture: nothing, or the file's own chunks up to its image data and an end chunk.
    const QByteArray picture = readSavePicture(file.fileName());
    fuzz::check(picture.isEmpty() || (picture.startsWith(bytes.left(8)) && picture.endsWith(QByteArray("IEND\xae\x42\x60\x82", 8)) &&
                                      picture.size() <= bytes.size() + 12),
                "a picture is made of the save's own chunks");

    const SaveGameFolder scan = scanSaveGameFolder(folder);
    fuzz::check(scan.files == QStringList({"a.zds", "b.zds"}), "both saves are listed");
    fuzz::check(!scan.rows.isEmpty() && scan.rows.first().cells == row.cells, "the file gives the device's row",
                rowText(row) + "\n" + (scan.rows.isEmpty() ? QByteArray() : rowText(scan.rows.first())));
    fuzz::check(scan.completed == whole, "only a broken save ends the scan");
    if (whole) fuzz::check(scan.rows.size() == 2 && scan.rows.at(1).cells[0] == QStringLiteral("next"), "the scan goes on");
    return 0;
}
