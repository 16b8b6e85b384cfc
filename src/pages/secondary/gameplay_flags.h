#pragma once

#include "launch/launch_session.h"

#include <array>

namespace tarnwick {

// One gameplay flag box: its settings key ("DF4"), caption, frame, word, bit value and
// whether it is inverted. The inverted boxes are the "Allow ..." ones: ticked means the
// rule is on, and the port's bit switches it off.
struct FlagEntry
{
    const char* name;
    const char* caption;
    bool deathmatchOnly;
    int word; // 1 for DMFLAGS, 2 for DMFLAGS2
    qint32 value;
    bool inverted;
};

// The 23 boxes in key order (DF1..DF19, then DF2_1..DF2_4): the index into LaunchProfile::DF.
extern const std::array<FlagEntry, 23> kFlagEntries;

// Top-to-bottom order of the boxes in the two frames, as indexes into kFlagEntries.
extern const std::array<int, 13> kAllGameTypesOrder;
extern const std::array<int, 10> kDeathmatchOrder;

// The "Gameplay Options" window: the boxes keep DMFLAGS and DMFLAGS2 current as running
// totals. Edits reach the command line when the window closes.
class GameplayFlagsController
{
public:
    explicit GameplayFlagsController(LaunchSession& session) : m_session(session) {}

    // A box's click reaction runs once per change of its value.
    void setFlagBox(int index, int value);
    void setAddToCommandLine(int value);
    // "Reset to &0": every box to its first-run state; both totals end at 0.
    void RT0_Click();
    // "&Close" (and the title-bar close): the command line shows the flags chosen.
    void close();

    QString dmflagsLabel() const;
    QString dmflags2Label() const;

    static int firstRunState(int index) { return kFlagEntries[index].inverted ? 1 : 0; }

private:
    void DMFproc(qint32 Val, bool Def, int chk);
    void DMFproc2(qint32 Val, bool Def, int chk);

    LaunchSession& m_session;
};

} // namespace tarnwick
