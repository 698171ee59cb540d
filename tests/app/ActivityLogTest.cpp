#include "app/ActivityLog.h"

#include "FakeMainView.h"
#include "FixedClock.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;
using test::FakeMainView;
using test::FixedClock;
using test::readFile;
using test::withSlash;
using test::writeFile;

constexpr RgbColor Black = 0x000000;
constexpr RgbColor Magenta = 0xFF00FF;
constexpr RgbColor Red = 0xFF0000;

const LocalDateTime March = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9);
const QString Stamp = u"27.03.2026 14:05:09"_s;

// A view line as "text" and "<link>" entries, so a mismatch prints readably.
std::vector<std::string> describe(const QList<FakeMainView::Run>& runs)
{
    std::vector<std::string> out;
    for (const FakeMainView::Run& run : runs)
        out.push_back(run.isLink ? '<' + run.text.toStdString() + '>' : run.text.toStdString());
    return out;
}

// A log over a fresh log folder in a temporary data folder, with a fake view
// and the clock at 27.03.2026 14:05:09.
class ActivityLogTest : public ::testing::Test
{
protected:
    explicit ActivityLogTest(PathStyle linkStyle = nativePathStyle()) : log(clock, &view, linkStyle)
    {
        log.setLogFolder(withSlash(dir.filePath(u"log"_s)));
        QDir().mkpath(log.logFolder());
    }

    QString logFile(const QString& yymm = u"2603"_s) const
    {
        return log.logFolder() + yymm + u"_tessaro.log"_s;
    }
    // A path in the platform's own spelling, as the log shows it.
    QString path(const QString& name) const { return QDir::toNativeSeparators(dir.filePath(name)); }

    QTemporaryDir dir;
    FixedClock clock{March};
    FakeMainView view;
    ActivityLog log;
};

TEST_F(ActivityLogTest, LineGoesToCaptureViewAndFile)
{
    log.LogInfo(u"backup: start"_s);
    log.LogWarn(u"  source \u00C4rger \r\n"_s);

    const QString first = Stamp + u" [I] backup: start"_s;
    const QString second = Stamp + u" [W] source \u00C4rger"_s;
    EXPECT_EQ(log.capture(), QStringList({first, second}));
    ASSERT_EQ(view.logLines.size(), 2);
    EXPECT_EQ(describe(view.logLines[0]), std::vector<std::string>{first.toStdString()});
    EXPECT_EQ(describe(view.logLines[1]), std::vector<std::string>{second.toStdString()});
    EXPECT_EQ(readFile(logFile()),
              QByteArray("\xEF\xBB\xBF") + (first + u"\r\n"_s + second + u"\r\n"_s).toUtf8());
    EXPECT_TRUE(view.messages.isEmpty());
}

TEST_F(ActivityLogTest, WholeLineTakesTheColourOfItsLevel)
{
    struct Case
    {
        QString level;
        RgbColor color;
    };
    const Case cases[] = {
        {u"I"_s, Black}, {u"W"_s, Magenta}, {u"E"_s, Red}, {u"F"_s, Red}, {u"w"_s, Black},
    };
    for (const Case& c : cases) {
        view.logLines.clear();
        log.LogWrite(c.level, u"auto clean: deleted \"/srv/old.rar\" of \"/srv\""_s);
        EXPECT_EQ(log.capture().last(),
                  Stamp + u" ["_s + c.level +
                      u"] auto clean: deleted \"/srv/old.rar\" of \"/srv\""_s);
        ASSERT_EQ(view.logLines.size(), 1);
        for (const FakeMainView::Run& run : view.logLines[0]) {
            if (!run.isLink) {
                EXPECT_EQ(run.color, c.color)
                    << c.level.toStdString() << ": " << run.text.toStdString();
            }
        }
        EXPECT_EQ(view.logLines[0].size(), 5);
    }
    EXPECT_TRUE(view.messages.isEmpty());
}

