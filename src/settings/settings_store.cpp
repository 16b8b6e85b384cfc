#include "settings/settings_store.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace tarnwick {

namespace {

// A settings file that exists must be an SQLite database that this program made (or an
// empty one it may fill); anything else is the player's file and is never overwritten.
QString checkExistingFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) return {};
    if (info.isDir()) return QStringLiteral("it is a folder, not a file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("it cannot be read (%1)").arg(file.errorString());
    if (!info.isWritable()) return QStringLiteral("it is read-only");
    // Whether the content is a database is asked of SQLite under its lock: a copy started a
    // moment earlier may be writing the first pages right now.
    return {};
}

constexpr const char* kCreateTable =
    "CREATE TABLE IF NOT EXISTS store ("
    " app TEXT NOT NULL COLLATE NOCASE,"
    " section TEXT NOT NULL COLLATE NOCASE,"
    " key TEXT NOT NULL COLLATE NOCASE,"
    " value TEXT NOT NULL,"
    " PRIMARY KEY (app, section, key))";

// What went wrong in a statement: SQLite's result code and its message.
struct Outcome
{
    int code = SQLITE_OK;
    QString message;

    bool ok() const { return code == SQLITE_OK; }
};

Outcome failure(sqlite3* db, int code)
{
    return {code, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code))};
}

// Every connection of the store: read-write, the file made if missing, a cache of its own,
// used by one thread at a time. Returns null and says why when the file cannot be opened.
sqlite3* connect(const QString& path, QString* problem)
{
    sqlite3* db = nullptr;
    const int code = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_PRIVATECACHE |
                                         SQLITE_OPEN_NOMUTEX,
                                     nullptr);
    if (code == SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        return db;
    }
    if (problem) *problem = failure(db, code).message;
    sqlite3_close(db); // a failed open still hands back a handle to close
    return nullptr;
}

// Runs a statement used once, to its first row; *value gets that row's first column.
Outcome runOnce(sqlite3* db, const char* sql, int* value = nullptr)
{
    if (value) *value = 0;
    sqlite3_stmt* stmt = nullptr;
    int code = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (code == SQLITE_OK) {
        code = sqlite3_step(stmt);
        if (code == SQLITE_ROW && value) *value = sqlite3_column_int(stmt, 0);
        if (code == SQLITE_ROW || code == SQLITE_DONE) code = SQLITE_OK;
    }
    Outcome outcome = code == SQLITE_OK ? Outcome() : failure(db, code);
    sqlite3_finalize(stmt);
    return outcome;
}

// One use of a prepared statement: the program's name bound to ?1, the texts given to bind()
// to the parameters after it; reset when done, so that no statement keeps a read open between
// calls (it would hold back other copies' saves and the log's checkpoints).
class Query
{
public:
    explicit Query(sqlite3_stmt* stmt) : m_stmt(stmt)
    {
        if (m_stmt && sqlite3_bind_parameter_count(m_stmt) > 0)
            sqlite3_bind_text(m_stmt, m_next++, SettingsStore::kApplication, -1, SQLITE_STATIC);
    }
    ~Query()
    {
        if (!m_stmt) return;
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    // Bound as UTF-16 with its length, as the file has always been written: a zero character
    // is kept, and SQLite alone translates to the file's UTF-8 and back. A null text is bound
    // as an empty one, never as NULL.
    Query& bind(QStringView text)
    {
        if (m_stmt)
            sqlite3_bind_text16(m_stmt, m_next, text.isNull() ? u"" : text.utf16(), int(text.size() * sizeof(char16_t)),
                                SQLITE_STATIC);
        ++m_next;
        return *this;
    }

    int step() { return m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE; }
    // Ready to run again with the same values.
    void reset() { sqlite3_reset(m_stmt); }
    bool row() { return step() == SQLITE_ROW; }

    QString text(int column) const
    {
        const void* data = sqlite3_column_text16(m_stmt, column);
        if (!data) return {};
        return QString(static_cast<const QChar*>(data), sqlite3_column_bytes16(m_stmt, column) / qsizetype(sizeof(QChar)));
    }

private:
    sqlite3_stmt* m_stmt;
    int m_next = 1;
};

constexpr const char* kStatements[] = {
    "SELECT value FROM store WHERE app=? AND section=? AND key=?",
    "SELECT 1 FROM store WHERE app=? AND section=? AND key=?",
    ("INSERT INTO store(app, section, key, value) VALUES(?, ?, ?, ?) "
     "ON CONFLICT(app, section, key) DO UPDATE SET value=excluded.value"),
    "DELETE FROM store WHERE app=? AND section=?",
    "SELECT key, value FROM store WHERE app=? AND section=?",
    "SELECT key, value FROM store WHERE app=? AND section=? ORDER BY rowid",
    "BEGIN IMMEDIATE",
    "COMMIT",
};

// Gives the finished file its name unless a file of that name exists, in one step, so that
// of several copies making the file at once exactly one puts its file in place. (QFile::rename
// checks first and renames after; a copy that loses the race in between copies its file over
// the winner's, which is already in use.)
bool placeNewFile(const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) return true;
    // A file system that cannot rename without replacing can still add a name only if it is
    // free; the temporary name is then removed by its owner.
    return (errno == EINVAL || errno == ENOSYS) && ::link(source.constData(), target.constData()) == 0;
}

