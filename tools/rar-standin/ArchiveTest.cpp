#include "ArchiveTest.h"

#include "CommandLine.h"
#include "Report.h"

#include <archive.h>
#include <archive_entry.h>
#include <array>
#include <memory>
#include <string>

namespace tessaro::standin {

namespace {

struct ReaderFree
{
    void operator()(struct archive* reader) const { archive_read_free(reader); }
};
using Reader = std::unique_ptr<struct archive, ReaderFree>;

std::string messageOf(struct archive* reader)
{
    const char* text = archive_error_string(reader);
    return text ? text : "unknown error";
}

// libarchive tells a missing or wrong passphrase apart only by its text.
bool isPasswordFault(const std::string& message)
{
    return message.find("assphrase") != std::string::npos ||
           message.find("ecryption") != std::string::npos;
}

ExitCode readAll(struct archive* reader, const Options& options, Report& report)
{
    struct archive_entry* entry = nullptr;
    std::array<char, 65536> buffer{};
    int status = ARCHIVE_OK;
    while ((status = archive_read_next_header(reader, &entry)) == ARCHIVE_OK) {
        la_ssize_t got = 0;
        while ((got = archive_read_data(reader, buffer.data(), buffer.size())) > 0) {
        }
        if (got < 0) {
            const std::string message = messageOf(reader);
            report.error(options.archivePath + ": " + archive_entry_pathname(entry) + ": " +
                         message);
            return isPasswordFault(message) ? ExitCode::WrongPassword : ExitCode::CrcError;
        }
    }
    if (status != ARCHIVE_EOF) {
        report.error(options.archivePath + ": " + messageOf(reader));
        return ExitCode::CrcError;
    }
    return ExitCode::Success;
}

} // namespace

ExitCode testArchive(const Options& options, Report& report)
{
    const Reader reader(archive_read_new());
    archive_read_support_format_zip(reader.get());
    if (!options.password.empty())
        archive_read_add_passphrase(reader.get(), options.password.c_str());
    if (archive_read_open_filename(reader.get(), options.archivePath.c_str(), 65536) !=
        ARCHIVE_OK) {
        report.error(options.archivePath + ": " + messageOf(reader.get()));
        return ExitCode::Fatal;
    }
    return readAll(reader.get(), options, report);
}

} // namespace tessaro::standin