TEST_F(ActivityLogTest, FatalShowsTheUntrimmedText)
{
    log.LogFatal(u"  cannot load\r\n"_s);
    EXPECT_EQ(log.capture(), QStringList{Stamp + u" [F] cannot load"_s});
    ASSERT_EQ(view.messages.size(), 1);
    EXPECT_EQ(view.messages[0].text, u"  cannot load\r\n"_s);
    EXPECT_EQ(view.messages[0].caption, u"Error"_s);
    EXPECT_EQ(view.messages[0].buttons, MessageButtons::Ok);
}

TEST(ActivityLogWithoutView, WritesCaptureAndFile)
{
    QTemporaryDir dir;
    FixedClock clock(March);
    ActivityLog log(clock, nullptr);
    log.setLogFolder(withSlash(dir.path()));
    log.LogFatal(u"fatal"_s);
    log.callback()(u"E"_s, u" from a job "_s);
    const QString lines = Stamp + u" [F] fatal\r\n"_s + Stamp + u" [E] from a job\r\n"_s;
    EXPECT_EQ(log.captureText(), lines);
    EXPECT_EQ(readFile(dir.filePath(u"2603_tessaro.log"_s)), lines.toUtf8());
}

TEST_F(ActivityLogTest, CaptureTextEndsEveryLineWithCrLf)
{
    EXPECT_EQ(log.captureText(), QString());
    log.LogInfo(u"one"_s);
    log.LogError(u"two"_s);
    EXPECT_EQ(log.captureText(), Stamp + u" [I] one\r\n"_s + Stamp + u" [E] two\r\n"_s);
}

TEST_F(ActivityLogTest, NewMonthStartsANewFile)
{
    log.LogInfo(u"march"_s);
    const QByteArray marchBytes = readFile(logFile(u"2603"_s));

    clock.set(LocalDateTime::fromParts(2026, 4, 1));
    EXPECT_EQ(log.currentLogFileName(), logFile(u"2604"_s));
    log.LogInfo(u"april"_s);

    EXPECT_EQ(readFile(logFile(u"2603"_s)), marchBytes);
    EXPECT_EQ(readFile(logFile(u"2604"_s)), QByteArray("01.04.2026 00:00:00 [I] april\r\n"));
}

