// `cmake --install` into a temporary root, as a package or a player's own install does:
// the files land where a Linux desktop looks for them, the desktop's validators accept them,
// file managers see settings files as Tarnwick's, and the installed program answers.

#include "snapshots.h"
#include "temp_store.h"

#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "shell/reports.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace tarnwick;

namespace {

const QString kId = QStringLiteral("org.tarnwick.Tarnwick");

struct Ran
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// `env` is added to this process's environment; a program that runs a minute is killed.
Ran runProgram(const QString& program, const QStringList& arguments, const QProcessEnvironment& env = {})
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(env);
    p.setProcessEnvironment(e);
    p.start(program, arguments);
    const bool finished = p.waitForFinished(60000);
    if (!finished) { p.kill(); p.waitForFinished(); }
    return {finished && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            finished ? p.readAllStandardError() : "did not finish: " + program.toLocal8Bit()};
}

// The width and height a PNG file's header gives, or (0, 0) when it is no PNG.
QSize pngSize(const QString& path)
{
    const QByteArray head = test::fileBytes(path).left(24);
    if (!head.startsWith("\x89PNG\r\n\x1a\n") || head.mid(12, 4) != "IHDR") return {};
    return {int(qFromBigEndian<quint32>(head.constData() + 16)), int(qFromBigEndian<quint32>(head.constData() + 20))};
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void files_data();
    void files();
    void validators_data();
    void validators();
    void desktopEntry();
    void settingsFileType_data();
    void settingsFileType();
    void installedProgram_data();
    void installedProgram();

private:
    QString installed(const QString& relative) const { return m_root.path() + QStringLiteral("/usr/") + relative; }

    QTemporaryDir m_root;
};

void TestInstall::initTestCase()
{
    QVERIFY(m_root.isValid());
    QProcessEnvironment env;
    env.insert(QStringLiteral("DESTDIR"), m_root.path());
    const Ran r = runProgram(QStringLiteral(TARNWICK_CMAKE),
                             {QStringLiteral("--install"), QStringLiteral(TARNWICK_BUILD_DIR), QStringLiteral("--prefix"),
                              QStringLiteral("/usr")},
                             env);
    QVERIFY2(r.exitCode == 0, r.out + r.err);
}

void TestInstall::files_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("iconSize"); // a PNG of that size; 0 for any other file
    for (const char* f : {"bin/tarnwick", "share/tarnwick/help/index.html", "share/tarnwick/help/images/main-window.png",
                          "share/man/man1/tarnwick.1", "share/mime/packages/tarnwick.xml"})
        QTest::newRow(f) << QString::fromLatin1(f) << 0;
    for (const QString& f : {"share/applications/" + kId + ".desktop", "share/metainfo/" + kId + ".metainfo.xml",
                             "share/icons/hicolor/scalable/apps/" + kId + ".svg"})
        QTest::newRow(qPrintable(f)) << f << 0;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString f = QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId);
        QTest::newRow(qPrintable(f)) << f << size;
    }
}

void TestInstall::files()
{
    QFETCH(QString, file);
    QFETCH(int, iconSize);
    const QFileInfo info(installed(file));
    QVERIFY2(info.isFile() && info.size() > 0, qPrintable(info.filePath()));
    if (iconSize > 0) QCOMPARE(pngSize(info.filePath()), QSize(iconSize, iconSize));
    if (file.endsWith(QLatin1StringView(".svg"))) QVERIFY(test::fileBytes(info.filePath()).contains("<svg"));
    if (file == QLatin1StringView("bin/tarnwick")) QVERIFY(info.isExecutable());
}

// Each checker comes with a Debian package that `./dev test` installs; without it the row
// is skipped with a message.
void TestInstall::validators_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");
    QTest::newRow("desktop entry") << "desktop-file-validate" << QStringList{}
                                   << "share/applications/" + kId + ".desktop";
    QTest::newRow("AppStream metadata") << "appstreamcli" << QStringList{"validate", "--no-net"}
                                        << "share/metainfo/" + kId + ".metainfo.xml";
    QTest::newRow("manual page") << "groff" << QStringList{"-t", "-man", "-Tutf8", "-ww", "-z"}
                                 << "share/man/man1/tarnwick.1";
}

