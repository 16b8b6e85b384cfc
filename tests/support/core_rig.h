#pragma once

#include "doubles.h"
#include "snapshots.h"
#include "temp_store.h"

#include "shell/app_context.h"

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
// start of the program. The first start searches only the places given.
struct CoreRig : RigDoubles, AppContext
{
    explicit CoreRig(SettingsStore& s, SearchPlaces places = {})
        : AppContext(s, {messages, dialog, processes, opener, fs, std::move(places)})
    {
    }

    GameOptionsController& game = gamePage;
    PlayOptionsController& play = playPage;
    SoundVideoController& sound = soundPage;
    MiscController& misc = miscPage;

    LaunchProfile& p() { return session.profile(); }
    QString command() const { return session.commandText(); }
};

// A fresh program over a settings file of its own. Without the flag words, command lines
// show only the pages' part.
struct Program
{
    TempStore t;
    CoreRig r{t.store};

    explicit Program(bool flagWords = true)
    {
        if (!flagWords) r.flags.setAddToCommandLine(0);
        r.session.MainProc();
    }
};

} // namespace tarnwick::test
