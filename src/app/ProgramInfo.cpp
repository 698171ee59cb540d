#include "app/ProgramInfo.h"

namespace tessaro {

QString ProgramName()
{
    return QStringLiteral("Tessaro");
}

// The project's addresses. Neutral ones until the project has its own: set
// them before a release. The homepage comes from the build (the project's
// HOMEPAGE_URL), which the desktop launcher and package metadata share.
QString ProgramHomepage()
{
    return QStringLiteral(TESSARO_HOMEPAGE_TEXT);
}

QString ProgramContactMail()
{
    return QStringLiteral("support@tessaro.example.org");
}

} // namespace tessaro
