#include "shell/reports.h"

#include "launch/launch_profile.h"
#include "platform/file_system.h"
#include "base/about.h"
#include "base/paths.h"

#include <QDir>
#include <QFileInfo>

namespace tarnwick {

namespace {

struct LocationRow
{
    QString LaunchProfile::*field;
    bool folder;
    const char* empty;
    const char* found;
    const char* missingSuffix;
};

const LocationRow kLocationRows[] = {
    {&LaunchProfile::txtEXE, false, "The ZDoom EXE TextBox is empty", "The ZDoom EXE file '",
     "' does not exist*"},
    {&LaunchProfile::txtFol, true, "The ZDoom folder TextBox is empty", "The ZDoom folder '",
     "' does not exist*"},
    {&LaunchProfile::txtINI, false, "The configuration file TextBox is empty",
     "The configuration file '", "' does not exist*"},
    {&LaunchProfile::txtIWAD, false, "The Game WAD TextBox is empty", "The Game WAD file '",
     "' does not exist*"},
    {&LaunchProfile::txtParm, false, "The parameter file TextBox is empty", "The parameter file '",
     "' does not exist*"},
    {&LaunchProfile::txtLMP, false, "The demo file TextBox is empty", "The demo file '",
     "' does not exist (you may not have recorded it yet)*"},
    {&LaunchProfile::txtTransFile, false, "The translucency file TextBox is empty",
     "The translucency file '", "' does not exist*"},
};

const QString kCrLf = QStringLiteral("\r\n");

bool isFile(const QString& path)
{
    return QFileInfo(path).isFile();
}

} // namespace

QString locationReport(const LaunchProfile& profile, const FileSystem& fs)
{
    QString report = QStringLiteral(
                         "Tarnwick has checked the locations of the ZDoom EXE, the ZDoom folder, the "
                         "configuration file, the Game WAD file, the parameter file, the demo file "
                         "and the translucency file:") +
                     kCrLf + kCrLf;
    for (const LocationRow& row : kLocationRows) {
        const QString& text = profile.*row.field;
        if (text.isEmpty()) {
            report += QLatin1StringView(row.empty);
        } else {
            const QString path = paths::unquoted(text);
            const bool exists = row.folder ? fs.folderExists(path) : fs.fileExists(path);
            if (exists)
                report += QLatin1StringView(row.found) + text + QStringLiteral("' does exist");
            else
                report += u'*' + QLatin1StringView(row.found) + text + QLatin1StringView(row.missingSuffix);
        }
        report += kCrLf;
    }
    return report;
}

QString aboutText()
{
    return QStringLiteral("Tarnwick version: ") + about::version() + kCrLf + kCrLf + about::companyLine() +
           kCrLf + kCrLf + about::description();
}

QString feedbackUrl()
{
    return QStringLiteral("mailto:") + about::feedbackAddress() + QStringLiteral("?subject=Tarnwick Feedback");
}

QString websiteUrl()
{
    return about::portWebsite();
}

QString helpIndexPath(const QString& applicationDir)
{
    const QDir program(applicationDir);
    const QString chm = program.filePath(QStringLiteral("tarnwick.chm"));
    if (isFile(chm)) return QDir::cleanPath(chm);

    const QString installed =
        program.filePath(QStringLiteral("../share/tarnwick/help/index.html"));
    if (isFile(installed)) return QDir::cleanPath(installed);

    // Run from a build folder: the sources with their docs lie somewhere above it.
    QDir dir(QFileInfo(applicationDir).absoluteFilePath());
    do {
        const QString index = dir.filePath(QStringLiteral("docs/help/index.html"));
        if (isFile(index)) return QDir::cleanPath(index);
    } while (dir.cdUp());
    return {};
}

} // namespace tarnwick
