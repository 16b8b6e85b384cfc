#include "settings/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
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
    if (file.size() == 0) return QStringLiteral("it is empty, not a settings database");
    const QByteArray header = file.read(16);
    if (header != QByteArray("SQLite format 3\0", 16))
        return QStringLiteral("it is not a settings database");
    return {};
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
    return exec(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS store ("
        " app TEXT NOT NULL COLLATE NOCASE,"
        " section TEXT NOT NULL COLLATE NOCASE,"
        " key TEXT NOT NULL COLLATE NOCASE,"
        " value TEXT NOT NULL,"
        " PRIMARY KEY (app, section, key))"));
}

bool SettingsStore::open(const QString& path)
{
    m_path = path;
    m_error.clear();
    m_persistent = false;
    m_created = false;

    QString problem = checkExistingFile(path);
    const bool existed = QFileInfo::exists(path);
    if (problem.isEmpty() && !existed) {
        const QString folder = QFileInfo(path).absolutePath();
        if (!QDir().mkpath(folder))
            problem = QStringLiteral("its folder '%1' cannot be created").arg(folder);
    }

    if (problem.isEmpty()) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=15000"));
        if (!db.open()) {
            problem = db.lastError().text();
        } else {
            QSqlQuery q(db);
            const bool hasTable =
                q.exec(QStringLiteral(
                    "SELECT count(*) FROM sqlite_master WHERE type='table' AND name='store'")) &&
                q.next() && q.value(0).toInt() == 1;
            q.finish();
            if (!hasTable) {
                // A database of some other program is not ours to change.
                QSqlQuery tables(db);
                const bool empty = tables.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) &&
                                   tables.next() && tables.value(0).toInt() == 0;
                tables.finish();
                if (!empty)
                    problem = QStringLiteral("it is a database of another program");
                else if (!createSchema())
                    problem = db.lastError().text();
                else
                    m_created = true;
            }
            if (problem.isEmpty()) {
                exec(QStringLiteral("PRAGMA journal_mode=WAL"));
                exec(QStringLiteral("PRAGMA synchronous=FULL"));
            }
        }
        if (!problem.isEmpty()) {
            db.close();
        }
    }

    if (!problem.isEmpty()) {
        m_error = QStringLiteral("The settings file '%1' cannot be used: %2. Tarnwick starts with "
                                 "its default settings and leaves that file as it is; changes made "
                                 "in this session are not saved.")
                      .arg(QDir::toNativeSeparators(path), problem);
        QSqlDatabase::removeDatabase(m_connection);
        openInMemory();
        m_created = false;
        return false;
    }
    m_persistent = true;
    return true;
}

void SettingsStore::openInMemory()
{
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
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT 1 FROM store WHERE app=? AND section=? AND key=?"));
    q.addBindValue(kApp);
    q.addBindValue(section);
    q.addBindValue(key);
    return q.exec() && q.next();
}

void SettingsStore::write(const QString& section, const QString& key, const QString& value)
{
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
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("DELETE FROM store WHERE app=? AND section=?"));
    q.addBindValue(kApp);
    q.addBindValue(section);
    q.exec();
}

QHash<QString, QString> SettingsStore::readSection(const QString& section) const
{
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
