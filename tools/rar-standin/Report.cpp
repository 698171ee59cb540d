#include "Report.h"

#include <fstream>
#include <iostream>
#include <utility>

namespace tessaro::standin {

Report::Report(bool quiet, std::string archivePath)
    : m_quiet(quiet), m_archivePath(std::move(archivePath))
{}

void Report::error(const std::string& message)
{
    // One log serves many runs: each line names the archive it belongs to.
    std::string line = m_archivePath.empty() ? message : m_archivePath + ": " + message;
    if (!m_quiet)
        std::cerr << line << '\n';
    m_messages.push_back(std::move(line));
}

void Report::appendTo(const std::string& logFile) const
{
    if (logFile.empty() || m_messages.empty())
        return;
    std::ofstream log(logFile, std::ios::app | std::ios::binary);
    for (const std::string& line : m_messages)
        log << line << '\n';
}

} // namespace tessaro::standin
