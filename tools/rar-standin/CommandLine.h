#pragma once

#include "Exclusion.h"

#include <string>
#include <vector>

namespace tessaro::standin {

enum class Command
{
    Add,
    Update,
    // Reads every entry back and checks it; the only name is the archive.
    Test
};

// -ep1 stores names relative to the source folder; -ep2 and -ep3 store the
// full path without the leading "/". A POSIX path has no drive letter, so
// -ep3 has nothing more to keep than -ep2.
enum class PathMode
{
    Relative,
    Full
};

struct Options
{
    Command command = Command::Add;
    // A folder given without -r or -r- is archived with its subfolders.
    bool recurse = true;
    // -m0..-m5; -m3 is the archiver's default.
    int compression = 3;
    std::string password;
    bool quiet = false;
    std::string logFile;
    PathMode pathMode = PathMode::Full;
    // -ol: symbolic links are stored as links, never followed.
    bool storeLinks = false;
    // -x<mask>, any number of them.
    Exclusions exclusions;
    std::string archivePath;
    std::string sourceFolder;
};

struct CommandLine
{
    Options options;
    // Empty when the arguments are valid. Parsing goes on after the first
    // fault so that an -ilog switch later on still receives the message.
    std::string error;
};

// Reads the arguments after the program name: the command, switches (their
// names in any case), the archive path and, except for the test command,
// the source folder.
CommandLine parseCommandLine(const std::vector<std::string>& args);

} // namespace tessaro::standin
