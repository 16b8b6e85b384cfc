#include "pages/game/save_wads.h"

#include "base/paths.h"
#include "launch/launch_session.h"
#include "pages/game/game_options_controller.h"
#include "pages/game/iwad_locations.h"
#include "pages/play/play_options_controller.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "settings/history.h"
#include "settings/settings_store.h"


namespace tarnwick {

namespace {

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool sameNames(const QStringList& a, const QStringList& b)
{
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (!sameName(a.at(i), b.at(i))) return false;
    return true;
}

QString fileName(const QString& path)
{
    return PlayOptionsController::ShortFN(path);
}

QStringList mapWadNames(const LaunchProfile& p)
{
    QStringList names;
    for (const QString& path : p.lstPWADhid) names << fileName(path);
    return names;
}

QString listOrNone(const QStringList& names)
{
    return names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "));
}

// A file of `folder` whose name equals `name` in any letter case, as a path the port
// takes (quoted when it holds a blank); empty when there is none.
QString findInFolder(const FileSystem& fs, const QString& folder, const QString& name)
{
    if (folder.isEmpty()) return {};
    const QString path = paths::entryIgnoringCase(folder, name);
    return fs.fileExists(path) ? paths::quotedIfBlank(path) : QString();
}

} // namespace

QStringList saveMapWadNames(const QString& field, const QString& gameWad)
{
    QStringList names;
    QString current;
    bool quoted = false;
    auto flush = [&] {
        const QString name = current.trimmed();
        if (!name.isEmpty() && !sameName(name, gameWad)) names.append(name);
        current.clear();
    };
    for (const QChar c : field) {
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && (c.isSpace() || c == u',' || c == u';' || c == u'|')) {
            flush();
        } else {
            current += c;
        }
    }
    flush();
    return names;
}

SaveWads::SaveWads(LaunchSession& session, SettingsStore& store, Histories& histories, FileSystem& fs,
                   MessageBox& messages, GameOptionsController& gamePage, PlayOptionsController& playPage)
    : m_session(session), m_store(store), m_histories(histories), m_fs(fs), m_messages(messages),
      m_gamePage(gamePage), m_playPage(playPage)
{
}

QString SaveWads::difference(int row) const
{
    const LaunchProfile& p = m_session.profile();
    if (row < 2 || row > p.lvwLGRows.size()) return {};
    const SaveGameRow& save = p.lvwLGRows.at(row - 1);
    const QString gameWad = save.cells[1].trimmed();
    const QString mapField = save.cells[2].trimmed();
    QStringList lines;
    const QString currentGame = fileName(p.txtIWAD);
    if (!gameWad.isEmpty() && !sameName(gameWad, currentGame))
        lines << QStringLiteral("Game WAD: %1 (now %2)").arg(gameWad, currentGame.isEmpty() ? QStringLiteral("none") : currentGame);
    if (!mapField.isEmpty()) {
        const QStringList wanted = saveMapWadNames(mapField, gameWad);
        const QStringList current = mapWadNames(p);
        if (!sameNames(wanted, current))
            lines << QStringLiteral("Map WADs: %1 (now %2)").arg(listOrNone(wanted), listOrNone(current));
    }
    if (lines.isEmpty()) return {};
    return QStringLiteral("Made with other WADs than the current ones:\n") + lines.join(u'\n');
}

QString SaveWads::findGameWad(const QString& name, int& game) const
{
    // A stored location whose file has the save's name wins over a record named like it
    // ("DOOM2.WAD" and the Doom2.wad record) that points to a file of another name.
    for (bool byRecordName : {false, true}) {
        for (const IwadRecord& record : kIwadRecords) {
            const QString stored = m_store.read(QStringLiteral("Tarnwick"), iwadKey(record));
            if (stored.isEmpty()) continue;
            const bool match = byRecordName ? sameName(QString::fromLatin1(record.name), name)
                                            : sameName(fileName(stored), name);
            if (match && m_fs.fileExists(paths::resolvedIn(m_session.profile().txtFol, stored))) {
                game = record.game;
                return stored;
            }
        }
    }
    return {};
}

QString SaveWads::findMapWad(const QString& name) const
{
    const LaunchProfile& p = m_session.profile();
    const QStringList history = m_histories.stored(historyName(History::PWAD));
    for (auto it = history.crbegin(); it != history.crend(); ++it)
        if (sameName(fileName(*it), name) && m_fs.fileExists(paths::resolvedIn(p.txtFol, *it))) return *it;
    QStringList folders{paths::toNative(paths::unquoted(p.txtFol))};
    for (const QString& path : p.lstPWADhid) folders << paths::folderPart(paths::resolvedIn(p.txtFol, path));
    for (const QString& folder : folders)
        if (const QString found = findInFolder(m_fs, folder, name); !found.isEmpty()) return found;
    return {};
}

void SaveWads::useSaveWads(int row)
{
    const LaunchProfile& p = m_session.profile();
    if (row < 2 || row > p.lvwLGRows.size()) return;
    const SaveGameRow save = p.lvwLGRows.at(row - 1);
    const QString gameWad = save.cells[1].trimmed();
    const QString mapField = save.cells[2].trimmed();
    QStringList notFound;

    if (!gameWad.isEmpty() && !sameName(gameWad, fileName(p.txtIWAD))) {
        int game = 99;
        const QString stored = findGameWad(gameWad, game);
        if (stored.isEmpty()) {
            notFound << gameWad;
        } else {
            m_gamePage.setIwad(stored);
            if (game != 99) m_playPage.chooseGame(game);
        }
    }
    const QStringList wanted = saveMapWadNames(mapField, gameWad);
    if (!mapField.isEmpty() && !sameNames(wanted, mapWadNames(p))) {
        QStringList found;
        for (const QString& name : wanted) {
            const QString path = findMapWad(name);
            if (path.isEmpty())
                notFound << name;
            else
                found << path;
        }
        m_playPage.setMapWads(found);
    }
    if (!notFound.isEmpty())
        m_messages.show(QStringLiteral("These files of the save could not be found:\n\n") + notFound.join(u'\n') +
                            QStringLiteral("\n\nSet the game WAD's location in Game WAD Locations, or add the map "
                                           "WADs to the list by hand."),
                        QStringLiteral("Use this save's WADs"), MessageBox::Buttons::Ok, MessageBox::Icon::Exclamation);
}

} // namespace tarnwick
