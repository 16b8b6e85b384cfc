#include "launch/composer.h"

namespace tarnwick {

namespace {

void appendValue(QString& line, QLatin1StringView word, const QString& value)
{
    if (!value.isEmpty()) line += word + value;
}

void appendSwitch(QString& line, QLatin1StringView word, int box)
{
    if (box == 1) line += word;
}

// Doom and Heretic rows read "E1M1: Hanger": the episode and map digits sit at fixed places.
// Doom II, Plutonia and TNT list maps 1 to 32 in order, so the row position is the map;
// rows past those are maps a loaded WAD adds ("33: ..."), which say their number.
// Hexen lists its maps in hub order, so the warp target comes from the row text.
QString warpTarget(const LaunchProfile& p)
{
    if (p.cmbGame == 6) return p.txtOther;
    if (p.lstMap < 0 || p.lstMap >= p.lstMapRows.size()) return {};
    const QString row = p.lstMapRows.at(p.lstMap);
    switch (p.cmbGame) {
    case 0:
    case 4:
        return QString(row.mid(1, 1)) + u' ' + row.mid(3, 1);
    case 1:
    case 2:
    case 3:
        if (p.lstMap < 32) return QString::number(p.lstMap + 1);
        [[fallthrough]];
    case 5: {
        const qsizetype colon = row.indexOf(u':');
        return colon < 0 ? row : row.left(colon);
    }
    default:
        return {};
    }
}

// The port opens the save by exactly the name it is given. Windows ignores letter case in
// file names, so the name is written in capitals there; elsewhere "zdoomsv1.zds" and
// "ZDOOMSV1.ZDS" are two different files and the name keeps its case on disk. A name
// with a blank in it is quoted, as the file dialogs quote paths, so that it reaches the
// port as one argument.
QString saveGameName(const QString& file)
{
#ifdef Q_OS_WIN
    return file.toUpper();
#else
    return file.contains(u' ') ? u'"' + file + u'"' : file;
#endif
}

} // namespace

QString composeCommandLine(const LaunchProfile& p)
{
    QString line;
    line.reserve(256);
    line += p.txtEXE;
    appendValue(line, QLatin1StringView(" -CONFIG "), p.txtINI);
    appendValue(line, QLatin1StringView(" -IWAD "), p.txtIWAD);
    appendValue(line, QLatin1StringView(" @"), p.txtParm);

    if (p.chkDemos == 1) {
        if (p.optPlay) {
            appendValue(line, QLatin1StringView(p.chkTimedemo == 0 ? " -PLAYDEMO " : " -TIMEDEMO "),
                        p.txtLMP);
        } else if (p.optRecord) {
            appendValue(line, QLatin1StringView(" -RECORD "), p.txtLMP);
            appendValue(line, QLatin1StringView(" -MAXDEMO "), p.txtMaxdemo);
        }
    }

    if (p.lvwLG != 1) line += QLatin1StringView(" -LOADGAME ") + saveGameName(p.selectedSaveFile());

    if (p.cmbGame >= 0 && p.cmbGame <= 6) appendValue(line, QLatin1StringView(" -WARP "), warpTarget(p));

    if (p.chkNomonsters == 0) {
        line += QLatin1StringView(" -NOMONSTERS");
    } else if (p.chkNomonsters == 1) {
        appendSwitch(line, QLatin1StringView(" -FAST"), p.chkFast);
        appendSwitch(line, QLatin1StringView(" -RESPAWN"), p.chkRespawn);
    }

    appendValue(line, QLatin1StringView(" -TIMER "), p.txtTimer);
    appendValue(line, QLatin1StringView(" -TURBO "), p.txtTurbo);

    if (!p.lstPWADhid.isEmpty()) {
        line += QLatin1StringView(" -FILE");
        for (const QString& file : p.lstPWADhid) line += u' ' + file;
    }
    if (!p.lstDehhid.isEmpty()) {
        line += QLatin1StringView(" -DEH");
        for (const QString& file : p.lstDehhid) line += u' ' + file;
    }

    if (!p.optSP) {
        if (p.optDeathmatch) line += QLatin1StringView(" -DEATHMATCH");
        if (p.optAltdeath) line += QLatin1StringView(" -ALTDEATH");
        if (p.optHost)
            appendValue(line, QLatin1StringView(" -HOST "), p.txtHost);
        else
            appendValue(line, QLatin1StringView(" -JOIN "), p.txtJoin);
    }

    appendSwitch(line, QLatin1StringView(" -EXTRATIC"), p.chkExtratic);
    appendSwitch(line, QLatin1StringView(" -DEBUGFILE"), p.chkDEBUGFILE);
    appendValue(line, QLatin1StringView(" -DUP "), p.txtDUP);
    appendValue(line, QLatin1StringView(" -PORT "), p.txtPORT);

    line += QLatin1StringView(" -SKILL ") + QString::number(p.cmbSkill + 1);

    if (p.chkSound == 0) {
        line += QLatin1StringView(" -NOSOUND");
    } else if (p.chkSound == 1) {
        if (p.chkSFX == 0) line += QLatin1StringView(" -NOSFX");
        if (p.chkMusic == 0) line += QLatin1StringView(" -NOMUSIC");
    }

    appendValue(line, QLatin1StringView(" -WIDTH "), p.cmbWidth);
    appendValue(line, QLatin1StringView(" -HEIGHT "), p.cmbHeight);
    appendValue(line, QLatin1StringView(" -BITS "), p.txtBITS);

    appendSwitch(line, QLatin1StringView(" -NOFLATHACK"), p.chkNOFLATHACK);
    appendSwitch(line, QLatin1StringView(" -NOIDLE"), p.chkNOIDLE);
    appendSwitch(line, QLatin1StringView(" -NOBLIT"), p.chkNOBLIT);
    appendSwitch(line, QLatin1StringView(" -NODRAW"), p.chkNODRAW);
    appendSwitch(line, QLatin1StringView(" -CDROM"), p.chkCDROM);
    appendSwitch(line, QLatin1StringView(" -AVG"), p.chkAVG);
    appendSwitch(line, QLatin1StringView(" -DEVPARM"), p.chkDEVPARM);

    appendValue(line, QLatin1StringView(" "), p.txtEC);

    if (p.chkDMFLAGS == 1) {
        line += QLatin1StringView(" +SET DMFLAGS ") + QString::number(p.Flags) +
                QLatin1StringView(" +SET DMFLAGS2 ") + QString::number(p.Flags2);
    }

    appendValue(line, QLatin1StringView(" -NET "), p.txtNET);
    appendSwitch(line, QLatin1StringView(" -PRIMARYSOUND"), p.chkPrimarySound);
    appendSwitch(line, QLatin1StringView(" -WAVONLY"), p.chkWavonly);
    appendValue(line, QLatin1StringView(" -HEAPSIZE "), p.txtHeapSize);
    appendValue(line, QLatin1StringView(" -TRANSFILE "), p.txtTransFile);
    appendSwitch(line, QLatin1StringView(" -NOMMX"), p.chkNOMMX);
    appendSwitch(line, QLatin1StringView(" -NOTRANS"), p.chkNOTRANS);

    // Only the blank is trimmed: a tab or line break a player typed stays.
    qsizetype start = 0;
    qsizetype end = line.size();
    while (start < end && line.at(start) == u' ') ++start;
    while (end > start && line.at(end - 1) == u' ') --end;
    return line.mid(start, end - start);
}

} // namespace tarnwick
