#pragma once

#include <QString>
#include <QStringList>

namespace tarnwick {

class FileChooser;
class FileSystem;
class Histories;
class LaunchSession;
struct LaunchCommand;
class MessageBox;
class ProcessLauncher;

// Starts the port with the command box's text as it stands (hand edits included) and
// writes the same launch as a batch file or shell script.
class Launcher
{
public:
    Launcher(LaunchSession& session, Histories& histories, ProcessLauncher& processes,
             MessageBox& messages, FileChooser& chooser, FileSystem& fs);

    // "&Run game": start in the port folder, then remember the launch in the histories.
    void run();
    // "&Export .bat file...": a batch file for a ".bat" name; elsewhere than Windows any
    // other name gets a shell script that starts what run() starts.
    void exportBatch();

    // The six lines of the batch file, each ending in CR LF.
    static QString batchText(const QString& folder, const QString& exe, const QString& command);

private:
    // When files the command names are missing, one message lists them all; true when
    // the player runs the game anyway (or nothing is missing).
    bool confirmMissingFiles(const LaunchCommand& launch);
    void recordLaunch();

    LaunchSession& m_session;
    Histories& m_histories;
    ProcessLauncher& m_processes;
    MessageBox& m_messages;
    FileChooser& m_chooser;
    FileSystem& m_fs;
};

} // namespace tarnwick
