#include "Archiver.h"

#include "CommandLine.h"
#include "Report.h"
#include "SourceScan.h"
#include "TempArchive.h"
#include "ZipArchive.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaro::standin {
namespace {

namespace fs = std::filesystem;

// Modification time (whole seconds) of each entry of the existing archive.
using EntryTimes = std::map<std::string, std::time_t>;

constexpr std::size_t copyBufferSize = 64 * 1024;

class FileDescriptor final
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }

private:
    int m_fd;
};

bool archiveExists(const std::string& path)
{
    struct stat info
    {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
    if (!S_ISREG(info.st_mode))
        throw ArchiverError(ExitCode::CreateError, "Cannot create " + path + ": not a file");
    return true;
}

EntryTimes readEntryTimes(const Options& options)
{
    EntryTimes times;
    if (!archiveExists(options.archivePath))
        return times;
    ZipReader reader(options.archivePath, options.password);
    while (archive_entry* entry = reader.nextEntry())
        times[entryName(entry)] = archive_entry_mtime(entry);
    return times;
}

// `a` stores every source item; `u` only those the archive lacks and files
// newer than their entry. ZIP keeps whole seconds, so a file counts as newer
// only from the next second on.
bool needsAdding(Command command, const SourceItem& item, const EntryTimes& existing)
{
    if (command == Command::Add)
        return true;
    const auto found = existing.find(item.entryName);
    return found == existing.end() || (!item.isFolder && item.modified.tv_sec > found->second);
}

std::vector<SourceItem> selectToAdd(Command command, std::vector<SourceItem> items,
                                    const EntryTimes& existing)
{
    std::erase_if(items,
                  [&](const SourceItem& item) { return !needsAdding(command, item, existing); });
    return items;
}

// The source items less the archive itself: an archive written into its own
// source folder must not swallow its previous version.
std::vector<SourceItem> scanWithoutArchive(const Options& options, Report& report)
{
    std::vector<SourceItem> items = scanSource(options, report);
    const fs::path archive = fs::absolute(options.archivePath).lexically_normal();
    std::erase_if(items, [&](const SourceItem& item) { return item.path == archive; });
    return items;
}

void copyEntryData(ZipReader& reader, ZipWriter& writer)
{
    std::array<char, copyBufferSize> buffer;
    while (const std::size_t count = reader.readData(buffer.data(), buffer.size()))
        writer.writeData(buffer.data(), count);
}

// Carries the entries of the existing archive that no new item replaces
// over into the new one. libarchive cannot copy compressed data as it is, so
// each entry is decrypted with this run's password and written again with
// this run's compression and password. Returns how many there were.
std::size_t copyKeptEntries(const Options& options, const std::set<std::string>& replaced,
                            ZipWriter& writer)
{
    std::size_t copied = 0;
    ZipReader reader(options.archivePath, options.password);
    while (archive_entry* entry = reader.nextEntry()) {
        if (replaced.contains(entryName(entry)))
            continue;
        writer.writeHeader(entry);
        copyEntryData(reader, writer);
        ++copied;
    }
    return copied;
}

EntryPtr makeEntry(const SourceItem& item)
{
    EntryPtr entry(archive_entry_new(), archive_entry_free);
    archive_entry_set_pathname_utf8(entry.get(), item.entryName.c_str());
    archive_entry_set_filetype(entry.get(), item.isLink     ? AE_IFLNK
                                            : item.isFolder ? AE_IFDIR
                                                            : AE_IFREG);
    if (item.isLink)
        archive_entry_set_symlink_utf8(entry.get(), item.linkTarget.c_str());
    archive_entry_set_perm(entry.get(), item.permissions);
    archive_entry_set_size(entry.get(), item.size);
    archive_entry_set_mtime(entry.get(), item.modified.tv_sec, item.modified.tv_nsec);
    return entry;
}

// Copies exactly the size written in the entry's header. A file that
// shrinks or fails while being read is padded with zeros so the archive
// stays consistent, and reported.
void copyFileData(int fd, const SourceItem& item, ZipWriter& writer, Report& report)
{
    std::array<char, copyBufferSize> buffer;
    off_t left = item.size;
    while (left > 0) {
        const ssize_t count = ::read(fd, buffer.data(), std::min<off_t>(left, buffer.size()));
        if (count <= 0) {
            report.error("Cannot read " + item.path.string() + ": " +
                         (count < 0 ? std::strerror(errno) : "the file was shortened"));
            break;
        }
        writer.writeData(buffer.data(), static_cast<std::size_t>(count));
        left -= count;
    }
    buffer.fill('\0');
    for (; left > 0; left -= std::min<off_t>(left, buffer.size()))
        writer.writeData(buffer.data(), std::min<off_t>(left, buffer.size()));
}

// Stores one file. Returns false, after reporting it, when the file cannot
// be opened. The header takes size and time from the opened file, not from
// the earlier scan, as the file may have changed in between.
bool addFile(SourceItem item, ZipWriter& writer, Report& report)
{
    // O_NONBLOCK: should the file have turned into a pipe since the scan,
    // opening it must not wait for a writer.
    const FileDescriptor file(::open(item.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info
    {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        report.error("Cannot open " + item.path.string() + ": " +
                     (file.get() < 0 ? std::strerror(errno) : "not a regular file"));
        return false;
    }
    item.size = info.st_size;
    item.modified = info.st_mtim;
    writer.writeHeader(makeEntry(item).get());
    copyFileData(file.get(), item, writer, report);
    return true;
}

bool addItem(const SourceItem& item, ZipWriter& writer, Report& report)
{
    if (!item.isFolder && !item.isLink)
        return addFile(item, writer, report);
    writer.writeHeader(makeEntry(item).get());
    return true;
}

std::set<std::string> namesOf(const std::vector<SourceItem>& items)
{
    std::set<std::string> names;
    for (const SourceItem& item : items)
        names.insert(item.entryName);
    return names;
}

ArchiverError noFiles(const Options& options)
{
    return ArchiverError(ExitCode::NoFiles, "No files to add from " + options.sourceFolder);
}

void writeArchive(const Options& options, const EntryTimes& existing,
                  const std::vector<SourceItem>& toAdd, Report& report)
{
    TempArchive temp(options.archivePath);
    ZipWriter writer(temp.fd(), options.compression, options.password);
    std::size_t written = existing.empty() ? 0 : copyKeptEntries(options, namesOf(toAdd), writer);
    for (const SourceItem& item : toAdd)
        written += addItem(item, writer, report) ? 1 : 0;
    if (written == 0)
        throw noFiles(options);
    writer.close();
    temp.commit();
}

ExitCode archive(const Options& options, Report& report)
{
    TempArchive::removeStale(options.archivePath);
    std::vector<SourceItem> items = scanWithoutArchive(options, report);
    if (items.empty())
        throw noFiles(options);
    const EntryTimes existing = readEntryTimes(options);
    const std::vector<SourceItem> toAdd = selectToAdd(options.command, std::move(items), existing);
    // Nothing new for `u`: the archive is already up to date and stays untouched.
    if (!toAdd.empty())
        writeArchive(options, existing, toAdd, report);
    return report.hasErrors() ? ExitCode::Warning : ExitCode::Success;
}

} // namespace

ExitCode runArchiver(const Options& options, Report& report)
{
    try {
        return archive(options, report);
    } catch (const ArchiverError& error) {
        report.error(error.what());
        return error.code();
    } catch (const std::exception& error) {
        report.error(error.what());
        return ExitCode::Fatal;
    }
}

} // namespace tessaro::standin
