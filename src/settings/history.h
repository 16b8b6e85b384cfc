#pragma once

#include <QObject>
#include <QStringList>

#include <array>

namespace tarnwick {

class SettingsStore;

// The twelve combo boxes that remember what was used with them, in the order start-up
// loads them and the clear command empties them.
enum class History { ZEXE, ZFolder, Config, IWAD, Parm, Demo, PWAD, Deh, Join, EC, Net, TransFile };
inline constexpr int kHistoryCount = 12;

// The list name each box loads and clears under ("TransFile" is recorded as "Transfile";
// names compare without regard to letter case, so both reach one list).
QString historyName(History h);

// The history lists: kept in the store in recording order (entry 1 the oldest), shown in
// each box's drop-down sorted without regard to letter case.
class Histories final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Histories)

public:
    explicit Histories(SettingsStore& store, QObject* parent = nullptr);

    // The drop-down list of a box, sorted. A list named by GetHistory is read from the store
    // here, when it is first asked for: nothing a player sees needs it before that.
    const QStringList& shown(History cmb) const;

    // Adds the stored entries of list RegName to the drop-down of cmb (read when first shown).
    void GetHistory(History cmb, const QString& RegName);
    // Records Str in list RegName unless an entry equals it ignoring letter case; a new
    // entry also goes into cmb's drop-down.
    void CmbProc(const QString& Str, const QString& RegName, History cmb);
    // Empties list RegName and the drop-down of cmb. (The box's text is the caller's.)
    void ClearHistory(History cmb, const QString& RegName);
    // Removes a list's section from the store.
    void deleteList(const QString& RegName);

    // The entries of a list in recording order, empty and missing entries skipped.
    QStringList stored(const QString& RegName) const;

signals:
    void changed(tarnwick::History cmb);

private:
    static void insertSorted(QStringList& list, const QString& text);

    void load(History cmb) const;

    SettingsStore& m_store;
    mutable std::array<QStringList, kHistoryCount> m_shown;
    // Lists named by GetHistory and not yet read, per box.
    mutable std::array<QStringList, kHistoryCount> m_pending;
};

} // namespace tarnwick
