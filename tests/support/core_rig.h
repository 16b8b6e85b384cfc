#pragma once

#include "doubles.h"

#include "launch/launch_session.h"
#include "launch/launcher.h"
#include "pages/game/game_options_controller.h"
#include "pages/game/iwad_locations.h"
#include "pages/play/play_options_controller.h"
#include "pages/secondary/gameplay_flags.h"
#include "pages/secondary/secondary_controllers.h"
#include "platform/file_system.h"
#include "settings/history.h"
#include "settings/persistence.h"
#include "settings/settings_store.h"
#include "shell/file_chooser.h"
#include "shell/main_controller.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>

namespace tarnwick::test {

// The whole model of the program wired as the main window wires it, over a given store,
// with scripted dialogs and a recording process launcher. Several rigs may share a store:
// that is a later start of the program.
struct CoreRig
{
    explicit CoreRig(SettingsStore& s) : store(s) {}

    SettingsStore& store;
    LaunchSession session;
    Histories histories{store};
    ScriptedFileDialog dialog;
    FileChooser chooser{dialog};
    LocalFileSystem fs;
    ScriptedMessageBox messages;
    RecordingLauncher processes;
    RecordingOpener opener;
    GameOptionsController game{session, chooser, fs};
    PlayOptionsController play{session, store, histories, chooser, fs, game};
    SoundVideoController sound{session};
    MiscController misc{session};
    GameplayFlagsController flags{session};
    ObsoleteController obsolete{session, chooser};
    Persistence persistence{store, session, {game, play, sound, misc, flags, obsolete}};
    IwadLocations iwads{store, chooser, game, play};
    Launcher launcher{session, histories, processes, messages, chooser, fs};
    MainController main{{store, session, histories, persistence, messages, fs, opener, game, play, sound, misc, flags, obsolete}};

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
