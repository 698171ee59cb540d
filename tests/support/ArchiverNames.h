#pragma once

#include "core/PathRules.h"

#include <QString>

namespace tessaro::test {

// The archiver the window's labels and questions name on this platform:
// WinRAR on Windows, RAR elsewhere. Log lines name WinRAR everywhere.
inline QString windowArchiverName()
{
    return nativePathStyle() == PathStyle::Windows ? QStringLiteral("WinRAR")
                                                   : QStringLiteral("RAR");
}

// The archiver page's tab title.
inline QString archiverTabTitle()
{
    return nativePathStyle() == PathStyle::Windows ? QStringLiteral("WinRAR\u00AE")
                                                   : QStringLiteral("RAR");
}

} // namespace tessaro::test
