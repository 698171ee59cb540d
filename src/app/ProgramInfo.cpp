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

// The project's constants. Neutral addresses until the project has its
// own: set both before a release, here and only here.
QString ProgramHomepage()
{
    return QStringLiteral("https://tessaro.example.org");
}

QString ProgramContactMail()
{
    return QStringLiteral("support@tessaro.example.org");
}

} // namespace tessaro
