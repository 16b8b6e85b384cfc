#pragma once

#include "formats/savegame_scan.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace tarnwick {

// Every value the option windows present, one member per control and named after it.
// Check boxes hold 0 or 1, option buttons a bool each (a group may be read with several
// members cleared, as an old settings file can leave it), list indexes -1 for none.
// The initial values are the first-run values.
struct LaunchProfile
{
    // Game options page.
    QString txtEXE;
    QString txtFol;
    int chkReset = 0;
    QString txtINI;
    QString txtIWAD;
    QString txtParm;
    int chkDemos = 0;
    bool optPlay = true;
    bool optRecord = false;
    int chkTimedemo = 0;
    QString txtLMP;
    QString txtMaxdemo;
    // Save games: row 1 is "<Do not load a game>", row k >= 2 belongs to ZDSsFiles[k - 2].
    QList<SaveGameRow> lvwLGRows{SaveGameRow{{QStringLiteral("<Do not load a game>")}}};
    int lvwLG = 1;
    QStringList ZDSsFiles;
    int ZDSs = -1;
    QString wbPic; // the picture shown beside the list: a save file's path, or empty

    // Play options page.
    int cmbGame = 0;
    QStringList lstMapRows;
    int lstMap = -1;
    QString txtOther;
    int chkNomonsters = 1;
    int chkFast = 0;
    int chkRespawn = 0;
    QString txtTimer;
    QString txtTurbo;
    QString txtPWAD;
    QStringList lstPWADhid;
    QStringList lstPWAD;
    int lstPWADIndex = -1;
    QString DirPWAD;
    QString txtDeh;
    QStringList lstDehhid;
    QStringList lstDeh;
    int lstDehIndex = -1;
    QString DirDEH;
    bool optSP = true;
    bool optCoop = false;
    bool optDeathmatch = false;
    bool optAltdeath = false;
    bool optHost = true;
    bool optJoin = false;
    QString txtHost;
    QString txtJoin;
    int chkExtratic = 0;
    int chkDEBUGFILE = 0;
    QString txtDUP;
    QString txtPORT;
    QStringList cmbSkillRows;
    int cmbSkill = 2;

    // Sound and video page.
    int chkSound = 1;
    int chkSFX = 1;
    int chkMusic = 1;
    QString cmbWidth;
    QString cmbHeight;
    QString txtBITS;

    // Miscellaneous page.
    int chkNOFLATHACK = 0;
    int chkNOIDLE = 0;
    int chkNOBLIT = 0;
    int chkNODRAW = 0;
    int chkCDROM = 0;
    int chkAVG = 0;
    int chkDEVPARM = 0;
    QString txtEC;

    // Gameplay flags window: the boxes in the order DF1..DF19, DF2_1..DF2_4.
    int chkDMFLAGS = 1;
    // The "Allow ..." boxes start ticked: their bits are set when they are cleared.
    std::array<int, 23> DF{0, 0, 1, 1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0, 0, 0, 1};
    qint32 Flags = 0;
    qint32 Flags2 = 0;

    // Obsolete options window.
    QString txtNET;
    int chkPrimarySound = 0;
    int chkWavonly = 0;
    QString txtHeapSize;
    QString txtTransFile;
    int chkNOMMX = 0;
    int chkNOTRANS = 0;

    // The file name of the save game to load, or empty when row 1 is chosen.
    QString selectedSaveFile() const
    {
        return ZDSs >= 0 && ZDSs < ZDSsFiles.size() ? ZDSsFiles.at(ZDSs) : QString();
    }
    QString selectedMapRow() const
    {
        return lstMap >= 0 && lstMap < lstMapRows.size() ? lstMapRows.at(lstMap) : QString();
    }
};

} // namespace tarnwick
