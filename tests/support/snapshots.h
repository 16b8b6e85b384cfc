#pragma once

#include "doubles.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// Files and message boxes as values a test compares at once.
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

} // namespace tarnwick::test
