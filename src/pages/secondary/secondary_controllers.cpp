#include "pages/secondary/secondary_controllers.h"

#include "platform/file_chooser.h"
#include "base/keep_numeric.h"

namespace tarnwick {

// --- Sound and video -------------------------------------------------------------------

QStringList SoundVideoController::widthRows()
{
    return {QStringLiteral("640"), QStringLiteral("800"), QStringLiteral("1024"),
            QStringLiteral("1152"), QStringLiteral("1280")};
}

QStringList SoundVideoController::heightRows()
{
    return {QStringLiteral("480"), QStringLiteral("600"), QStringLiteral("768"),
            QStringLiteral("864"), QStringLiteral("1024")};
}

void SoundVideoController::setSound(int value)
{
    LaunchProfile& p = m_session.profile();
    if (p.chkSound == value) return;
    p.chkSound = value;
    m_session.MainProc(); // effects and music follow chkSound, derived by soundDetailsEnabled()
    m_session.notify();
}

void SoundVideoController::setSfx(int value)
{
    if (m_session.profile().chkSFX == value) return;
    m_session.profile().chkSFX = value;
    m_session.MainProc();
}

void SoundVideoController::setMusic(int value)
{
    if (m_session.profile().chkMusic == value) return;
    m_session.profile().chkMusic = value;
    m_session.MainProc();
}

void SoundVideoController::chooseWidthRow(int row)
{
    const QStringList widths = widthRows();
    if (row < 0 || row >= widths.size()) return;
    m_session.profile().cmbWidth = widths.at(row);
    m_session.profile().cmbHeight = heightRows().at(row);
    m_session.MainProc();
}

void SoundVideoController::chooseHeightRow(int row)
{
    const QStringList heights = heightRows();
    if (row < 0 || row >= heights.size()) return;
    m_session.profile().cmbHeight = heights.at(row);
    m_session.profile().cmbWidth = widthRows().at(row);
    m_session.MainProc();
}

void SoundVideoController::setWidthText(const QString& text)
{
    if (m_session.profile().cmbWidth == text) return;
    m_session.profile().cmbWidth = settleNumeric(text);
    m_session.MainProc();
}

void SoundVideoController::setHeightText(const QString& text)
{
    if (m_session.profile().cmbHeight == text) return;
    m_session.profile().cmbHeight = settleNumeric(text);
    m_session.MainProc();
}

void SoundVideoController::setBits(const QString& text)
{
    if (m_session.profile().txtBITS == text) return;
    m_session.profile().txtBITS = text.isEmpty() ? QString() : QStringLiteral("8");
    m_session.MainProc();
}

void SoundVideoController::reset()
{
    m_session.Rst = true;
    setSound(1);
    setSfx(1);
    setMusic(1);
    setWidthText(QString());
    setHeightText(QString());
    setBits(QString());
    m_session.Rst = false;
    m_session.MainProc();
}

// --- Miscellaneous ----------------------------------------------------------------------

const std::array<MiscController::Switch, 7> MiscController::kSwitches = {{
    {&LaunchProfile::chkNOFLATHACK, "&Prevent using flats from original Doom.exe (-NOFLATHACK)"},
    {&LaunchProfile::chkNOIDLE,
     "Prevent priority of &ZDoom from dropping when it is not in focus (-NOIDLE)"},
    {&LaunchProfile::chkNOBLIT, "Do &not update display screen except to internal buffer (-NOBLIT)"},
    {&LaunchProfile::chkNODRAW, "Do not draw &anything only useful with -TIMEDEMO (-NODRAW)"},
    {&LaunchProfile::chkCDROM,
     "Put debug &files, savegames and screenshots in a folder called C:\\ZDOOMDAT (-CDROM)"},
    {&LaunchProfile::chkAVG, "Austin &Virtual Gaming - go to next level after 20 minutes (-AVG)"},
    {&LaunchProfile::chkDEVPARM, "Developer's &mode (-DEVPARM)"},
}};

void MiscController::setSwitch(int index, int value)
{
    if (index < 0 || index >= static_cast<int>(kSwitches.size())) return;
    int& box = m_session.profile().*(kSwitches[index].field);
    if (box == value) return;
    box = value;
    m_session.MainProc();
}

void MiscController::setExtraCommands(const QString& text)
{
    if (m_session.profile().txtEC == text) return;
    m_session.profile().txtEC = text;
    m_session.MainProc();
}

void MiscController::reset()
{
    m_session.Rst = true;
    for (int i = 0; i < static_cast<int>(kSwitches.size()); ++i) setSwitch(i, 0);
    setExtraCommands(QString());
    m_session.Rst = false;
    m_session.MainProc();
}

// --- Obsolete options -------------------------------------------------------------------

void ObsoleteController::set(QString LaunchProfile::*field, const QString& text)
{
    if (m_session.profile().*field == text) return;
    m_session.profile().*field = text;
    m_session.notify();
}

void ObsoleteController::set(int LaunchProfile::*field, int value)
{
    if (m_session.profile().*field == value) return;
    m_session.profile().*field = value;
    m_session.notify();
}

void ObsoleteController::setNet(const QString& text) { set(&LaunchProfile::txtNET, text); }
void ObsoleteController::setPrimarySound(int value) { set(&LaunchProfile::chkPrimarySound, value); }
void ObsoleteController::setWavonly(int value) { set(&LaunchProfile::chkWavonly, value); }
void ObsoleteController::setTransFile(const QString& text) { set(&LaunchProfile::txtTransFile, text); }
void ObsoleteController::setNommx(int value) { set(&LaunchProfile::chkNOMMX, value); }
void ObsoleteController::setNotrans(int value) { set(&LaunchProfile::chkNOTRANS, value); }

void ObsoleteController::setHeapSize(const QString& text)
{
    if (m_session.profile().txtHeapSize == text) return;
    m_session.profile().txtHeapSize = settleNumeric(text);
    m_session.notify(); // also when the filter put back the old text: the box must show it
}

void ObsoleteController::browseTransFile()
{
    const QString path = m_chooser.FileDialogOpen(QStringLiteral("Choose a File for '-TRANSFILE'"),
                                                  QStringLiteral("Transfile (*.tch)|*.tch|"),
                                                  {m_session.profile().txtTransFile});
    if (!path.isEmpty()) setTransFile(path);
}

void ObsoleteController::close()
{
    m_session.MainProc();
}

} // namespace tarnwick
