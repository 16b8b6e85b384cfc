#include "pages/game/install_search.h"

#include "base/paths.h"
#include "launch/launch_session.h"
#include "pages/game/game_options_controller.h"
#include "pages/game/iwad_locations.h"
#include "pages/play/game_catalog.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstring>
#include <optional>

#ifdef Q_OS_UNIX
#include <dirent.h>
#endif

namespace tarnwick {

namespace {

const QString kSection = QStringLiteral("Tarnwick");

// In the order they are preferred: the ports that read the ZDoom command line first, then
// other Doom ports, which take most of its options.
const char* const kPorts[] = {"zdoom", "gzdoom", "lzdoom", "dsda-doom", "crispy-doom", "chocolate-doom", "woof"};

// Free stand-ins, used only where the game's own WAD is not found.
struct StandIn
{
    const char* file;
    const char* forRecord;
};
const StandIn kStandIns[] = {{"freedoom1.wad", "Doom.wad"}, {"freedoom2.wad", "Doom2.wad"}};

void addFolder(QStringList& folders, const QString& folder)
{
    const QString cleaned = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
    if (!cleaned.isEmpty() && !folders.contains(cleaned)) folders << cleaned;
}

// Calls `take` with the name of each entry of `folder` that could be a game WAD: a short name
// ending in ".wad" in any letter case. Only the folder's own list of names is read, never
// what lies below it; the names are filtered before they are decoded, so a folder of
// thousands of add-ons costs little more than reading its list.
template<typename Take>
void forEachWadName(const QString& folder, Take take)
{
    constexpr size_t kShortest = 7, kLongest = 13; // "tnt.wad", "freedoom1.wad"
    auto couldBeWad = [](const char* name, size_t length) {
        return length >= kShortest && length <= kLongest && name[length - 4] == '.' &&
               (name[length - 3] | 0x20) == 'w' && (name[length - 2] | 0x20) == 'a' && (name[length - 1] | 0x20) == 'd';
    };
#ifdef Q_OS_UNIX
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const size_t length = std::strlen(entry->d_name);
        if (couldBeWad(entry->d_name, length)) take(QFile::decodeName(QByteArray(entry->d_name, qsizetype(length))));
    }
    ::closedir(dir);
#else
    QDirIterator entries(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        entries.next();
        const QByteArray name = QFile::encodeName(entries.fileName());
        if (couldBeWad(name.constData(), size_t(name.size()))) take(entries.fileName());
    }
#endif
}

} // namespace

SearchPlaces SearchPlaces::fromEnvironment(const QProcessEnvironment& env, const QString& root)
{
    const QDir system(root);
    SearchPlaces places;
    // An empty entry of PATH means the current folder, which says nothing about the system.
    for (const QString& folder : env.value(QStringLiteral("PATH")).split(u':', Qt::SkipEmptyParts))
        addFolder(places.programFolders, folder);
    addFolder(places.programFolders, system.filePath(QStringLiteral("usr/games")));

    addFolder(places.wadFolders, env.value(QStringLiteral("DOOMWADDIR")));
    for (const QString& folder : env.value(QStringLiteral("DOOMWADPATH")).split(u':', Qt::SkipEmptyParts))
        addFolder(places.wadFolders, folder);
    const QString home = env.value(QStringLiteral("HOME"));
    if (!home.isEmpty()) addFolder(places.wadFolders, QDir(home).filePath(QStringLiteral(".local/share/games/doom")));
    addFolder(places.wadFolders, system.filePath(QStringLiteral("usr/local/share/games/doom")));
    addFolder(places.wadFolders, system.filePath(QStringLiteral("usr/share/games/doom")));
    return places;
}

QString findPort(const QStringList& programFolders)
{
    // No folders means none to search (findExecutable would take the system's PATH instead).
    if (programFolders.isEmpty()) return {};
    for (const char* name : kPorts) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name), programFolders);
        if (!found.isEmpty()) return found;
    }
    return {};
}

