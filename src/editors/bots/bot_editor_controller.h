#pragma once

#include "base/text_encoding.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

namespace tarnwick {

class MessageBox;

// The bot editor's model and handlers. It holds the whole roster as one text while the
// editor is open, the values the editor's controls show for one bot, and the rules for
// moving a bot between the two. Nothing reaches the disk before close().
class BotEditorController final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BotEditorController)

public:
    enum class Skill { Aiming, Perfection, Reaction, Isp };
    enum class Channel { Red, Green, Blue };
    static constexpr int kSkillMax = 100;
    static constexpr int kChannelMax = 255;
    static constexpr int kNameLength = 14; // as roster::kNameLength
    static constexpr int kSkinLength = 14;
    static constexpr int kWeaponRows = 9;

    // `portFolder` is the port-folder text of the game options page, as typed.
    BotEditorController(const QString& portFolder, MessageBox& messages, QObject* parent = nullptr);

    // Opening the editor: reads the roster file, or takes the default roster when there
    // is none, and shows the first bot.
    void load();

    // --- the model ---
    const QString& roster() const { return Roster; }
    int curBot() const { return CurBot; }
    const QString& curBotName() const { return CurBotName; }
    bool holdStore() const { return HoldStore; }
    const QStringList& names() const { return m_names; }
    QString rosterPath() const;

    // --- what the controls show ---
    int skill(Skill s) const { return m_skill[size_t(s)]; }
    int channel(Channel c) const { return m_colour[size_t(c)]; }
    const QString& skin() const { return m_skin; }
    const QStringList& weapons() const { return m_weapons; }
    int weaponRow() const { return m_weaponRow; }

    QString skillCaption(Skill s) const;
    QString channelCaption(Channel c) const;
    QString resetBotCaption() const { return m_resetCaption; }
    bool resetBotEnabled() const { return m_resetEnabled; }
    bool upEnabled() const { return m_weaponRow != 0; }
    bool downEnabled() const { return m_weaponRow != kWeaponRows - 1; }

    // --- the user's actions ---
    void selectBot(int index);
    void setSkill(Skill s, int value);
    void setChannel(Channel c, int value);
    void setSkin(const QString& text);
    void leaveSkin();
    void selectWeaponRow(int row);
    void moveWeaponUp();
    void moveWeaponDown();
    void MenuReplace(const QString& weapon);
    void add();
    void remove();
    void rename();
    void resetBot();
    void resetAll();
    // Stores the shown bot, writes the roster file and tells whether the editor closes.
    // A file that still reads to the roster in memory is left as it is. When writing
    // would drop lines the file holds (comments, unknown keys), the file as it was is
    // first kept beside it as a ".bak", once, and a message says so. A failed write asks
    // Abort, Retry or Ignore: Abort closes without writing, Ignore keeps the editor open
    // with the roster in memory.
    bool close();

    // --- the editor's procedures ---
    // Stores DefBot, or when it is empty the record built from the controls, as record
    // CurBot of the roster. Controls still showing what the record gave them store
    // nothing, so a bot the player did not touch keeps its record as the file had it.
    void SetBot(const QString& DefBot = QString());
    void CheckReset();

    // The record the controls show, in the roster's field order.
    QString shownRecord() const;

signals:
    // After every operation; the window redraws from the model.
    void changed();

private:
    // Both replace the whole roster and select the first bot; callers set HoldStore
    // first so that the bot shown until then is not stored over the new first record.
    void GetBots(const QString& fileText);
    void ResetAll();
    void showRecord(const QString& rec);
    bool askName(const QString& prompt, const QString& title, QString& name);
    // Keeps the backup when one is due, writes the file; the failure message, or empty.
    QString save();
    QString shownPath(const QString& path) const;
    bool nameInUse(const QString& name) const;
    void fillNames(const QStringList& names);

    QString m_portFolder;
    MessageBox& m_messages;

    QString m_rosterFile;   // the file read at opening, and written at Close
    QByteArray m_fileBytes; // that file's bytes, for the backup
    bool m_fileRead = false;
    QString m_readRoster;   // the roster the file read to
    filetext::Encoding m_encoding = filetext::Encoding::Utf8; // the file's, kept when writing it
    int m_droppedLines = 0; // lines of the file a write does not give back
    bool m_backupDone = false;
    QString m_shownAsRead;  // the record the controls showed when the bot was selected

    QString Roster;
    int CurBot = 0;
    QString CurBotName;
    bool HoldStore = false;
    QStringList m_names;

    std::array<int, 4> m_skill{};
    std::array<int, 3> m_colour{};
    QString m_skin = QStringLiteral("base");
    QStringList m_weapons;
    int m_weaponRow = 0;
    QString m_resetCaption = QStringLiteral("Re&set");
    bool m_resetEnabled = false;
};

} // namespace tarnwick
