// The archiver's start on Windows, through a real process: the command line
// it receives is the parameter string exactly as built, it starts without a
// window, and its exit code is read whatever it is.

#include "FakeArchiverPlan.h"
#include "RunToEnd.h"
#include "TestFiles.h"
#include "core/ArchiveJob.h"
#include "core/ArchiverCommandLine.h"
#include "core/ArchiverExitCodes.h"
#include "core/ArchiverProcess.h"
#include "core/ArchiverStart.h"
#include "core/ProcessArchiverRunner.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <qt_windows.h>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using test::FakeArchiverPlan;
using test::ScopedFakeArchiverPlan;

const QString fakeArchiver = QDir::toNativeSeparators(QStringLiteral(TESSARO_FAKE_ARCHIVER));

class ArchiverStartWindows : public ::testing::Test
{
protected:
    QString path(const QString& relative) const
    {
        return QDir::toNativeSeparators(m_dir.filePath(relative));
    }

    // Runs one archive job of the rule with the fake archiver and returns the
    // raw command line the archiver was given.
    QString rawCommandLineOf(const TBackupRule& rule, const TWinRAROptions& options, int& code)
    {
        FakeArchiverPlan plan;
        plan.recordFile = path(QStringLiteral("call.txt"));
        plan.archive = QByteArray("archive");
        const ScopedFakeArchiverPlan scoped(path(QStringLiteral("plan.txt")), plan);
        ProcessArchiverRunner runner;
        test::archiveRuleToEnd(runner, fakeArchiver, rule, options, code, {}, rule.OutputFileName);
        const auto call = test::readFakeArchiverCall(plan.recordFile);
        return call ? call->commandLine : QStringLiteral("<the archiver did not run>");
    }

    void setUpRule(TBackupRule& rule, const QString& sourceName) const
    {
        rule.SourceFolder = test::withSlash(path(sourceName));
        rule.DestinationFolder = test::withSlash(path(QStringLiteral("dest")));
        rule.DestinationFilename = QStringLiteral("backup.rar");
        rule.IncludeSubFolders = true;
        rule.OutputFileName = rule.DestinationFolder + rule.DestinationFilename;
        test::writeFile(rule.SourceFolder + QStringLiteral("file.txt"), "content");
        QDir().mkpath(rule.DestinationFolder);
    }

    QTemporaryDir m_dir;
};

// The source token ends with a backslash before its closing quote, which the
// C runtime's splitting rules would read as an escaped quote: only the raw
// command line shows what the archiver really gets.
TEST_F(ArchiverStartWindows, ArchiverReceivesTheParameterStringLetterForLetter)
{
    struct Case
    {
        const char* name;
        const char* source;
        bool usePassword;
        const char* password;
    };
    const Case cases[] = {
        {"plain source", "source", false, ""},
        {"blanks in the source", "my source folder", false, ""},
        {"non-ASCII source",
         "Qu\xC3\xA9"
         "bec \xE6\x97\xA5\xE6\x9C\xAC",
         false, ""},
        {"password", "source", true, "s3cret pass"},
        {"non-ASCII password", "source", true, "p\xC3\xA4ss"},
    };
    TWinRAROptions options;
    options.Compression = TCompression::Best;
    options.StorePaths = TStorePaths::Relative;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBackupRule rule;
        setUpRule(rule, QString::fromUtf8(c.source));
        rule.UsePassword = c.usePassword;
        rule.Password = QString::fromUtf8(c.password);
        const QString parameters =
            BuildCommandLine(rule, options, rule.OutputFileName, GetErrorLogFile(options));
        int code = -1;
        const QString raw = rawCommandLineOf(rule, options, code);
        // The program's own name comes first, as the process was started;
        // after it, the parameter string exactly as built.
        ASSERT_TRUE(raw.startsWith(fakeArchiver)) << raw.toStdString();
        EXPECT_EQ(raw.mid(fakeArchiver.size()).trimmed().toStdString(), parameters.toStdString());
        EXPECT_TRUE(raw.endsWith(QLatin1Char(' ') + parameters));
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(parameters.endsWith(rule.SourceFolder + QLatin1Char('"')));
    }
}

TEST_F(ArchiverStartWindows, PasswordWithAQuoteNeverStartsTheArchiver)
{
    TBackupRule rule;
    setUpRule(rule, QStringLiteral("source"));
    rule.UsePassword = true;
    rule.Password = QStringLiteral("x\" -df \"");
    int code = -1;

    EXPECT_EQ(rawCommandLineOf(rule, TWinRAROptions{}, code),
              QStringLiteral("<the archiver did not run>"));
    EXPECT_NE(code, 0);
}

TEST_F(ArchiverStartWindows, StartsHiddenWithTheNativeCommandLine)
{
    const ArchiverTokens tokens{{QStringLiteral("a"), false},
                                {QStringLiteral("C:\\dest\\backup.rar"), true},
                                {QStringLiteral("C:\\source\\"), true}};
    QProcess process;
    prepareArchiverStart(process, tokens);

    EXPECT_EQ(process.nativeArguments(), JoinParameterString(tokens));
    EXPECT_TRUE(process.arguments().isEmpty());
    STARTUPINFOW startup{};
    QProcess::CreateProcessArguments args{};
    args.startupInfo = &startup;
    ASSERT_TRUE(process.createProcessArgumentsModifier());
    process.createProcessArgumentsModifier()(&args);
    EXPECT_TRUE(args.flags & CREATE_NO_WINDOW);
    EXPECT_TRUE(startup.dwFlags & STARTF_USESHOWWINDOW);
    EXPECT_EQ(startup.wShowWindow, SW_HIDE);
}

TEST_F(ArchiverStartWindows, ExitCodeIsReadWhateverItIs)
{
    struct Case
    {
        int exitCode;
        bool crash;
        int expected;
    };
    const Case cases[] = {
        {0, false, 0}, {1, false, 1}, {255, false, 255}, {0, true, ResultStartFailed}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exitCode);
        FakeArchiverPlan plan;
        plan.exitCode = c.exitCode;
        plan.killBySignal = c.crash;
        const ScopedFakeArchiverPlan scoped(path(QStringLiteral("plan.txt")), plan);
        EXPECT_EQ(test::runArchiverToEnd(fakeArchiver, {{QStringLiteral("a"), false}},
                                         GetArchiverWorkingFolder()),
                  c.expected);
    }
}

} // namespace
} // namespace tessaro
