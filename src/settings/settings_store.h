#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace tarnwick {

// Everything the launcher remembers between runs: string values under an application,
// a backslash-separated section path and a key. Section and key names compare without
// regard to letter case and keep the case in which they were first written.
//
// Backed by one SQLite file per user. Every write is durable when it returns; a
// Transaction groups the writes of one window's save into one commit. Several program
// instances may share the file: SQLite's locking plus a busy timeout serialises them.
class SettingsStore
{
public:
    static constexpr auto kApplication = "Orlem Brask";

    // The section holding the option windows' saved fields; settings files carry it.
    static QString settingsSection() { return QStringLiteral("Tarnwick\\Settings"); }

    SettingsStore();
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The file the program uses: $TARNWICK_SETTINGS, else "settings.db" in the per-user
    // configuration folder.
    static QString defaultPath();

    // Opens the settings file. On failure the store keeps working in memory with no saved
    // values, the file is left untouched, and errorText() says why.
    //
    // A file that does not exist yet is made by the first write: until then every read
    // finds nothing, as it would in a new file, and a first start touches no disk. An empty
    // file (a first start killed early) is filled with the tables. Any number of copies may
    // open or make a new file at the same moment: all of them get it.
    bool open(const QString& path);
    // A store that lives only in memory (tests, and the fallback of open()).
    void openInMemory();

    QString path() const { return m_path; }
    QString errorText() const { return m_error; }
    bool isPersistent() const { return m_persistent; }
    // True when open() found no settings of this program in the file and made a new store:
    // the program's first start for this player.
    bool created() const { return m_created; }

    QString read(const QString& section, const QString& key, const QString& fallback = {}) const;
    bool contains(const QString& section, const QString& key) const;
    void write(const QString& section, const QString& key, const QString& value);
    void deleteSection(const QString& section);

    // All keys of one section, keyed by the key name folded to lower case.
    QHash<QString, QString> readSection(const QString& section) const;
    // All (key, value) pairs of one section in the case they were written, oldest first.
    QList<QPair<QString, QString>> entries(const QString& section) const;

    // Groups writes into one commit; nests. Committed by commit() or the destructor.
    class Transaction
    {
    public:
        explicit Transaction(SettingsStore& store);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;

    private:
        SettingsStore& m_store;
    };

private:
    // The statements every store runs again and again, prepared once per connection.
    enum Statement { Read, Contains, Write, DeleteSection, ReadSection, Entries, Begin, Commit, StatementCount };

    bool openFile();
    // Makes the file that open() found missing, before the first write that needs it.
    void create();
    // True while there is no file to read: open() found none and none has been made since.
    bool absent() const;
    QString prepareFile();
    // Finalizes the prepared statements and closes the connection.
    void close();
    // The prepared statement, or null when there is no connection or it cannot be prepared.
    sqlite3_stmt* statement(Statement which) const;
    void begin();
    void end();

    sqlite3* m_db = nullptr;
    mutable sqlite3_stmt* m_statements[StatementCount] = {};
    QString m_path;
    QString m_error;
    bool m_persistent = false;
    bool m_created = false;
    bool m_unmade = false; // the file is to be made by the first write
    int m_depth = 0;
};

} // namespace tarnwick
