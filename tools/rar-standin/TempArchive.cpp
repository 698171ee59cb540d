#include "TempArchive.h"

#include "ExitCode.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tessaro::standin {
namespace {

// The unfinished file the signal handler removes; empty when there is none.
// Plain bytes, since a handler may only make async-signal-safe calls.
char pendingRemoval[PATH_MAX + 1];

constexpr std::array interruptSignals{SIGINT, SIGTERM, SIGHUP};

// Holds the interrupt signals back while the pending file changes, so the
// handler never sees it half-copied or misses a file just created.
class SignalBlock final
{
public:
    SignalBlock()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int signal : interruptSignals)
            sigaddset(&set, signal);
        sigprocmask(SIG_BLOCK, &set, &m_previous);
    }
    ~SignalBlock() { sigprocmask(SIG_SETMASK, &m_previous, nullptr); }
    SignalBlock(const SignalBlock&) = delete;
    SignalBlock& operator=(const SignalBlock&) = delete;

private:
    sigset_t m_previous;
};

void setPendingRemoval(const std::string& path)
{
    const std::size_t length = std::min(path.size(), sizeof pendingRemoval - 1);
    std::memcpy(pendingRemoval, path.data(), length);
    pendingRemoval[length] = '\0';
}

extern "C" void onInterrupt(int)
{
    if (pendingRemoval[0] != '\0')
        ::unlink(pendingRemoval);
    ::_exit(static_cast<int>(ExitCode::Interrupted));
}

// The mode a newly created file gets: what the user's umask allows.
mode_t creationMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A replaced archive keeps its permissions; a new one gets the usual ones
// rather than the owner-only mode of a temporary file.
mode_t archiveMode(const std::string& archivePath)
{
    struct stat info
    {};
    if (::stat(archivePath.c_str(), &info) == 0)
        return info.st_mode & 07777;
    return creationMode();
}

constexpr std::string_view tempSuffix = ".tmp";
constexpr std::string_view uniquePart = "XXXXXX";

// What every temporary file of this archive begins with.
std::string tempPrefix(const std::filesystem::path& archive)
{
    return "." + archive.filename().string() + ".standin-";
}

std::string tempPattern(const std::string& archivePath)
{
    const std::filesystem::path archive(archivePath);
    const std::string name = tempPrefix(archive) + std::to_string(::getpid()) + "-" +
                             std::string(uniquePart) + std::string(tempSuffix);
    return (archive.parent_path() / name).string();
}

// The process id in a temporary file name of this archive; 0 when the name
// is not one.
pid_t tempOwner(const std::string& name, const std::string& prefix)
{
    const std::size_t fixed = prefix.size() + 1 + uniquePart.size() + tempSuffix.size();
    if (name.size() <= fixed || !name.starts_with(prefix) || !name.ends_with(tempSuffix))
        return 0;
    const std::string_view id(name.data() + prefix.size(), name.size() - fixed);
    if (name[name.size() - tempSuffix.size() - uniquePart.size() - 1] != '-' ||
        !std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        id.size() > 9)
        return 0;
    return static_cast<pid_t>(std::stol(std::string(id)));
}

// The process id in the temporary file name of any archive; 0 when the name
// is not one. The marker is looked for last, since an archive name may hold
// it too.
pid_t anyTempOwner(const std::string& name)
{
    constexpr std::string_view marker = ".standin-";
    const std::size_t at = name.rfind(marker);
    // A dot and at least one character of the archive's name come first.
    if (at == std::string::npos || at < 2 || !name.starts_with('.'))
        return 0;
    return tempOwner(name, name.substr(0, at + marker.size()));
}

// Whether the process that made a temporary file is gone. This run's own id
// on an older file means an earlier owner of the id died.
bool ownerIsGone(pid_t owner)
{
    return owner == ::getpid() || (::kill(owner, 0) != 0 && errno == ESRCH);
}

ArchiverError createError(const std::string& archivePath)
{
    return ArchiverError(ExitCode::CreateError,
                         "Cannot create " + archivePath + ": " + std::strerror(errno));
}

} // namespace

void installInterruptHandlers()
{
    struct sigaction action
    {};
    action.sa_handler = onInterrupt;
    sigfillset(&action.sa_mask);
    for (int signal : interruptSignals)
        sigaction(signal, &action, nullptr);
}

void TempArchive::removeStale(const std::string& archivePath)
{
    const std::filesystem::path archive(archivePath);
    const std::filesystem::path folder =
        archive.parent_path().empty() ? std::filesystem::path(".") : archive.parent_path();
    // Tidying up is a courtesy: whatever fails here, the run goes on.
    // Archive names change from run to run (a date in the name), so a
    // killed run's file would never be met by a run for its own name: every
    // archive's leftovers go, as long as their writer is gone.
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const pid_t owner = anyTempOwner(entry->path().filename().string());
        std::error_code ignored;
        if (owner > 0 &&
            entry->symlink_status(ignored).type() == std::filesystem::file_type::regular &&
            ownerIsGone(owner))
            std::filesystem::remove(entry->path(), ignored);
    }
}

TempArchive::TempArchive(std::string archivePath) : m_archivePath(std::move(archivePath))
{
    std::string path = tempPattern(m_archivePath);
    {
        SignalBlock block;
        m_fd = ::mkstemps(path.data(), static_cast<int>(tempSuffix.size()));
        if (m_fd >= 0)
            setPendingRemoval(path);
    }
    if (m_fd < 0)
        throw createError(m_archivePath);
    m_tempPath = std::move(path);
    ::fchmod(m_fd, archiveMode(m_archivePath));
}

TempArchive::~TempArchive()
{
    closeFile();
    if (m_committed)
        return;
    SignalBlock block;
    ::unlink(m_tempPath.c_str());
    setPendingRemoval({});
}

void TempArchive::commit()
{
    if (::fsync(m_fd) != 0)
        throw createError(m_archivePath);
    closeFile();
    SignalBlock block;
    if (::rename(m_tempPath.c_str(), m_archivePath.c_str()) != 0)
        throw createError(m_archivePath);
    m_committed = true;
    setPendingRemoval({});
}

void TempArchive::closeFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace tessaro::standin
