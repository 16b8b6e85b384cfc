#pragma once

#include "doubles.h"

#include "shell/app_context.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>

namespace tarnwick::test {

// The platform doubles, built before the program that is given them.
struct RigDoubles
{
    ScriptedMessageBox messages;
    ScriptedFileDialog dialog;
    RecordingLauncher processes;
    RecordingOpener opener;
    LocalFileSystem fs;
};

// The whole model of the program as AppContext wires it, over a given store, with scripted
// dialogs and a recording process launcher. Several rigs may share a store: that is a later
// start of the program.
struct CoreRig : RigDoubles, AppContext
{
    explicit CoreRig(SettingsStore& s) : AppContext(s, {messages, dialog, processes, opener, fs}) {}

    GameOptionsController& game = gamePage;
    PlayOptionsController& play = playPage;
    SoundVideoController& sound = soundPage;
    MiscController& misc = miscPage;

    LaunchProfile& p() { return session.profile(); }
    QString command() const { return session.commandText(); }
};

// A save game as the port writes it: a PNG signature, text chunks, an end chunk. Only what
// the list reads is there; the picture data is not needed.
inline QByteArray saveGameBytes(const QList<QPair<QByteArray, QByteArray>>& fields)
{
    auto chunk = [](const char* type, const QByteArray& data) {
        char be[4];
        qToBigEndian(quint32(data.size()), be);
        return QByteArray(be, 4) + type + data + QByteArray(4, '\0');
    };
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    for (const auto& f : fields) bytes += chunk("tEXt", f.first + '\0' + f.second);
    return bytes + chunk("IEND", {});
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace tarnwick::test
