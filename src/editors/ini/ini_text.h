#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tarnwick::initext {

// The port keeps its configuration in 8-bit text: the Windows Western code page, which
// is Latin-1 with printable characters in 0x80..0x9F. The five bytes that code page
// leaves unassigned map to the control characters of the same number, so every byte
// sequence survives a read and a write unchanged.
QString decode(QByteArrayView bytes);

// Characters the code page cannot hold become "?"; nothing else is touched.
QByteArray encode(QStringView text);

} // namespace tarnwick::initext
