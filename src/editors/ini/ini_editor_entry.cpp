#include "editors/ini/ini_editor_entry.h"

#include "platform/file_system.h"
#include "platform/message_box.h"
#include "base/paths.h"

namespace tarnwick {

bool iniEditorMayOpen(const QString& portFolder, FileSystem& files, MessageBox& messages)
{
    if (files.fileExists(paths::join(portFolder, paths::portExecutableName()))) return true;
    messages.show(QStringLiteral("Cannot find the correct the correct ZDoom files.  Make sure that the "
                                 "'ZDoom folder' TextBox is set to where the files are."),
                  QStringLiteral("Configuration File Editor Error"), MessageBox::Buttons::Ok,
                  MessageBox::Icon::Exclamation);
    return false;
}

} // namespace tarnwick
