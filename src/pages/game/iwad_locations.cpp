#include "pages/game/iwad_locations.h"

#include "pages/game/game_options_controller.h"
#include "pages/play/play_options_controller.h"
#include "settings/settings_store.h"
#include "platform/file_chooser.h"

namespace tarnwick {

namespace {
const QString kSection = QStringLiteral("Tarnwick");
const QString kWadFilter = QStringLiteral("Doom WAD File (*.wad)|*.wad|");
} // namespace

const std::array<IwadRecord, 9> kIwadRecords = {{
    {"Doom2f.wad", "&Doom2f.wad", "Doom2f.wad", "&Doom2f.wad", "Choose the location of Doom2f.wad", 99},
    {"Doom2.wad", "Doom&2.wad", "Doom2 - Hell On Earth", "Doom&2.wad", "Choose the location of Doom2.wad", 1},
    {"Plutonia.wad", "&Plutonia.wad", "Plutonia from Final Doom", "&Plutonia.wad",
     "Choose the location of Plutonia.wad", 2},
    {"TNT.wad", "&TNT.wad", "TNT from Final Doom", "&TNT.wad", "Choose the location of TNT.wad", 3},
    {"Doom.wad", "Doom.&wad", "Doom or The Ultimate Doom", "Doom.&wad", "Choose the location of Doom.wad", 0},
    {"Doom1.wad", "Doom&1.wad", "Doom1.wad", "Doom&1.wad", "Choose the location of Doom1.wad", 99},
    {"Heretic.wad", "&Heretic.wad", "Heretic", "&Heretic.wad", "Choose the location of Heretic.wad", 4},
    {"Hexen.wad", "He&xen.wad", "Hexen", "He&xen.wad", "Choose the location of Hexen.wad", 5},
    {"Other", "O&ther", "Another IWAD e.g. a customised one", "&Other", "Choose Another IWAD", 6},
}};

QString iwadKey(const IwadRecord& record)
{
    return QStringLiteral("IWAD") + QString::fromLatin1(record.name);
}

IwadLocations::IwadLocations(SettingsStore& store, FileChooser& chooser,
                             GameOptionsController& gamePage, PlayOptionsController& playPage)
    : m_store(store), m_chooser(chooser), m_gamePage(gamePage), m_playPage(playPage)
{
}

void IwadLocations::IWADMenu(const QString& IWAD, int li)
{
    const QString key = QStringLiteral("IWAD") + IWAD;
    const QString stored = m_store.read(kSection, key);
    if (!stored.isEmpty()) {
        m_gamePage.setIwad(stored);
        if (li != 99) m_playPage.chooseGame(li);
        return;
    }
    const QString chosen = m_chooser.FileDialogOpen(
        QStringLiteral("Choose the ") + IWAD + QStringLiteral(" Game WAD File"), kWadFilter);
    if (chosen.isEmpty()) return;
    m_store.write(kSection, key, chosen);
    m_gamePage.setIwad(chosen);
}

std::array<QString, 9> IwadLocations::load() const
{
    std::array<QString, 9> boxes;
    for (size_t i = 0; i < kIwadRecords.size(); ++i) boxes[i] = m_store.read(kSection, iwadKey(kIwadRecords[i]));
    return boxes;
}

QString IwadLocations::browse(int row, const QString& current)
{
    if (row < 0 || row >= static_cast<int>(kIwadRecords.size())) return current;
    const QString chosen =
        m_chooser.FileDialogOpen(QString::fromLatin1(kIwadRecords[row].browseTitle), kWadFilter, {current});
    return chosen.isEmpty() ? current : chosen;
}

void IwadLocations::save(const std::array<QString, 9>& boxes)
{
    SettingsStore::Transaction tx(m_store);
    for (size_t i = 0; i < kIwadRecords.size(); ++i) m_store.write(kSection, iwadKey(kIwadRecords[i]), boxes[i]);
}

} // namespace tarnwick
