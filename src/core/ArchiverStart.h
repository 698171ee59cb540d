#pragma once

#include "core/ArchiverCommandLine.h"

#include <QProcessEnvironment>

class QProcess;

namespace tessaro {

// Prepares the archiver's process to start without a window and with the
// command line in the platform's form. Windows: the parameter string is the
// native command line as built (the archiver parses it itself; Qt's quoting of
// separate arguments would double its quotes), and no console window appears.
// POSIX: the tokens are the argument vector, each without its quotes, and
// the environment is archiverEnvironment's.
void prepareArchiverStart(QProcess& process, const ArchiverTokens& tokens);

// The environment the archiver runs in, from the program's own. POSIX: the
// arguments are UTF-8 (the program's file names always are), and RAR for
// Linux reads them in its locale's character set, so a locale that is not
// UTF-8 (the C locale of cron and of services without LANG) gets the C.UTF-8
// one; otherwise non-ASCII names would be stored garbled. Windows: unchanged.
QProcessEnvironment archiverEnvironment(const QProcessEnvironment& inherited);

} // namespace tessaro
