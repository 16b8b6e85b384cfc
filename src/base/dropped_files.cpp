#include "base/dropped_files.h"

#include <algorithm>

namespace tarnwick::drops {

QStringList localFiles(const QList<QUrl>& urls)
{
    QStringList files;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile() || url.toLocalFile().isEmpty()) return {};
        files << url.toLocalFile();
    }
    return files;
}

bool allEndIn(const QStringList& paths, const char* endings)
{
    const QStringList accepted = QString::fromLatin1(endings).split(u' ', Qt::SkipEmptyParts);
    const auto endsWell = [&](const QString& path) {
        return std::any_of(accepted.cbegin(), accepted.cend(), [&](const QString& ending) {
            return path.endsWith(u'.' + ending, Qt::CaseInsensitive);
        });
    };
    return !paths.isEmpty() && std::all_of(paths.cbegin(), paths.cend(), endsWell);
}

} // namespace tarnwick::drops
