#include "launch/launch_profile.h"
#include "platform/file_system.h"
#include "shell/reports.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;

namespace {

// Knows which paths are files and which are folders; nothing else exists.
class FakeFileSystem final : public FileSystem
{
public:
    QSet<QString> files;
    QSet<QString> folders;
    bool fileExists(const QString& path) const override { return files.contains(path); }
    bool folderExists(const QString& path) const override { return folders.contains(path); }
    bool createFolder(const QString&) override { return false; }
};

const QString kHeader = QStringLiteral(
    "Tarnwick has checked the locations of the ZDoom EXE, the ZDoom folder, the configuration "
    "file, the Game WAD file, the parameter file, the demo file and the translucency file:\r\n\r\n");

} // namespace

class TestReports : public QObject
{
    Q_OBJECT
private slots:
    void locationReport_data();
    void locationReport();
    void aboutAndFeedback();
    void helpIndexPath_data();
    void helpIndexPath();
};

void TestReports::locationReport_data()
{
    QTest::addColumn<QStringList>("fields"); // EXE, folder, INI, IWAD, parameter, demo, translucency
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("rows");

    QTest::newRow("all empty") << QStringList(7) << QStringList() << QStringList()
                               << QStringLiteral("The ZDoom EXE TextBox is empty\r\n"
                                                 "The ZDoom folder TextBox is empty\r\n"
                                                 "The configuration file TextBox is empty\r\n"
                                                 "The Game WAD TextBox is empty\r\n"
                                                 "The parameter file TextBox is empty\r\n"
                                                 "The demo file TextBox is empty\r\n"
                                                 "The translucency file TextBox is empty\r\n");

    const QStringList present{"\"C:\\Program Files\\zdoom.exe\"", "C:\\Games\\", "zdoom.ini", "doom2.wad",
                              "parms.txt", "\"my demo.lmp\"", "trans.tbl"};
    QTest::newRow("all present")
        << present
        << QStringList{"C:\\Program Files\\zdoom.exe", "zdoom.ini", "doom2.wad", "parms.txt", "my demo.lmp", "trans.tbl"}
        << QStringList{"C:\\Games\\"}
        << QStringLiteral("The ZDoom EXE file '\"C:\\Program Files\\zdoom.exe\"' does exist\r\n"
                          "The ZDoom folder 'C:\\Games\\' does exist\r\n"
                          "The configuration file 'zdoom.ini' does exist\r\n"
                          "The Game WAD file 'doom2.wad' does exist\r\n"
                          "The parameter file 'parms.txt' does exist\r\n"
                          "The demo file '\"my demo.lmp\"' does exist\r\n"
                          "The translucency file 'trans.tbl' does exist\r\n");

    // The folder row asks for a folder, the others for files: a name of the wrong kind is missing.
    QTest::newRow("all missing")
        << present << QStringList{"C:\\Games\\"} << QStringList{"C:\\Program Files\\zdoom.exe", "zdoom.ini"}
        << QStringLiteral("*The ZDoom EXE file '\"C:\\Program Files\\zdoom.exe\"' does not exist*\r\n"
                          "*The ZDoom folder 'C:\\Games\\' does not exist*\r\n"
                          "*The configuration file 'zdoom.ini' does not exist*\r\n"
                          "*The Game WAD file 'doom2.wad' does not exist*\r\n"
                          "*The parameter file 'parms.txt' does not exist*\r\n"
                          "*The demo file '\"my demo.lmp\"' does not exist (you may not have recorded it yet)*\r\n"
                          "*The translucency file 'trans.tbl' does not exist*\r\n");

}

void TestReports::locationReport()
{
    QFETCH(QStringList, fields);
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QString, rows);

    LaunchProfile p;
    p.txtEXE = fields[0];
    p.txtFol = fields[1];
    p.txtINI = fields[2];
    p.txtIWAD = fields[3];
    p.txtParm = fields[4];
    p.txtLMP = fields[5];
    p.txtTransFile = fields[6];
    FakeFileSystem fs;
    fs.files = QSet<QString>(files.begin(), files.end());
    fs.folders = QSet<QString>(folders.begin(), folders.end());

    QCOMPARE(tarnwick::locationReport(p, fs), kHeader + rows);
}

void TestReports::aboutAndFeedback()
{
    QCOMPARE(aboutText(), QStringLiteral("Tarnwick version: 2.6.3\r\n\r\nOrlem Brask 2001-2009\r\n\r\n"
                                         "Tarnwick: ZDoom Launcher. tarnwick.feedback@example.org.  "
                                         "Last updated: 18 July 2009"));
    QCOMPARE(feedbackUrl(), QStringLiteral("mailto:tarnwick.feedback@example.org?subject=Tarnwick Feedback"));
}

void TestReports::helpIndexPath_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("programDir");
    QTest::addColumn<QString>("expected"); // relative to the temporary root; empty: no help

    const QString installed = QStringLiteral("usr/share/tarnwick/help/index.html");
    QTest::newRow("compiled help beside the program")
        << QStringList{"usr/bin/tarnwick.chm", installed} << "usr/bin" << "usr/bin/tarnwick.chm";
    QTest::newRow("installed") << QStringList{installed} << "usr/bin" << installed;
    QTest::newRow("build folder") << QStringList{"src/docs/help/index.html"} << "src/build/Debug"
                                  << "src/docs/help/index.html";
    QTest::newRow("help folder without its index")
        << QStringList{"src/docs/help/style.css", "usr/share/tarnwick/help/other.html"} << "src/build" << "";
    QTest::newRow("no help") << QStringList() << "usr/bin" << "";
}

void TestReports::helpIndexPath()
{
    QFETCH(QStringList, files);
    QFETCH(QString, programDir);
    QFETCH(QString, expected);

    QTemporaryDir root;
    QDir dir(root.path());
    QVERIFY(dir.mkpath(programDir));
    for (const QString& f : files) {
        QVERIFY(dir.mkpath(QFileInfo(f).path()));
        QFile file(dir.filePath(f));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString found = tarnwick::helpIndexPath(dir.filePath(programDir));
    QCOMPARE(found, expected.isEmpty() ? QString() : QDir::cleanPath(dir.filePath(expected)));
}

QTEST_GUILESS_MAIN(TestReports)
#include "tst_reports.moc"
