#include "app/HelpActions.h"

#include "AppHarness.h"
#include "FakeMainView.h"
#include "FixedClock.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "app/ProgramInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;
using test::FakeMainView;

const QString MissingManual = u"Unable to find documentation pdf file"_s;

// The Help actions on a program folder that the test fills.
class HelpActionsTest : public ::testing::Test
{
protected:
    HelpActionsTest() { log.setLogFolder(test::withSlash(logFolder.path())); }

    QString manual() const { return programFolder.filePath(u"tessaro.pdf"_s); }

    QTemporaryDir programFolder;
    QTemporaryDir logFolder;
    FakeMainView view;
    test::FixedClock clock{LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9)};
    ActivityLog log{clock, &view};
    HelpActions help{view, log, programFolder.path()};
};

// What stands at the manual's place decides between opening it and saying
// that it is missing.
struct ManualCase
{
    const char* name;
    std::function<void(const QString& manual, const QString& folder)> prepare;
    bool opens;
    // Made with symbolic links, which Windows replaces by shortcut files.
    bool usesSymbolicLinks = false;
};

class ManualPlaceTest : public HelpActionsTest, public ::testing::WithParamInterface<ManualCase>
{};

TEST_P(ManualPlaceTest, OpensTheManualOrSaysItIsMissing)
{
    if (GetParam().usesSymbolicLinks && QSysInfo::kernelType() == u"winnt")
        GTEST_SKIP() << "Windows makes shortcut files, not symbolic links";
    GetParam().prepare(manual(), programFolder.path());

    help.Help1Click();

    if (GetParam().opens) {
        EXPECT_EQ(view.opened, QStringList{manual()});
        EXPECT_TRUE(view.messages.isEmpty());
    } else {
        EXPECT_TRUE(view.opened.isEmpty());
        ASSERT_EQ(view.messages.size(), 1);
        EXPECT_EQ(view.messages.at(0).text, MissingManual);
        EXPECT_EQ(view.messages.at(0).caption, u"Help"_s);
        EXPECT_EQ(view.messages.at(0).buttons, MessageButtons::Ok);
    }
}

INSTANTIATE_TEST_SUITE_P(
    HelpActions, ManualPlaceTest,
    ::testing::Values(
        ManualCase{"Present", [](const QString& m, const QString&) { test::writeFile(m, "%PDF"); },
                   true},
        ManualCase{"Missing", [](const QString&, const QString&) {}, false},
        // A folder of that name is no manual.
        ManualCase{"FolderOfThatName", [](const QString& m, const QString&) { QDir().mkpath(m); },
                   false},
        // Links are followed: a link to the manual opens, a dangling one does not.
        ManualCase{"LinkToTheManual",
                   [](const QString& m, const QString& folder) {
                       const QString target = QDir(folder).filePath(u"manual-1.60327.pdf"_s);
                       test::writeFile(target, "%PDF");
                       ASSERT_TRUE(QFile::link(target, m));
                   },
                   true, true},
        ManualCase{"DanglingLink",
                   [](const QString& m, const QString& folder) {
                       ASSERT_TRUE(QFile::link(QDir(folder).filePath(u"gone.pdf"_s), m));
                   },
                   false, true},
        // Only the exact name counts.
        ManualCase{"OtherPdfOnly",
                   [](const QString&, const QString& folder) {
                       test::writeFile(QDir(folder).filePath(u"manual.pdf"_s), "%PDF");
                   },
                   false}),
    [](const ::testing::TestParamInfo<ManualCase>& info) { return std::string(info.param.name); });

TEST_F(HelpActionsTest, EveryRequestWithoutTheManualShowsTheMessageOnce)
{
    help.Help1Click();
    help.Help1Click();

    EXPECT_EQ(view.messageTexts(), (QStringList{MissingManual, MissingManual}));
    EXPECT_TRUE(view.opened.isEmpty());
}

TEST_F(HelpActionsTest, HomepageOpensTheWebAddressWithoutAMessage)
{
    help.MenuHomepageClick();

    ASSERT_EQ(view.opened, QStringList{ProgramHomepage()});
    const QUrl url(view.opened.at(0));
    EXPECT_TRUE(url.isValid());
    EXPECT_EQ(url.scheme(), u"https"_s);
    EXPECT_TRUE(view.messages.isEmpty());
}

// Without a PDF viewer or a browser the desktop refuses; the user is told
// in the log and in a message box.
TEST_F(HelpActionsTest, AFailedOpenIsLoggedAndShown)
{
    test::writeFile(manual(), "%PDF");
    view.openResult = false;

    help.Help1Click();
    help.MenuHomepageClick();

    const QString cannot = u": no program on this computer is set up to open it"_s;
    const QStringList texts{u"Could not open \""_s + manual() + u"\""_s + cannot,
                            u"Could not open \""_s + ProgramHomepage() + u"\""_s + cannot};
    EXPECT_EQ(view.opened, QStringList({manual(), ProgramHomepage()}));
    EXPECT_EQ(view.messageTexts(), texts);
    for (const auto& message : view.messages)
        EXPECT_EQ(message.caption, u"Help"_s);
    EXPECT_EQ(log.capture(), QStringList({u"27.03.2026 14:05:09 [E] "_s + texts[0],
                                          u"27.03.2026 14:05:09 [E] "_s + texts[1]}));
}

// An installed program finds its manual in the prefix's documentation
// folder; a manual beside the program still comes first.
TEST_F(HelpActionsTest, InstalledUnderAPrefixTheManualIsInTheDocumentationFolder)
{
    const QDir prefix(programFolder.path());
    const QString bin = prefix.filePath(u"bin"_s);
    const QString shared = prefix.filePath(u"share/doc/tessaro/tessaro.pdf"_s);
    QDir().mkpath(bin);
    EXPECT_EQ(ManualPathFor(bin), QDir(bin).filePath(u"tessaro.pdf"_s)) << "none: the usual place";

    test::writeFile(shared, "%PDF");
    EXPECT_EQ(ManualPathFor(bin), shared);

    test::writeFile(QDir(bin).filePath(u"tessaro.pdf"_s), "%PDF");
    EXPECT_EQ(ManualPathFor(bin), QDir(bin).filePath(u"tessaro.pdf"_s));
}

// The manual is sought beside the executable, not in the data folder, which
// may be the per-user folder.
TEST(HelpActionsInWindowLogic, SeeksTheManualBesideTheExecutable)
{
    test::AppHarness app(LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9));

    EXPECT_EQ(app.logic.help().manualPath(),
              QDir(QCoreApplication::applicationDirPath()).filePath(u"tessaro.pdf"_s));
    EXPECT_FALSE(app.logic.help().manualPath().startsWith(app.dataFolder));
}

} // namespace
} // namespace tessaro
