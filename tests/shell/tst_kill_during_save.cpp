// A program killed while it saves leaves the old state or the new one, whole: the settings
// database of the six windows at exit, the port's configuration file, the bot roster.
//
// This program is also its own child: started with "--save-loop KIND FILE" it saves
// generation after generation of KIND to FILE, saying "saved N" after each, until it is
// killed.

#include "core_rig.h"

#include "base/text_encoding.h"
#include "editors/bots/bot_roster.h"
#include "editors/ini/ini_store.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <sqlite3.h>

#include <csignal>
#include <cstdio>

using namespace tarnwick;

namespace {

constexpr int kKills = 24;

// Keys of each of the six windows that carry the generation, and the page positions.
const QStringList kGenerationKeys[6] = {
    {"1ZEXE", "1Parm", "1MaxDemo"}, {"2Other", "2tHost", "2Port"}, {"3Width", "3Bits"},
    {"4EC"}, {}, {"2Net", "4Heapsize", "4Transfile"}};

void setGeneration(test::CoreRig& r, int g)
{
    const QString t = QString::number(g);
    LaunchProfile& p = r.p();
    p.txtEXE = p.txtParm = p.txtMaxdemo = t;
    p.txtOther = p.txtHost = p.txtPORT = t;
    p.cmbWidth = p.txtBITS = t;
    p.txtEC = t;
    for (int i = 0; i < 19; ++i) p.DF[size_t(i)] = (g >> i) & 1; // the flags window has check boxes only
    p.txtNET = p.txtHeapSize = p.txtTransFile = t;
}

// After a kill each kind of file is read back as texts that each name the generation they
// were saved in; a whole generation makes them all the same.

// The six windows' keys and the page positions, once the database passes its own check.
QStringList settingsFound(const QString& path)
{
    bool intact = false;
    sqlite3* db = nullptr;
    sqlite3_stmt* check = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK && sqlite3_step(check) == SQLITE_ROW)
        intact = QByteArrayView(reinterpret_cast<const char*>(sqlite3_column_text(check, 0))) == "ok";
    sqlite3_finalize(check);
    sqlite3_close(db);
    SettingsStore store;
    if (!intact || !store.open(path)) return {QStringLiteral("damaged"), store.errorText()};
    const QHash<QString, QString> saved = store.readSection(SettingsStore::settingsSection());
    QStringList found;
    for (const QStringList& keys : kGenerationKeys)
        for (const QString& key : keys) found << saved.value(key.toLower());
    int flags = 0;
    for (int i = 0; i < 19; ++i) flags |= saved.value(QStringLiteral("df%1").arg(i + 1)).toInt() << i;
    found << QString::number(flags);
    for (int page = 1; page <= 4; ++page) found << store.read(QStringLiteral("Tarnwick"), QStringLiteral("Form%1Top").arg(page));
    return found;
}

// The configuration file: a comment and a key of the player's own, and ten keys in three
// sections that each save sets to the generation.
const QByteArray kIniStart = "; my settings\n[GlobalSettings]\nmy_own_key=keep me\n";
QList<QPair<QString, QString>> iniKeys()
{
    QList<QPair<QString, QString>> keys;
    for (const char* section : {"GlobalSettings", "Doom.Player", "Hexen.ConsoleVariables"})
        for (int i = 0; i < (section[0] == 'G' ? 4 : 3); ++i)
            keys.append({QLatin1String(section), QStringLiteral("key%1").arg(i)});
    return keys;
}

QStringList iniFound(const QString& path)
{
    test::ScriptedMessageBox messages;
    IniStore store(messages);
    QStringList found;
    for (const auto& [section, key] : iniKeys()) found << store.ReadKey(section, key, path);
    const bool kept = store.ReadKey(QStringLiteral("GlobalSettings"), QStringLiteral("my_own_key"), path) == "keep me";
    return found << (kept ? found.first() : QStringLiteral("the player's key is lost"));
}

// Sixteen bots named "g<generation>bot<n>".
QString roster(int g)
{
    QString text;
    for (int i = 0; i < 16; ++i) {
        const QString name = QStringLiteral("g%1bot%2").arg(g).arg(i);
        text = i == 0 ? roster::defaultRecord(0).replace(QStringLiteral("Hugne"), name)
                      : roster::appendRecord(text, roster::defaultRecord(i).section(u'{', 1).prepend(name + u'{'));
    }
    return text;
}

