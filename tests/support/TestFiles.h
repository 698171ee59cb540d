#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace tessaro::test {

// Writes bytes to a file, creating its parent folders. Fails the test on error.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
// Sets a file's modification time.
void setModified(const QString& path, const QDateTime& when);
// The path with the platform's separator at its end.
QString withSlash(const QString& folder);
// Makes a named pipe (FIFO) at the path, creating its parent folders; false
// where the platform keeps no pipes among files (Windows).
bool makePipe(const QString& path);

} // namespace tessaro::test
