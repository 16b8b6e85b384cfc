#include "launch/launch_profile.h"
#include "platform/file_system.h"
#include "shell/reports.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;

namespace {

// Knows which paths are files and which are folders; nothing else exists.
class FakeFileSystem final : public FileSystem
{
public:
    QStringList files, folders;
    bool fileExists(const QString& path) const override { return files.contains(path); }
    bool folderExists(const QString& path) const override { return folders.contains(path); }
    bool createFolder(const QString&) override { return false; }
};

} // namespace

class TestReports : public QObject
{
    Q_OBJECT
private slots:
    void locationReport_data();
    void locationReport();
    void aboutAndFeedback();
    void helpIndexPath();
};

void TestReports::locationReport_data()
{
    QTest::addColumn<QStringList>("fields"); // EXE, folder, INI, IWAD, parameter, demo, translucency
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("rows");
    QTest::newRow("all empty") << QStringList(7) << QStringList() << QStringList()
        << "The ZDoom EXE TextBox is empty\r\nThe ZDoom folder TextBox is empty\r\nThe configuration file TextBox is "
           "empty\r\nThe Game WAD TextBox is empty\r\nThe parameter file TextBox is empty\r\nThe demo file TextBox is "
           "empty\r\nThe translucency file TextBox is empty\r\n";
    const QStringList present{"\"C:\\Program Files\\zdoom.exe\"", "C:\\Games\\", "zdoom.ini", "doom2.wad",
                              "parms.txt", "\"my demo.lmp\"", "trans.tbl"};
    QTest::newRow("all present") << present
        << QStringList{"C:\\Program Files\\zdoom.exe", "zdoom.ini", "doom2.wad", "parms.txt", "my demo.lmp", "trans.tbl"}
        << QStringList{"C:\\Games\\"}
        << "The ZDoom EXE file '\"C:\\Program Files\\zdoom.exe\"' does exist\r\nThe ZDoom folder 'C:\\Games\\' does "
           "exist\r\nThe configuration file 'zdoom.ini' does exist\r\nThe Game WAD file 'doom2.wad' does exist\r\nThe "
           "parameter file 'parms.txt' does exist\r\nThe demo file '\"my demo.lmp\"' does exist\r\nThe translucency "
           "file 'trans.tbl' does exist\r\n";
    // The folder row asks for a folder, the others for files: a name of the wrong kind is missing.
    QTest::newRow("all missing") << present << QStringList{"C:\\Games\\"}
        << QStringList{"C:\\Program Files\\zdoom.exe", "zdoom.ini"}
        << "*The ZDoom EXE file '\"C:\\Program Files\\zdoom.exe\"' does not exist*\r\n*The ZDoom folder 'C:\\Games\\' "
           "does not exist*\r\n*The configuration file 'zdoom.ini' does not exist*\r\n*The Game WAD file 'doom2.wad' "
           "does not exist*\r\n*The parameter file 'parms.txt' does not exist*\r\n*The demo file '\"my demo.lmp\"' "
           "does not exist (you may not have recorded it yet)*\r\n*The translucency file 'trans.tbl' does not exist*\r\n";
}

void TestReports::locationReport()
{
    QFETCH(QStringList, fields);
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QString, rows);
    LaunchProfile p;
    QString* boxes[] = {&p.txtEXE, &p.txtFol, &p.txtINI, &p.txtIWAD, &p.txtParm, &p.txtLMP, &p.txtTransFile};
    for (int i = 0; i < 7; ++i) *boxes[i] = fields[i];
    FakeFileSystem fs;
    fs.files = files;
    fs.folders = folders;
    QCOMPARE(tarnwick::locationReport(p, fs),
             "Tarnwick has checked the locations of the ZDoom EXE, the ZDoom folder, the configuration file, the Game "
             "WAD file, the parameter file, the demo file and the translucency file:\r\n\r\n" + rows);
}

void TestReports::aboutAndFeedback()
{
    QCOMPARE(aboutText(), QStringLiteral("Tarnwick version: 2.6.3\r\n\r\nOrlem Brask 2001-2009\r\n\r\n"
                                         "Tarnwick: ZDoom Launcher. tarnwick.feedback@example.org.  "
                                         "Last updated: 18 July 2009"));
    QCOMPARE(feedbackUrl(), QStringLiteral("mailto:tarnwick.feedback@example.org?subject=Tarnwick Feedback"));
}

// The help beside the program ("tarnwick.chm"), installed under share/, or in a build's source tree.
void TestReports::helpIndexPath()
{
    const QString installed = QStringLiteral("usr/share/tarnwick/help/index.html");
    const struct { QStringList files; const char* programDir; QString expected; } cases[] = {
        {{"usr/bin/tarnwick.chm", installed}, "usr/bin", "usr/bin/tarnwick.chm"},
        {{installed}, "usr/bin", installed},
        {{"src/docs/help/index.html"}, "src/build/Debug", "src/docs/help/index.html"},
        {{"src/docs/help/style.css", "usr/share/tarnwick/help/other.html"}, "src/build", ""}}; // no index, no help
    for (const auto& c : cases) {
        QTemporaryDir root;
        QDir dir(root.path());
        QVERIFY(dir.mkpath(QString::fromLatin1(c.programDir)));
        for (const QString& f : c.files) QVERIFY(dir.mkpath(QFileInfo(f).path()) && QFile(dir.filePath(f)).open(QIODevice::WriteOnly));
        QCOMPARE(tarnwick::helpIndexPath(dir.filePath(QString::fromLatin1(c.programDir))),
                 c.expected.isEmpty() ? QString() : QDir::cleanPath(dir.filePath(c.expected)));
    }
}

QTEST_GUILESS_MAIN(TestReports)
#include "tst_reports.moc"
