#pragma once

#include "core/ArchiverCommandLine.h"

class QProcess;

namespace tessaro {

// Prepares the archiver's process to start without a window and with the
// command line in the platform's form. Windows: the parameter string is the
// native command line as built (the archiver parses it itself; Qt's quoting of
// separate arguments would double its quotes), and no console window appears.
// POSIX: the tokens are the argument vector, each without its quotes.
void prepareArchiverStart(QProcess& process, const ArchiverTokens& tokens);

} // namespace tessaro