// The file write fails deterministically, even for root: the folder is
// missing, or a plain file stands where the folder should be. The line still
// reaches the capture list and the view, silently; once the folder is there
// again the next line is filed.
TEST_F(ActivityLogTest, UnwritableLogFolderIsIgnored)
{
    const QString missing = withSlash(path(u"gone"_s));
    const QString blocked = withSlash(path(u"blocked"_s));
    writeFile(path(u"blocked"_s), "not a folder");
    for (const QString& folder : {missing, blocked}) {
        SCOPED_TRACE(folder.toStdString());
        log.clearCapture();
        view.logLines.clear();
        log.setLogFolder(folder);
        log.LogError(u"backup: failed"_s);
        EXPECT_EQ(log.capture(), QStringList{Stamp + u" [E] backup: failed"_s});
        EXPECT_EQ(view.logLines.size(), 1);
        EXPECT_TRUE(view.messages.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(missing));

    QDir().mkpath(missing);
    log.setLogFolder(missing);
    log.LogInfo(u"back"_s);
    EXPECT_EQ(readFile(missing + u"2603_tessaro.log"_s), (Stamp + u" [I] back\r\n"_s).toUtf8());
}

TEST_F(ActivityLogTest, OpenCurrentLogFileOnlyWhenItExists)
{
    log.openCurrentLogFile();
    EXPECT_TRUE(view.opened.isEmpty());

    log.LogInfo(u"x"_s);
    log.openCurrentLogFile();
    EXPECT_EQ(view.opened, QStringList{logFile()});
    EXPECT_TRUE(view.messages.isEmpty());
}

TEST_F(ActivityLogTest, ClickOnLinkOpensWhatExists)
{
    writeFile(path(u"docs.rar"_s), "rar");
    QDir().mkpath(path(u"docs"_s));
    const QStringList existing = {path(u"docs.rar"_s), path(u"docs"_s)};
    for (const QString& link : existing)
        log.LogViewClickHyperlink(link);
    EXPECT_EQ(view.opened, existing);
    EXPECT_TRUE(view.messages.isEmpty());
}

TEST_F(ActivityLogTest, ClickOnMissingLinkTellsTheUser)
{
    log.LogViewClickHyperlink(path(u"old.rar"_s));
    EXPECT_TRUE(view.opened.isEmpty());
    ASSERT_EQ(view.messages.size(), 1);
    EXPECT_EQ(view.messages[0].text,
              u"The file \""_s + path(u"old.rar"_s) + u"\" cannot be found"_s);
    EXPECT_EQ(view.messages[0].caption, u"Error"_s);
    EXPECT_EQ(view.messages[0].buttons, MessageButtons::Ok);
}

#ifndef Q_OS_WIN
// A symbolic link counts by its target: opened when the target is there,
// reported missing when it has gone.
TEST_F(ActivityLogTest, ClickFollowsSymbolicLinks)
{
    writeFile(path(u"docs.rar"_s), "rar");
    QDir().mkpath(path(u"docs"_s));
    ASSERT_TRUE(QFile::link(path(u"docs.rar"_s), path(u"to-file"_s)));
    ASSERT_TRUE(QFile::link(path(u"docs"_s), path(u"to-folder"_s)));
    ASSERT_TRUE(QFile::link(path(u"vanished"_s), path(u"dangling"_s)));

    for (const QString& name : {u"to-file"_s, u"to-folder"_s, u"dangling"_s})
        log.LogViewClickHyperlink(path(name));
    EXPECT_EQ(view.opened, QStringList({path(u"to-file"_s), path(u"to-folder"_s)}));
    EXPECT_EQ(view.messageTexts(),
              QStringList{u"The file \""_s + path(u"dangling"_s) + u"\" cannot be found"_s});
}
#endif

// Without a program to open a kind of file (no viewer installed) the
// desktop refuses; the user is told in the log and in a message box rather
// than nothing happening.
TEST_F(ActivityLogTest, AnOpenTheDesktopRefusesIsLoggedAndShown)
{
    writeFile(path(u"docs.rar"_s), "rar");
    log.LogInfo(u"x"_s);
    view.openResult = false;

    log.LogViewClickHyperlink(path(u"docs.rar"_s));
    log.openCurrentLogFile();

    const QStringList texts{u"Could not open \""_s + path(u"docs.rar"_s) +
                                u"\": no program on this computer is set up to open it"_s,
                            u"Could not open \""_s + logFile() +
                                u"\": no program on this computer is set up to open it"_s};
    EXPECT_EQ(view.opened, QStringList({path(u"docs.rar"_s), logFile()}));
    EXPECT_EQ(view.messageTexts(), texts);
    for (const auto& message : view.messages) {
        EXPECT_EQ(message.caption, u"Error"_s);
        EXPECT_EQ(message.buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(log.capture().mid(1),
              QStringList({Stamp + u" [E] "_s + texts[0], Stamp + u" [E] "_s + texts[1]}));
}

TEST_F(ActivityLogTest, ClickOnTextThatIsNoLinkDoesNothing)
{
    // A path that does not follow the link rule is left alone even when it
    // exists: clicks only ever reach links, so this is not a path at all.
    writeFile(path(u"docs.rar"_s), "rar");
    for (const QString& text : {u"docs.rar"_s, u" "_s + path(u"docs.rar"_s), QString()})
        log.LogViewClickHyperlink(text);
    EXPECT_TRUE(view.opened.isEmpty());
    EXPECT_TRUE(view.messages.isEmpty());
}

// The same cases for drive-letter paths: the rule is pure text, so it runs on
// any platform; no drive path exists here, so a link click reports it missing.
class WindowsLinkTest : public ActivityLogTest
{
protected:
    WindowsLinkTest() : ActivityLogTest(PathStyle::Windows) {}
};

TEST_F(WindowsLinkTest, ClickOnDrivePathChecksIt)
{
    log.LogViewClickHyperlink(u"Q:\\Tessaro\\missing.rar"_s);
    log.LogViewClickHyperlink(u"\\\\server\\share"_s);
    log.LogViewClickHyperlink(u" Q:\\Tessaro"_s);
    EXPECT_TRUE(view.opened.isEmpty());
    EXPECT_EQ(view.messageTexts(),
              QStringList{u"The file \"Q:\\Tessaro\\missing.rar\" cannot be found"_s});
}

// How a line falls into view runs, in both path styles.
struct RunCase
{
    const char* name;
    PathStyle style;
    QString text;
    std::vector<std::string> runs;
};

class LogViewRunsTest : public ActivityLogTest, public ::testing::WithParamInterface<RunCase>
{
protected:
    LogViewRunsTest() : ActivityLogTest(GetParam().style) {}
};

TEST_P(LogViewRunsTest, QuotedPathsBecomeLinks)
{
    const RunCase& c = GetParam();
    log.LogInfo(c.text);

    // Quotes stay in the capture list and the file; the view drops them.
    const QString line = Stamp + u" [I] "_s + c.text;
    EXPECT_EQ(log.capture(), QStringList{line});
    EXPECT_EQ(readFile(logFile()), (line + u"\r\n"_s).toLatin1());
    ASSERT_EQ(view.logLines.size(), 1);
    std::vector<std::string> expected = c.runs;
    expected.front() = Stamp.toStdString() + " [I] " + expected.front();
    EXPECT_EQ(describe(view.logLines[0]), expected);
}

std::string runCaseName(const ::testing::TestParamInfo<RunCase>& info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, LogViewRunsTest,
    ::testing::Values(
        RunCase{"SourceFolder",
                PathStyle::Windows,
                u"backup: creating D:\\Backup\\docs_2603.rar from source \"D:\\Docs\""_s,
                {"backup: creating D:\\Backup\\docs_2603.rar from source ", "<D:\\Docs>", ""}},
        RunCase{"TwoLinks",
                PathStyle::Windows,
                u"\"D:\\a.rar\"\"E:\\b\" end"_s,
                {"", "<D:\\a.rar>", "", "<E:\\b>", " end"}},
        RunCase{"NetworkPath",
                PathStyle::Windows,
                u"source \"\\\\server\\share\""_s,
                {"source ", "\\\\server\\share", ""}},
        RunCase{"RelativePath",
                PathStyle::Windows,
                u"source \"docs\\sub\""_s,
                {"source ", "docs\\sub", ""}},
        RunCase{"LeadingBlank",
                PathStyle::Windows,
                u"source \" D:\\Docs\""_s,
                {"source ", " D:\\Docs", ""}},
        RunCase{"UnquotedDrivePath", PathStyle::Windows, u"D:\\Docs"_s, {"D:\\Docs"}}),
    runCaseName);

INSTANTIATE_TEST_SUITE_P(
    Posix, LogViewRunsTest,
    ::testing::Values(
        RunCase{
            "SourceFolder",
            PathStyle::Posix,
            u"backup: creating /srv/backup/docs_2603.rar from source \"/home/user/Docs\""_s,
            {"backup: creating /srv/backup/docs_2603.rar from source ", "</home/user/Docs>", ""}},
        RunCase{"NetworkPath",
                PathStyle::Posix,
                u"source \"smb://server/share\""_s,
                {"source ", "smb://server/share", ""}},
        RunCase{"RelativePath",
                PathStyle::Posix,
                u"source \"docs/sub\""_s,
                {"source ", "docs/sub", ""}},
        RunCase{"LeadingBlank",
                PathStyle::Posix,
                u"source \" /home/user\""_s,
                {"source ", " /home/user", ""}},
        RunCase{"DrivePathIsText",
                PathStyle::Posix,
                u"source \"D:\\Docs\""_s,
                {"source ", "D:\\Docs", ""}},
        RunCase{"UnquotedPath", PathStyle::Posix, u"/home/user"_s, {"/home/user"}}),
    runCaseName);

} // namespace
} // namespace tessaro
