#include "settings/settings_store.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include <atomic>

namespace tarnwick {

namespace {

std::atomic<int> g_connectionCounter{0};

const QString kApp = QString::fromLatin1(SettingsStore::kApplication);

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

const QString kCreateTable = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS store ("
    " app TEXT NOT NULL COLLATE NOCASE,"
    " section TEXT NOT NULL COLLATE NOCASE,"
    " key TEXT NOT NULL COLLATE NOCASE,"
    " value TEXT NOT NULL,"
    " PRIMARY KEY (app, section, key))");

// Makes a new settings file whole: built under a temporary name in its folder and renamed
// into place only when complete, never over a file that exists. Another program making the
// same file at the same moment therefore finds no file or a finished one, and uses that.
// Returns what went wrong, or nothing.
QString makeFile(const QString& path, const QString& connection)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) return QStringLiteral("its folder '%1' cannot be created").arg(folder);
    QTemporaryFile temp(folder + QStringLiteral("/.tarnwick-XXXXXX.db"));
    if (!temp.open()) return QStringLiteral("its folder '%1' cannot be written (%2)").arg(folder, temp.errorString());
    temp.close();
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(temp.fileName());
        QSqlQuery q(db);
        if (!db.open() || !q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.exec(kCreateTable))
            problem = db.lastError().text();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (problem.isEmpty() && QFile::rename(temp.fileName(), path)) temp.setAutoRemove(false);
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
bool isBusy(const QSqlError& error)
{
    const int code = error.nativeErrorCode().toInt();
    return (code & 0xff) == 5 || (code & 0xff) == 6;
}

// What an error while opening means to the player.
QString problemText(const QSqlError& error)
{
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case 26: return QStringLiteral("it is not a settings database");
    case 11: return QStringLiteral("it is damaged");
    default: return error.text();
    }
}

template<typename Step>
bool retryWhileBusy(Step step, QSqlError& error)
{
    QDeadlineTimer deadline(kBusyTimeoutMs);
    for (;;) {
        error = step();
        if (error.type() == QSqlError::NoError) return true;
        if (!isBusy(error) || deadline.hasExpired()) return false;
        QThread::msleep(5);
    }
}

} // namespace

SettingsStore::SettingsStore()
    : m_connection(QStringLiteral("tarnwick-settings-%1").arg(g_connectionCounter++))
{
}

SettingsStore::~SettingsStore()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QString SettingsStore::defaultPath()
{
    const QString env = qEnvironmentVariable("TARNWICK_SETTINGS");
    if (!env.isEmpty()) return env;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir(folder.isEmpty() ? QDir::homePath() + QStringLiteral("/.config/tarnwick") : folder)
        .filePath(QStringLiteral("settings.db"));
}

bool SettingsStore::exec(const QString& sql) const
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    return q.exec(sql);
}

bool SettingsStore::createSchema()
{
    return exec(kCreateTable);
}

