#pragma once

#include <archive.h>
#include <archive_entry.h>
#include <cstddef>
#include <memory>
#include <string>

namespace tessaro::standin {

using EntryPtr = std::unique_ptr<archive_entry, decltype(&archive_entry_free)>;

// A ZIP archive being written into an open file. Every failure throws
// ArchiverError(Fatal): a half-built archive is worthless.
class ZipWriter final
{
public:
    // compression is the -m level, 0 (store) to 5; a non-empty password
    // encrypts every entry with AES-256.
    ZipWriter(int fd, int compression, const std::string& password);
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    void writeHeader(archive_entry* entry);
    void writeData(const void* data, std::size_t size);
    // Writes the central directory. Until then the file is no archive.
    void close();

private:
    void setOption(const char* key, const std::string& value);
    void check(int status);

    std::unique_ptr<archive, decltype(&archive_write_free)> m_archive;
};

// An existing archive read entry by entry.
class ZipReader final
{
public:
    // Throws ArchiverError(Fatal) when the file is no readable archive.
    ZipReader(const std::string& path, const std::string& password);
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // The next entry, or nullptr after the last one.
    archive_entry* nextEntry();
    // Reads the current entry's data; 0 at its end. Throws
    // ArchiverError(WrongPassword) when an encrypted entry cannot be
    // decrypted, ArchiverError(Fatal) on damaged data.
    std::size_t readData(void* buffer, std::size_t size);

private:
    std::string m_path;
    archive_entry* m_entry = nullptr;
    std::unique_ptr<archive, decltype(&archive_read_free)> m_archive;
};

// The entry's name as stored, UTF-8.
std::string entryName(archive_entry* entry);

} // namespace tessaro::standin
