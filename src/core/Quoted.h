#pragma once

#include <QString>

namespace tessaro {

// The text between double quotes, as log lines and messages name paths:
// the log view turns a quoted path into a link.
inline QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace tessaro
