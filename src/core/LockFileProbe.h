#pragma once

#include <QString>

namespace tessaro {

// Whether a running program holds the lock file open as its lock: the lock
// file's own text cannot tell when it is empty or damaged, but the system
// still knows who has the file open. On POSIX the owner keeps an advisory lock
// on it; on Windows it keeps the file open without sharing its deletion. False
// when the file is gone or nobody holds it.
bool lockFileHeldOpen(const QString& path);

} // namespace tessaro
