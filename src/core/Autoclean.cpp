#include "Autoclean.h"

#include "FileSize.h"
#include "PathRules.h"
#include "Quoted.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// The archives of the folder, or nothing when the listing cannot start: the
// folder is missing or unreadable, or no entry at all matches the pattern. A
// folder that merely looks like an archive starts the listing but is never
// counted.
std::optional<std::vector<TFileEntry>> listArchives(const QString& folder, const QString& extension)
{
    // An empty path would make QDir list the working folder instead.
    if (folder.isEmpty())
        return std::nullopt;

    QDir::Filters filters =
        QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    // Archive names are matched the way the platform's own file system
    // tells names apart.
    if (nativePathStyle() == PathStyle::Posix)
        filters |= QDir::CaseSensitive;

    const QDir dir(folder, QStringLiteral("*.") + extension, QDir::NoSort, filters);
    if (!dir.exists())
        return std::nullopt;
    const QFileInfoList entries = dir.entryInfoList();
    if (entries.isEmpty())
        return std::nullopt;

    std::vector<TFileEntry> archives;
    archives.reserve(size_t(entries.size()));
    for (const QFileInfo& info : entries) {
        if (!info.isFile())
            continue;
        archives.push_back({folder + info.fileName(), info.size(),
                            LocalDateTime::fromQDateTime(info.lastModified())});
    }
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

    void limitCount(int maxFiles)
    {
        if (maxFiles < 1 || count() <= maxFiles)
            return;
        info(QStringLiteral("auto clean: found ") + QString::number(count()) + QLatin1Char(' ') +
             m_extension + QStringLiteral(" files in ") + Quoted(m_folder) +
             QStringLiteral(", which is above ") + QString::number(maxFiles));
        while (count() > maxFiles) {
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
        while (m_total > maxBytes && count() > 1) {
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
    qsizetype count() const { return qsizetype(m_archives.size()); }

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
    const QString dir = withTrailingSeparator(folder, nativePathStyle());
    std::optional<std::vector<TFileEntry>> archives = listArchives(dir, extension);
    if (!archives)
        return -1;

    FolderCleaner cleaner(dir, extension, std::move(*archives), log, deleteFile);
    cleaner.limitCount(maxFiles);
    cleaner.limitSize(maxBytes);
    cleaner.reportSummary();
    return cleaner.deleted();
}

} // namespace tessaro
