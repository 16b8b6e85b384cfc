#pragma once

#include "base/file_writer.h"
#include "base/text_encoding.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

class QIODevice;

namespace tarnwick {

// One bot of the roster the port ships with.
struct DefaultBot
{
    const char* name;
    int aiming;
    int perfection;
    int reaction;
    int isp;
    const char* colour; // red, green, blue as lowercase hex pairs, without the quotes
    const char* skin;
    const char* weaponpref;
};

// The sixteen bots "Reset all" brings back, in roster order. Some weapon preferences
// repeat a weapon; the port accepts that and so does the editor.
inline constexpr std::array<DefaultBot, 16> kDefaultBots{{
    {"Hugne", 67, 50, 70, 50, "40 cf 00", "base", "012385687"},
    {"Josef", 34, 75, 15, 90, "b0 b0 b0", "base", "012345678"},
    {"Sven", 80, 67, 72, 87, "50 50 60", "base", "012345678"},
    {"Emmily", 15, 50, 50, 50, "8f 00 00", "base", "082345678"},
    {"Mats", 5, 13, 2, 100, "ff ff ff", "base", "012345678"},
    {"Joel", 45, 30, 70, 60, "ff af 3f", "base", "012345678"},
    {"James", 56, 34, 78, 50, "bf 00 00", "base", "012345678"},
    {"Gustav", 25, 55, 32, 70, "00 00 ff", "base", "012345678"},
    {"Flare", 61, 50, 23, 32, "00 00 7f", "base", "012345678"},
    {"Rambo", 90, 85, 1, 3, "ff ff 00", "base", "012345678"},
    {"Ingo", 12, 35, 56, 37, "40 cf 00", "base", "012345678"},
    {"Kassy", 1, 35, 1, 100, "b0 b0 b0", "base", "012345678"},
    {"Derrick", 67, 15, 76, 37, "50 50 60", "base", "012345678"},
    {"Hellkeeper", 52, 35, 50, 37, "8f 00 00", "base", "012345678"},
    {"V234", 72, 35, 46, 77, "ff ff ff", "base", "012345876"},
    {"killern", 100, 100, 100, 23, "ff ff ff", "base", "012385787"},
}};

// The port's weapon numbers, as the weaponpref digits use them.
inline constexpr std::array<const char*, 9> kWeaponNames{{
    "Fists", "Chainsaw", "Pistol", "Shotgun", "Super shotgun",
    "Chaingun", "Rocket launcher", "Plasma rifle", "BFG 9000",
}};

namespace roster {

// Records are joined by "}", fields within a record by "{".
inline constexpr QChar kRecordSeparator = u'}';
inline constexpr QChar kFieldSeparator = u'{';
inline constexpr int kFieldCount = 8;
// Names typed in the editor, and names it makes up, are at most this long.
inline constexpr int kNameLength = 14;

QString weaponName(int digit);          // empty outside 0..8
int weaponDigit(const QString& name);   // -1 for a text that names no weapon

// <port folder>/zcajun/Bots.cfg, doubled separators reduced to one. The port's Linux
// builds name the file bots.cfg: a folder and a file already there are taken under the
// names they have, whatever their letter case, so the roster is read from and written
// back to the one file the port reads.
QString RosterPath(const QString& portFolder);

// A text with every pair of separators in a row ("\\", "//", "\/") reduced to one, in
// one pass from the left, the way the roster path and the zcajun folder are formed.
QString reduceDoubledSeparators(const QString& path);

QString defaultRecord(int index); // index 0..15
QString defaultRoster();
QStringList defaultNames();
// The default record of a bot with exactly this name (letter case counts), else empty.
QString defaultRecordFor(const QString& name);
bool isDefaultName(const QString& name);

// Record operations on the roster text, by record index. A roster text always holds at
// least one record (the empty text is one empty record).
QString record(const QString& Roster, int index); // empty when there is no such record
QString replaceRecord(const QString& Roster, int index, const QString& newRecord);
QString removeRecord(const QString& Roster, int index);
QString appendRecord(const QString& Roster, const QString& newRecord);
int recordCount(const QString& Roster);

struct ReadResult
{
    QString Roster;
    QStringList names;
    bool usedDefault = false; // the file held no record, so the default roster was taken
    // Lines with something on them that writing the roster does not give back: comments,
    // unknown keys, a key given twice or without a value, text outside the blocks.
    int droppedLines = 0;
};

// The file text turned into the roster text and the name list.
//
// Each block between a "{" line and a "}" line is one bot, and each line in it is a key
// word, blanks or tabs, and the value; the value goes to the field its key names,
// whatever the order of the lines. Lines may end in CR LF, LF or CR. A block the file
// never closes is not read. A record ends after its last field that has a value, so a
// file in the editor's own format reads exactly as it did when it was read by position.
// Every bot gets a name no other bot has without regard to letter case: a block without
// one is called "Bot 1", "Bot 2", ..., and a name the file repeats gets " 2", " 3", ...
ReadResult GetBots(const QString& fileText);

// The whole file as it is written for a roster text, trailing CR LF included. Every
// record is one closed block; a field without a value gets no line.
QString fileText(const QString& Roster);


// Reads the whole device. False when the device cannot be read or is larger than any
// roster could sensibly be.
bool readBytes(QIODevice& device, QByteArray& bytes);
inline constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

// Writes the roster as the file at `path` (see writeFileContents for how), in the
// encoding the file was read in: names a Linux editor wrote in UTF-8 stay UTF-8, and a
// file in the Western code page keeps every byte it had.
FileWriteResult writeFile(const QString& path, const QString& Roster, filetext::Encoding encoding);

// The copy of the original file kept before lines it holds are dropped: beside it, with
// ".bak" after its name.
QString backupPath(const QString& rosterFile);

} // namespace roster
} // namespace tarnwick
