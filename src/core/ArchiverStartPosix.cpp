#include "core/ArchiverStart.h"

#include <QProcess>

namespace tessaro {

void prepareArchiverStart(QProcess& process, const ArchiverTokens& tokens)
{
    process.setArguments(ArgumentVector(tokens));
}

} // namespace tessaro
