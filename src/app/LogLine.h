#pragma once

#include "app/MainView.h"
#include "core/LocalDateTime.h"
#include "core/PathRules.h"

#include <QString>
#include <QStringList>

namespace tessaro {

// The pure text rules of the activity log: how a line reads, which colour it
// gets in the view, which of its pieces become links, and where it is filed.

inline constexpr RgbColor LogColorBlack = 0x000000;
inline constexpr RgbColor LogColorMagenta = 0xFF00FF;
inline constexpr RgbColor LogColorRed = 0xFF0000;

// The text with every control character written out: "\r", "\n", "\t", and
// "\xNN" (two upper-case hex digits) for the other C0 and C1 controls and
// DEL; the line and paragraph separators U+2028 and U+2029 as "\u2028" and
// "\u2029". Everything else stays as it is.
QString escapeControlCharacters(const QString& text);

// The timestamp "dd.mm.yyyy hh:MM:ss", " [", the level, "] " and the text
// without the blanks and control characters at its ends, its other control
// characters escaped: a log line is always one line.
QString formatLogLine(const LocalDateTime& now, const QString& level, const QString& text);

// Magenta for "W", red for "E" and "F", black for everything else; the level
// is compared exactly, so "w" is black.
RgbColor logLevelColor(const QString& level);

// The line cut at every double quote, quotes dropped. Empty pieces are kept:
// "a""b" gives a, empty, b, and a closing quote at the end gives an empty
// last piece.
QStringList splitLogLine(const QString& line);

// Whether a piece of a log line is a path the view turns into a link:
// Windows - a drive path, i.e. the first ":\" starts at the second character;
// POSIX - an absolute path, i.e. the piece starts with "/".
bool isLogLink(const QString& piece, PathStyle style);

// The month's log file: the log folder (with its trailing separator), "yymm"
// and "_tessaro.log".
QString logFileName(const QString& logPath, const LocalDateTime& now);

} // namespace tessaro
