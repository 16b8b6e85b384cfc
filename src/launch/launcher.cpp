#include "launch/launcher.h"

#include "base/about.h"
#include "base/paths.h"
#include "launch/launch_command.h"
#include "launch/launch_check.h"
#include "launch/launch_session.h"
#include "platform/file_chooser.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/process_launcher.h"
#include "settings/history.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>

namespace tarnwick {

namespace {

// The command's arguments without the executable: every "<exe> " is taken out, as the
// batch file calls the port by its plain name from its own folder.
QString argumentsOf(const QString& exe, const QString& command)
{
    if (exe.isEmpty()) return command;
    QString args = command;
    args.remove(exe + u' ');
    return args;
}

#ifdef Q_OS_WIN
const QLatin1StringView kScriptFilters("MS-DOS Batch File (*.bat)|*.bat|");
bool isShellScriptName(const QString& path)
{
    return path.endsWith(QLatin1StringView(".sh"), Qt::CaseInsensitive);
}
#else
// A batch file does not start anything here, so the shell script comes first and a name
// without ".bat" gets one.
const QLatin1StringView kScriptFilters("Shell script (*.sh)|*.sh|MS-DOS Batch File (*.bat)|*.bat|");
bool isShellScriptName(const QString& path)
{
    return !path.endsWith(QLatin1StringView(".bat"), Qt::CaseInsensitive);
}
#endif

} // namespace

Launcher::Launcher(LaunchSession& session, Histories& histories, ProcessLauncher& processes,
                   MessageBox& messages, FileChooser& chooser, FileSystem& fs)
    : m_session(session), m_histories(histories), m_processes(processes), m_messages(messages),
      m_chooser(chooser), m_fs(fs)
{
}

void Launcher::run()
{
    const LaunchProfile& p = m_session.profile();
    const QString command = m_session.commandText();
    const LaunchCommand launch = launchCommand(command, p.txtFol, QDir::homePath());

    ProcessLauncher::Failure failure;
    bool started = false;
    // Files the line names that are missing are listed first; the player may run anyway.
    if (m_fs.folderExists(launch.folder) && !confirmMissingFiles(launch)) return;
    const QString program = programToStart(launch.program, launch.folder);
    if (!m_fs.folderExists(launch.folder) || program.isEmpty())
        failure = ProcessLauncher::systemFailure(ENOENT);
    else
        started = m_processes.startDetached(program, launch.arguments, launch.folder, failure);

    if (!started) {
        m_messages.show(QStringLiteral("An error occurred when trying to run '") + command +
                            QStringLiteral("' - ") + failure.description + QStringLiteral(", ") +
                            QString::number(failure.number) +
                            QStringLiteral(".  Make sure that the ZDoom EXE location ('") + p.txtEXE +
                            QStringLiteral("') is valid.  Also check that the ZDoom folder is valid ('") +
                            p.txtFol + QStringLiteral("')."),
                        QStringLiteral("Run Error"), MessageBox::Buttons::Ok, MessageBox::Icon::Critical);
        return;
    }
    recordLaunch();
}

bool Launcher::confirmMissingFiles(const LaunchCommand& launch)
{
    const QStringList missing = missingLaunchFiles(launch, m_fs);
    if (missing.isEmpty()) return true;
    const bool one = missing.size() == 1;
    const QString text = (one ? QStringLiteral("This file named on the command line does not exist:")
                              : QStringLiteral("These files named on the command line do not exist:")) +
                         QStringLiteral("\n\n") + missing.join(u'\n') +
                         QStringLiteral("\n\nThe game may stop with an error or run without ") +
                         (one ? QStringLiteral("it.") : QStringLiteral("them."));
    return m_messages.show(text, QStringLiteral("Missing Files"), MessageBox::Buttons::RunAnywayCancel,
                           MessageBox::Icon::Exclamation) == MessageBox::Answer::RunAnyway;
}

void Launcher::recordLaunch()
{
    const LaunchProfile& p = m_session.profile();
    const struct
    {
        const QString& text;
        const char* list;
        History box;
    } launches[] = {
        {p.txtEXE, "ZEXE", History::ZEXE},       {p.txtFol, "ZFolder", History::ZFolder},
        {p.txtINI, "Config", History::Config},   {p.txtIWAD, "IWAD", History::IWAD},
        {p.txtParm, "Parm", History::Parm},      {p.txtLMP, "Demo", History::Demo},
        {p.txtJoin, "Join", History::Join},      {p.txtEC, "EC", History::EC},
        {p.txtNET, "Net", History::Net},         {p.txtTransFile, "Transfile", History::TransFile},
    };
    for (const auto& l : launches) m_histories.CmbProc(l.text, QString::fromLatin1(l.list), l.box);
}

QString Launcher::batchText(const QString& folder, const QString& exe, const QString& command)
{
    const QString eol = QStringLiteral("\r\n");
    return QStringLiteral("@echo off") + eol + folder.left(1) + u':' + eol + QStringLiteral("cd ") +
           folder + eol + QStringLiteral("zdoom ") + argumentsOf(exe, command) + eol +
           QStringLiteral("echo Generated by Tarnwick - ") + about::description() + eol +
           QStringLiteral("echo Tarnwick version: ") + about::version() + eol;
}

void Launcher::exportBatch()
{
    const LaunchProfile& p = m_session.profile();
    const QString title = QStringLiteral("Export .bat File");
    if (p.txtFol.isEmpty()) {
        m_messages.show(QStringLiteral("The ZDoom folder TextBox must not be empty.  Please put "
                                       "something in this TextBox and try again"),
                        title, MessageBox::Buttons::Ok, MessageBox::Icon::Exclamation);
        return;
    }
    const QString chosen = m_chooser.FileDialogSave(title, kScriptFilters);
    if (chosen.isEmpty()) return;
    const QString path = paths::unquoted(chosen);
    const bool script = isShellScriptName(path);
    const QString command = m_session.commandText();
    const QString text = script ? shellScriptText(launchCommand(command, p.txtFol, QDir::homePath()))
                                : batchText(p.txtFol, p.txtEXE, command);

    QSaveFile file(paths::toNative(path));
    errno = 0;
    bool ok = file.open(QIODevice::WriteOnly);
    int number = errno;
    QString description = file.errorString();
    if (ok) {
        ok = file.write(text.toLocal8Bit()) >= 0 && file.commit();
        number = errno;
        description = file.errorString();
    }
    // rwxr-xr-x, whatever the file had before and whatever the umask says.
    const QFileDevice::Permissions executable = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::ExeOther;
    if (ok && script) {
        QFile written(file.fileName());
        ok = written.setPermissions(executable);
        number = errno;
        description = written.errorString();
    }
    if (!ok) {
        if (number == 0) number = EIO;
        m_messages.show(QStringLiteral("An error occurred when trying to export the batch file '") +
                            path + QStringLiteral("': ") + description + QStringLiteral(", ") +
                            QString::number(number),
                        QStringLiteral("Export .bat File Error"), MessageBox::Buttons::Ok,
                        MessageBox::Icon::Exclamation);
    }
}

} // namespace tarnwick
