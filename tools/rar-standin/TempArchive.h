#pragma once

#include <string>

namespace tessaro::standin {

// SIGINT, SIGTERM and SIGHUP remove the unfinished archive file, if there is
// one, and end the program with exit code 255.
void installInterruptHandlers();

// The new archive while it is being written: a hidden file next to the
// archive, renamed over it only once it is complete. Until then the archive
// path keeps whatever it held, and a failed or interrupted run leaves no
// trace. Same folder, so the rename is atomic.
//
// Its name tells whose it is: ".<archive name>.standin-<process id>-XXXXXX.tmp".
// A run killed outright (SIGKILL, power loss) cannot remove it; the next run
// into the same folder does, whatever archive it writes.
class TempArchive final
{
public:
    // Removes the temporary files that runs for any archive of this
    // archive's folder left behind when they were killed: those whose
    // process is gone. A run still writing keeps its own.
    static void removeStale(const std::string& archivePath);

    // Throws ArchiverError(CreateError) when the folder does not exist or
    // cannot be written.
    explicit TempArchive(std::string archivePath);
    ~TempArchive();
    TempArchive(const TempArchive&) = delete;
    TempArchive& operator=(const TempArchive&) = delete;

    int fd() const { return m_fd; }

    // Flushes the file to disk and moves it over the archive path.
    void commit();

private:
    void closeFile();

    std::string m_archivePath;
    std::string m_tempPath;
    int m_fd = -1;
    bool m_committed = false;
};

} // namespace tessaro::standin
