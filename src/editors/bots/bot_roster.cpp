#include "editors/bots/bot_roster.h"

#include "base/paths.h"

#include <QDir>
#include <QIODevice>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <optional>

namespace tarnwick::roster {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The key word of each field position, as the file names it.
constexpr std::array<const char*, kFieldCount> kKeyWords{{
    "name", "aiming", "perfection", "reaction", "isp", "color", "skin", "weaponpref",
}};

// The key line of each field position: the key words with the tabs that line their
// values up at one column for a tab width of 8.
constexpr std::array<const char*, kFieldCount> kKeyLines{{
    "\tname\t\t", "\taiming\t\t", "\tperfection\t", "\treaction\t",
    "\tisp\t\t", "\tcolor\t\t", "\tskin\t\t", "\tweaponpref\t",
}};

QString recordOf(const DefaultBot& bot)
{
    return QStringLiteral("%1{%2{%3{%4{%5{\"%6\"{%7{%8")
        .arg(QLatin1String(bot.name))
        .arg(bot.aiming)
        .arg(bot.perfection)
        .arg(bot.reaction)
        .arg(bot.isp)
        .arg(QLatin1String(bot.colour), QLatin1String(bot.skin), QLatin1String(bot.weaponpref));
}

} // namespace

QString weaponName(int digit)
{
    if (digit < 0 || digit >= int(kWeaponNames.size())) return {};
    return QLatin1String(kWeaponNames[size_t(digit)]);
}

int weaponDigit(const QString& name)
{
    for (size_t i = 0; i < kWeaponNames.size(); ++i)
        if (name == QLatin1String(kWeaponNames[i])) return int(i);
    return -1;
}

QString reduceDoubledSeparators(const QString& path)
{
    QString out;
    out.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        out += path.at(i);
        if (paths::isSeparator(path.at(i)) && i + 1 < path.size() && paths::isSeparator(path.at(i + 1)))
            ++i;
    }
    return out;
}

QString RosterPath(const QString& portFolder)
{
    const QString folder = paths::entryIgnoringCase(portFolder, QStringLiteral("zcajun"));
    return reduceDoubledSeparators(paths::entryIgnoringCase(folder, QStringLiteral("Bots.cfg")));
}

QString defaultRecord(int index)
{
    if (index < 0 || index >= int(kDefaultBots.size())) return {};
    return recordOf(kDefaultBots[size_t(index)]);
}

QString defaultRoster()
{
    QStringList records;
    for (const DefaultBot& bot : kDefaultBots) records << recordOf(bot);
    return records.join(kRecordSeparator);
}

QStringList defaultNames()
{
    QStringList names;
    for (const DefaultBot& bot : kDefaultBots) names << QLatin1String(bot.name);
    return names;
}

QString defaultRecordFor(const QString& name)
{
    for (const DefaultBot& bot : kDefaultBots)
        if (name == QLatin1String(bot.name)) return recordOf(bot);
    return {};
}

bool isDefaultName(const QString& name)
{
    return !defaultRecordFor(name).isEmpty();
}

QString record(const QString& Roster, int index)
{
    if (index < 0) return {};
    return Roster.section(kRecordSeparator, index, index);
}

int recordCount(const QString& Roster)
{
    return int(Roster.count(kRecordSeparator)) + 1;
}

QString replaceRecord(const QString& Roster, int index, const QString& newRecord)
{
    if (index < 0) return Roster;
    QStringList pieces = Roster.split(kRecordSeparator);
    // A name list read from a malformed file can run longer than the records; the bot
    // keeps its place by position, so the missing records are added empty.
    while (pieces.size() <= index) pieces << QString();
    pieces[index] = newRecord;
    return pieces.join(kRecordSeparator);
}

QString removeRecord(const QString& Roster, int index)
{
    QStringList pieces = Roster.split(kRecordSeparator);
    if (index >= 0 && index < pieces.size()) pieces.removeAt(index);
    return pieces.join(kRecordSeparator);
}

QString appendRecord(const QString& Roster, const QString& newRecord)
{
    return Roster + kRecordSeparator + newRecord;
}

namespace {

// One block of the file as it is being read.
struct Block
{
    std::array<std::optional<QString>, kFieldCount> fields;
    int keptLines = 0;    // key lines whose value goes into the record
    int droppedLines = 0; // everything else with text on it
    bool anyKey = false;  // a known key stood in the block, with or without a value

