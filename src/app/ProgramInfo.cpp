#include "ProgramInfo.h"

namespace tessaro {

QString ProgramName()
{
    return QStringLiteral("Tessaro");
}

QString ProgramVersion()
{
    return QStringLiteral(TESSARO_VERSION_TEXT);
}

} // namespace tessaro
