#include "ZipArchive.h"

#include "ExitCode.h"

#include <array>

namespace tessaro::standin {
namespace {

// zlib levels for -m1..-m5; -m3, the default, is zlib's own default.
constexpr std::array<int, 6> deflateLevels{0, 1, 3, 6, 8, 9};

std::string errorText(archive* a)
{
    const char* text = archive_error_string(a);
    return text ? text : "unknown error";
}

} // namespace

ZipWriter::ZipWriter(int fd, int compression, const std::string& password)
    : m_archive(archive_write_new(), archive_write_free)
{
    check(archive_write_set_format_zip(m_archive.get()));
    // No block padding after the central directory: the file ends where the ZIP data ends.
    check(archive_write_set_bytes_in_last_block(m_archive.get(), 1));
    // File names on this system are UTF-8; the flag in each entry says so to readers.
    setOption("hdrcharset", "UTF-8");
    if (compression == 0) {
        setOption("compression", "store");
    } else {
        setOption("compression", "deflate");
        setOption("compression-level", std::to_string(deflateLevels.at(compression)));
    }
    if (!password.empty()) {
        setOption("encryption", "aes256");
        check(archive_write_set_passphrase(m_archive.get(), password.c_str()));
    }
    check(archive_write_open_fd(m_archive.get(), fd));
}

void ZipWriter::writeHeader(archive_entry* entry)
{
    check(archive_write_header(m_archive.get(), entry));
}

void ZipWriter::writeData(const void* data, std::size_t size)
{
    if (archive_write_data(m_archive.get(), data, size) < 0)
        check(ARCHIVE_FATAL);
}

void ZipWriter::close()
{
    check(archive_write_close(m_archive.get()));
}

void ZipWriter::setOption(const char* key, const std::string& value)
{
    check(archive_write_set_format_option(m_archive.get(), "zip", key, value.c_str()));
}

void ZipWriter::check(int status)
{
    if (status < ARCHIVE_WARN)
        throw ArchiverError(ExitCode::Fatal,
                            "Cannot write the archive: " + errorText(m_archive.get()));
}

ZipReader::ZipReader(const std::string& path, const std::string& password)
    : m_path(path), m_archive(archive_read_new(), archive_read_free)
{
    archive_read_support_format_zip(m_archive.get());
    if (!password.empty())
        archive_read_add_passphrase(m_archive.get(), password.c_str());
    constexpr std::size_t blockSize = 64 * 1024;
    if (archive_read_open_filename(m_archive.get(), path.c_str(), blockSize) != ARCHIVE_OK)
        throw ArchiverError(ExitCode::Fatal,
                            "Cannot read the archive: " + errorText(m_archive.get()));
}

archive_entry* ZipReader::nextEntry()
{
    const int status = archive_read_next_header(m_archive.get(), &m_entry);
    if (status == ARCHIVE_EOF)
        return nullptr;
    if (status < ARCHIVE_WARN)
        throw ArchiverError(ExitCode::Fatal,
                            "The archive is damaged: " + errorText(m_archive.get()));
    return m_entry;
}

std::size_t ZipReader::readData(void* buffer, std::size_t size)
{
    const la_ssize_t count = archive_read_data(m_archive.get(), buffer, size);
    if (count >= 0)
        return static_cast<std::size_t>(count);
    const std::string message = entryName(m_entry) + ": " + errorText(m_archive.get());
    // An entry that cannot be decrypted would be lost by rewriting the
    // archive without it; the run fails and the archive stays as it is.
    if (archive_entry_is_encrypted(m_entry))
        throw ArchiverError(ExitCode::WrongPassword, "Cannot decrypt " + message);
    throw ArchiverError(ExitCode::Fatal, "The archive is damaged: " + message);
}

std::string entryName(archive_entry* entry)
{
    const char* name = archive_entry_pathname_utf8(entry);
    if (!name)
        name = archive_entry_pathname(entry);
    return name ? name : "";
}

} // namespace tessaro::standin
