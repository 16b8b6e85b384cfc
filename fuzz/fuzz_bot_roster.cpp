// The bot roster file on any bytes: reading always gives a roster with one unique name per
// record; that roster written and read again is the same roster with the same names and
// nothing left over, and writing it again gives the same file.

#include "fuzz_check.h"

#include "base/text_encoding.h"
#include "editors/bots/bot_roster.h"

#include <QSet>

#include <cstddef>
#include <cstdint>

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    QByteArray bytes;
    fuzz::check(roster::readBytes(in.device, bytes) && bytes == in.bytes, "a small file is read whole");
    const filetext::Encoding encoding = filetext::detect(bytes);
    const QString text = filetext::decode(bytes, encoding);
    if (encoding == filetext::Encoding::Windows1252)
        fuzz::check(filetext::encode(text, encoding) == bytes, "the 8-bit text keeps every byte");

    const roster::ReadResult first = roster::GetBots(text);
    if (first.usedDefault) fuzz::check(first.Roster == roster::defaultRoster(), "no record gives the default roster");
    fuzz::check(first.names.size() == roster::recordCount(first.Roster), "one name per record", first.names.join(u'|').toUtf8());
    QSet<QString> folded;
    for (const QString& name : first.names) folded << name.toCaseFolded();
    fuzz::check(folded.size() == first.names.size(), "no two bots share a name", first.names.join(u'|').toUtf8());

    const QString written = roster::fileText(first.Roster);
    const roster::ReadResult second = roster::GetBots(written);
    fuzz::check(second.Roster == first.Roster, "a roster written and read again is the same",
                first.Roster.toUtf8().left(400) + "\n" + second.Roster.toUtf8().left(400));
    fuzz::check(second.names == first.names, "the names come back in their places");
    fuzz::check(second.droppedLines == 0, "a written roster leaves nothing over when read");
    fuzz::check(roster::fileText(second.Roster) == written, "writing again gives the same file");
    return 0;
}
