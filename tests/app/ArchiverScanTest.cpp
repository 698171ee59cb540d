#include "app/ArchiverScan.h"

#include "ArchiverNames.h"
#include "FakeMainView.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <string>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;
using test::FakeMainView;

const QString FoundArchiver = u"/opt/rar/rar"_s;

// The scan action with a search that answers from the test and counts its
// calls.
class ArchiverScanTest : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    void expectOnlyMessage(const QString& text) const
    {
        ASSERT_EQ(view.messages.size(), 1);
        EXPECT_EQ(view.messages.at(0).text, text);
        EXPECT_EQ(view.messages.at(0).caption, u"Scan"_s);
        EXPECT_EQ(view.messages.at(0).buttons, MessageButtons::Ok);
    }

    QTemporaryDir dir;
    SettingsStore settings;
    FakeMainView view;
    QString searchResult = FoundArchiver;
    int searches = 0;
    ArchiverScan scan{settings, view, [this] {
                          ++searches;
                          return searchResult;
                      }};
};

TEST_F(ArchiverScanTest, AnExistingFileIsKeptWithoutSearching)
{
    // Any file is accepted, even one that is not the archiver.
    const QString notes = path(u"notes.txt"_s);
    test::writeFile(notes, "not an archiver");
    settings.setWinRARLocation(notes);

    scan.ButtonScanForWinRARClick();

    expectOnlyMessage(u"Using "_s + test::windowArchiverName() + u" location \""_s + notes + u'"');
    EXPECT_EQ(searches, 0);
    EXPECT_EQ(settings.settings().WinRARLocation, notes);
    EXPECT_EQ(view.settingsRefreshes, 0);
}

// Locations that do not name a file: each runs the search and takes its hit.
class ArchiverScanSearchTest : public ArchiverScanTest,
                               public ::testing::WithParamInterface<const char*>
{};

TEST_P(ArchiverScanSearchTest, SetsTheLocationFound)
{
    const QString start = QString::fromUtf8(GetParam());
    settings.setWinRARLocation(start.isEmpty() ? QString() : path(start));
    QDir().mkpath(path(u"a folder"_s));

    scan.ButtonScanForWinRARClick();

    EXPECT_EQ(searches, 1);
    expectOnlyMessage(u"Setting "_s + test::windowArchiverName() + u" location to \""_s +
                      FoundArchiver + u'"');
    EXPECT_EQ(settings.settings().WinRARLocation, FoundArchiver);
    EXPECT_EQ(view.settingsRefreshes, 1);
}

INSTANTIATE_TEST_SUITE_P(Locations, ArchiverScanSearchTest,
                         ::testing::Values("", "uninstalled/rar", "a folder"),
                         [](const auto& info) {
                             const std::string name = info.param;
                             return name.empty()         ? std::string("empty")
                                    : name == "a folder" ? std::string("folder")
                                                         : std::string("missingFile");
                         });

TEST_F(ArchiverScanTest, NothingFoundKeepsTheLocationText)
{
    const QString stale = path(u"uninstalled/rar"_s);
    settings.setWinRARLocation(stale);
    searchResult.clear();

    scan.ButtonScanForWinRARClick();

    EXPECT_EQ(searches, 1);
    expectOnlyMessage(u"Could not automatically find "_s + test::windowArchiverName() +
                      u" on your computer"_s);
    EXPECT_EQ(settings.settings().WinRARLocation, stale);
    EXPECT_EQ(view.settingsRefreshes, 0);
}

} // namespace
} // namespace tessaro
