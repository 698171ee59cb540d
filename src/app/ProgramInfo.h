#pragma once

#include <QString>

namespace tessaro {

// The program's name and version as the log banner and the About box show them.
QString ProgramName();
QString ProgramVersion();

} // namespace tessaro
