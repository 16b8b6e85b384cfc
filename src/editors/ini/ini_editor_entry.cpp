#include "editors/ini/ini_editor_entry.h"

#include "launch/port_config_files.h"
#include "platform/file_system.h"
#include "platform/message_box.h"

namespace tarnwick {

bool iniEditorMayOpen(const QString& portFolder, const QString& exeLocation, FileSystem& files,
                      MessageBox& messages)
{
    if (!portconfig::findExecutable(portFolder, exeLocation, files).isEmpty()) return true;
    messages.show(QStringLiteral("Cannot find the correct the correct ZDoom files.  Make sure that the "
                                 "'ZDoom folder' TextBox is set to where the files are."),
                  QStringLiteral("Configuration File Editor Error"), MessageBox::Buttons::Ok,
                  MessageBox::Icon::Exclamation);
    return false;
}

} // namespace tarnwick
