#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tessaro::standin {

class Report;
struct Options;

// One file or folder of the source tree, as it will be stored.
struct SourceItem
{
    std::filesystem::path path;
    // The name inside the archive, "/"-separated; a folder's ends with "/".
    std::string entryName;
    bool isFolder = false;
    // A symbolic link stored as a link (-ol): its target, as the link says.
    bool isLink = false;
    std::string linkTarget;
    std::timespec modified{};
    mode_t permissions = 0;
    off_t size = 0;
};

// Lists what the source folder holds, each folder before its contents and
// names in byte order, so equal trees give equal archives.
//
// Hidden files are ordinary files here. With -ol every symbolic link is
// stored as a link, whatever it points to, dangling or not, and never
// followed. Without it a link to a file is stored as the file it points to;
// a link to a folder is not followed, which keeps the walk inside the source
// tree and safe from link loops; a link that leads nowhere is a file that
// cannot be read and is reported. Pipes, sockets and
// devices hold no data to back up and are passed over.
//
// Throws ArchiverError(NoFiles) when the source folder does not exist.
std::vector<SourceItem> scanSource(const Options& options, Report& report);

} // namespace tessaro::standin