void TestInstall::validators()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) QSKIP(qPrintable(program + QStringLiteral(" is not installed; ./dev test installs it")));
    const Ran r = runProgram(path, arguments << installed(file));
    QVERIFY2(r.exitCode == 0, r.out + r.err);
    // The desktop entry and manual page checkers report problems without failing on all of them.
    QVERIFY2(program == QLatin1StringView("appstreamcli") || (r.out + r.err).trimmed().isEmpty(), r.out + r.err);
}

// What the menu needs from the entry: the icon installed above, the program taking a file,
// the settings file type, and the action that plays with the last settings.
void TestInstall::desktopEntry()
{
    QString group;
    QStringList lines; // "group|line"
    for (const QString& l : QString::fromUtf8(test::fileBytes(installed("share/applications/" + kId + ".desktop"))).split(u'\n'))
        l.startsWith(u'[') ? void(group = l.mid(1, l.size() - 2)) : void(lines << group + u'|' + l);
    for (const char* want : {"Desktop Entry|Exec=tarnwick %f", "Desktop Entry|MimeType=application/x-tarnwick-settings;",
                             "Desktop Action play|Exec=tarnwick --run"})
        QVERIFY2(lines.contains(QLatin1StringView(want)), want);
}

// What a file manager makes of a file, through the desktop's own type detection with the
// installed type added, as the package's trigger adds it.
void TestInstall::settingsFileType_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // empty: an export written by the program itself
    QTest::addColumn<QString>("type");
    const QByteArray regedit4 = "REGEDIT4\r\n\r\n[" + settingsRegistryKey().toLatin1() + "]\r\n\"1ZEXE\"=\"zdoom\"\r\n";
    QTest::newRow("the program's export, without its ending") << "exported" << QByteArray() << "application/x-tarnwick-settings";
    QTest::newRow("an 8-bit export, without its ending") << "old" << regedit4 << "application/x-tarnwick-settings";
    QTest::newRow("another program's registry export") << "other"
        << QByteArray("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n") << "text/x-ms-regedit";
    QTest::newRow("any file named .twk") << "named.twk" << QByteArray("anything") << "application/x-tarnwick-settings";
}

void TestInstall::settingsFileType()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, type);
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    const QString update = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (gio.isEmpty() || update.isEmpty())
        QSKIP("gio or update-mime-database is not installed; ./dev test installs them");
    const Ran updated = runProgram(update, {installed(QStringLiteral("share/mime"))});
    QVERIFY2(updated.exitCode == 0, updated.err);

    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (content.isEmpty()) {
        test::TempStore t;
        t.store.write(SettingsStore::settingsSection(), QStringLiteral("1ZEXE"), QStringLiteral("zdoom"));
        QVERIFY(exportSettingsFile(t.store, path));
    } else {
        QVERIFY(test::putFile(path, content));
    }
    QProcessEnvironment env;
    env.insert(QStringLiteral("XDG_DATA_DIRS"), installed(QStringLiteral("share")) + QStringLiteral(":/usr/share"));
    const Ran r = runProgram(gio, {QStringLiteral("info"), QStringLiteral("-a"), QStringLiteral("standard::content-type"), path}, env);
    QVERIFY2(r.exitCode == 0, r.err);
    QCOMPARE(QString::fromUtf8(r.out).section(QStringLiteral("content-type: "), 1).trimmed(), type);
}

// The installed program answers without a display (a window would need one) and finds the
// help installed beside it.
void TestInstall::installedProgram_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("output");
    QTest::newRow("version") << "--version" << "Tarnwick 2.6.3\n";
    QTest::newRow("help") << "--help" << "Usage: tarnwick [--run] [SETTINGS.twk] [PORT-ARGUMENTS...]\n";
}

void TestInstall::installedProgram()
{
    QFETCH(QString, argument);
    QFETCH(QString, output);
    QProcessEnvironment env;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":99999"));
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("none"));
    const Ran r = runProgram(installed(QStringLiteral("bin/tarnwick")), {argument}, env);
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(QString::fromLocal8Bit(r.out).startsWith(output), r.out + r.err);
    QCOMPARE(helpIndexPath(installed(QStringLiteral("bin"))), QFileInfo(installed("share/tarnwick/help/index.html")).filePath());
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install_e2e.moc"