// Makes a new settings file whole: built under a temporary name in its folder and renamed
// into place only when complete, never over a file that exists. Another program making the
// same file at the same moment therefore finds no file or a finished one, and uses that.
// Returns what went wrong, or nothing.
QString makeFile(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) return QStringLiteral("its folder '%1' cannot be created").arg(folder);
    QTemporaryFile temp(folder + QStringLiteral("/.tarnwick-XXXXXX.db"));
    if (!temp.open()) return QStringLiteral("its folder '%1' cannot be written (%2)").arg(folder, temp.errorString());
    temp.close();
    QString problem;
    if (sqlite3* db = connect(temp.fileName(), &problem)) {
        Outcome outcome = runOnce(db, "PRAGMA journal_mode=WAL");
        if (outcome.ok()) outcome = runOnce(db, kCreateTable);
        problem = outcome.message;
        sqlite3_close(db);
    }
    if (problem.isEmpty() && placeNewFile(temp.fileName(), path) && !QFileInfo::exists(temp.fileName()))
        temp.setAutoRemove(false);
    return QFileInfo::exists(path) ? QString() : problem.isEmpty() ? QStringLiteral("it cannot be made") : problem;
}

QString unusableText(const QString& path, const QString& problem)
{
    return QStringLiteral("The settings file '%1' cannot be used: %2. Tarnwick starts with its default "
                          "settings and leaves that file as it is; changes made in this session are not saved.")
        .arg(QDir::toNativeSeparators(path), problem);
}

// How long opening waits for other copies of the program that hold the file's lock.
constexpr int kBusyTimeoutMs = 15000;

// SQLite answers "busy" or "locked" when another connection holds the file; some of those
// answers (while a journal mode changes, while a log is recovered) come back at once
// rather than after the busy timeout, so opening asks again until the timeout is spent.
bool isBusy(const Outcome& outcome)
{
    const int code = outcome.code & 0xff;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

// What an error while opening means to the player.
QString problemText(const Outcome& outcome)
{
    switch (outcome.code & 0xff) {
    case SQLITE_NOTADB: return QStringLiteral("it is not a settings database");
    case SQLITE_CORRUPT: return QStringLiteral("it is damaged");
    default: return outcome.message;
    }
}

template<typename Step>
bool retryWhileBusy(Step step, Outcome& outcome)
{
    QDeadlineTimer deadline(kBusyTimeoutMs);
    for (;;) {
        outcome = step();
        if (outcome.ok()) return true;
        if (!isBusy(outcome) || deadline.hasExpired()) return false;
        QThread::msleep(5);
    }
}

} // namespace

SettingsStore::SettingsStore() = default;

SettingsStore::~SettingsStore()
{
    close();
}

QString SettingsStore::defaultPath()
{
    const QString env = qEnvironmentVariable("TARNWICK_SETTINGS");
    if (!env.isEmpty()) return env;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir(folder.isEmpty() ? QDir::homePath() + QStringLiteral("/.config/tarnwick") : folder)
        .filePath(QStringLiteral("settings.db"));
}

void SettingsStore::close()
{
    for (sqlite3_stmt*& stmt : m_statements) {
        sqlite3_finalize(stmt);
        stmt = nullptr;
    }
    sqlite3_close(m_db);
    m_db = nullptr;
}

sqlite3_stmt* SettingsStore::statement(Statement which) const
{
    static_assert(std::size(kStatements) == StatementCount);
    sqlite3_stmt*& stmt = m_statements[which];
    // A statement that cannot be prepared (the table dropped by some other program) is
    // asked for again next time; until then the call finds nothing and keeps nothing.
    if (!stmt && m_db) sqlite3_prepare_v3(m_db, kStatements[which], -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    return stmt;
}

bool SettingsStore::open(const QString& path)
{
    close();
    m_path = path;
    m_error.clear();
    m_persistent = false;
    m_created = false;
    m_unmade = false;

    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        // The folder is made and tried now, so a first start can say at once when its
        // settings cannot be kept; the file itself waits for something to keep.
        const QString folder = info.absolutePath();
        QString problem;
        if (!QDir().mkpath(folder))
            problem = QStringLiteral("its folder '%1' cannot be created").arg(folder);
        else if (!QFileInfo(folder).isWritable())
            problem = QStringLiteral("its folder '%1' is read-only").arg(folder);
        if (problem.isEmpty()) {
            m_unmade = true;
            m_created = true;
            m_persistent = true;
            return true;
        }
        m_error = unusableText(path, problem);
        openInMemory();
        return false;
    }
    return openFile();
}

bool SettingsStore::absent() const
{
    if (!m_unmade) return false;
    if (!QFileInfo::exists(m_path)) return true;
    // Another program made the file meanwhile: read what it keeps. Opening changes only how
    // this store reaches its values, not the values.
    const_cast<SettingsStore*>(this)->create();
    return false;
}

