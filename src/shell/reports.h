#pragma once

#include <QString>

namespace tarnwick {

class FileSystem;
struct LaunchProfile;

// "Check file/folder locations": one line for each of the seven file and folder fields,
// saying whether it is empty, names something that exists, or names something missing
// (that line between asterisks). Paths are tested without their quotes and shown with them.
QString locationReport(const LaunchProfile& profile, const FileSystem& fs);
inline QString locationReportTitle() { return QStringLiteral("Check File/Folder Locations"); }

// The About box: version, company line and description.
QString aboutText();
inline QString aboutTitle() { return QStringLiteral("About"); }

// The address that opens a new feedback e-mail.
QString feedbackUrl();

// The port's website.
QString websiteUrl();

// The help to open: "tarnwick.chm" beside the program when there is one, else the HTML
// help's index page, installed under <prefix>/share/tarnwick/help beside <prefix>/bin or
// found in docs/help of a folder above the program (a build folder). Empty when there is
// no help.
QString helpIndexPath(const QString& applicationDir);

} // namespace tarnwick
