#pragma once

#include <QString>

namespace tessaro {

// The program's name and version as the log banner and the About box show them.
// ProgramVersion is defined in a source the build writes (ProgramVersion.cpp.in).
QString ProgramName();
QString ProgramVersion();

// The project's public addresses, compiled into the program: the Help menu
// opens the homepage, the About box links both. They are kept here and
// nowhere else; set them to the project's real addresses before a release.
QString ProgramHomepage();
QString ProgramContactMail();

} // namespace tessaro
