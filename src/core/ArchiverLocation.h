#pragma once

#include "core/PathRules.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace tessaro {

// The name of the archiver's program file as the folder scan looks for it,
// in lower case: "winrar.exe" on Windows, "rar" elsewhere.
QString ArchiverFileName();

// Depth-first search of a folder tree for the first entry, file or folder,
// whose name in lower case equals fileName. A subfolder is searched before
// its own name is tested; entries come in the order the file system lists
// them, hidden and system entries included. The start folder has depth 0;
// folders at depth 3 are listed but not entered. Symbolic links are tested
// by name but never entered, so a link that points back up the tree costs
// nothing.
//
// Returns the folder (with a trailing separator of the style) + the entry's
// name as the file system spells it, or an empty text when nothing matched
// or the folder cannot be listed.
QString FindWinRARInFolder(const QString& folder, int depth,
                           const QString& fileName = ArchiverFileName(),
                           PathStyle style = nativePathStyle());

// Reads one string value of the archiver's registry key in one view of the
// registry; a missing key or value reads as an empty text.
using RegistryValueReader = std::function<QString(const QString& valueName)>;

// Where the archiver may be found, in the order FindWinRAR consults them.
// A source that does not exist on the platform is left empty.
struct ArchiverSources
{
    // The installer's key in the 64-bit, then the 32-bit view (Windows).
    RegistryValueReader registry64;
    RegistryValueReader registry32;
    // The archiver found through the search path (POSIX).
    std::function<QString()> pathLookup;
    // Program folders, each scanned three levels deep.
    QStringList scanFolders;
};

// The sources of the platform the program runs on. Windows: the registry key
// HKEY_LOCAL_MACHINE\SOFTWARE\WinRAR in both views and the folders named by
// ProgramFiles, ProgramFiles(x86) and ProgramW6432 (an unset variable gives
// an empty text, which the scan reads as the root of the current drive).
// POSIX: the search path, then /usr/local, /opt and the home folder.
ArchiverSources PlatformArchiverSources();

// The full path of the archiver, or an empty text. Searches afresh at every
// call: each registry view ("exe64", or "exe" only when "exe64" is empty,
// trimmed; it counts only when it names an existing file), then the search
// path, then, when scanProgramFolders is set, the program folders in order.
// The first hit wins; a source that fails counts as not found.
QString FindWinRAR(bool scanProgramFolders,
                   const ArchiverSources& sources = PlatformArchiverSources());

} // namespace tessaro
