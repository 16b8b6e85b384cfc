#include "pages/play/play_options_controller.h"

#include "pages/game/game_options_controller.h"
#include "pages/play/game_catalog.h"
#include "platform/file_system.h"
#include "settings/settings_store.h"
#include "platform/file_chooser.h"
#include "base/keep_numeric.h"
#include "base/dropped_files.h"
#include "base/paths.h"

#include <QRandomGenerator>

namespace tarnwick {

namespace {

const PlayOptionsController::ListInfo kMapWads = {
    &LaunchProfile::lstPWADhid, &LaunchProfile::lstPWAD, &LaunchProfile::lstPWADIndex,
    &LaunchProfile::txtPWAD,    &LaunchProfile::DirPWAD, History::PWAD,
    "Choose a Map WAD File",    "Doom WAD File (*.wad)|*.wad|",
    "wad pk3 pk7 zip"};

const PlayOptionsController::ListInfo kPatches = {
    &LaunchProfile::lstDehhid, &LaunchProfile::lstDeh, &LaunchProfile::lstDehIndex,
    &LaunchProfile::txtDeh,    &LaunchProfile::DirDEH, History::Deh,
    "Choose a DeHackEd/BEX File",
    "DeHackEd/BEX Files (*.deh;*.bex)|*.deh;*.bex|DeHackEd Patch (*.deh)|*.deh|"
    "BEX File (*.bex)|*.bex|",
    "deh bex"};

} // namespace

PlayOptionsController::PlayOptionsController(LaunchSession& session, SettingsStore& store,
                                             Histories& histories, FileChooser& chooser,
                                             FileSystem& fs, GameOptionsController& gamePage)
    : m_session(session), m_store(store), m_histories(histories), m_chooser(chooser), m_fs(fs),
      m_gamePage(gamePage)
{
    m_random = [] {
        QRandomGenerator rng(static_cast<quint32>(QRandomGenerator::system()->generate()));
        return static_cast<float>(rng.generateDouble());
    };
    // The page opens on the first game, its first map and its skill names, as the saved
    // settings then find it: a first run warps to E1M1 on "Hurt me plenty".
    LaunchProfile& p = m_session.profile();
    if (p.lstMapRows.isEmpty() && p.cmbSkillRows.isEmpty()) {
        p.lstMapRows = catalog::mapRows(p.cmbGame);
        p.lstMap = p.lstMapRows.isEmpty() ? -1 : 0;
        p.cmbSkillRows = catalog::skillNames(catalog::skillFamily(p.cmbGame));
    }
}

const PlayOptionsController::ListInfo& PlayOptionsController::info(FileList list)
{
    return list == FileList::MapWads ? kMapWads : kPatches;
}

// --- Game, map and skill ----------------------------------------------------------------

void PlayOptionsController::chooseGame(int index)
{
    if (index < 0 || index >= catalog::kGameCount) return;
    LaunchProfile& p = m_session.profile();
    p.cmbGame = index;
    const int remembered = p.lstMap;
    p.lstMapRows = mapRowsOf(index);
    p.lstMap = -1;
    const int family = catalog::skillFamily(index);
    if (index == 5) p.lstMap = 0;
    if (family >= 0) Skill(family);

    const QString location = m_store.read(QStringLiteral("Tarnwick"), catalog::locationKey(index));
    if (!location.isEmpty()) m_gamePage.setIwad(location);

    if (index == catalog::kOtherGame) {
        m_session.MainProc();
        return;
    }
    // The map position is kept: two 32-map games keep the map number, and Doom to Heretic
    // keeps the episode and map. A shorter list falls back to the first map.
    m_session.Rst = true;
    p.lstMap = 0;
    if (remembered != -1 && remembered < p.lstMapRows.size()) p.lstMap = remembered;
    m_session.Rst = false;
    m_session.MainProc();
}

void PlayOptionsController::Skill(int Game)
{
    LaunchProfile& p = m_session.profile();
    m_session.Rst = true;
    const int remembered = p.cmbSkill;
    p.cmbSkillRows = catalog::skillNames(Game);
    p.cmbSkill = remembered < p.cmbSkillRows.size() ? remembered : -1;
    m_session.Rst = false;
}

void PlayOptionsController::chooseMap(int row)
{
    LaunchProfile& p = m_session.profile();
    if (row < -1) return;
    if (row >= p.lstMapRows.size()) {
        m_pendingMapRow = row; // a row the map WADs may still bring
        return;
    }
    m_pendingMapRow = -1;
    p.lstMap = row;
    m_session.MainProc();
}

void PlayOptionsController::chooseSkill(int row)
{
    LaunchProfile& p = m_session.profile();
    if (row < -1 || row >= p.cmbSkillRows.size()) return;
    p.cmbSkill = row;
    m_session.MainProc();
}

void PlayOptionsController::setOther(const QString& text)
{
    setText(&LaunchProfile::txtOther, text);
}

void PlayOptionsController::randomMap()
{
    const qsizetype count = m_session.profile().lstMapRows.size();
    if (count == 0) return;
    const float r = m_random();
    const int row = static_cast<int>(static_cast<float>(count) * r);
    chooseMap(std::clamp(row, 0, static_cast<int>(count) - 1));
}

QStringList PlayOptionsController::mapRowsOf(int game)
{
    if (catalog::mapRows(game).isEmpty()) return {};
    const LaunchProfile& p = m_session.profile();
    QList<WadMapInfo> files;
    for (const QString& path : p.lstPWADhid) files.append(m_mapWads.info(paths::resolvedIn(p.txtFol, path)));
    return titledMapRows(game, files);
}

void PlayOptionsController::refreshMapRows()
{
    LaunchProfile& p = m_session.profile();
    const QString chosen = mapOfRow(p.cmbGame, p.lstMap, p.selectedMapRow());
    p.lstMapRows = mapRowsOf(p.cmbGame);
    int row = p.lstMapRows.isEmpty() ? -1 : 0;
    if (m_pendingMapRow >= 0 && m_pendingMapRow < p.lstMapRows.size()) {
        row = m_pendingMapRow;
    } else {
        for (int i = 0; i < p.lstMapRows.size(); ++i)
            if (mapOfRow(p.cmbGame, i, p.lstMapRows.at(i)) == chosen) row = i;
    }
    m_pendingMapRow = -1;
    p.lstMap = row;
}

void PlayOptionsController::mapWadsChanged(FileList list)
{
    if (list == FileList::MapWads) refreshMapRows();
    m_session.MainProc();
}

// --- File lists -------------------------------------------------------------------------

QString PlayOptionsController::ShortFN(const QString& LongFN)
{
    return paths::unquoted(paths::fileNamePart(LongFN));
}

void PlayOptionsController::setListText(FileList list, const QString& text)
{
    QString& field = m_session.profile().*(info(list).text);
    if (field == text) return;
    field = text;
    // The patch box recomposes on every edit; the map WAD box has no reaction of its own.
    if (list == FileList::Patches)
        m_session.MainProc();
    else
        m_session.notify();
}

void PlayOptionsController::selectListEntry(FileList list, int index)
{
    LaunchProfile& p = m_session.profile();
    if (index < -1 || index >= (p.*(info(list).shown)).size()) return;
    p.*(info(list).index) = index;
    m_session.notify();
}

void PlayOptionsController::addToList(FileList list)
{
    const ListInfo& l = info(list);
    LaunchProfile& p = m_session.profile();
    const QString typed = p.*l.text;
    QString path;
    if (m_fs.fileExists(paths::unquoted(typed))) {
        path = typed;
    } else {
        // Near the typed text first, then in the folder the last file came from.
        path = m_chooser.FileDialogOpen(QString::fromLatin1(l.title), QString::fromLatin1(l.filter),
                                        {typed, p.*l.folder});
        if (path.isEmpty()) return;
        p.*l.folder = paths::unquoted(paths::folderPart(path));
    }
    appendToList(list, path);
    m_session.MainProc();
}

void PlayOptionsController::appendToList(FileList list, const QString& path)
{
    const ListInfo& l = info(list);
    LaunchProfile& p = m_session.profile();
    (p.*l.hidden).append(path);
    (p.*l.shown).append(ShortFN(path));
    m_histories.CmbProc(path, historyName(l.history), l.history);
    p.*l.text = QString();
    mapWadsChanged(list);
}

bool PlayOptionsController::takesDroppedFiles(FileList list, const QStringList& paths)
{
    return drops::allEndIn(paths, info(list).dropped);
}

void PlayOptionsController::addDroppedFiles(FileList list, const QStringList& paths)
{
    if (!takesDroppedFiles(list, paths)) return;
    // Each file as the dialog would have given it: quoted when it has a blank; the next
    // dialog opens where the files came from.
    for (const QString& path : paths) appendToList(list, paths::quotedIfBlank(path));
    m_session.profile().*info(list).folder = paths::folderPart(paths.last());
    m_session.MainProc();
}

void PlayOptionsController::clearList(FileList list)
{
    const ListInfo& l = info(list);
    LaunchProfile& p = m_session.profile();
    p.*l.text = QString();
    (p.*l.hidden).clear();
    (p.*l.shown).clear();
    p.*l.index = -1;
    mapWadsChanged(list);
}

void PlayOptionsController::removeFromList(FileList list)
{
    const ListInfo& l = info(list);
    LaunchProfile& p = m_session.profile();
    const int i = p.*l.index;
    if (i < 0 || i >= (p.*l.shown).size()) return;
    (p.*l.hidden).removeAt(i);
    (p.*l.shown).removeAt(i);
    p.*l.index = -1;
    mapWadsChanged(list);
}

void PlayOptionsController::moveUpInList(FileList list)
{
    const ListInfo& l = info(list);
    LaunchProfile& p = m_session.profile();
    const int i = p.*l.index;
    if (i < 1 || i >= (p.*l.shown).size()) return;
    (p.*l.hidden).swapItemsAt(i, i - 1);
    (p.*l.shown).swapItemsAt(i, i - 1);
    p.*l.index = i - 1;
    mapWadsChanged(list);
}

void PlayOptionsController::moveDownInList(FileList list)
{
    const ListInfo& l = info(list);
    LaunchProfile& p = m_session.profile();
    const int i = p.*l.index;
    if (i < 0 || i >= (p.*l.shown).size() - 1) return;
    (p.*l.hidden).swapItemsAt(i, i + 1);
    (p.*l.shown).swapItemsAt(i, i + 1);
    p.*l.index = i + 1;
    mapWadsChanged(list);
}

void PlayOptionsController::setMapWads(const QStringList& paths)
{
    LaunchProfile& p = m_session.profile();
    p.lstPWADhid = paths;
    p.lstPWAD.clear();
    for (const QString& path : paths) p.lstPWAD.append(ShortFN(path));
    p.lstPWADIndex = -1;
    mapWadsChanged(FileList::MapWads);
}

// --- Play mode and network --------------------------------------------------------------

void PlayOptionsController::selectMode(bool LaunchProfile::*mode)
{
    LaunchProfile& p = m_session.profile();
    p.optSP = p.optCoop = p.optDeathmatch = p.optAltdeath = false;
    p.*mode = true;
    m_session.MainProc();
}

void PlayOptionsController::optSP_Click() { selectMode(&LaunchProfile::optSP); }
void PlayOptionsController::selectCoop() { selectMode(&LaunchProfile::optCoop); }
void PlayOptionsController::selectDeathmatch() { selectMode(&LaunchProfile::optDeathmatch); }
void PlayOptionsController::selectAltdeath() { selectMode(&LaunchProfile::optAltdeath); }

void PlayOptionsController::selectHost()
{
    m_session.profile().optHost = true;
    m_session.profile().optJoin = false;
    m_session.MainProc();
}

void PlayOptionsController::selectJoin()
{
    m_session.profile().optJoin = true;
    m_session.profile().optHost = false;
    m_session.MainProc();
}

void PlayOptionsController::setText(QString LaunchProfile::*field, const QString& text)
{
    if (m_session.profile().*field == text) return;
    m_session.profile().*field = text;
    m_session.MainProc();
}

void PlayOptionsController::setCheck(int LaunchProfile::*field, int value)
{
    if (m_session.profile().*field == value) return;
    m_session.profile().*field = value;
    m_session.MainProc();
}

void PlayOptionsController::setHostPlayers(const QString& text)
{
    if (m_session.profile().txtHost == text) return;
    m_session.profile().txtHost = settleNumeric(text, 8);
    m_session.MainProc();
}

void PlayOptionsController::setJoinAddress(const QString& text) { setText(&LaunchProfile::txtJoin, text); }
void PlayOptionsController::setExtratic(int value) { setCheck(&LaunchProfile::chkExtratic, value); }
void PlayOptionsController::setDebugFile(int value) { setCheck(&LaunchProfile::chkDEBUGFILE, value); }
void PlayOptionsController::setDup(const QString& text) { setText(&LaunchProfile::txtDUP, text); }
void PlayOptionsController::setPort(const QString& text) { setText(&LaunchProfile::txtPORT, text); }

// --- Monsters, timer, turbo -------------------------------------------------------------

void PlayOptionsController::setMonsters(int value) { setCheck(&LaunchProfile::chkNomonsters, value); }
void PlayOptionsController::setFast(int value) { setCheck(&LaunchProfile::chkFast, value); }
void PlayOptionsController::setRespawn(int value) { setCheck(&LaunchProfile::chkRespawn, value); }

void PlayOptionsController::setTimer(const QString& text)
{
    if (m_session.profile().txtTimer == text) return;
    m_session.profile().txtTimer = settleNumeric(text);
    m_session.MainProc();
}

void PlayOptionsController::setTurbo(const QString& text)
{
    if (m_session.profile().txtTurbo == text) return;
    m_session.profile().txtTurbo = settleNumeric(text, 256);
    m_session.MainProc();
}

// The lower bound waits until the player leaves the box, so typing 30 can pass through 3.
void PlayOptionsController::leaveTurbo()
{
    double v = 0;
    if (parseNumber(m_session.profile().txtTurbo, v) && v < 10) setTurbo(QStringLiteral("10"));
}

void PlayOptionsController::reset()
{
    LaunchProfile& p = m_session.profile();
    m_session.Rst = true;
    chooseGame(0);
    if (!p.lstMapRows.isEmpty()) chooseMap(0);
    setMonsters(1);
    setFast(0);
    setRespawn(0);
    setTimer(QString());
    setTurbo(QString());
    p.txtPWAD.clear();
    p.lstPWADhid.clear();
    p.lstPWAD.clear();
    p.lstPWADIndex = -1;
    p.txtDeh.clear();
    p.lstDehhid.clear();
    p.lstDeh.clear();
    p.lstDehIndex = -1;
    refreshMapRows();
    if (!p.optSP) optSP_Click();
    if (!p.optHost) selectHost();
    setHostPlayers(QString());
    setJoinAddress(QString());
    setExtratic(0);
    setDebugFile(0);
    setDup(QString());
    setPort(QString());
    chooseSkill(2);
    m_session.Rst = false;
    m_session.MainProc();
}

} // namespace tarnwick
