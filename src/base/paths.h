#pragma once

#include <QString>

namespace tarnwick::paths {

// Paths typed by players come from both worlds: "\" and "/" both separate folders.
inline bool isSeparator(QChar c) { return c == u'\\' || c == u'/'; }

// The path with "\" turned into the native separator where the platform does not take it.
QString toNative(const QString& path);

// The folder text without one trailing separator.
QString withoutTrailingSeparator(const QString& folder);

// folder + native separator + name, the folder's own trailing separator dropped first.
QString join(const QString& folder, const QString& name);

// Text after the last separator (the whole text when there is none).
QString fileNamePart(const QString& path);

// Text before the last separator (empty when there is none).
QString folderPart(const QString& path);

// The text with every double quote removed.
QString unquoted(QString text);

// Wrapped in double quotes when it contains a blank, as the file dialogs hand paths back.
QString quotedIfBlank(const QString& path);

// folder + native separator + the entry of `folder` whose name equals `name` without
// regard to letter case (the exact spelling first, then the first in sorted order), or
// `name` as given when the folder holds none. Files a port from another system looks
// for are found, and written back, under the name they have.
QString entryIgnoringCase(const QString& folder, const QString& name);

// A file name as the port started in `folder` finds it: double quotes removed, a leading
// "~/" turned into the home folder, a relative name taken from `folder`.
QString resolvedIn(const QString& folder, const QString& name);

} // namespace tarnwick::paths
