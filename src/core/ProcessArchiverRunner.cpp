#include "core/ProcessArchiverRunner.h"

#include "core/ArchiverProcess.h"

namespace tessaro {

int ProcessArchiverRunner::run(const QString& program, const ArchiverTokens& tokens,
                               const QString& workingFolder)
{
    return RunWinRAR(program, tokens, workingFolder);
}

} // namespace tessaro
