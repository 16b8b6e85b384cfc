#pragma once

#include "doubles.h"

#include "settings/settings_file.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QtEndian>

// Files and message boxes as values a test compares at once, and the files it makes.
namespace tarnwick::test {

// The whole file, or "<unreadable>" when it cannot be read.
inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline bool putFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A settings file as the program exports it, holding `entries`.
inline bool putSettingsFile(const QString& path, const SettingsEntries& entries)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && writeSettingsFile(f, entries);
}

// A message box as one line: "title|text|buttons|icon".
inline QString prompt(const QString& title, const QString& text, MessageBox::Buttons buttons, MessageBox::Icon icon)
{
    return QStringLiteral("%1|%2|%3|%4").arg(title, text).arg(int(buttons)).arg(int(icon));
}

// Every message box the scripted box has shown, in order.
inline QStringList shown(const ScriptedMessageBox& box)
{
    QStringList lines;
    for (const auto& p : box.prompts) lines << prompt(p.title, p.text, p.buttons, p.icon);
    return lines;
}

// A PNG chunk as the port writes it; `length` overrides the length field for broken files.
inline QByteArray pngChunk(const char* type, const QByteArray& data, qint64 length = -1)
{
    char be[4];
    qToBigEndian(quint32(length < 0 ? data.size() : length), be);
    return QByteArray(be, 4) + type + data + QByteArray(4, '\0');
}

// A save game: a PNG signature, a text chunk per field, an end chunk; no picture data.
inline QByteArray saveGameBytes(const QList<QPair<QByteArray, QByteArray>>& fields)
{
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    for (const auto& f : fields) bytes += pngChunk("tEXt", f.first + '\0' + f.second);
    return bytes + pngChunk("IEND", {});
}

// "name:kind" save files in `folder`, titled by their name: wad (with a game WAD field),
// nowad (without one), foreign (not a PNG), broken (a text chunk without its zero separator).
inline bool makeSaves(const QString& folder, const QStringList& files)
{
    bool ok = true;
    for (const QString& f : files) {
        const QString kind = f.section(u':', 1), name = f.section(u':', 0, 0);
        QByteArray bytes = kind == QLatin1StringView("wad") ? saveGameBytes({{"Title", name.toUtf8()}, {"Game WAD", "D"}})
                                                            : saveGameBytes({{"Title", name.toUtf8()}});
        if (kind == QLatin1StringView("foreign")) bytes = "not a picture";
        if (kind == QLatin1StringView("broken")) bytes = bytes.left(8) + QByteArray("\0\0\0\5tEXtTitle\0\0\0\0", 17);
        ok = putFile(folder + u'/' + name + QStringLiteral(".zds"), bytes) && ok;
    }
    return ok;
}

} // namespace tarnwick::test
