#pragma once

#include "core/PathRules.h"

#include <QString>

namespace tessaro {

// The window's texts that name the archiver: WinRAR on Windows, RAR (the
// one a user installs there) on Linux. One table, chosen by the platform
// whose path rules are in force, so tests check both on every platform.
// Result texts (the archiver's exit codes) name WinRAR everywhere, as log
// readers and webhook receivers may parse them; they are not here. The one
// log line that says the archiver is missing sits next to the start-up
// question about it, and names it alike.
struct PlatformTexts
{
    // Tab title and labels.
    QString archiverTab;
    QString locationLabel;
    QString errorLogCheck;
    QString locationDialogTitle;
    // The start-up warning when no archiver is found.
    QString notFoundWarning;
    // Start-up questions and messages; the Quoted location follows the first.
    QString foundInstallation;
    QString installedQuestion;
    QString downloadQuestion;
    QString downloadPage;
    // The Scan button's messages; the Quoted location follows the first and
    // the last.
    QString usingLocation;
    QString notFoundByScan;
    QString settingLocation;
    // Shown beside the archive format where the archiver cannot write every
    // format offered; empty where it can.
    QString formatNote;
    // Told when nothing could open the download page; the address follows
    // on a line of its own.
    QString downloadElsewhere;
};

const PlatformTexts& platformTexts(PathStyle style);

} // namespace tessaro