void SettingsStore::create()
{
    if (!m_unmade) return;
    m_unmade = false;
    if (!openFile()) qWarning("Tarnwick: %s", qPrintable(m_error));
}

bool SettingsStore::openFile()
{
    const QString path = m_path;
    m_persistent = false;
    close();
    QString problem = QFileInfo::exists(path) ? QString() : makeFile(path);
    if (problem.isEmpty()) problem = checkExistingFile(path);

    if (problem.isEmpty()) {
        m_db = connect(path, &problem);
        if (m_db) {
            sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
            problem = prepareFile();
        }
    }

    if (!problem.isEmpty()) {
        m_error = unusableText(path, problem);
        openInMemory();
        m_created = false;
        return false;
    }
    m_persistent = true;
    return true;
}

// Makes the open file this program's database. The question whether the table exists and
// its creation are one immediate transaction, so of several copies started together on a
// new file exactly one creates the table and every other one finds it.
QString SettingsStore::prepareFile()
{
    Outcome outcome;
    const auto run = [this](const char* sql, int* result = nullptr) {
        return [this, sql, result] { return runOnce(m_db, sql, result); };
    };
    int ours = 0;
    int tables = 0;
    const auto look = [&] {
        return retryWhileBusy(run("SELECT count(*) FROM sqlite_master WHERE type='table' AND name='store'", &ours), outcome) &&
               retryWhileBusy(run("SELECT count(*) FROM sqlite_master", &tables), outcome);
    };

    // The usual case, a file that has the table, needs no write lock: another copy may be in
    // the middle of a save.
    if (!look()) return problemText(outcome);
    if (ours == 0) {
        if (!retryWhileBusy(run("BEGIN IMMEDIATE"), outcome)) return problemText(outcome);
        QString problem;
        if (!look())
            problem = problemText(outcome);
        else if (ours == 0 && tables != 0)
            problem = QStringLiteral("it is a database of another program");
        else if (ours == 0 && !retryWhileBusy(run(kCreateTable), outcome))
            problem = outcome.message;
        else if (ours == 0)
            m_created = true;
        if (problem.isEmpty() && !retryWhileBusy(run("COMMIT"), outcome)) problem = outcome.message;
        if (!problem.isEmpty()) {
            runOnce(m_db, "ROLLBACK");
            return problem;
        }
    }

    // The write-ahead log lets one copy read while another saves. Switching to it needs
    // the file to itself for a moment; a copy that cannot have it keeps the file's mode.
    retryWhileBusy(run("PRAGMA journal_mode=WAL"), outcome);
    runOnce(m_db, "PRAGMA synchronous=FULL");
    return {};
}

void SettingsStore::openInMemory()
{
    m_unmade = false;
    close();
    m_db = connect(QStringLiteral(":memory:"), nullptr);
    if (m_db) runOnce(m_db, kCreateTable);
    m_persistent = false;
}

QString SettingsStore::read(const QString& section, const QString& key, const QString& fallback) const
{
    if (absent()) return fallback;
    Query q(statement(Read));
    q.bind(section).bind(key);
    return q.row() ? q.text(0) : fallback;
}

bool SettingsStore::contains(const QString& section, const QString& key) const
{
    if (absent()) return false;
    Query q(statement(Contains));
    q.bind(section).bind(key);
    return q.row();
}

void SettingsStore::write(const QString& section, const QString& key, const QString& value)
{
    create();
    Query q(statement(Write));
    q.bind(section).bind(key).bind(value);
    // A busy database beyond the timeout is retried a few times rather than losing the value.
    for (int attempt = 0;; ++attempt) {
        const int code = q.step();
        if (code == SQLITE_DONE) return;
        if (attempt == 4) {
            qWarning("Tarnwick: could not write setting %s\\%s: %s", qPrintable(section), qPrintable(key),
                     m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code));
            return;
        }
        q.reset();
        QThread::msleep(50);
    }
}

void SettingsStore::deleteSection(const QString& section)
{
    if (absent()) return; // nothing kept yet
    Query q(statement(DeleteSection));
    q.bind(section).step();
}

QHash<QString, QString> SettingsStore::readSection(const QString& section) const
{
    if (absent()) return {};
    QHash<QString, QString> result;
    Query q(statement(ReadSection));
    q.bind(section);
    while (q.row()) result.insert(q.text(0).toLower(), q.text(1));
    return result;
}

QList<QPair<QString, QString>> SettingsStore::entries(const QString& section) const
{
    if (absent()) return {};
    QList<QPair<QString, QString>> result;
    Query q(statement(Entries));
    q.bind(section);
    while (q.row()) result.append({q.text(0), q.text(1)});
    return result;
}

void SettingsStore::begin()
{
    create();
    if (m_depth++ == 0) Query(statement(Begin)).step();
}

void SettingsStore::end()
{
    if (--m_depth == 0) Query(statement(Commit)).step();
}

SettingsStore::Transaction::Transaction(SettingsStore& store) : m_store(store)
{
    m_store.begin();
}

SettingsStore::Transaction::~Transaction()
{
    m_store.end();
}

} // namespace tarnwick
