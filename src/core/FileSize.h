#pragma once

#include <QLocale>
#include <QString>

namespace tessaro {

// Size in bytes of the file at the path, or -1 when no file is there (a
// folder does not count).
qint64 FileSizeOf(const QString& path);

// Whether a file is at the path (links followed; a folder does not count).
bool IsExistingFile(const QString& path);

// "0.49 kB", "1.00 MB", "5.00 GB": two decimals with the locale's decimal
// separator and no grouping.
QString FormatFileSize(qint64 size, const QLocale& locale);
QString FormatFileSize(qint64 size);

} // namespace tessaro
