#pragma once

#include <QString>

namespace tarnwick {

class FileSystem;
class MessageBox;

// The main window's "ZDoom Cajun Bot Editor..." command up to the point where the editor
// opens: an existing roster opens at once; otherwise the port folder must exist, the
// user is asked whether to create a new roster, and the zcajun folder is created when it
// is missing. Every refusal and failure is reported here. True when the editor should
// open (it then starts from the default roster if there is no file yet).
bool botEditorMayOpen(const QString& portFolder, FileSystem& files, MessageBox& messages);

} // namespace tarnwick
