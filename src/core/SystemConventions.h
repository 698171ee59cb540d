#pragma once

#include <QByteArray>
#include <QChar>
#include <QIODevice>
#include <QString>
#include <QStringConverter>

class QFile;

namespace tessaro {

// The conventions of the system the program runs on, where Windows and POSIX
// systems differ. Each function has one implementation per platform
// (SystemConventionsWindows.cpp, SystemConventionsPosix.cpp); the path style
// of the platform is nativePathStyle() in PathRules.h, defined there too.

// The encoding of a configuration file without a byte-order mark: the ANSI
// code page on Windows, UTF-8 elsewhere.
QStringConverter::Encoding plainTextEncoding();

// Text of an 8-bit log file, written by this program or another one: the
// ANSI code page on Windows; elsewhere there is no such setting, and Latin-1
// maps every byte to a character, so nothing is lost.
QString decodeEightBitLog(const QByteArray& bytes);

// The separator between hours and minutes in the user's short time format.
QChar systemTimeSeparator();

// The name of this computer as the webhook reports it: COMPUTERNAME, and on
// POSIX the host name when that is unset.
QString computerName();

// Creates a file that must not exist yet, readable only by its owner where
// the file system has owners (it will hold passwords). Windows keeps the
// folder's inherited permissions.
bool createPrivateFile(QFile& file);

// Whether files have permissions that keep them private to their owner
// (POSIX). Windows files keep their folder's inherited permissions.
bool hasOwnerOnlyFiles();

// Whether users other than the file's owner have any access to it; always
// false where files have no such permissions.
bool openToOtherUsers(const QString& fileName);

// Opens the file with the mode only when it is a regular file (or a new one,
// when the mode creates files): a pipe, a device or a folder put in its
// place is refused without waiting for whoever is at its other end.
// False, with *error saying why when given, otherwise.
bool openRegularFile(QFile& file, QIODevice::OpenMode mode, QString* error = nullptr);

// Opens the file for reading and writing, creating it when missing, with
// every other writer kept out until it is closed: Windows opens it deny-write,
// POSIX takes an exclusive advisory lock. The lock is tried once, never waited
// for. Unbuffered, so a write that fails (a full disk) fails at once and
// leaves nothing in a buffer that a later flush or the close would still try.
// Regular files only, as openRegularFile.
bool openDenyingOtherWriters(QFile& file);

} // namespace tessaro
