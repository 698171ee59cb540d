#include "app/PlatformTexts.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

// Both tables letter for letter, on every platform: the Windows texts are
// the program's texts as they have always been; on Linux the window names
// RAR, which a user there installs.
TEST(PlatformTexts, WindowsNamesWinRARAsAlways)
{
    const PlatformTexts& texts = platformTexts(PathStyle::Windows);
    EXPECT_EQ(texts.archiverTab, u"WinRAR\u00AE"_s);
    EXPECT_EQ(texts.locationLabel, u"WinRAR location:"_s);
    EXPECT_EQ(texts.errorLogCheck, u"Write WinRAR error logfile:"_s);
    EXPECT_EQ(texts.locationDialogTitle, u"WinRAR location"_s);
    EXPECT_EQ(texts.notFoundWarning, u"Could not find WinRAR on this computer"_s);
    EXPECT_EQ(texts.foundInstallation, u"Found WinRAR installation on this computer in "_s);
    EXPECT_EQ(texts.installedQuestion, u"Could not find WinRAR installation on this computer. "
                                       u"Did you install WinRAR on this computer?"_s);
    EXPECT_EQ(texts.downloadQuestion, u"Do you want to download WinRAR now?"_s);
    EXPECT_EQ(texts.downloadPage, u"https://www.rarlab.com/download.htm"_s);
    EXPECT_EQ(texts.usingLocation, u"Using WinRAR location "_s);
    EXPECT_EQ(texts.notFoundByScan, u"Could not automatically find WinRAR on your computer"_s);
    EXPECT_EQ(texts.settingLocation, u"Setting WinRAR location to "_s);
    // WinRAR writes every format offered.
    EXPECT_TRUE(texts.formatNote.isEmpty());
}

TEST(PlatformTexts, LinuxNamesRAR)
{
    const PlatformTexts& texts = platformTexts(PathStyle::Posix);
    EXPECT_EQ(texts.archiverTab, u"RAR"_s);
    EXPECT_EQ(texts.locationLabel, u"RAR location:"_s);
    EXPECT_EQ(texts.errorLogCheck, u"Write RAR error logfile:"_s);
    EXPECT_EQ(texts.locationDialogTitle, u"RAR location"_s);
    // The log line beside the start-up question names the same archiver.
    EXPECT_EQ(texts.notFoundWarning, u"Could not find RAR on this computer"_s);
    EXPECT_EQ(texts.foundInstallation, u"Found RAR installation on this computer in "_s);
    EXPECT_EQ(texts.installedQuestion, u"Could not find RAR installation on this computer. "
                                       u"Did you install RAR on this computer?"_s);
    EXPECT_EQ(texts.downloadQuestion, u"Do you want to download RAR now?"_s);
    // RAR for Linux is offered on the maker's one download page.
    EXPECT_EQ(texts.downloadPage, u"https://www.rarlab.com/download.htm"_s);
    EXPECT_EQ(texts.usingLocation, u"Using RAR location "_s);
    EXPECT_EQ(texts.notFoundByScan, u"Could not automatically find RAR on your computer"_s);
    EXPECT_EQ(texts.settingLocation, u"Setting RAR location to "_s);
    // Said on the Archiver page before ZIP is picked.
    EXPECT_EQ(texts.formatNote,
              u"RAR for Linux writes RAR archives only: choose RAR. With ZIP every backup fails; "
              u"RAR4 (Compatible) gives RAR5 archives with RAR 7."_s);
}

} // namespace
} // namespace tessaro
