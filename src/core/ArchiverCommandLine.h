#pragma once

#include "core/ArchiverChoices.h"
#include "core/BackupRule.h"
#include "core/ExcludeMask.h"
#include "core/LocalDateTime.h"
#include "core/PathRules.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tessaro {

// The archiver options of one backup pass, filled from the settings.
struct TWinRAROptions
{
    TArchiveFormat ArchiveFormat = TArchiveFormat::Rar;
    // No level: the archiver's own default.
    std::optional<TCompression> Compression;
    TStorePaths StorePaths = TStorePaths::Full;
    // 0 or less: not given.
    int NumThreads = 0;
    // Folder for the archiver's error log as the user entered it; may be empty.
    QString LogFile;
    // Add only new and changed files to an existing archive.
    bool UpdateMode = false;
    // The error log used when LogFile names no existing folder:
    // "winrar_errors.log" in the data folder.
    QString DefaultErrorLogFile;
};

// One token of the archiver's command line. Quoted tokens are written
// between double quotes in the parameter string; as an argument vector every
// token travels on its own, without quotes.
struct ArchiverToken
{
    QString text;
    bool quoted = false;

    friend bool operator==(const ArchiverToken&, const ArchiverToken&) = default;
};

using ArchiverTokens = QList<ArchiverToken>;

// The full path of the archive to write: the destination folder, then the
// file name with the format's extension and its date pattern expanded with
// the given time (the pass's start time).
QString BuildArchiveFileName(const TBackupRule& rule, const TWinRAROptions& options,
                             const LocalDateTime& now, PathStyle style = nativePathStyle());

// The name part of BuildArchiveFileName: extension replaced, pattern expanded.
QString ExpandArchiveName(const QString& fileName, TArchiveFormat archiveFormat,
                          const LocalDateTime& now, PathStyle style = nativePathStyle());

// "winrar_errors.log" in the options' log folder when that folder exists,
// otherwise the options' default error log.
QString GetErrorLogFile(const TWinRAROptions& options);

// The archiver's exclusion switches for the rule's masks, one quoted token
// each, in mask order:
//   name N        "-x*/N"        (RAR's "*/" reaches the source folder itself
//                                 and every subfolder, files and folders alike)
//   wildcard W    "-xW" "-xW/"   (files by name at any depth; folders by name
//                                 at any depth, a folder mask being one that
//                                 ends with a separator)
//   path P        "-x" + source folder + P  (the entry at that full path and
//                                 everything below it)
// with the style's separator in place of "/".
ArchiverTokens ExclusionTokens(const ExcludeMaskList& masks, const QString& sourceFolder,
                               PathStyle style);

// The archiver's command line as a token list, in the archiver's order: the
// exclusions go after the paths switch, before the archive path. On POSIX,
// RAR for Linux also gets "-ol" (symbolic links are stored as links, never
// followed into) and "-cfg-" (its own configuration file and the RAR
// environment variable are ignored, so the archive holds what the rule
// says) right after the paths switch.
ArchiverTokens BuildArchiverTokens(const TBackupRule& rule, const TWinRAROptions& options,
                                   const QString& archivePath, const QString& errorLogPath,
                                   PathStyle style = nativePathStyle());

// The switches of the platform's archiver that keep its own configuration
// out of a run: "-cfg-" on POSIX, none on Windows.
ArchiverTokens PlatformArchiverSwitches(PathStyle style);

// The tokens joined by single blanks, quoted tokens between double quotes.
QString JoinParameterString(const ArchiverTokens& tokens);
// The tokens as an argument vector, each without quotes.
QStringList ArgumentVector(const ArchiverTokens& tokens);

// The parameter string handed to the archiver (the program path excluded).
QString BuildCommandLine(const TBackupRule& rule, const TWinRAROptions& options,
                         const QString& archivePath, const QString& errorLogPath,
                         PathStyle style = nativePathStyle());

} // namespace tessaro
