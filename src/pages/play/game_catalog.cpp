#include "pages/play/game_catalog.h"

namespace tarnwick::catalog {

namespace {

QStringList listOf(std::initializer_list<const char*> items)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const char* item : items) list.append(QString::fromUtf8(item));
    return list;
}

// Maps of the first game; Doom II, Plutonia and TNT have maps 1 to 32 in order.
const QStringList& ultimateDoom()
{
    static const QStringList rows = listOf({
        "E1M1: Hanger", "E1M2: Nuclear Plant", "E1M3: Toxin Refinery", "E1M4: Command Control",
        "E1M5: Phobos Lab", "E1M6: Central Processing", "E1M7: Computer Station",
        "E1M8: Phobos Anomaly", "E1M9: Military Base", "E2M1: Deimos Anomaly",
        "E2M2: Containment Area", "E2M3: Refinary", "E2M4: Deimos Lab", "E2M5: Command Center",
        "E2M6: Halls of the Damned", "E2M7: Spawning Vats", "E2M8: Tower of Babel",
        "E2M9: Fortress of Mystery", "E3M1: Hell Keep", "E3M2: Slough of Despair",
        "E3M3: Pandemonium", "E3M4: House of Pain", "E3M5: Unholy Cathedral", "E3M6: Mt. Erebus",
        "E3M7: Limbo", "E3M8: Dis", "E3M9: Warrens", "E4M1: Hell Beneath", "E4M2: Perfect Hatred",
        "E4M3: Sever The Wicked", "E4M4: Unruly Evil", "E4M5: They Will Repent",
        "E4M6: Against Thee Wickedly", "E4M7: And Hell Followed", "E4M8: Unto The Cruel",
        "E4M9: Fear"});
    return rows;
}

const QStringList& doom2()
{
    static const QStringList rows = listOf({
        "1: Entryway", "2: Underhalls", "3: The Gantlet", "4: The Focus", "5: The Waste Tunnels",
        "6: The Crusher", "7: Dead Simple", "8: Tricks and Traps", "9: The Pit",
        "10: Refueling Base", "11: 'O' of Destruction", "12: The Factory", "13: Downtown",
        "14: The Inmost Dens", "15: Industrial Zone", "16: Suburbs", "17: Tenements",
        "18: The Courtyard", "19: The Citadel", "20: Gotcha!", "21: Nirvana", "22: The Catacombs",
        "23: Barrels O' Fun", "24: The Chasm", "25: Bloodfalls", "26: The Abandoned Mines",
        "27: Monster Condo", "28: The Spirit World", "29: The Living End", "30: Icon of Sin",
        "31: Wolfenstein", "32: Grosse"});
    return rows;
}

const QStringList& plutonia()
{
    static const QStringList rows = listOf({
        "1: Congo", "2: Well of Souls", "3: Aztec", "4: Caged", "5: Ghost Town", "6: Baron's Lair",
        "7: Caughtyard", "8: Realm", "9: Abattoire", "10: Onslaught", "11: Hunted", "12: Speed",
        "13: The Crypt", "14: Genesis", "15: The Twilight", "16: The Omen", "17: Compound",
        "18: Neurosphere", "19: Nme", "20: The Death Domain", "21: Slayer",
        "22: Impossible Mission", "23: Tombstone", "24: The Final Frontier",
        "25: The Temple of Darkness", "26: Bunker", "27: Anti-Christ", "28: The Sewers",
        "29: Odyssey of Noises", "30: The Gateway of Hell", "31: Cyberden", "32: Go 2 it"});
    return rows;
}

const QStringList& tnt()
{
    static const QStringList rows = listOf({
        "1: System Control", "2: Human BBQ", "3: Power Control", "4: Wormhole", "5: Hanger",
        "6: Open Season", "7: Prison", "8: Metal", "9: Stronghold", "10: Redemption",
        "11: Storage Facility", "12: Crater", "13: Nukage Processing", "14: Steel Works",
        "15: Dead Zone", "16: Deepest Reaches", "17: Processing Area", "18: Mill",
        "19: Shipping/Respawning", "20: Central Processing", "21: Administration Center",
        "22: Habitat", "23: Lunar Mining Project", "24: Quarry", "25: Baron's Den",
        "26: Ballistyx", "27: Mount Pain", "28: Heck", "29: River Styx", "30: Last Call",
        "31: Pharaoh", "32: Caribbean"});
    return rows;
}

