#include "core/Autoclean.h"

#include "core/FileSize.h"
#include "core/FileStatus.h"
#include "core/PathRules.h"
#include "core/Quoted.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

namespace tessaro {

bool NewerFirst(const TFileEntry& a, const TFileEntry& b)
{
    return a.Timestamp > b.Timestamp;
}

bool DeleteArchiveFile(const QString& path, QString* error)
{
    QFile file(path);
    if (file.remove())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

namespace {

// An archive's name as the file system tells names apart.
QString nameKey(const QString& name)
{
    return nativePathStyle() == PathStyle::Windows ? name.toCaseFolded() : name;
}

// The names (as keys) of the pass's archives that lie in the folder.
QSet<QString> passArchiveNames(const QString& folder, const QStringList& passArchives)
{
    const PathStyle style = nativePathStyle();
    QSet<QString> names;
    for (const QString& path : passArchives) {
        const qsizetype nameStart = path.lastIndexOf(pathSeparator(style)) + 1;
        if (nameStart > 0 && sameFolderAscii(path.left(nameStart), folder, style))
            names.insert(nameKey(path.mid(nameStart)));
    }
    return names;
}

// The archives of the folder, or nothing when the listing cannot start: the
// folder is missing or unreadable, or no entry at all matches the pattern. A
// folder or a link that merely looks like an archive starts the listing but
// is never counted. Entries are read once, straight from the listing: the
// name is matched as text, and only matching entries cost a status read.
std::optional<std::vector<TFileEntry>> listArchives(const QString& folder, const QString& extension)
{
    // An empty path would make the listing read the working folder instead.
    if (folder.isEmpty())
        return std::nullopt;

    // Archive names are matched the way the platform's own file system
    // tells names apart.
    const Qt::CaseSensitivity nameCase =
        nativePathStyle() == PathStyle::Posix ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QString suffix = QLatin1Char('.') + extension;

    QDirIterator entries(folder,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    bool anyMatch = false;
    std::vector<TFileEntry> archives;
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        const QString name = entry.fileName();
        if (!name.endsWith(suffix, nameCase))
            continue;
        anyMatch = true;
        if (const std::optional<RegularFileStatus> file = regularFileStatus(entry))
            archives.push_back({folder + name, file->size, file->modifiedUtcMs});
    }
    if (!anyMatch)
        return std::nullopt;
    return archives;
}

// One run over one folder: the archives newest first, their total size and
// what has been deleted so far.
class FolderCleaner final
{
public:
    FolderCleaner(QString folder, QString extension, std::vector<TFileEntry> archives,
                  const TLogProc& log, const TDeleteFileProc& deleteFile)
        : m_folder(std::move(folder)), m_extension(std::move(extension)),
          m_archives(std::move(archives)), m_log(log), m_deleteFile(deleteFile)
    {
        for (const TFileEntry& entry : m_archives)
            m_total += entry.Size;
        std::sort(m_archives.begin(), m_archives.end(), NewerFirst);
    }
    Q_DISABLE_COPY_MOVE(FolderCleaner)

    // Takes the pass's own archives out of reach of the deletions. They
    // still count, and as the newest: the newest file that always stays is
    // one of them.
    void keep(const QSet<QString>& names)
    {
        if (names.isEmpty())
            return;
        const auto kept = std::stable_partition(
            m_archives.begin(), m_archives.end(), [this, &names](const TFileEntry& entry) {
                return !names.contains(nameKey(entry.Filename.mid(m_folder.size())));
            });
        m_kept = qsizetype(m_archives.end() - kept);
        m_archives.erase(kept, m_archives.end());
    }

    // Archives dated after the pass sort before every archive made from now
    // on, so they would outlive them all; the user should know.
    void warnAboutFutureDates(LocalDateTime now)
    {
        if (now.isNever())
            return;
        const qint64 nowUtcMs = now.toLocalQDateTime().toMSecsSinceEpoch();
        const auto future = std::count_if(
            m_archives.cbegin(), m_archives.cend(),
            [nowUtcMs](const TFileEntry& entry) { return entry.Timestamp > nowUtcMs; });
        if (future == 0)
            return;
        report(QStringLiteral("W"), QStringLiteral("auto clean: ") + QString::number(future) +
                                        QLatin1Char(' ') + m_extension +
                                        QStringLiteral(" files in ") + Quoted(m_folder) +
                                        QStringLiteral(" are dated in the future, so they count "
                                                       "as newer than every new archive"));
    }

    void limitCount(int maxFiles)
    {
        if (maxFiles < 1 || count() <= maxFiles)
            return;
        info(QStringLiteral("auto clean: found ") + QString::number(count()) + QLatin1Char(' ') +
             m_extension + QStringLiteral(" files in ") + Quoted(m_folder) +
             QStringLiteral(", which is above ") + QString::number(maxFiles));
        while (count() > maxFiles && !m_archives.empty()) {
            const TFileEntry& oldest = m_archives.back();
            info(QStringLiteral("auto clean: deleting ") + oldest.Filename);
            if (!deleteOldest(Quoted(oldest.Filename)))
                return;
        }
    }

    void limitSize(qint64 maxBytes)
    {
        if (maxBytes <= 0)
            return;
        if (m_total > maxBytes) {
            info(QStringLiteral("auto clean: found ") + FormatFileSize(m_total) +
                 QStringLiteral(" of ") + m_extension + QStringLiteral(" files in ") +
                 Quoted(m_folder) + QStringLiteral(", which is above ") + FormatFileSize(maxBytes));
        }
        // The newest archive always stays, however large it is.
        while (m_total > maxBytes && count() > 1 && !m_archives.empty()) {
            const TFileEntry& oldest = m_archives.back();
            info(QStringLiteral("auto clean: deleting ") + oldest.Filename +
                 QStringLiteral(", freeing ") + FormatFileSize(oldest.Size) +
                 QStringLiteral(" disk space"));
            if (!deleteOldest(oldest.Filename))
                return;
        }
    }

    void reportSummary()
    {
        if (m_deleted == 0) {
            info(QStringLiteral("auto clean: files in ") + Quoted(m_folder) +
                 QStringLiteral(" within limits, nothing to do"));
        } else {
            info(QStringLiteral("auto clean: deleted ") + QString::number(m_deleted) +
                 QStringLiteral(" files in ") + Quoted(m_folder));
        }
    }

    int deleted() const { return m_deleted; }

private:
    qsizetype count() const { return qsizetype(m_archives.size()) + m_kept; }

    // Deletes the last (oldest) entry. On failure the file stays in the list
    // and in the total, and the error is reported naming it as shown.
    bool deleteOldest(const QString& shownName)
    {
        const TFileEntry& oldest = m_archives.back();
        QString error;
        if (!tryDelete(oldest.Filename, &error)) {
            report(QStringLiteral("E"), QStringLiteral("auto clean: failed to delete ") +
                                            shownName + QStringLiteral(". error: ") + error);
            return false;
        }
        m_total -= oldest.Size;
        m_archives.pop_back();
        ++m_deleted;
        return true;
    }

    // Whatever goes wrong inside the deletion counts as a failed deletion;
    // auto clean never stops the pass that called it.
    bool tryDelete(const QString& path, QString* error) const
    {
        try {
            return m_deleteFile(path, error);
        } catch (const std::exception& e) {
            *error = QString::fromLocal8Bit(e.what());
        } catch (...) {
            *error = QStringLiteral("unknown error");
        }
        return false;
    }

    void info(const QString& text) const { report(QStringLiteral("I"), text); }
    void report(const QString& level, const QString& text) const
    {
        if (m_log)
            m_log(level, text);
    }

    const QString m_folder;
    const QString m_extension;
    std::vector<TFileEntry> m_archives;
    const TLogProc& m_log;
    const TDeleteFileProc& m_deleteFile;
    qint64 m_total = 0;
    // The pass's own archives, which are not in the list.
    qsizetype m_kept = 0;
    int m_deleted = 0;
};

} // namespace

int AutoCleanFolder(const QString& folder, const QString& extension, int maxFiles, qint64 maxBytes,
                    const TLogProc& log)
{
    return AutoCleanFolder(folder, extension, maxFiles, maxBytes, log, DeleteArchiveFile);
}

int AutoCleanFolder(const QString& folder, const QString& extension, int maxFiles, qint64 maxBytes,
                    const TLogProc& log, const TDeleteFileProc& deleteFile)
{
    return AutoCleanFolder(folder, extension, maxFiles, maxBytes, log, TAutoCleanContext(),
                           deleteFile);
}

int AutoCleanFolder(const QString& folder, const QString& extension, int maxFiles, qint64 maxBytes,
                    const TLogProc& log, const TAutoCleanContext& context,
                    const TDeleteFileProc& deleteFile)
{
    const QString dir = withTrailingSeparator(folder, nativePathStyle());
    std::optional<std::vector<TFileEntry>> archives = listArchives(dir, extension);
    if (!archives)
        return -1;

    FolderCleaner cleaner(dir, extension, std::move(*archives), log, deleteFile);
    cleaner.keep(passArchiveNames(dir, context.PassArchives));
    cleaner.warnAboutFutureDates(context.Now);
    cleaner.limitCount(maxFiles);
    cleaner.limitSize(maxBytes);
    cleaner.reportSummary();
    return cleaner.deleted();
}

} // namespace tessaro