bool SettingsStore::open(const QString& path)
{
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
    QString problem = QFileInfo::exists(path) ? QString() : makeFile(path, m_connection + QStringLiteral("-new"));
    if (problem.isEmpty()) problem = checkExistingFile(path);

    if (problem.isEmpty()) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
        if (!db.open())
            problem = db.lastError().text();
        else
            problem = prepareFile();
        if (!problem.isEmpty()) {
            db.close();
        }
    }

    if (!problem.isEmpty()) {
        m_error = unusableText(path, problem);
        QSqlDatabase::removeDatabase(m_connection);
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
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlError error;
    const auto run = [&](const QString& sql, QVariant* result = nullptr) {
        return [&db, sql, result] {
            QSqlQuery q(db);
            if (!q.exec(sql)) return q.lastError();
            if (result) *result = q.next() ? q.value(0) : QVariant();
            return QSqlError();
        };
    };
    QVariant ours;
    QVariant tables;
    const auto look = [&] {
        return retryWhileBusy(run(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name='store'"), &ours), error) &&
               retryWhileBusy(run(QStringLiteral("SELECT count(*) FROM sqlite_master"), &tables), error);
    };

    // The usual case, a file that has the table, needs no write lock: another copy may be in
    // the middle of a save.
    if (!look()) return problemText(error);
    if (ours.toInt() == 0) {
        if (!retryWhileBusy(run(QStringLiteral("BEGIN IMMEDIATE")), error)) return problemText(error);
        QString problem;
        if (!look())
            problem = problemText(error);
        else if (ours.toInt() == 0 && tables.toInt() != 0)
            problem = QStringLiteral("it is a database of another program");
        else if (ours.toInt() == 0 && !retryWhileBusy(run(kCreateTable), error))
            problem = error.text();
        else if (ours.toInt() == 0)
            m_created = true;
        if (problem.isEmpty() && !retryWhileBusy(run(QStringLiteral("COMMIT")), error)) problem = error.text();
        if (!problem.isEmpty()) {
            exec(QStringLiteral("ROLLBACK"));
            return problem;
        }
    }

    // The write-ahead log lets one copy read while another saves. Switching to it needs
    // the file to itself for a moment; a copy that cannot have it keeps the file's mode.
    retryWhileBusy(run(QStringLiteral("PRAGMA journal_mode=WAL")), error);
    exec(QStringLiteral("PRAGMA synchronous=FULL"));
    return {};
}

void SettingsStore::openInMemory()
{
    m_unmade = false;
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(QStringLiteral(":memory:"));
    db.open();
    createSchema();
    m_persistent = false;
}

QString SettingsStore::read(const QString& section, const QString& key, const QString& fallback) const
{
    if (absent()) return fallback;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT value FROM store WHERE app=? AND section=? AND key=?"));
    q.addBindValue(kApp);
    q.addBindValue(section);
    q.addBindValue(key);
    if (q.exec() && q.next()) return q.value(0).toString();
    return fallback;
}

bool SettingsStore::contains(const QString& section, const QString& key) const
{
    if (absent()) return false;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT 1 FROM store WHERE app=? AND section=? AND key=?"));
    q.addBindValue(kApp);
    q.addBindValue(section);
    q.addBindValue(key);
    return q.exec() && q.next();
}

void SettingsStore::write(const QString& section, const QString& key, const QString& value)
{
    create();
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("INSERT INTO store(app, section, key, value) VALUES(?, ?, ?, ?) "
                             "ON CONFLICT(app, section, key) DO UPDATE SET value=excluded.value"));
    q.addBindValue(kApp);
    q.addBindValue(section);
    q.addBindValue(key);
    // An emptied field must replace what was stored; Qt would bind a null text as NULL.
    q.addBindValue(value.isNull() ? QStringLiteral("") : value);
    // A busy database beyond the timeout is retried a few times rather than losing the value.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (q.exec()) return;
        QThread::msleep(50);
    }
    qWarning("Tarnwick: could not write setting %s\\%s: %s", qPrintable(section), qPrintable(key),
             qPrintable(q.lastError().text()));
}

void SettingsStore::deleteSection(const QString& section)
{
    if (absent()) return; // nothing kept yet
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("DELETE FROM store WHERE app=? AND section=?"));
    q.addBindValue(kApp);
    q.addBindValue(section);
    q.exec();
}

QHash<QString, QString> SettingsStore::readSection(const QString& section) const
{
    if (absent()) return {};
    QHash<QString, QString> result;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT key, value FROM store WHERE app=? AND section=?"));
    q.addBindValue(kApp);
    q.addBindValue(section);
    if (q.exec())
        while (q.next()) result.insert(q.value(0).toString().toLower(), q.value(1).toString());
    return result;
}

QList<QPair<QString, QString>> SettingsStore::entries(const QString& section) const
{
    if (absent()) return {};
    QList<QPair<QString, QString>> result;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT key, value FROM store WHERE app=? AND section=? ORDER BY rowid"));
    q.addBindValue(kApp);
    q.addBindValue(section);
    if (q.exec())
        while (q.next()) result.append({q.value(0).toString(), q.value(1).toString()});
    return result;
}

void SettingsStore::begin()
{
    create();
    if (m_depth++ == 0) exec(QStringLiteral("BEGIN IMMEDIATE"));
}

void SettingsStore::end()
{
    if (--m_depth == 0) exec(QStringLiteral("COMMIT"));
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
