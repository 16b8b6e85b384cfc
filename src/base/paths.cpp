#include "base/paths.h"

#include <QDir>
#include <QFileInfo>

namespace tarnwick::paths {

QString toNative(const QString& path)
{
#ifdef Q_OS_WIN
    return path;
#else
    QString p = path;
    p.replace(u'\\', u'/');
    return p;
#endif
}

QString withoutTrailingSeparator(const QString& folder)
{
    if (!folder.isEmpty() && isSeparator(folder.back())) return folder.left(folder.size() - 1);
    return folder;
}

QString join(const QString& folder, const QString& name)
{
    return withoutTrailingSeparator(folder) + QDir::separator() + name;
}

static qsizetype lastSeparator(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isSeparator(path.at(i))) return i;
    return -1;
}

QString fileNamePart(const QString& path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString folderPart(const QString& path)
{
    const qsizetype i = lastSeparator(path);
    return i < 0 ? QString() : path.left(i);
}

QString entryIgnoringCase(const QString& folder, const QString& name)
{
    const QString exact = join(folder, name);
    if (QFileInfo::exists(toNative(exact))) return exact;
    QStringList entries = QDir(toNative(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                           | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return join(folder, entry);
    return exact;
}

QString unquoted(QString text)
{
    text.remove(u'"');
    return text;
}

QString quotedIfBlank(const QString& path)
{
    return path.contains(u' ') ? u'"' + path + u'"' : path;
}

QString resolvedIn(const QString& folder, const QString& name)
{
    QString path = toNative(unquoted(name));
    if (path.startsWith(QLatin1StringView("~/"))) path = QDir::homePath() + path.mid(1);
    if (path.isEmpty() || QDir::isAbsolutePath(path)) return path;
    const QString base = toNative(unquoted(folder));
    return base.isEmpty() ? path : join(base, path);
}

} // namespace tarnwick::paths
