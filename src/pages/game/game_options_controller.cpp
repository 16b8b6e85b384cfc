#include "pages/game/game_options_controller.h"

#include <QDateTime>
#include <QFileInfo>

#include "launch/port_config_files.h"
#include "formats/savegame_scan.h"
#include "platform/file_system.h"
#include "platform/file_chooser.h"
#include "base/dropped_files.h"
#include "base/keep_numeric.h"
#include "base/paths.h"

namespace tarnwick {

GameOptionsController::GameOptionsController(LaunchSession& session, FileChooser& chooser,
                                             FileSystem& fs)
    : m_session(session), m_chooser(chooser), m_fs(fs)
{
}

void GameOptionsController::setText(QString LaunchProfile::*field, const QString& text)
{
    if (m_session.profile().*field == text) return;
    m_session.profile().*field = text;
    m_session.MainProc();
}

void GameOptionsController::setExe(const QString& text) { setText(&LaunchProfile::txtEXE, text); }
void GameOptionsController::setIni(const QString& text) { setText(&LaunchProfile::txtINI, text); }
void GameOptionsController::setIwad(const QString& text) { setText(&LaunchProfile::txtIWAD, text); }
void GameOptionsController::setParm(const QString& text) { setText(&LaunchProfile::txtParm, text); }
void GameOptionsController::setDemoFile(const QString& text) { setText(&LaunchProfile::txtLMP, text); }

void GameOptionsController::setFolder(const QString& text)
{
    if (m_session.profile().txtFol == text) return;
    m_session.profile().txtFol = text;
    rescanSaveGames();
}

void GameOptionsController::setMaxDemo(const QString& text)
{
    if (m_session.profile().txtMaxdemo == text) return;
    m_session.profile().txtMaxdemo = settleNumeric(text);
    m_session.MainProc();
}

void GameOptionsController::setResetLocations(int value)
{
    m_session.profile().chkReset = value;
    m_session.notify();
}

void GameOptionsController::setDemos(int value)
{
    if (m_session.profile().chkDemos == value) return;
    m_session.profile().chkDemos = value;
    m_session.MainProc(); // the demo controls follow chkDemos and the mode
}

void GameOptionsController::selectPlayDemo()
{
    m_session.profile().optPlay = true;
    m_session.profile().optRecord = false;
    m_session.MainProc();
}

void GameOptionsController::selectRecordDemo()
{
    m_session.profile().optRecord = true;
    m_session.profile().optPlay = false;
    m_session.MainProc();
}

void GameOptionsController::setTimeDemo(int value)
{
    if (m_session.profile().chkTimedemo == value) return;
    m_session.profile().chkTimedemo = value;
    m_session.MainProc();
}

void GameOptionsController::browseInto(QString LaunchProfile::*field,
                                       void (GameOptionsController::*set)(const QString&),
                                       const QString& title, const QString& filter, const QString& otherwise)
{
    const QString path = m_chooser.FileDialogOpen(title, filter, {m_session.profile().*field, otherwise});
    if (!path.isEmpty()) (this->*set)(path);
}

void GameOptionsController::browseExe()
{
    browseInto(&LaunchProfile::txtEXE, &GameOptionsController::setExe, QStringLiteral("Choose ZDoom.exe"),
               QStringLiteral("Application (*.exe)|*.exe|"));
}

void GameOptionsController::browseFolder()
{
    const QString folder =
        m_chooser.chooseFolder(QStringLiteral("Choose the folder that contains the ZDoom files:"),
                              {m_session.profile().txtFol});
    if (!folder.isEmpty()) setFolder(folder);
}

void GameOptionsController::browseIni()
{
    // A port that keeps its file in the player's configuration folder (as the Linux ports
    // do) has no INI file in its own folder: without a folder in the box, the dialog then
    // starts where the file is.
    const LaunchProfile& p = m_session.profile();
    const QString exe = portconfig::findExecutable(p.txtFol, p.txtEXE, m_fs);
    const QString start = portconfig::browseFolder(p.txtFol, portconfig::baseName(exe.isEmpty() ? p.txtEXE : exe));
    browseInto(&LaunchProfile::txtINI, &GameOptionsController::setIni, QStringLiteral("Choose a ZDoom Configuration File"),
               QStringLiteral("Configuration Settings (*.ini)|*.ini|CFG File (*.cfg)|*.cfg|"), start);
}

void GameOptionsController::browseIwad()
{
    browseInto(&LaunchProfile::txtIWAD, &GameOptionsController::setIwad, QStringLiteral("Choose an IWAD File"),
               QStringLiteral("Doom WAD File (*.wad)|*.wad|"));
}

void GameOptionsController::browseParm()
{
    browseInto(&LaunchProfile::txtParm, &GameOptionsController::setParm, QStringLiteral("Choose a Parameter File"),
               QStringLiteral("Text Document (*.txt)|*.txt|"));
}

void GameOptionsController::browseDemo()
{
    const QString filter = QStringLiteral("Doom Demo Files (*.lmp)|*.lmp|");
    const QString path =
        m_session.profile().optPlay
            ? m_chooser.FileDialogOpen(QStringLiteral("Choose a Demo File to Play"), filter, {m_session.profile().txtLMP})
            : m_chooser.FileDialogSave(QStringLiteral("Choose a Demo File to Record"), filter, {m_session.profile().txtLMP});
    if (!path.isEmpty()) setDemoFile(path);
}

bool GameOptionsController::takesDroppedDemo(const QStringList& paths)
{
    return paths.size() == 1 && drops::allEndIn(paths, "lmp");
}

void GameOptionsController::dropDemo(const QStringList& paths)
{
    if (takesDroppedDemo(paths)) setDemoFile(paths::quotedIfBlank(paths.first()));
}

void GameOptionsController::rescanSaveGames()
{
    LaunchProfile& p = m_session.profile();
    const int remembered = p.lvwLG;
    p.lvwLGRows.resize(1);
    p.lvwLG = 1;

    const QString folder = p.txtFol;
    // What was read ahead is for that folder only, and is taken once.
    const bool ahead = m_ahead.valid() && m_aheadFolder == folder;
    if (m_fs.folderExists(folder)) {
        const SaveGameFolder scan = ahead ? m_ahead.get().scan : scanSaveGameFolder(folder);
        p.ZDSsFiles = scan.files;
        p.lvwLGRows.append(scan.rows);
        // The selection is kept by position; a scan cut short by a bad file, or a row that
        // is gone, falls back to "<Do not load a game>".
        if (scan.completed && remembered >= 1 && remembered <= p.lvwLGRows.size())
            p.lvwLG = remembered;
    } else {
        p.ZDSsFiles.clear();
    }
    if (ahead) m_ahead = {};
    chooseSaveGame(p.lvwLG);
}

void GameOptionsController::readSaveGamesAhead(const QString& folder, int row)
{
    if (folder.isEmpty() || !m_fs.folderExists(folder)) return;
    try {
        m_ahead = std::async(std::launch::async, [folder, row] {
            SavesAhead ahead{scanSaveGameFolder(folder), {}, {}};
            // The row rescanSaveGames() will keep: the list's row 1 is "<Do not load a game>".
            const SaveGameFolder& scan = ahead.scan;
            const qsizetype save = row - 2;
            if (scan.completed && save >= 0 && save < scan.rows.size() && save < scan.files.size()) {
                const QString path = savePicturePath(folder, scan.rows.at(save), scan.files.at(save));
                if (!path.isEmpty()) {
                    ahead.pictureIdentity = savePictureIdentity(path);
                    ahead.picture = readSavePicture(path);
                }
            }
            return ahead;
        }).share();
        m_aheadFolder = folder;
    } catch (const std::system_error&) {
        // No thread to spare: the folder is read when the list is built.
    }
}

void GameOptionsController::chooseSaveGame(int row)
{
    LaunchProfile& p = m_session.profile();
    if (row < 1 || row > p.lvwLGRows.size()) return;
    p.lvwLG = row;
    p.ZDSs = row - 2;
    p.wbPic = savePicturePath(p.txtFol, p.lvwLGRows.at(row - 1), p.selectedSaveFile());
    m_session.MainProc();
}

QString GameOptionsController::savePicturePath(const QString& folder, const SaveGameRow& row, const QString& file)
{
    // Saves without a game WAD field (and foreign files) have no picture to show.
    return row.cells[1].isEmpty() || file.isEmpty() ? QString() : paths::join(paths::toNative(folder), file);
}

QString GameOptionsController::savePictureIdentity(const QString& path)
{
    if (path.isEmpty()) return {};
    const QFileInfo file(path);
    return QStringLiteral("%1|%2|%3").arg(path).arg(file.size()).arg(file.lastModified().toMSecsSinceEpoch());
}

void GameOptionsController::reset()
{
    LaunchProfile& p = m_session.profile();
    m_session.Rst = true;
    if (p.chkReset == 1) {
        setExe(QString());
        setFolder(QString());
    }
    setIni(QString());
    setIwad(QString());
    setParm(QString());
    setDemos(0);
    if (!p.optPlay) selectPlayDemo();
    setDemoFile(QString());
    setTimeDemo(0);
    setMaxDemo(QString());
    p.lvwLG = 1;
    p.ZDSs = -1;
    p.wbPic.clear();
    m_session.Rst = false;
    m_session.MainProc();
}

} // namespace tarnwick
