#include "pages/secondary/gameplay_flags.h"

namespace tarnwick {

const std::array<FlagEntry, 23> kFlagEntries = {{
    {"DF1", "&Falling damage (old)", false, 1, 8, false},
    {"DF2", "Weapons sta&y", true, 1, 4, false},
    {"DF3", "Allow powerups", true, 1, 2, true},
    {"DF4", "Allow &health", true, 1, 1, true},
    {"DF5", "A&llow armour", true, 1, 512, true},
    {"DF6", "&Spawn farthest", true, 1, 128, false},
    {"DF7", "Same &map", true, 1, 64, false},
    {"DF8", "Force &respawn", true, 1, 256, false},
    {"DF9", "Allow e&xit", true, 1, 1024, true},
    {"DF10", "&Infinite ammo", false, 1, 2048, false},
    {"DF11", "&No monsters", false, 1, 4096, false},
    {"DF12", "M&onsters respawn", false, 1, 8192, false},
    {"DF13", "Fas&t monsters", false, 1, 32768, false},
    {"DF14", "Items res&pawn", false, 1, 16384, false},
    {"DF15", "Allow &jump", false, 1, 65536, true},
    {"DF16", "Allow freeloo&k", false, 1, 131072, true},
    {"DF17", "Fallin&g damage (Hexen)", false, 1, 16, false},
    {"DF18", "Mega power&ups respawn", false, 1, 262144, false},
    {"DF19", "Allow FO&V", false, 1, 524288, true},
    {"DF2_1", "Barrels respa&wn", true, 2, 65536, false},
    {"DF2_2", "R&espawn protection", true, 2, 131072, false},
    {"DF2_3", "&Drop weapons", false, 2, 2, false},
    {"DF2_4", "Allow &BFG aiming", false, 2, 32768, true},
}};

// DF1, DF17, DF2_3, DF10, DF11, DF12, DF14, DF18, DF13, DF15, DF16, DF19, DF2_4
const std::array<int, 13> kAllGameTypesOrder = {0, 16, 21, 9, 10, 11, 13, 17, 12, 14, 15, 18, 22};
// DF2, DF3, DF4, DF5, DF6, DF7, DF8, DF9, DF2_1, DF2_2
const std::array<int, 10> kDeathmatchOrder = {1, 2, 3, 4, 5, 6, 7, 8, 19, 20};

void GameplayFlagsController::setFlagBox(int index, int value)
{
    if (index < 0 || index >= static_cast<int>(kFlagEntries.size())) return;
    LaunchProfile& p = m_session.profile();
    if (p.DF[index] == value) return;
    p.DF[index] = value;
    const FlagEntry& e = kFlagEntries[index];
    if (e.word == 1)
        DMFproc(e.value, e.inverted, value);
    else
        DMFproc2(e.value, e.inverted, value);
    m_session.notify();
}

void GameplayFlagsController::DMFproc(qint32 Val, bool Def, int chk)
{
    qint32& flags = m_session.profile().Flags;
    flags += (chk == 1) == Def ? -Val : Val;
}

void GameplayFlagsController::DMFproc2(qint32 Val, bool Def, int chk)
{
    qint32& flags = m_session.profile().Flags2;
    flags += (chk == 1) == Def ? -Val : Val;
}

void GameplayFlagsController::setAddToCommandLine(int value)
{
    m_session.profile().chkDMFLAGS = value;
    m_session.notify();
}

void GameplayFlagsController::RT0_Click()
{
    for (int i = 0; i < static_cast<int>(kFlagEntries.size()); ++i) setFlagBox(i, firstRunState(i));
}

void GameplayFlagsController::close()
{
    m_session.MainProc();
}

QString GameplayFlagsController::dmflagsLabel() const
{
    return QStringLiteral("DMFLAGS = ") + QString::number(m_session.profile().Flags);
}

QString GameplayFlagsController::dmflags2Label() const
{
    return QStringLiteral("DMFLAGS2 = ") + QString::number(m_session.profile().Flags2);
}

} // namespace tarnwick
