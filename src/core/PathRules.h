#pragma once

#include <QString>

namespace tessaro {

// The two path conventions the program understands. Rules written for
// Windows keep their drive-letter paths and case-insensitive folder names;
// POSIX rules use absolute slash paths compared exactly. The Windows rules
// are pure text rules, so they are exercised on every platform by passing
// the style explicitly.
enum class PathStyle
{
    Windows,
    Posix,
};

// The style of the platform the program runs on.
PathStyle nativePathStyle();

QChar pathSeparator(PathStyle style);

// The text with the style's separator appended unless it already ends with
// one. An empty text becomes a lone "\" in the Windows style (an invalid
// folder that validation rejects later) and stays empty in the POSIX style,
// where a lone "/" would silently mean the root folder.
QString withTrailingSeparator(const QString& path, PathStyle style);

// A folder of the platform in its native spelling, with the native
// separator at its end (an empty text stays empty on POSIX).
QString nativeFolder(const QString& folder);

// Characters after which a file name's extension can no longer start:
// "\" and ":" for Windows paths, "/" for POSIX paths.
bool isExtensionBarrier(QChar c, PathStyle style);

// Folder names as the file system compares them: ASCII letters without
// regard to case on Windows (all other characters exactly), exactly on POSIX.
bool sameFolderAscii(const QString& a, const QString& b, PathStyle style);

// Folder names compared the way the user reads them: case-insensitive by the
// locale's rules on Windows, exactly on POSIX.
bool sameFolderLocale(const QString& a, const QString& b, PathStyle style);

// Removes leading and trailing characters whose code is 32 or below.
QString trimControlAndBlanks(const QString& text);
QStringView trimControlAndBlanks(QStringView text);

} // namespace tessaro
