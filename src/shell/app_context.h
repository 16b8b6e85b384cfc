#pragma once

#include "launch/launch_session.h"
#include "launch/launcher.h"
#include "pages/game/game_options_controller.h"
#include "pages/game/install_search.h"
#include "pages/game/iwad_locations.h"
#include "pages/game/save_wads.h"
#include "pages/play/play_options_controller.h"
#include "pages/secondary/gameplay_flags.h"
#include "pages/secondary/secondary_controllers.h"
#include "platform/document_opener.h"
#include "platform/file_dialog.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/process_launcher.h"
#include "settings/history.h"
#include "binding/persistence.h"
#include "settings/settings_file_commands.h"
#include "settings/settings_store.h"
#include "platform/file_chooser.h"
#include "shell/main_controller.h"

#include <QDir>

namespace tarnwick {

// The platform services the program is given: the real desktop, or test doubles.
struct Platform
{
    MessageBox& messages;
    FileDialog& dialogs;
    ProcessLauncher& processes;
    DocumentOpener& opener;
    FileSystem& fs;
    // Where the first start looks for a port and game WADs; none unless given.
    SearchPlaces installPlaces = {};
};

// Every model object of one running program, wired together in dependency order.
// The views receive references into it.
struct AppContext
{
    AppContext(SettingsStore& settings, Platform p)
        : store(settings), platform(p), histories(store), chooser(p.dialogs, p.fs, QDir::homePath()),
          gamePage(session, chooser, p.fs),
          playPage(session, store, histories, chooser, p.fs, gamePage), soundPage(session),
          miscPage(session), flags(session), obsolete(session, chooser),
          persistence(store, session, {gamePage, playPage, soundPage, miscPage, flags, obsolete}),
          launcher(session, histories, p.processes, p.messages, chooser, p.fs),
          iwads(store, chooser, gamePage, playPage), installs(store, session, gamePage, p.installPlaces),
          saveWads(session, store, histories, p.fs, p.messages, gamePage, playPage),
          main({store, session, histories, persistence, p.messages, p.fs, p.opener, gamePage, playPage,
                soundPage, miscPage, flags, obsolete, installs}),
          settingsFiles(store, chooser, p.messages, [this] { main.saveSettingsNow(); },
                        [this] { persistence.Set_Imp(); })
    {
        main.setSettingsImporter([this](const QString& path) { return settingsFiles.importFromArgument(path); });
    }

    SettingsStore& store;
    Platform platform;
    LaunchSession session;
    Histories histories;
    FileChooser chooser;
    GameOptionsController gamePage;
    PlayOptionsController playPage;
    SoundVideoController soundPage;
    MiscController miscPage;
    GameplayFlagsController flags;
    ObsoleteController obsolete;
    Persistence persistence;
    Launcher launcher;
    IwadLocations iwads;
    InstallSearch installs;
    SaveWads saveWads;
    MainController main;
    SettingsFileCommands settingsFiles;
};

} // namespace tarnwick