QHash<QString, QString> findGameWads(const QStringList& folders)
{
    // The lower-case file name each location key looks for.
    QHash<QString, QString> keyOfName;
    for (const IwadRecord& record : kIwadRecords)
        if (record.game != catalog::kOtherGame) keyOfName.insert(QString::fromLatin1(record.name).toLower(), iwadKey(record));
    for (const StandIn& s : kStandIns) keyOfName.insert(QString::fromLatin1(s.file), QString());

    QHash<QString, QString> foundByName;
    for (const QString& folder : folders) {
        if (foundByName.size() == keyOfName.size()) break;
        const QDir dir(folder);
        forEachWadName(folder, [&](const QString& fileName) {
            const QString name = fileName.toLower();
            if (!keyOfName.contains(name) || foundByName.contains(name)) return;
            const QFileInfo file(dir.filePath(fileName));
            if (file.isFile()) foundByName.insert(name, file.filePath());
        });
    }

    QHash<QString, QString> found;
    for (auto it = foundByName.cbegin(); it != foundByName.cend(); ++it)
        if (!keyOfName.value(it.key()).isEmpty()) found.insert(keyOfName.value(it.key()), it.value());
    for (const StandIn& s : kStandIns) {
        const QString key = QStringLiteral("IWAD") + QString::fromLatin1(s.forRecord);
        const QString standIn = foundByName.value(QString::fromLatin1(s.file));
        if (!found.contains(key) && !standIn.isEmpty()) found.insert(key, standIn);
    }
    return found;
}

InstallSearch::InstallSearch(SettingsStore& store, LaunchSession& session, GameOptionsController& gamePage,
                             SearchPlaces places)
    : m_store(store), m_session(session), m_gamePage(gamePage), m_places(std::move(places))
{
}

// The port's folder is one of the places to look for game WADs.
QStringList InstallSearch::wadFoldersWith(const QString& portFolder) const
{
    QStringList folders = m_places.wadFolders;
    addFolder(folders, portFolder);
    return folders;
}

void InstallSearch::searchAhead()
{
    try {
        m_ahead = std::async(std::launch::async, [this] {
            const QString port = findPort(m_places.programFolders);
            QStringList folders = wadFoldersWith(port.isEmpty() ? QString() : QFileInfo(port).path());
            QHash<QString, QString> wads = findGameWads(folders);
            return Found{port, std::move(folders), std::move(wads)};
        });
    } catch (const std::system_error&) {
        // No thread to spare: fillEmpty() looks itself.
    }
}

void InstallSearch::fillEmpty()
{
    const LaunchProfile& p = m_session.profile();
    std::optional<Found> ahead;
    if (m_ahead.valid()) ahead = m_ahead.get();
    // The port is looked for only while its location is empty; its folder then fills the
    // folder box if that is empty too. Paths with a blank are quoted as the dialogs quote them.
    if (p.txtEXE.isEmpty()) {
        const QString port = ahead ? ahead->port : findPort(m_places.programFolders);
        if (!port.isEmpty()) {
            m_gamePage.setExe(paths::quotedIfBlank(port));
            if (p.txtFol.isEmpty()) m_gamePage.setFolder(QFileInfo(port).path());
        }
    }

    const QStringList wadFolders = wadFoldersWith(paths::unquoted(p.txtFol));
    const QHash<QString, QString> wads =
        ahead && ahead->wadFolders == wadFolders ? ahead->wads : findGameWads(wadFolders);
    for (auto it = wads.cbegin(); it != wads.cend(); ++it)
        if (m_store.read(kSection, it.key()).isEmpty()) m_unsaved.insert(it.key(), paths::quotedIfBlank(it.value()));

    if (p.txtIWAD.isEmpty()) {
        const QString key = catalog::locationKey(p.cmbGame);
        const QString location = m_unsaved.value(key, m_store.read(kSection, key));
        if (!location.isEmpty()) m_gamePage.setIwad(location);
    }
}

void InstallSearch::saveFound()
{
    if (m_unsaved.isEmpty()) return;
    SettingsStore::Transaction tx(m_store);
    for (auto it = m_unsaved.cbegin(); it != m_unsaved.cend(); ++it)
        if (m_store.read(kSection, it.key()).isEmpty()) m_store.write(kSection, it.key(), it.value());
    m_unsaved.clear();
}

} // namespace tarnwick
