#include "core/ArchiverLocation.h"

#include "core/FileSize.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace tessaro {

namespace {

// Folders at this depth are listed but not entered: the archiver sits at
// most three folder levels below a program folder.
constexpr int DeepestListedLevel = 3;

// The folder as Qt lists it. Qt reads either separator on Windows; turning
// backslashes into slashes lets a Windows-style path name a real folder on
// any platform.
QString listablePath(const QString& folder, PathStyle style)
{
    if (style != PathStyle::Windows)
        return folder;
    QString path = folder;
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

// Links and junctions are matched by name but not entered: one that points
// back up the tree would otherwise list the same folders again.
bool isEnterableFolder(const QFileInfo& entry)
{
    return entry.isDir() && !entry.isSymLink() && !entry.isJunction();
}

// The path when it names an existing file, else an empty text.
QString existingFile(const QString& path)
{
    return IsExistingFile(path) ? path : QString();
}

// One registry view: "exe64", or "exe" only when "exe64" is empty. A stale
// "exe64" means the view has nothing, whatever "exe" holds.
QString fromRegistryView(const RegistryValueReader& read)
{
    if (!read)
        return {};
    QString path = trimControlAndBlanks(read(QStringLiteral("exe64")));
    if (path.isEmpty())
        path = trimControlAndBlanks(read(QStringLiteral("exe")));
    return existingFile(path);
}

} // namespace

QString FindWinRARInFolder(const QString& folder, int depth, const QString& fileName,
                           PathStyle style)
{
    const QString base = withTrailingSeparator(folder, style);
    // A blank POSIX folder stays empty; listing it would scan the current
    // folder instead of nothing.
    if (base.isEmpty())
        return {};

    QDirIterator entries(listablePath(base, style),
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        const QString name = entry.fileName();
        if (depth < DeepestListedLevel && isEnterableFolder(entry)) {
            const QString found = FindWinRARInFolder(base + name, depth + 1, fileName, style);
            if (!found.isEmpty())
                return found;
        }
        if (name.toLower() == fileName)
            return base + name;
    }
    return {};
}

QString FindWinRAR(bool scanProgramFolders, const ArchiverSources& sources)
{
    for (const RegistryValueReader* view : {&sources.registry64, &sources.registry32}) {
        const QString path = fromRegistryView(*view);
        if (!path.isEmpty())
            return path;
    }
    if (sources.pathLookup) {
        const QString path = existingFile(sources.pathLookup());
        if (!path.isEmpty())
            return path;
    }
    if (!scanProgramFolders)
        return {};
    for (const QString& folder : sources.scanFolders) {
        const QString path = FindWinRARInFolder(folder, 0);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

} // namespace tessaro