QStringList rosterFound(const QString& path)
{
    QFile file(path);
    QByteArray bytes;
    if (!file.open(QIODevice::ReadOnly) || !roster::readBytes(file, bytes)) return {QStringLiteral("no roster file")};
    const QString text = filetext::decode(bytes, filetext::detect(bytes));
    QStringList found;
    for (const QString& name : roster::GetBots(text).names) found << name.mid(1).section(QStringLiteral("bot"), 0, 0);
    return found << (text == roster::fileText(roster(found.first().toInt())) ? found.first() : QStringLiteral("torn"));
}

// The child: saves until killed.
[[noreturn]] void saveLoop(const QString& kind, const QString& path)
{
    auto said = [](int g) {
        std::printf("saved %d\n", g);
        std::fflush(stdout);
    };
    if (kind == QLatin1StringView("settings")) {
        SettingsStore store;
        if (!store.open(path)) std::exit(2);
        test::CoreRig r(store);
        for (int g = 1;; ++g) {
            setGeneration(r, g);
            std::array<MainController::PageWindow, 4> pages;
            for (auto& page : pages) page.position = QPoint(0, g);
            r.main.shutdown(pages);
            said(g);
        }
    }
    test::ScriptedMessageBox messages;
    IniStore store(messages);
    for (int g = 1;; ++g) {
        if (kind == QLatin1StringView("ini")) {
            store.beginBatch(path);
            for (const auto& [section, key] : iniKeys()) store.WriteKey(QString::number(g), section, key, path);
            if (!store.endBatch()) std::exit(2);
        } else if (!roster::writeFile(path, roster(g), filetext::Encoding::Windows1252).ok()) {
            std::exit(2);
        }
        said(g);
    }
}

} // namespace

class TestKillDuringSave : public QObject
{
    Q_OBJECT
private slots:
    void killedSaveLeavesOneWholeGeneration_data();
    void killedSaveLeavesOneWholeGeneration();
};

void TestKillDuringSave::killedSaveLeavesOneWholeGeneration_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("settings at exit") << QStringLiteral("settings");
    QTest::newRow("configuration file") << QStringLiteral("ini");
    QTest::newRow("bot roster") << QStringLiteral("roster");
}

void TestKillDuringSave::killedSaveLeavesOneWholeGeneration()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(kind == "settings" ? "settings.db" : kind == "ini" ? "zdoom.ini" : "Bots.cfg");
    if (kind == "ini") QVERIFY(test::putFile(path, kIniStart));
    const auto found = [&] { return kind == "settings" ? settingsFound(path) : kind == "ini" ? iniFound(path) : rosterFound(path); };

    QRandomGenerator random(12);
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--save-loop"), kind, path});
        // Killed once it has saved at least once more, a few milliseconds into a later save.
        QByteArray said;
        while (!said.contains("saved") && child.waitForReadyRead(20000)) said += child.readAllStandardOutput();
        QVERIFY2(said.contains("saved"), child.readAllStandardError().constData());
        QThread::usleep(random.bounded(30000));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(20000));
        said += child.readAllStandardOutput();
        // The last save the child finished (its line is complete).
        const QByteArray done = said.left(said.lastIndexOf('\n'));
        const int lastSaid = done.mid(done.lastIndexOf("saved ") + 6).toInt();

        const QStringList texts = found();
        QVERIFY2(texts.count(texts.first()) == texts.size(), qPrintable(QStringLiteral("kill %1: %2").arg(kill).arg(texts.join(u' '))));
        // Nothing a finished save wrote is lost: the file holds the last finished save or
        // the one after it.
        const int g = texts.first().toInt();
        QVERIFY2(g == lastSaid || g == lastSaid + 1, qPrintable(QStringLiteral("kill %1: generation %2, saved %3").arg(kill).arg(g).arg(lastSaid)));
    }
}

int main(int argc, char** argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--save-loop") {
        QCoreApplication app(argc, argv);
        saveLoop(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QCoreApplication app(argc, argv);
    TestKillDuringSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kill_during_save.moc"
