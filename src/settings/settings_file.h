#pragma once

#include <QList>
#include <QPair>
#include <QString>

class QIODevice;

namespace tarnwick {

class SettingsStore;

// A settings file (.twk) holds the option values of section "Tarnwick\Settings" in the
// Windows registry editor's export format, so the same file can be made or read by the
// registry tool on Windows and by this program anywhere:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Orlem Brask\Tarnwick\Settings]
//   "1ZEXE"="C:\\Games\\zdoom.exe"
//
// Files are written as version 5.00: UTF-16LE with a byte-order mark and CR LF line ends.
// Files are read in that form, in the older "REGEDIT4" 8-bit form (Windows-1252) and in
// UTF-8 with or without a byte-order mark. Only the string values of the settings key
// are read; other keys, default values, numbers, binary data and comments are passed
// over, and deletion entries are ignored.
using SettingsEntries = QList<QPair<QString, QString>>;

// The registry path of the settings section, as the file names it.
QString settingsRegistryKey();

// Writes the entries as a version 5.00 file. False, with the reason in `error`, when the
// device refuses the bytes.
bool writeSettingsFile(QIODevice& device, const SettingsEntries& entries, QString* error = nullptr);

// Reads the string values of the settings key, in file order. False, with the reason in
// `error` and `entries` untouched, when the data is not a registry file holding that key
// (no header, binary data, a truncated or malformed line, an odd-length UTF-16 text).
bool readSettingsFile(QIODevice& device, SettingsEntries& entries, QString* error = nullptr);

// Every key of the settings section, in the case it was written, and nothing else. The
// file is replaced only once it is complete.
bool exportSettingsFile(const SettingsStore& store, const QString& path, QString* error = nullptr);

// Writes the file's values into the settings section in one transaction; keys the file
// does not name keep their values. A file that cannot be read as a settings file leaves
// the store as it was.
bool importSettingsFile(SettingsStore& store, const QString& path, QString* error = nullptr);

} // namespace tarnwick