const QStringList& heretic()
{
    static const QStringList rows = listOf({
        "E1M1: The Docks", "E1M2: The Dungeons", "E1M3: The Gatehouse", "E1M4: The Guard Tower",
        "E1M5: The Citadel", "E1M6: The Cathedral", "E1M7: The Crypts", "E1M8: Hell's Maw",
        "E1M9: The Graveyard", "E2M1: The Crater", "E2M2: The Lava Pits",
        "E2M3: The River of Fire", "E2M4: The Ice Grotto", "E2M5: The Catacombs",
        "E2M6: The Labyrinth", "E2M7: The Great Hall", "E2M8: The Portals of Chaos",
        "E2M9: The Glacier", "E3M1: The Storehouse", "E3M2: The Cesspool", "E3M3: The Confluence",
        "E3M4: The Azure Fortress", "E3M5: The Ophidian Lair", "E3M6: The Halls of Fear",
        "E3M7: The Chasm", "E3M8: D'Sparil's Keep", "E3M9: The Aquifer", "E4M1: Catafalque",
        "E4M2: Blockhouse", "E4M3: Ambulatory", "E4M4: Sepulcher", "E4M5: Great Stair",
        "E4M6: Halls of the Apostate", "E4M7: Ramparts of Perdition", "E4M8: Shattered Bridge",
        "E4M9: Mausoleum", "E5M1: Ochre Cliffs", "E5M2: Rapids", "E5M3: Quay", "E5M4: Courtyard",
        "E5M5: Hydratyr", "E5M6: Colonnade", "E5M7: Foetid Manse", "E5M8: Field of Judgement",
        "E5M9: Skein of D'Sparil", "E6M1: Secret Level", "E6M2: Secret Level",
        "E6M3: Secret Level"});
    return rows;
}

// Hexen's maps in hub order, not map order: the warp target is read from the row text.
const QStringList& hexen()
{
    static const QStringList rows = listOf({
        "1: Winnowing Hall", "2: Seven Portals", "3: Guardian of Ice", "4: Guardian of Fire",
        "5: Guardian of Steel", "6: Bright Crucible (secret)", "13: Shadow Wood", "8: Darkmere",
        "9: Caves of Circe", "10: Wastelands", "11: Sacred Grove", "12: Hypostyle",
        "27: Heresiarch's Seminary", "28: Dragon Chapel", "30: Griffin Chapel",
        "31: Deathwind Chapel", "32: Orchard of Lamentations", "33: Silent Refectory",
        "34: Wolf Chapel", "21: Forsaken Outpost", "22: Castle of Grief", "23: Gibbet",
        "24: Effluvium", "25: Dungeons", "26: Desolate Garden", "35: Necropolis",
        "36: Zedek's Tomb", "37: Menelkir's Tomb", "38: Traductus' Tomb", "39: Vivarium",
        "40: Dark Crucible"});
    return rows;
}

} // namespace

QStringList gameNames()
{
    return listOf({"Doom/The Ultimate Doom", "Doom2", "Plutonia", "TNT", "Heretic", "Hexen",
                   "Other"});
}

QStringList mapRows(int game)
{
    switch (game) {
    case 0: return ultimateDoom();
    case 1: return doom2();
    case 2: return plutonia();
    case 3: return tnt();
    case 4: return heretic();
    case 5: return hexen();
    default: return {};
    }
}

int skillFamily(int game)
{
    if (game >= 0 && game <= 3) return 0;
    if (game == 4) return 1;
    if (game == 5) return 2;
    return -1;
}

QStringList skillNames(int family)
{
    switch (family) {
    case 0:
        return listOf({"I'm too young to die", "Hey not too rough", "Hurt me plenty",
                       "Ultra Violence", "Nightmare!"});
    case 1:
        return listOf({"Thou needeth a wet-nurse", "Yellowbellies-r-us", "Bringest them oneth",
                       "Thou art a smite-meister", "Black plague possesses thee"});
    case 2:
        return listOf({"Squire/Altar boy/Apprentice", "Knight/Acolyte/Enchanter",
                       "Warrior/Priest/Sorcerer", "Berserker/Cardinal/Warlock",
                       "Titan/Pope/Archimage"});
    default:
        return {};
    }
}

QString locationKey(int game)
{
    static const char* const keys[kGameCount] = {
        "IWADDoom.wad", "IWADDoom2.wad", "IWADPlutonia.wad", "IWADTNT.wad",
        "IWADHeretic.wad", "IWADHexen.wad", "IWADOther"};
    return game >= 0 && game < kGameCount ? QString::fromLatin1(keys[game]) : QString();
}

} // namespace tarnwick::catalog
