#pragma once

#include <string>
#include <vector>

namespace tessaro::standin {

// Collects the run's error messages. They go to stderr as they happen
// (unless -inul asked for silence) and, at the end, to the -ilog file.
class Report final
{
public:
    Report(bool quiet, std::string archivePath);
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    void error(const std::string& message);
    bool hasErrors() const { return !m_messages.empty(); }

    // Appends the messages to the log file. A run without errors leaves the
    // file alone, so its size tells the caller whether anything went wrong.
    void appendTo(const std::string& logFile) const;

private:
    bool m_quiet;
    std::string m_archivePath;
    std::vector<std::string> m_messages;
};

} // namespace tessaro::standin
