#include "editors/bots/bot_roster.h"

#include "base/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

namespace tarnwick::roster {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kPair = QStringLiteral("{{");

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
    const QChar sep = QDir::separator();
    return reduceDoubledSeparators(portFolder + sep + QStringLiteral("zcajun") + sep
                                   + QStringLiteral("Bots.cfg"));
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

ReadResult GetBots(const QString& F)
{
    ReadResult result;
    QString C;
    qsizetype start = 0;
    for (;;) {
        const qsizetype close = F.indexOf(kRecordSeparator, start);
        if (close < 0) break;

        QString block = F.mid(start, close - start);
        block.remove(kCrLf);
        block.remove(kFieldSeparator);
        block.replace(u'\t', kFieldSeparator);
        block.replace(kPair, QString(kFieldSeparator)); // one pass: two tabs are one separator

        const QStringList items = block.split(kFieldSeparator);
        for (qsizetype i = 0; i < items.size(); i += 2) {
            C += items.at(i);
            C += kFieldSeparator;
        }
        if (items.size() >= 3) result.names << items.at(2);

        start = F.indexOf(kFieldSeparator, close + 1);
        if (start < 0) break;
    }

    C.replace(kPair, QString(kRecordSeparator));
    if (C.trimmed().isEmpty()) {
        result.Roster = defaultRoster();
        result.names = defaultNames();
        result.usedDefault = true;
        return result;
    }
    result.Roster = C.size() >= 2 ? C.mid(1, C.size() - 2) : QString();
    if (result.names.isEmpty()) result.names << QLatin1String(kDefaultBots[0].name);
    return result;
}

QString fileText(const QString& Roster)
{
    QString T;
    T.reserve(Roster.size() * 2 + 64);
    for (const QString& rec : Roster.split(kRecordSeparator)) {
        const QStringList fields = rec.split(kFieldSeparator);
        for (qsizetype pos = 0; pos < fields.size() && pos < kFieldCount; ++pos) {
            if (pos == 0) T += QStringLiteral("{\r\n");
            T += QLatin1String(kKeyLines[size_t(pos)]);
            T += fields.at(pos);
            T += kCrLf;
            if (pos == kFieldCount - 1) T += QStringLiteral("}\r\n\r\n");
        }
    }
    T += kCrLf;
    return T;
}

QString decode(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

QByteArray encode(const QString& text)
{
    return text.toLatin1();
}

bool readText(QIODevice& device, QString& text)
{
    if (!device.isReadable()) return false;
    if (!device.isSequential() && device.size() > kMaxFileSize) return false;
    QByteArray bytes;
    while (!device.atEnd()) {
        const QByteArray chunk = device.read(1024 * 1024);
        if (chunk.isEmpty()) break;
        bytes += chunk;
        if (bytes.size() > kMaxFileSize) return false;
    }
    text = decode(bytes);
    return true;
}

bool writeFile(const QString& path, const QString& Roster, QString* why)
{
    const auto fail = [why](const QString& reason) {
        if (why) *why = reason;
        return false;
    };
    const QString target = paths::toNative(path);
    const QFileInfo info(target);
    if (info.exists()) {
        if (info.isDir()) return fail(QStringLiteral("is a folder"));
        // WriteUser is asked of the system and says yes to an administrator; the bits say what
        // the user meant by marking the file read-only.
        constexpr auto anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        if (!info.isWritable() || !(info.permissions() & anyWrite))
            return fail(QStringLiteral("the file is read-only"));
    }

    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    const QByteArray bytes = encode(fileText(Roster));
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit()) return fail(file.errorString());
    return true;
}

} // namespace tarnwick::roster
