#pragma once

#include <QString>

namespace tessaro {

// Result codes of an archive job beyond the archiver's own exit codes
// (0 to 11 and 255).
inline constexpr int ResultStartFailed = 10000;
inline constexpr int ResultNoArchiveCreated = 10001;
inline constexpr int ResultSourceEmpty = 10002;
// The rule's password holds a double quote, which would break out of its
// command-line token; the archiver is not started.
inline constexpr int ResultUnsafePassword = 10003;
// ZIP was chosen, but the archiver wrote another format (RAR for Linux
// writes RAR archives only); the misnamed file does not stay.
inline constexpr int ResultNotZipArchive = 10004;
// An exclusion mask holds a double quote or a control character, with the
// same danger; the archiver is not started.
inline constexpr int ResultUnsafeExcludeMasks = 10005;
// The pass was stopped while the rule's archiver ran.
inline constexpr int ResultStopped = 10006;

// The text of an archiver exit code or job result code.
QString WinRARExitCodeText(int code);

} // namespace tessaro
