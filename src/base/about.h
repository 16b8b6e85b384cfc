#pragma once

#include <QString>

namespace tarnwick::about {

inline constexpr int kMajor = TARNWICK_VERSION_MAJOR;
inline constexpr int kMinor = TARNWICK_VERSION_MINOR;
inline constexpr int kRevision = TARNWICK_VERSION_PATCH;

inline QString version()
{
    return QStringLiteral("%1.%2.%3").arg(kMajor).arg(kMinor).arg(kRevision);
}

inline QString feedbackAddress() { return QStringLiteral("tarnwick.feedback@example.org"); }
inline QString portWebsite() { return QStringLiteral("https://zdoom.org/"); }
inline QString companyLine() { return QStringLiteral("Orlem Brask 2001-2009"); }

// The program's description, also written into exported launch scripts.
inline QString description()
{
    return QStringLiteral("Tarnwick: ZDoom Launcher. ") + feedbackAddress() +
           QStringLiteral(".  Last updated: 18 July 2009");
}

} // namespace tarnwick::about
