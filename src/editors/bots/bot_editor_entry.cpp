#include "editors/bots/bot_editor_entry.h"

#include "editors/bots/bot_roster.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "base/paths.h"

namespace tarnwick {

bool botEditorMayOpen(const QString& portFolder, FileSystem& files, MessageBox& messages)
{
    using Buttons = MessageBox::Buttons;
    using Icon = MessageBox::Icon;
    const QString errorTitle = QStringLiteral("ZDoom Cajun Bot Editor Error");

    // Found without regard to letter case, as the editor reads and writes it.
    const QString rosterFile = roster::RosterPath(portFolder);
    if (files.fileExists(rosterFile)) return true;

    if (!files.folderExists(portFolder)) {
        messages.show(QStringLiteral("The folder ZDoom folder - '") + portFolder
                          + QStringLiteral("' does not exist.  Make sure you enter a valid folder before "
                                           "attempting to start the Bot editor."),
                      errorTitle, Buttons::Ok, Icon::Exclamation);
        return false;
    }

    const QString question = QStringLiteral("Cannot find the Bots.cfg file - '") + rosterFile
                           + QStringLiteral("'.  Do you want to create a new one?");
    if (messages.show(question, QStringLiteral("ZDoom Cajun Bot Editor"), Buttons::YesNo, Icon::Question)
        != MessageBox::Answer::Yes)
        return false;

    const QString folder = paths::folderPart(rosterFile);
    if (!files.folderExists(folder) && !files.createFolder(folder)) {
        messages.show(QStringLiteral("An error occurred when attempting to create the folder '") + folder
                          + QStringLiteral("'.  Make sure it is possible to create a folder here before "
                                           "running the ZDoom Cajun Bot Editor"),
                      errorTitle, Buttons::Ok, Icon::Critical);
        return false;
    }
    return true;
}

} // namespace tarnwick
