#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tarnwick::filetext {

// The two ways the port's own text files (its configuration, the bot roster) keep their
// text. Newer ports and Linux editors write UTF-8; older ones, and files edited on
// Windows, use the Western code page (Windows-1252). A file whose
// bytes are valid UTF-8 is taken as UTF-8 (plain ASCII and an empty file included), any
// other as Windows-1252, and the file keeps its encoding when a value is written.
enum class Encoding { Utf8, Windows1252 };

Encoding detect(QByteArrayView bytes);

// Windows-1252 is Latin-1 with printable characters in 0x80..0x9F; the five bytes that
// code page leaves unassigned map to the control characters of the same number, so every
// byte sequence survives a read and a write unchanged.
QString decode(QByteArrayView bytes, Encoding encoding = Encoding::Windows1252);

// In Windows-1252, characters the code page cannot hold become "?"; nothing else is
// touched.
QByteArray encode(QStringView text, Encoding encoding = Encoding::Windows1252);

} // namespace tarnwick::filetext
