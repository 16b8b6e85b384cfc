#pragma once

#include <QStringList>

#include <span>

namespace tarnwick {

// The controls of the configuration editor; they hold the 41 values it edits.
enum class IniControl {
    txtName, cmbGender, hsRed, hsGreen, hsBlue, hsMIDI, hsMusic, hsSound, cmbSamplerate,
    cmbChannels, chkSurround, hsSpeed, chkFreelook, chkInvertmouse, chkLookspring, chkLookstrafe,
    txtcm0, txtcm1, txtcm2, txtcm3, txtcm4, txtcm5, txtcm6, txtcm7, txtcm8, txtcm9,
    hsScreensize, hsGamma, cmbCrosshair, cmbCRM, cmbDetail, chkShortskies, chkStretchbar,
    cmbScreenwipe, chkDDPH, chkAttached, chkFuzz, chkRocket, cmbBlood, cmbBullet,
    chkRotatemap, chkOverlaymap, chkStandardmap,
};
inline constexpr int kIniControlCount = int(IniControl::chkStandardmap) + 1;

enum class IniControlKind { Text, List, Range, Check };

// The reset buttons restore one group at a time; each group is one tab of the window.
enum class IniGroup { General, Multiplayer, Display };

struct IniControlInfo
{
    IniControl control;
    const char* name;
    IniControlKind kind;
    IniGroup group;
    int minimum; // Range: lowest value
    int maximum; // Range: highest value; Text: most characters; List: last index
    int defaultValue; // Range value, List index, Check 0 or 1
    const char* defaultText; // Text
};

// Every control in the order of IniControl.
std::span<const IniControlInfo> iniControls();
const IniControlInfo& iniControl(IniControl control);
// The items of a drop-down list, empty for other controls.
const QStringList& iniListItems(IniControl control);

// Which section a key lives in: the game's player section, the game's console variables,
// or the section all games share.
enum class IniSection { Player, ConsoleVariables, Global };

enum class IniConversion { Text, Gender, Colour, Step, WholeNumber, Index, ListText, SampleRate, Switch };

struct IniKeyInfo
{
    IniSection section;
    const char* key;
    IniControl control; // for the colour, the first of the three bars
    IniConversion read;
    IniConversion write;
    int stepsPerUnit; // Step: 20 for steps of 0.05, 10 for steps of 0.1; else 1
};

// The 41 keys in the order they are read and written.
std::span<const IniKeyInfo> iniKeys();

// "GlobalSettings", or the game's name followed by ".Player" or ".ConsoleVariables".
QString iniSectionName(IniSection section, const QString& game);

} // namespace tarnwick