    void readLine(QStringView line);
};

int keyPosition(QStringView word)
{
    for (size_t i = 0; i < kKeyWords.size(); ++i)
        if (word.compare(QLatin1StringView(kKeyWords[i]), Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

void Block::readLine(QStringView line)
{
    qsizetype at = 0;
    while (at < line.size() && line.at(at).isSpace()) ++at;
    if (at == line.size()) return;
    qsizetype end = at;
    while (end < line.size() && !isBlank(line.at(end))) ++end;
    const int position = keyPosition(line.mid(at, end - at));
    if (position < 0 || fields[size_t(position)]) {
        ++droppedLines; // a comment, an unknown key, or a key given again
        return;
    }
    anyKey = true;
    // Tabs line the values up in the editor's files and are only a separator; after a
    // blank, blanks and tabs alike are.
    if (end < line.size() && line.at(end) == u'\t') {
        while (end < line.size() && line.at(end) == u'\t') ++end;
    } else {
        while (end < line.size() && isBlank(line.at(end))) ++end;
    }
    QString value = line.mid(end).toString();
    while (value.endsWith(u'\t')) value.chop(1);
    if (value.trimmed().isEmpty()) {
        ++droppedLines;
        fields[size_t(position)] = QString();
        return;
    }
    value.replace(kFieldSeparator, u'('); // the roster's own separator cannot stand in a value
    fields[size_t(position)] = value;
    ++keptLines;
}

// `base` followed by " <n>", for the first n from `next` up that names no bot yet, cut
// to the editor's name length. `next` moves past it, so a file that repeats one name
// thousands of times is still read at once.
QString freeName(const QString& base, int& next, const QSet<QString>& taken)
{
    for (;; ++next) {
        const QString suffix = u' ' + QString::number(next);
        const QString name = base.left(qMax(1, kNameLength - int(suffix.size()))) + suffix;
        if (!taken.contains(name.toCaseFolded())) return name;
    }
}

} // namespace

ReadResult GetBots(const QString& F)
{
    ReadResult result;
    QList<Block> blocks;
    Block open;
    bool inBlock = false;
    const auto finish = [&] {
        if (open.anyKey) blocks << open;
        else result.droppedLines += open.droppedLines;
        inBlock = false;
    };

    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    for (const QString& line : F.split(lineEnd)) {
        QStringView rest(line);
        while (!rest.isEmpty()) {
            const QStringView trimmed = rest.trimmed();
            if (trimmed.startsWith(kFieldSeparator)) { // a block begins, and ends one left open
                if (inBlock) finish();
                open = Block{};
                inBlock = true;
                rest = trimmed.mid(1);
                continue;
            }
            if (!inBlock) {
                if (!trimmed.isEmpty()) ++result.droppedLines; // text between blocks
                break;
            }
            const qsizetype close = rest.indexOf(kRecordSeparator);
            open.readLine(close < 0 ? rest : rest.left(close));
            if (close < 0) break;
            finish();
            rest = rest.mid(close + 1);
        }
    }
    if (inBlock) result.droppedLines += open.keptLines + open.droppedLines; // never closed

    if (blocks.isEmpty()) {
        result.Roster = defaultRoster();
        result.names = defaultNames();
        result.usedDefault = true;
        return result;
    }

    // Names the file gives are kept where they are the first of their kind; the others
    // are made unique against every name in the file.
    QSet<QString> taken;
    for (const Block& block : blocks)
        if (const auto& name = block.fields[0]; name && !name->isEmpty()) taken << name->toCaseFolded();
    QSet<QString> seen;
    QHash<QString, int> next; // per name made unique, the number to try next
    QStringList records;
    int unnamed = 1;
    for (Block& block : blocks) {
        std::optional<QString>& name = block.fields[0];
        if (!name || name->isEmpty()) {
            name = freeName(QStringLiteral("Bot"), unnamed, taken);
        } else if (seen.contains(name->toCaseFolded())) {
            int& counter = next[name->toCaseFolded()];
            counter = qMax(counter, 2);
            name = freeName(*name, counter, taken);
        }
        taken << name->toCaseFolded();
        seen << name->toCaseFolded();
        result.names << *name;
        result.droppedLines += block.droppedLines;

        QStringList fields;
        for (const std::optional<QString>& field : block.fields) fields << field.value_or(QString());
        while (fields.last().isEmpty()) fields.removeLast(); // the name is never empty
        records << fields.join(kFieldSeparator);
    }
    result.Roster = records.join(kRecordSeparator);
    return result;
}

QString fileText(const QString& Roster)
{
    QString T;
    T.reserve(Roster.size() * 2 + 64);
    for (const QString& rec : Roster.split(kRecordSeparator)) {
        const QStringList fields = rec.split(kFieldSeparator);
        T += QStringLiteral("{\r\n");
        for (qsizetype pos = 0; pos < fields.size() && pos < kFieldCount; ++pos) {
            if (fields.at(pos).isEmpty()) continue;
            T += QLatin1String(kKeyLines[size_t(pos)]);
            T += fields.at(pos);
            T += kCrLf;
        }
        T += QStringLiteral("}\r\n\r\n");
    }
    T += kCrLf;
    return T;
}

bool readBytes(QIODevice& device, QByteArray& bytes)
{
    if (!device.isReadable()) return false;
    if (!device.isSequential() && device.size() > kMaxFileSize) return false;
    bytes.clear();
    while (!device.atEnd()) {
        const QByteArray chunk = device.read(1024 * 1024);
        if (chunk.isEmpty()) break;
        bytes += chunk;
        if (bytes.size() > kMaxFileSize) return false;
    }
    return true;
}

FileWriteResult writeFile(const QString& path, const QString& Roster, filetext::Encoding encoding)
{
    return writeFileContents(paths::toNative(path), filetext::encode(fileText(Roster), encoding));
}

QString backupPath(const QString& rosterFile)
{
    return rosterFile + QStringLiteral(".bak");
}

} // namespace tarnwick::roster
