#pragma once

#include <stdexcept>
#include <string>

namespace tessaro::standin {

// The archiver's exit codes; the caller judges the outcome by them alone.
enum class ExitCode : int
{
    Success = 0,
    Warning = 1, // some files could not be read, the archive holds the rest
    Fatal = 2,
    CrcError = 3, // the test found damaged data
    BadOption = 7,
    CreateError = 9,
    NoFiles = 10,
    WrongPassword = 11,
    Interrupted = 255,
};

// A failure that ends the run with the given exit code. The message goes to
// the error log.
class ArchiverError final : public std::runtime_error
{
public:
    ArchiverError(ExitCode code, const std::string& message)
        : std::runtime_error(message), m_code(code)
    {}

    ExitCode code() const { return m_code; }

private:
    ExitCode m_code;
};

} // namespace tessaro::standin
