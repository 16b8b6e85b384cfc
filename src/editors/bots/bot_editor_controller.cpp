#include "editors/bots/bot_editor_controller.h"

#include "editors/bots/bot_roster.h"
#include "platform/message_box.h"
#include "base/file_writer.h"
#include "base/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tarnwick {

namespace {

using Answer = MessageBox::Answer;
using Buttons = MessageBox::Buttons;
using Icon = MessageBox::Icon;

constexpr std::array<const char*, 4> kSkillCaptions{{"&Aiming (", "&Perfection (", "&Reaction (", "&ISP ("}};
constexpr std::array<const char*, 3> kChannelCaptions{{"Re&d (", "&Green (", "B&lue ("}};

const QString kEditorError = QStringLiteral("ZDoom Cajun Bot Editor Error");

// Braces separate the roster's fields and records, and the port reads the file as
// tab-separated items, so none of them may stand inside a value the user types.
QString fieldSafe(QString text)
{
    text.replace(u'{', u'(');
    text.replace(u'}', u')');
    text.replace(u'\t', u' ');
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

int hexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
    return -1;
}

// The two hexadecimal digits at `at`, or -1 when they are not there.
int hexPair(const QString& field, qsizetype at)
{
    if (field.size() < at + 2) return -1;
    const int high = hexDigit(field.at(at));
    const int low = hexDigit(field.at(at + 1));
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

QStringList weaponsInDigitOrder()
{
    QStringList rows;
    for (int d = 0; d < BotEditorController::kWeaponRows; ++d) rows << roster::weaponName(d);
    return rows;
}

} // namespace

BotEditorController::BotEditorController(const QString& portFolder, MessageBox& messages,
                                         QObject* parent)
    : QObject(parent), m_portFolder(portFolder), m_messages(messages),
      m_weapons(weaponsInDigitOrder())
{
}

QString BotEditorController::rosterPath() const
{
    return m_rosterFile.isEmpty() ? roster::RosterPath(m_portFolder) : m_rosterFile;
}

// The port-folder text as typed, then the roster's folder and file as they are named.
QString BotEditorController::shownPath(const QString& path) const
{
    const QChar sep = QDir::separator();
    return m_portFolder + sep + paths::fileNamePart(paths::folderPart(path)) + sep + paths::fileNamePart(path);
}

void BotEditorController::load()
{
    // The controls' first values must not be stored over the first bot.
    HoldStore = true;
    m_rosterFile = roster::RosterPath(m_portFolder);
    m_fileBytes.clear();
    m_fileRead = m_backupDone = false;
    m_droppedLines = 0;
    m_encoding = filetext::Encoding::Utf8;
    const QFileInfo info(paths::toNative(m_rosterFile));
    QFile file(info.filePath());
    if (!info.exists()) {
        ResetAll();
    } else if (info.isDir()) {
        m_messages.show(QStringLiteral("'%1' is a folder, not a file.  The default bots are shown instead; to "
                                       "save them, rename or remove the folder.").arg(shownPath(m_rosterFile)),
                        kEditorError, Buttons::Ok, Icon::Exclamation);
        ResetAll();
    } else if (file.open(QIODevice::ReadOnly) && roster::readBytes(file, m_fileBytes)) {
        m_encoding = filetext::detect(m_fileBytes);
        GetBots(filetext::decode(m_fileBytes, m_encoding));
    } else {
        const QString reason = file.error() == QFileDevice::NoError ? QStringLiteral("the file is too large")
                                                                    : file.errorString();
        m_messages.show(QStringLiteral("Cannot read the file '%1': %2.  The default bots are shown instead; "
                                       "pressing Close will replace the file with them.")
                            .arg(shownPath(m_rosterFile), reason),
                        kEditorError, Buttons::Ok, Icon::Exclamation);
        ResetAll();
    }
    m_weaponRow = 0;
    emit changed();
}

void BotEditorController::GetBots(const QString& fileText)
{
    const roster::ReadResult read = roster::GetBots(fileText);
    Roster = read.Roster;
    // A file that gave no bot is written at Close like a missing one.
    m_fileRead = !read.usedDefault;
    m_readRoster = read.Roster;
    m_droppedLines = read.droppedLines;
    fillNames(read.names);
}

void BotEditorController::ResetAll()
{
    Roster = roster::defaultRoster();
    fillNames(roster::defaultNames());
}

void BotEditorController::fillNames(const QStringList& names)
{
    m_names = names;
    selectBot(0);
}

QString BotEditorController::skillCaption(Skill s) const
{
    return QLatin1String(kSkillCaptions[size_t(s)]) + QString::number(skill(s)) + QStringLiteral("):");
}

QString BotEditorController::channelCaption(Channel c) const
{
    return QLatin1String(kChannelCaptions[size_t(c)]) + QString::number(channel(c), 16).toUpper()
         + QStringLiteral("):");
}

QString BotEditorController::shownRecord() const
{
    QString weaponpref;
    for (int row = 0; row < m_weapons.size(); ++row) {
        const int digit = roster::weaponDigit(m_weapons.at(row));
        weaponpref += QChar(u'0' + (digit < 0 ? row : digit));
    }
    const QStringList fields{
        CurBotName,
        QString::number(skill(Skill::Aiming)),
        QString::number(skill(Skill::Perfection)),
        QString::number(skill(Skill::Reaction)),
        QString::number(skill(Skill::Isp)),
        QString::asprintf("\"%02x %02x %02x\"", m_colour[0], m_colour[1], m_colour[2]),
        fieldSafe(m_skin),
        weaponpref,
    };
    return fields.join(roster::kFieldSeparator);
}

void BotEditorController::SetBot(const QString& DefBot)
{
    if (!DefBot.isEmpty()) {
        Roster = roster::replaceRecord(Roster, CurBot, DefBot);
        return;
    }
    QStringList fields = shownRecord().split(roster::kFieldSeparator);
    const QStringList shown = m_shownAsRead.split(roster::kFieldSeparator);
    if (fields == shown) return; // untouched: the record stays as the file had it
    // Only what the player changed takes the controls' values. A control the record gave
    // no value to still shows the previous bot's, which is not this bot's to keep: such a
    // field, like every other one the player left alone, stays as the record held it.
    const QStringList held = roster::record(Roster, CurBot).split(roster::kFieldSeparator);
    for (qsizetype pos = 1; pos < fields.size(); ++pos)
        if (fields.at(pos) == shown.value(pos)) fields[pos] = held.value(pos);
    while (fields.size() > 1 && fields.constLast().isEmpty()) fields.removeLast();
    Roster = roster::replaceRecord(Roster, CurBot, fields.join(roster::kFieldSeparator));
}

void BotEditorController::showRecord(const QString& rec)
{
    const QStringList fields = rec.split(roster::kFieldSeparator);
    const auto field = [&fields](int position) { return position < fields.size() ? fields.at(position) : QString(); };
    const auto has = [&fields](int position) { return position < fields.size(); };

    for (size_t s = 0; s < m_skill.size(); ++s) {
        bool ok = false;
        const int value = field(int(s) + 1).trimmed().toInt(&ok);
        if (ok && value >= 0 && value <= kSkillMax) m_skill[s] = value;
    }
    // The colour is "rr gg bb" in quotes: the pairs start at the 2nd, 5th and 8th
    // character. A file written by hand may leave the quotes out.
    const qsizetype quote = field(5).startsWith(u'"') ? 1 : 0;
    for (size_t c = 0; c < m_colour.size(); ++c) {
        const int value = hexPair(field(5), qsizetype(quote + 3 * c));
        if (value >= 0) m_colour[c] = value;
    }
    if (has(6)) m_skin = field(6);
    if (has(7)) {
        // Nine rows whatever the field holds: a position the field leaves out, or fills
        // with something that is no weapon digit, shows the weapon of that position.
        const QString pref = field(7);
        for (int row = 0; row < kWeaponRows; ++row) {
            int digit = row;
            if (row < pref.size() && pref.at(row) >= u'0' && pref.at(row) <= u'8')
                digit = pref.at(row).unicode() - u'0';
            m_weapons[row] = roster::weaponName(digit);
        }
    }
}

void BotEditorController::CheckReset()
{
    m_resetEnabled = roster::isDefaultName(CurBotName);
    m_resetCaption = m_resetEnabled ? QStringLiteral("Re&set ") + CurBotName : QStringLiteral("Re&set");
}

void BotEditorController::selectBot(int index)
{
    if (index < 0 || index >= m_names.size()) return;
    if (!HoldStore) SetBot(); // CurBot is still the bot shown until now
    const int row = m_weaponRow;
    showRecord(roster::record(Roster, index));
    m_weaponRow = row;
    HoldStore = false;
    CurBotName = m_names.at(index);
    CurBot = index;
    m_shownAsRead = shownRecord();
    CheckReset();
    emit changed();
}

void BotEditorController::setSkill(Skill s, int value)
{
    m_skill[size_t(s)] = qBound(0, value, kSkillMax);
    emit changed();
}

void BotEditorController::setChannel(Channel c, int value)
{
    m_colour[size_t(c)] = qBound(0, value, kChannelMax);
    emit changed();
}

void BotEditorController::setSkin(const QString& text)
{
    m_skin = text;
    emit changed();
}

void BotEditorController::leaveSkin()
{
    if (m_skin.trimmed().isEmpty()) m_skin = QStringLiteral("base");
    emit changed();
}

void BotEditorController::selectWeaponRow(int row)
{
    if (row < -1 || row >= kWeaponRows) return;
    m_weaponRow = row;
    emit changed();
}

void BotEditorController::moveWeaponUp()
{
    const int row = m_weaponRow;
    if (row <= 0 || row >= kWeaponRows) return;
    m_weapons.move(row, row - 1);
    m_weaponRow = row - 1;
    emit changed();
}

void BotEditorController::moveWeaponDown()
{
    const int row = m_weaponRow;
    if (row < 0 || row >= kWeaponRows - 1) return;
    m_weapons.move(row, row + 1);
    m_weaponRow = row + 1;
    emit changed();
}

void BotEditorController::MenuReplace(const QString& weapon)
{
    if (m_weaponRow < 0 || m_weaponRow >= kWeaponRows || roster::weaponDigit(weapon) < 0) return;
    m_weapons[m_weaponRow] = weapon;
    emit changed();
}

bool BotEditorController::askName(const QString& prompt, const QString& title, QString& name)
{
    QString typed;
    if (!m_messages.input(prompt, title, typed)) return false;
    typed = typed.trimmed().left(kNameLength);
    if (typed.isEmpty()) return false;
    name = fieldSafe(typed);
    return true;
}

bool BotEditorController::nameInUse(const QString& name) const
{
    return m_names.contains(name, Qt::CaseInsensitive);
}

void BotEditorController::add()
{
    QString name;
    if (!askName(QStringLiteral("Type the new bot's name:"), QStringLiteral("Add Bot"), name)) return;
    if (nameInUse(name)) {
        m_messages.show(QStringLiteral("The name '%1' is already in use.  Please choose a unique name.").arg(name),
                        QStringLiteral("Add Bot Error"), Buttons::Ok, Icon::Exclamation);
        return;
    }
    // A new bot starts with the first default bot's values under its own name.
    const QString first = roster::defaultRecord(0);
    Roster = roster::appendRecord(Roster, name + first.mid(first.indexOf(roster::kFieldSeparator)));
    m_names << name;
    selectBot(int(m_names.size()) - 1);
}

void BotEditorController::remove()
{
    if (m_names.size() <= 1) {
        m_messages.show(QStringLiteral("You must have at least one bot"), QStringLiteral("Remove Error"),
                        Buttons::Ok, Icon::Exclamation);
        return;
    }
    const QString question = QStringLiteral("Are you sure you want to remove the bot '%1' (removing a "
                                            "custom bot cannot be undone)?").arg(m_names.at(CurBot));
    if (m_messages.show(question, QStringLiteral("Remove Bot"), Buttons::YesNo, Icon::Question) != Answer::Yes)
        return;
    // The removed bot's unstored edits go with it; nothing is stored over another record.
    Roster = roster::removeRecord(Roster, CurBot);
    HoldStore = true;
    m_names.removeAt(CurBot);
    selectBot(0);
}

void BotEditorController::rename()
{
    QString name;
    const QString prompt = QStringLiteral("Type a new name for '%1':").arg(m_names.value(CurBot));
    if (!askName(prompt, QStringLiteral("Rename Bot"), name)) return;
    if (nameInUse(name)) {
        m_messages.show(QStringLiteral("The name '%1' is already in use.  Please choose a unique name.").arg(name),
                        QStringLiteral("Rename Bot Error"), Buttons::Ok, Icon::Exclamation);
        return;
    }
    // The record's name field follows at the next store.
    CurBotName = name;
    m_names[CurBot] = name;
    emit changed();
}

void BotEditorController::resetBot()
{
    if (!m_resetEnabled) return;
    const QString name = m_names.value(CurBot);
    const QString question = QStringLiteral("Are you sure you want to reset the bot '%1' to its default settings?").arg(name);
    if (m_messages.show(question, QStringLiteral("Reset Bot"), Buttons::YesNo, Icon::Question) != Answer::Yes)
        return;
    HoldStore = true;
    const QString defaults = roster::defaultRecordFor(name);
    if (!defaults.isEmpty()) SetBot(defaults);
    selectBot(CurBot);
}

void BotEditorController::resetAll()
{
    const QString question = QStringLiteral("Are you sure you want to reset all bots settings?  "
                                            "This will delete any bots you may have added.");
    if (m_messages.show(question, QStringLiteral("Reset All Bots"), Buttons::YesNo, Icon::Question) != Answer::Yes)
        return;
    HoldStore = true;
    ResetAll();
}

bool BotEditorController::close()
{
    selectBot(CurBot); // stores the shown bot into the roster
    if (m_fileRead && Roster == m_readRoster) return true; // the file already says it all, byte for byte
    for (;;) {
        const QString failure = save();
        if (failure.isEmpty()) return true;
        switch (m_messages.show(failure, kEditorError, Buttons::AbortRetryIgnore, Icon::Critical)) {
        case Answer::Abort:
            return true;
        case Answer::Retry:
            continue;
        default: // Ignore: back to the editor, the roster still in memory
            return false;
        }
    }
}

QString BotEditorController::save()
{
    const QString retry = QStringLiteral("\r\n\r\nPress Retry to try again.  You will lose any changes if you press Abort.");
    const QString file = shownPath(rosterPath());

    if (m_droppedLines > 0 && !m_backupDone) {
        const QString backup = roster::backupPath(rosterPath());
        // The first copy is the one that holds the player's own lines; a later one would
        // hold only what this editor wrote.
        if (!QFileInfo::exists(paths::toNative(backup))) {
            const FileWriteResult kept = writeFileContents(paths::toNative(backup), m_fileBytes);
            if (!kept.ok())
                return QStringLiteral("An error occurred when trying to keep a copy of the file '%1' as '%2': %3.  "
                                      "The file has not been written, so none of its lines are lost.")
                           .arg(file, shownPath(backup), kept.reason)
                     + retry;
            const QString lines = m_droppedLines == 1 ? QStringLiteral("1 line")
                                                      : QStringLiteral("%1 lines").arg(m_droppedLines);
            m_messages.show(QStringLiteral("The file '%1' holds %2 that the bot editor does not write, such as "
                                           "comments and unknown keys.  The file as it was is kept as '%3'.")
                                .arg(file, lines, shownPath(backup)),
                            QStringLiteral("ZDoom Cajun Bot Editor"), Buttons::Ok, Icon::Information);
        }
        m_backupDone = true;
    }

    const FileWriteResult written = roster::writeFile(rosterPath(), Roster, m_encoding);
    if (written.ok()) return {};
    QString text = QStringLiteral("An error occurred when trying to write to the file '%1': %2.").arg(file, written.reason);
    if (written.outcome == FileWriteResult::Outcome::ReadOnlyFile)
        text += QStringLiteral("  Make sure the file is not read-only or in use by another program.");
    else if (written.outcome == FileWriteResult::Outcome::Folder)
        text += QStringLiteral("  A folder of that name stands where the file should be; rename or remove the folder.");
    return text + retry;
}

} // namespace tarnwick
