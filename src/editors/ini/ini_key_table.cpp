#include "editors/ini/ini_key_table.h"

#include "editors/ini/ini_conversions.h"

#include <array>

namespace tarnwick {

namespace {

using C = IniControl;
using K = IniControlKind;
using G = IniGroup;

constexpr std::array<IniControlInfo, kIniControlCount> kControls = {{
    {C::txtName, "txtName", K::Text, G::General, 0, 14, 0, "Player"},
    {C::cmbGender, "cmbGender", K::List, G::General, 0, 2, 0, ""},
    {C::hsRed, "hsRed", K::Range, G::General, 0, 255, 64, ""},
    {C::hsGreen, "hsGreen", K::Range, G::General, 0, 255, 207, ""},
    {C::hsBlue, "hsBlue", K::Range, G::General, 0, 255, 0, ""},
    {C::hsMIDI, "hsMIDI", K::Range, G::General, 0, 20, 10, ""},
    {C::hsMusic, "hsMusic", K::Range, G::General, 0, 20, 5, ""},
    {C::hsSound, "hsSound", K::Range, G::General, 0, 20, 10, ""},
    {C::cmbSamplerate, "cmbSamplerate", K::List, G::General, 0, 14, 11, ""},
    {C::cmbChannels, "cmbChannels", K::List, G::General, 0, 30, 12, ""},
    {C::chkSurround, "chkSurround", K::Check, G::General, 0, 1, 1, ""},
    {C::hsSpeed, "hsSpeed", K::Range, G::General, 5, 25, 10, ""},
    {C::chkFreelook, "chkFreelook", K::Check, G::General, 0, 1, 0, ""},
    {C::chkInvertmouse, "chkInvertmouse", K::Check, G::General, 0, 1, 0, ""},
    {C::chkLookspring, "chkLookspring", K::Check, G::General, 0, 1, 1, ""},
    {C::chkLookstrafe, "chkLookstrafe", K::Check, G::General, 0, 1, 0, ""},
    {C::txtcm0, "txtcm0", K::Text, G::Multiplayer, 0, 64, 0, "No"},
    {C::txtcm1, "txtcm1", K::Text, G::Multiplayer, 0, 64, 0, "I'm ready to kick butt!"},
    {C::txtcm2, "txtcm2", K::Text, G::Multiplayer, 0, 64, 0, "I'm OK."},
    {C::txtcm3, "txtcm3", K::Text, G::Multiplayer, 0, 64, 0, "I'm not looking too good!"},
    {C::txtcm4, "txtcm4", K::Text, G::Multiplayer, 0, 64, 0, "Help!"},
    {C::txtcm5, "txtcm5", K::Text, G::Multiplayer, 0, 64, 0, "You suck!"},
    {C::txtcm6, "txtcm6", K::Text, G::Multiplayer, 0, 64, 0, "Next time, scumbag..."},
    {C::txtcm7, "txtcm7", K::Text, G::Multiplayer, 0, 64, 0, "Come here!"},
    {C::txtcm8, "txtcm8", K::Text, G::Multiplayer, 0, 64, 0, "I'll take care of it."},
    {C::txtcm9, "txtcm9", K::Text, G::Multiplayer, 0, 64, 0, "Yes"},
    {C::hsScreensize, "hsScreensize", K::Range, G::Display, 3, 12, 10, ""},
    {C::hsGamma, "hsGamma", K::Range, G::Display, 10, 30, 10, ""},
    {C::cmbCrosshair, "cmbCrosshair", K::List, G::Display, 0, 7, 0, ""},
    {C::cmbCRM, "cmbCRM", K::List, G::Display, 0, 1, 0, ""},
    {C::cmbDetail, "cmbDetail", K::List, G::Display, 0, 3, 0, ""},
    {C::chkShortskies, "chkShortskies", K::Check, G::Display, 0, 1, 1, ""},
    {C::chkStretchbar, "chkStretchbar", K::Check, G::Display, 0, 1, 1, ""},
    {C::cmbScreenwipe, "cmbScreenwipe", K::List, G::Display, 0, 3, 1, ""},
    {C::chkDDPH, "chkDDPH", K::Check, G::Display, 0, 1, 0, ""},
    {C::chkAttached, "chkAttached", K::Check, G::Display, 0, 1, 0, ""},
    {C::chkFuzz, "chkFuzz", K::Check, G::Display, 0, 1, 1, ""},
    {C::chkRocket, "chkRocket", K::Check, G::Display, 0, 1, 1, ""},
    {C::cmbBlood, "cmbBlood", K::List, G::Display, 0, 2, 0, ""},
    {C::cmbBullet, "cmbBullet", K::List, G::Display, 0, 1, 0, ""},
    {C::chkRotatemap, "chkRotatemap", K::Check, G::Display, 0, 1, 0, ""},
    {C::chkOverlaymap, "chkOverlaymap", K::Check, G::Display, 0, 1, 0, ""},
    {C::chkStandardmap, "chkStandardmap", K::Check, G::Display, 0, 1, 1, ""},
}};

using S = IniSection;
using V = IniConversion;

constexpr std::array<IniKeyInfo, 41> kKeys = {{
    {S::Player, "name", C::txtName, V::Text, V::Text, 1},
    {S::Player, "gender", C::cmbGender, V::Gender, V::ListText, 1},
    {S::Player, "color", C::hsRed, V::Colour, V::Colour, 1},
    {S::Global, "snd_midivolume", C::hsMIDI, V::Step, V::Step, 20},
    {S::Global, "snd_musicvolume", C::hsMusic, V::Step, V::Step, 20},
    {S::Global, "snd_sfxvolume", C::hsSound, V::Step, V::Step, 20},
    {S::Global, "snd_samplerate", C::cmbSamplerate, V::SampleRate, V::SampleRate, 1},
    {S::Global, "snd_channels", C::cmbChannels, V::Index, V::ListText, 1},
    {S::Global, "snd_surround", C::chkSurround, V::Switch, V::Switch, 1},
    {S::Global, "mouse_sensitivity", C::hsSpeed, V::Step, V::Step, 10},
    {S::Global, "freelook", C::chkFreelook, V::Switch, V::Switch, 1},
    {S::Global, "invertmouse", C::chkInvertmouse, V::Switch, V::Switch, 1},
    {S::ConsoleVariables, "lookspring", C::chkLookspring, V::Switch, V::Switch, 1},
    {S::Global, "lookstrafe", C::chkLookstrafe, V::Switch, V::Switch, 1},
    {S::ConsoleVariables, "Chatmacro0", C::txtcm0, V::Text, V::Text, 1},
    {S::ConsoleVariables, "Chatmacro1", C::txtcm1, V::Text, V::Text, 1},
    {S::ConsoleVariables, "Chatmacro2", C::txtcm2, V::Text, V::Text, 1},
    {S::ConsoleVariables, "Chatmacro3", C::txtcm3, V::Text, V::Text, 1},
    {S::ConsoleVariables, "Chatmacro4", C::txtcm4, V::Text, V::Text, 1},
    {S::ConsoleVariables, "Chatmacro5", C::txtcm5, V::Text, V::Text, 1},
    {S::ConsoleVariables, "Chatmacro6", C::txtcm6, V::Text, V::Text, 1},
    {S::ConsoleVariables, "Chatmacro7", C::txtcm7, V::Text, V::Text, 1},
    {S::ConsoleVariables, "Chatmacro8", C::txtcm8, V::Text, V::Text, 1},
    {S::ConsoleVariables, "Chatmacro9", C::txtcm9, V::Text, V::Text, 1},
    {S::Global, "screenblocks", C::hsScreensize, V::WholeNumber, V::WholeNumber, 1},
    {S::Global, "Gamma", C::hsGamma, V::Step, V::Step, 10},
    {S::Global, "crosshair", C::cmbCrosshair, V::Index, V::Index, 1},
    {S::Global, "r_columnmethod", C::cmbCRM, V::Index, V::Index, 1},
    {S::Global, "r_detail", C::cmbDetail, V::Index, V::Index, 1},
    {S::ConsoleVariables, "r_stretchsky", C::chkShortskies, V::Switch, V::Switch, 1},
    {S::ConsoleVariables, "st_scale", C::chkStretchbar, V::Switch, V::Switch, 1},
    {S::ConsoleVariables, "wipetype", C::cmbScreenwipe, V::Index, V::Index, 1},
    {S::Global, "vid_palettehack", C::chkDDPH, V::Switch, V::Switch, 1},
    {S::Global, "vid_attachedsurfaces", C::chkAttached, V::Switch, V::Switch, 1},
    {S::ConsoleVariables, "r_drawfuzz", C::chkFuzz, V::Switch, V::Switch, 1},
    {S::ConsoleVariables, "cl_rockettrails", C::chkRocket, V::Switch, V::Switch, 1},
    {S::ConsoleVariables, "cl_bloodtype", C::cmbBlood, V::Index, V::Index, 1},
    {S::ConsoleVariables, "cl_pufftype", C::cmbBullet, V::Index, V::Index, 1},
    {S::ConsoleVariables, "am_rotate", C::chkRotatemap, V::Switch, V::Switch, 1},
    {S::ConsoleVariables, "am_overlay", C::chkOverlaymap, V::Switch, V::Switch, 1},
    {S::ConsoleVariables, "am_usecustomcolors", C::chkStandardmap, V::Switch, V::Switch, 1},
}};

QStringList numbers(int first, int last)
{
    QStringList list;
    for (int i = first; i <= last; ++i) list << QString::number(i);
    return list;
}

} // namespace

std::span<const IniControlInfo> iniControls()
{
    return kControls;
}

const IniControlInfo& iniControl(IniControl control)
{
    return kControls[std::size_t(control)];
}

const QStringList& iniListItems(IniControl control)
{
    static const QStringList none;
    static const QStringList gender = {QStringLiteral("male"), QStringLiteral("female"),
                                       QStringLiteral("cyborg")};
    static const QStringList channels = numbers(0, 30);
    static const QStringList crosshair = {QStringLiteral("None"),   QStringLiteral("Cross 1"),
                                          QStringLiteral("Cross 2"), QStringLiteral("X"),
                                          QStringLiteral("Circle"), QStringLiteral("Angle"),
                                          QStringLiteral("Triange"), QStringLiteral("Dot")};
    static const QStringList columnMethod = {QStringLiteral("Original"), QStringLiteral("Optimised")};
    static const QStringList detail = {QStringLiteral("Normal"), QStringLiteral("Double horizontal"),
                                       QStringLiteral("Double vertical"),
                                       QStringLiteral("Double horizontal and vertical")};
    static const QStringList wipe = {QStringLiteral("None"), QStringLiteral("Melt"),
                                     QStringLiteral("Burn"), QStringLiteral("Crossfade")};
    static const QStringList blood = {QStringLiteral("Sprites"), QStringLiteral("Sprites and Particles"),
                                      QStringLiteral("Particles")};
    static const QStringList puff = {QStringLiteral("Sprites"), QStringLiteral("Particles")};
    switch (control) {
    case C::cmbGender: return gender;
    case C::cmbSamplerate: return iniconv::sampleRateItems();
    case C::cmbChannels: return channels;
    case C::cmbCrosshair: return crosshair;
    case C::cmbCRM: return columnMethod;
    case C::cmbDetail: return detail;
    case C::cmbScreenwipe: return wipe;
    case C::cmbBlood: return blood;
    case C::cmbBullet: return puff;
    default: return none;
    }
}

std::span<const IniKeyInfo> iniKeys()
{
    return kKeys;
}

QString iniSectionName(IniSection section, const QString& game)
{
    switch (section) {
    case S::Player: return game + QStringLiteral(".Player");
    case S::ConsoleVariables: return game + QStringLiteral(".ConsoleVariables");
    case S::Global: break;
    }
    return QStringLiteral("GlobalSettings");
}

} // namespace tarnwick
