// The bot roster file on any bytes: reading always gives a roster and one name per record
// it found; a roster of whole records (eight fields, none empty) written and read again
// is the same roster with the same names; the written file is 8-bit text that holds
// every byte of the roster, and the name list follows the records.

#include "fuzz_check.h"

#include "editors/bots/bot_roster.h"


#include <cstddef>
#include <cstdint>

using namespace tarnwick;

namespace {

// A roster survives the file when each record has its eight fields and no field is
// empty or holds a CR LF pair (the reader drops those pairs): anything else is read
// by position, as the port does, and lands elsewhere.
bool wholeRecords(const QString& Roster)
{
    for (const QString& rec : Roster.split(roster::kRecordSeparator)) {
        const QStringList fields = rec.split(roster::kFieldSeparator);
        if (fields.size() != roster::kFieldCount) return false;
        for (const QString& field : fields)
            if (field.isEmpty() || field.contains(QStringLiteral("\r\n"))) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    QString text;
    fuzz::check(roster::readText(in.device, text), "a small file is read");
    fuzz::check(roster::encode(text) == in.bytes, "reading keeps every byte");

    const roster::ReadResult first = roster::GetBots(text);
    fuzz::check(!first.names.isEmpty(), "there is always a bot to show");
    if (first.usedDefault) fuzz::check(first.Roster == roster::defaultRoster(), "no record gives the default roster");

    const QString written = roster::fileText(first.Roster);
    fuzz::check(roster::decode(roster::encode(written)) == written, "the written file holds the roster's bytes");
    if (!wholeRecords(first.Roster)) return 0;

    const roster::ReadResult second = roster::GetBots(written);
    fuzz::check(second.Roster == first.Roster, "a roster written and read again is the same",
                first.Roster.toUtf8().left(400) + "\n" + second.Roster.toUtf8().left(400));
    QStringList names;
    for (const QString& rec : first.Roster.split(roster::kRecordSeparator)) names << rec.section(roster::kFieldSeparator, 0, 0);
    fuzz::check(second.names == names, "a bot's place in the name list is its record's place");
    fuzz::check(roster::fileText(second.Roster) == written, "writing again gives the same file");
    return 0;
}
