#pragma once

#include <QString>

namespace tessaro {

// Appends one line and CR LF to a log file, which is opened, locked against
// other writers, written and closed again for this one line, so other
// programs can read the file between lines.
//
// A file that starts with a byte order mark (UTF-8, UTF-16 LE or BE) gets the
// line in its own encoding. A file without one (an empty file included) is
// text in the 8-bit code page: an ASCII line is appended as is; the first line
// with any other character turns the file into UTF-8 with a mark, earlier
// content converted, so a month's file stays plain ASCII until it needs more.
//
// Returns false on any failure (missing folder, no rights, file locked by
// another writer, short write); it never throws and never shows anything,
// because a log that cannot be written must not stop what it reports on.
bool appendLogLine(const QString& fileName, const QString& line) noexcept;

} // namespace tessaro
