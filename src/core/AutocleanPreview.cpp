#include "core/AutocleanPreview.h"

#include "core/PathRules.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tessaro {

namespace {

TFileEntry entryOf(const QString& path)
{
    const QFileInfo info(path);
    return {path, info.size(), info.lastModified().toMSecsSinceEpoch()};
}

// The archive auto clean keeps however low the limit: the newest one it
// counts, i.e. the one regular file of the folder's archives not chosen.
void addTheOneKept(const QString& folder, const QString& extension, std::vector<TFileEntry>& chosen)
{
    const QString dir = withTrailingSeparator(folder, nativePathStyle());
    QDir::Filters filters = QDir::Files | QDir::Hidden | QDir::System;
    if (nativePathStyle() == PathStyle::Posix)
        filters |= QDir::CaseSensitive;
    const QDir listing(dir, QStringLiteral("*.") + extension, QDir::NoSort, filters);
    for (const QString& name : listing.entryList()) {
        const QString path = dir + name;
        const bool known = std::any_of(chosen.cbegin(), chosen.cend(),
                                       [&path](const TFileEntry& e) { return e.Filename == path; });
        if (!known && QFileInfo(path).isFile() && !QFileInfo(path).isSymLink())
            chosen.push_back(entryOf(path));
    }
}

} // namespace

std::vector<TFileEntry> PreviewAutoCleanFolder(const QString& folder, const QString& extension,
                                               int maxFiles, qint64 maxBytes, int newArchives)
{
    if (maxFiles <= 0 && maxBytes <= 0)
        return {};
    std::vector<TFileEntry> chosen;
    const TDeleteFileProc takeNote = [&chosen](const QString& path, QString*) {
        chosen.push_back(entryOf(path));
        return true;
    };
    // The new archives are the newest; they take their places of a
    // file-count limit first.
    const int keep = maxFiles > 0 ? maxFiles - std::max(newArchives, 0) : 0;
    AutoCleanFolder(folder, extension, maxFiles > 0 ? std::max(keep, 1) : 0, maxBytes, TLogProc(),
                    takeNote);
    // Auto clean keeps at least one of the archives it counts; when the new
    // ones alone fill the limit, the last old one goes as well.
    if (maxFiles > 0 && keep < 1)
        addTheOneKept(folder, extension, chosen);
    return chosen;
}

} // namespace tessaro
