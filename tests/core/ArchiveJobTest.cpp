#include "core/ArchiveJob.h"

#include "FakeArchiverPlan.h"
#include "QtPrinters.h"
#include "RunToEnd.h"
#include "ScriptedArchiverRunner.h"
#include "TestFiles.h"
#include "core/ArchiverExitCodes.h"
#include "core/ArchiverProcess.h"
#include "core/ProcessArchiverRunner.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QObject>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tessaro {
namespace {

using test::FakeArchiverPlan;
using test::readFakeArchiverCall;
using test::ScopedFakeArchiverPlan;

const QString fakeArchiver = QStringLiteral(TESSARO_FAKE_ARCHIVER);

enum class Source
{
    OneFile,
    Empty,
    OnlySubFolder,
    OnlyHiddenFile,
    FileAndSubFolder,
    Missing,
};

// Log lines as "I: text", so a mismatch prints readably.
using LogLines = std::vector<std::string>;

struct JobOutcome
{
    bool ok = false;
    int code = -12345;
    LogLines lines;
};

// One archive job's world in a temporary folder: a source folder, a
// destination, the error log (as the default error log file) and the fake
// archiver's plan and record files.
class JobSandbox final
{
public:
    JobSandbox()
    {
        EXPECT_TRUE(m_dir.isValid());
        QDir().mkpath(path(QStringLiteral("dest")));
        options.DefaultErrorLogFile = errorLogPath();
        rule.SourceFolder = folder(QStringLiteral("source"));
        rule.DestinationFolder = folder(QStringLiteral("dest"));
        rule.DestinationFilename = QStringLiteral("backup.rar");
        options.ArchiveFormat = TArchiveFormat::Rar;
        options.Compression = TCompression::Normal;
        options.StorePaths = TStorePaths::Relative;
    }
    JobSandbox(const JobSandbox&) = delete;
    JobSandbox& operator=(const JobSandbox&) = delete;

    QString path(const QString& name) const
    {
        return QDir::toNativeSeparators(m_dir.filePath(name));
    }
    // A folder as rules hold it: native separators and a trailing one.
    QString folder(const QString& name) const
    {
        return withTrailingSeparator(path(name), nativePathStyle());
    }
    QString archivePath() const { return path(QStringLiteral("dest/backup.rar")); }
    QString errorLogPath() const { return path(QStringLiteral("winrar_errors.log")); }
    QString recordPath() const { return path(QStringLiteral("record.txt")); }
    QString planPath() const { return path(QStringLiteral("plan.txt")); }

    void fillSource(Source kind)
    {
        const QString source = path(QStringLiteral("source"));
        switch (kind) {
        case Source::Missing:
            return;
        case Source::Empty:
            QDir().mkpath(source);
            return;
        case Source::OneFile:
            test::writeFile(source + QStringLiteral("/data.txt"), "data");
            return;
        case Source::OnlySubFolder:
            test::writeFile(source + QStringLiteral("/sub/nested.txt"), "nested");
            return;
        case Source::OnlyHiddenFile:
            test::writeFile(source + QStringLiteral("/.hidden"), "hidden");
            return;
        case Source::FileAndSubFolder:
            QDir().mkpath(source + QStringLiteral("/sub"));
            test::writeFile(source + QStringLiteral("/data.txt"), "data");
            return;
        }
    }

    JobOutcome run(FakeArchiverPlan plan, bool withLog, const QString& program = fakeArchiver)
    {
        plan.recordFile = recordPath();
        const ScopedFakeArchiverPlan scoped(planPath(), plan);
        JobOutcome outcome;
        TLogProc log;
        if (withLog) {
            log = [&outcome](const QString& level, const QString& text) {
                outcome.lines.push_back((level + QStringLiteral(": ") + text).toStdString());
            };
        }
        ProcessArchiverRunner runner;
        outcome.ok = test::archiveRuleToEnd(runner, program, rule, options, outcome.code, log,
                                            archivePath());
        return outcome;
    }

    bool archiverRan() const { return QFileInfo::exists(recordPath()); }

    TBackupRule rule;
    TWinRAROptions options;

private:
    QTemporaryDir m_dir;
};

// The archiver got exactly the tokens, in the working folder.
void expectCalledWith(const test::FakeArchiverCall& call, const ArchiverTokens& tokens,
                      const QString& workingFolder = GetArchiverWorkingFolder())
{
#ifdef Q_OS_WIN
    // The parameter string follows the quoted program path unchanged.
    EXPECT_TRUE(call.commandLine.endsWith(QLatin1Char(' ') + JoinParameterString(tokens)))
        << call.commandLine.toStdString();
#else
    EXPECT_EQ(call.arguments, ArgumentVector(tokens));
#endif
    EXPECT_EQ(QFileInfo(call.workingFolder).canonicalFilePath(),
              QFileInfo(workingFolder).canonicalFilePath());
}

// Expected lines name the sandbox's paths and the system locale's decimal
// separator by placeholder.
LogLines expand(const std::vector<const char*>& templates, const JobSandbox& sandbox)
{
    LogLines lines;
    for (const char* line : templates) {
        QString text = QString::fromUtf8(line);
        text.replace(QStringLiteral("{archive}"), sandbox.archivePath());
        text.replace(QStringLiteral("{source}"), sandbox.rule.SourceFolder);
        text.replace(QStringLiteral("{log}"), sandbox.errorLogPath());
        text.replace(QStringLiteral("{dp}"), QLocale::system().decimalPoint());
        lines.push_back(text.toStdString());
    }
    return lines;
}

const char creatingLine[] = R"(I: backup: creating {archive} from source "{source}")";
const char errorsLoggedLine[] =
    R"(I: backup: some errors were logged during backup. check WinRAR log at "{log}")";

struct JobCase
{
    const char* name = "";
    Source source = Source::OneFile;
    bool includeSubFolders = false;
    bool programMissing = false;
    std::optional<QByteArray> errorLogBefore{};
    FakeArchiverPlan plan{};
    int code = 0;
    bool ok = false;
    bool archiverRuns = false;
    std::vector<const char*> lines{};
};

const QByteArray twoKiB(2048, 'a');
const QByteArray oneAndHalfMiB(1572864, 'b');

const JobCase jobCases[] = {
    {.name = "exit 0 with archive",
     .plan = {.exitCode = 0, .archive = twoKiB},
     .code = 0,
     .ok = true,
     .archiverRuns = true,
     .lines = {creatingLine, "I: backup: completed, archive size: 2{dp}00 kB"}},
    {.name = "exit 1 with archive completes but fails",
     .plan = {.exitCode = 1, .archive = oneAndHalfMiB},
     .code = 1,
     .ok = false,
     .archiverRuns = true,
     .lines = {creatingLine, "I: backup: completed, archive size: 1{dp}50 MB"}},
    {.name = "exit 1 without archive reports the size of a missing file",
     .plan = {.exitCode = 1},
     .code = 1,
     .ok = false,
     .archiverRuns = true,
     .lines = {creatingLine, "I: backup: completed, archive size: -0{dp}00 kB"}},
    {.name = "exit 0 without archive",
     .plan = {.exitCode = 0},
     .code = ResultNoArchiveCreated,
     .ok = false,
     .archiverRuns = true,
     .lines = {creatingLine,
               "E: backup: failed, error: WinRAR did not create an archive file (10001)"}},
    {.name = "exit 0 without archive, error log written",
     .plan = {.exitCode = 0, .errorLogAppend = QByteArray("cannot open file\n")},
     .code = ResultNoArchiveCreated,
     .ok = false,
     .archiverRuns = true,
     .lines = {creatingLine, "E: backup: failed, error: WinRAR did not create an archive file "
                             "(10001). check WinRAR log at \"{log}\""}},
    {.name = "exit 7 without error log",
     .plan = {.exitCode = 7},
     .code = 7,
     .ok = false,
     .archiverRuns = true,
     .lines = {creatingLine, "E: backup: failed, error: Wrong command line option (7)"}},
    {.name = "exit 12 is unknown",
     .plan = {.exitCode = 12},
     .code = 12,
     .ok = false,
     .archiverRuns = true,
     .lines = {creatingLine, "E: backup: failed, error: unknown error (12)"}},
    {.name = "exit 255 with an error log from an earlier run",
     .errorLogBefore = QByteArray("earlier\n"),
     .plan = {.exitCode = 255, .archive = twoKiB},
     .code = 255,
     .ok = false,
     .archiverRuns = true,
     .lines = {creatingLine,
               "E: backup: failed, error: User break (255). check WinRAR log at \"{log}\""}},
    {.name = "error log created during the run",
     .plan = {.exitCode = 0, .archive = twoKiB, .errorLogAppend = QByteArray("skipped a file\n")},
     .code = 0,
     .ok = true,
     .archiverRuns = true,
     .lines = {creatingLine, "I: backup: completed, archive size: 2{dp}00 kB", errorsLoggedLine}},
    {.name = "error log grows",
     .errorLogBefore = QByteArray("earlier\n"),
     .plan = {.exitCode = 1, .archive = twoKiB, .errorLogAppend = QByteArray("later\n")},
     .code = 1,
     .ok = false,
     .archiverRuns = true,
     .lines = {creatingLine, "I: backup: completed, archive size: 2{dp}00 kB", errorsLoggedLine}},
    {.name = "error log shrinks",
     .errorLogBefore = QByteArray("a long log of an earlier run\n"),
     .plan = {.exitCode = 0, .archive = twoKiB, .errorLogWrite = QByteArray("x\n")},
     .code = 0,
     .ok = true,
     .archiverRuns = true,
     .lines = {creatingLine, "I: backup: completed, archive size: 2{dp}00 kB", errorsLoggedLine}},
    {.name = "error log deleted",
     .errorLogBefore = QByteArray("earlier\n"),
     .plan = {.exitCode = 0, .archive = twoKiB, .deleteErrorLog = true},
     .code = 0,
     .ok = true,
     .archiverRuns = true,
     .lines = {creatingLine, "I: backup: completed, archive size: 2{dp}00 kB", errorsLoggedLine}},
    {.name = "error log from an earlier run left unchanged",
     .errorLogBefore = QByteArray("earlier\n"),
     .plan = {.exitCode = 0, .archive = twoKiB},
     .code = 0,
     .ok = true,
     .archiverRuns = true,
     .lines = {creatingLine, "I: backup: completed, archive size: 2{dp}00 kB"}},
    {.name = "archiver killed by a signal",
     .plan = {.exitCode = 0, .archive = twoKiB, .killBySignal = true},
     .code = ResultStartFailed,
     .ok = false,
     .archiverRuns = true,
     .lines = {creatingLine, "E: backup: failed, error: Failed to start WinRAR (10000)"}},
    {.name = "archiver program missing",
     .programMissing = true,
     .code = ResultStartFailed,
     .ok = false,
     .archiverRuns = false,
     .lines = {creatingLine, "E: backup: failed, error: Failed to start WinRAR (10000)"}},
    {.name = "archiver program missing, error log present",
     .programMissing = true,
     .errorLogBefore = QByteArray("earlier\n"),
     .code = ResultStartFailed,
     .ok = false,
     .archiverRuns = false,
     .lines = {creatingLine, "E: backup: failed, error: Failed to start WinRAR (10000). check "
                             "WinRAR log at \"{log}\""}},
    {.name = "empty source, subfolders included",
     .source = Source::Empty,
     .includeSubFolders = true,
     .plan = {.exitCode = 0, .archive = twoKiB},
     .code = ResultSourceEmpty,
     .ok = false,
     .archiverRuns = false,
     .lines = {"W: backup: no files or folders found in source \"{source}\". skipping backup."}},
    {.name = "empty source, subfolders excluded",
     .source = Source::Empty,
     .plan = {.exitCode = 0, .archive = twoKiB},
     .code = ResultSourceEmpty,
     .ok = false,
     .archiverRuns = false,
     .lines = {"W: backup: no files found in source \"{source}\". skipping backup."}},
    {.name = "source with only a subfolder, subfolders excluded",
     .source = Source::OnlySubFolder,
     .plan = {.exitCode = 0, .archive = twoKiB},
     .code = ResultSourceEmpty,
     .ok = false,
     .archiverRuns = false,
     .lines = {"W: backup: no files found in source \"{source}\". skipping backup."}},
    {.name = "source with only a subfolder, subfolders included",
     .source = Source::OnlySubFolder,
     .includeSubFolders = true,
     .plan = {.exitCode = 0, .archive = twoKiB},
     .code = 0,
     .ok = true,
     .archiverRuns = true,
     .lines = {creatingLine, "I: backup: completed, archive size: 2{dp}00 kB"}},
    {.name = "missing source",
     .source = Source::Missing,
     .includeSubFolders = true,
     .plan = {.exitCode = 0, .archive = twoKiB},
     .code = ResultSourceEmpty,
     .ok = false,
     .archiverRuns = false,
     .lines = {"W: backup: no files or folders found in source \"{source}\". skipping backup."}},
};

// Every outcome runs through a real process, once with a log callback and
// once without one: the result must not depend on whether anyone listens.
TEST(ArchiveJob, ResultCodesAndLogLines)
{
    for (const JobCase& c : jobCases) {
        for (const bool withLog : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (withLog ? ", with log" : ", without log"));
            JobSandbox sandbox;
            sandbox.fillSource(c.source);
            sandbox.rule.IncludeSubFolders = c.includeSubFolders;
            if (c.errorLogBefore)
                test::writeFile(sandbox.errorLogPath(), *c.errorLogBefore);
            const QString program =
                c.programMissing ? sandbox.path(QStringLiteral("no-such-archiver")) : fakeArchiver;

            const JobOutcome outcome = sandbox.run(c.plan, withLog, program);

            EXPECT_EQ(outcome.code, c.code);
            EXPECT_EQ(outcome.ok, c.ok);
            EXPECT_EQ(sandbox.archiverRan(), c.archiverRuns);
            EXPECT_EQ(outcome.lines, withLog ? expand(c.lines, sandbox) : LogLines{});
        }
    }
}

TEST(ArchiveJob, ArchiverReceivesTheRulesTokensInTheWorkingFolder)
{
    JobSandbox sandbox;
    sandbox.fillSource(Source::OneFile);
    sandbox.rule.IncludeSubFolders = true;
    sandbox.rule.UsePassword = true;
    sandbox.rule.Password = QStringLiteral("two words -ep3");
    sandbox.options.NumThreads = 4;
    QDir().mkpath(sandbox.path(QStringLiteral("logs")));
    sandbox.options.LogFile = sandbox.path(QStringLiteral("logs"));

    const JobOutcome outcome = sandbox.run({.exitCode = 0, .archive = twoKiB}, true);
    ASSERT_EQ(outcome.code, 0);

    const auto call = readFakeArchiverCall(sandbox.recordPath());
    ASSERT_TRUE(call.has_value());
    const ArchiverTokens tokens = BuildArchiverTokens(
        sandbox.rule, sandbox.options, sandbox.archivePath(), GetErrorLogFile(sandbox.options));
    expectCalledWith(*call, tokens);
}

// The job hands the archiver's start to its runner: the program, the rule's
// tokens and the archiver's working folder, and takes the runner's code.
TEST(ArchiveJob, StartsTheArchiverThroughItsRunner)
{
    JobSandbox sandbox;
    sandbox.fillSource(Source::OneFile);
    test::ScriptedArchiverRunner runner;
    runner.resultCodes = {7};
    int code = -1;

    EXPECT_FALSE(test::archiveRuleToEnd(runner, fakeArchiver, sandbox.rule, sandbox.options, code,
                                        {}, sandbox.archivePath()));

    EXPECT_EQ(code, 7);
    ASSERT_EQ(runner.calls.size(), 1);
    EXPECT_EQ(runner.calls[0].program, fakeArchiver);
    EXPECT_EQ(runner.calls[0].tokens,
              BuildArchiverTokens(sandbox.rule, sandbox.options, sandbox.archivePath(),
                                  sandbox.errorLogPath()));
    EXPECT_EQ(runner.calls[0].workingFolder, GetArchiverWorkingFolder());
}

// A job that refuses its rule never asks the runner.
TEST(ArchiveJob, RefusedRulesNeverReachTheRunner)
{
    for (const bool unsafePassword : {false, true}) {
        SCOPED_TRACE(unsafePassword ? "unsafe password" : "empty source");
        JobSandbox sandbox;
        sandbox.fillSource(unsafePassword ? Source::OneFile : Source::Empty);
        sandbox.rule.UsePassword = unsafePassword;
        sandbox.rule.Password = QStringLiteral("a\"b");
        test::ScriptedArchiverRunner runner;
        int code = -1;

        EXPECT_FALSE(test::archiveRuleToEnd(runner, fakeArchiver, sandbox.rule, sandbox.options,
                                            code, {}, sandbox.archivePath()));

        EXPECT_EQ(code, unsafePassword ? ResultUnsafePassword : ResultSourceEmpty);
        EXPECT_TRUE(runner.calls.isEmpty());
    }
}

// Masks that exclude everything skip the job like an empty source, before
// the archiver starts; masks that could break out of their token (a
// hand-edited file) fail the job, and the archiver never sees them.
TEST(ArchiveJob, ExcludeMasksThatLeaveNothingOrAreUnsafeNeverStartTheArchiver)
{
    const struct
    {
        const char* name;
        const char* masks;
        int code;
        LogLines lines;
    } cases[] = {
        {"everything left out",
         "*.txt; sub",
         ResultSourceEmpty,
         {"W: backup: no files or folders found in source \"{source}\". skipping backup."}},
        {"quote in a mask",
         "*.tmp; x\" -df",
         ResultUnsafeExcludeMasks,
         {"E: backup: failed, error: exclude masks contain a double quote or control character. "
          "archiver not started"}},
        {"control character in a mask",
         "a\x01b",
         ResultUnsafeExcludeMasks,
         {"E: backup: failed, error: exclude masks contain a double quote or control character. "
          "archiver not started"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        JobSandbox sandbox;
        sandbox.fillSource(Source::FileAndSubFolder);
        sandbox.rule.IncludeSubFolders = true;
        sandbox.rule.ExcludeMasks = QString::fromUtf8(c.masks);

        const JobOutcome outcome = sandbox.run({.exitCode = 0, .archive = twoKiB}, true);

        EXPECT_EQ(outcome.code, c.code);
        EXPECT_FALSE(outcome.ok);
        EXPECT_FALSE(sandbox.archiverRan());
        std::vector<const char*> templates;
        for (const std::string& line : c.lines)
            templates.push_back(line.c_str());
        EXPECT_EQ(outcome.lines, expand(templates, sandbox));
    }
}

TEST(ArchiveJob, PasswordWithDoubleQuoteNeverReachesTheArchiver)
{
    const QString unsafe = QStringLiteral("x\" -df \"");
    const LogLines refused = {"E: backup: failed, error: password contains a double quote "
                              "character. archiver not started"};
    for (const bool withLog : {true, false}) {
        SCOPED_TRACE(withLog ? "with log" : "without log");
        JobSandbox sandbox;
        sandbox.fillSource(Source::OneFile);
        sandbox.rule.UsePassword = true;
        sandbox.rule.Password = unsafe;

        const JobOutcome outcome = sandbox.run({.exitCode = 0, .archive = twoKiB}, withLog);

        EXPECT_EQ(outcome.code, ResultUnsafePassword);
        EXPECT_FALSE(outcome.ok);
        EXPECT_FALSE(sandbox.archiverRan());
        EXPECT_FALSE(QFileInfo::exists(sandbox.archivePath()));
        EXPECT_EQ(outcome.lines, withLog ? refused : LogLines{});
    }
}

TEST(ArchiveJob, PasswordRulesAroundTheDoubleQuote)
{
    // The source check comes first: an empty source is skipped as usual.
    {
        JobSandbox sandbox;
        sandbox.fillSource(Source::Empty);
        sandbox.rule.UsePassword = true;
        sandbox.rule.Password = QStringLiteral("a\"b");
        EXPECT_EQ(sandbox.run({}, true).code, ResultSourceEmpty);
    }
    // A stored password that is not used never reaches the command line.
    {
        JobSandbox sandbox;
        sandbox.fillSource(Source::OneFile);
        sandbox.rule.UsePassword = false;
        sandbox.rule.Password = QStringLiteral("a\"b");
        const JobOutcome outcome = sandbox.run({.exitCode = 0, .archive = twoKiB}, true);
        EXPECT_EQ(outcome.code, 0);
        EXPECT_TRUE(sandbox.archiverRan());
    }
}

struct SourceCase
{
    const char* name;
    Source source;
    bool includeSubFolders;
    bool expected;
    const char* masks = "";
};

TEST(ArchiveJob, SourceHasEntries)
{
    const SourceCase cases[] = {
        {"one file", Source::OneFile, false, true},
        {"empty, subfolders excluded", Source::Empty, false, false},
        {"empty, subfolders included", Source::Empty, true, false},
        {"only a subfolder, subfolders excluded", Source::OnlySubFolder, false, false},
        {"only a subfolder, subfolders included", Source::OnlySubFolder, true, true},
        {"only a hidden file", Source::OnlyHiddenFile, false, true},
        {"file and subfolder, subfolders excluded", Source::FileAndSubFolder, false, true},
        {"missing, subfolders included", Source::Missing, true, false},
        // What the masks leave out does not count: a source whose every
        // entry is left out is as empty as one without entries.
        {"the only file left out", Source::OneFile, false, false, "*.txt"},
        {"the only file left out by name", Source::OneFile, false, false, "data.txt"},
        {"a mask that matches nothing", Source::OneFile, false, true, "*.tmp; nothing"},
        {"everything left out", Source::FileAndSubFolder, true, false, "*"},
        {"file left out, folder kept", Source::FileAndSubFolder, true, true, "data.txt"},
        {"folder left out, file kept", Source::FileAndSubFolder, true, true, "sub"},
        {"file and folder left out", Source::FileAndSubFolder, true, false, "/sub; data.txt"},
        // A folder that is kept is stored even when all it holds is left out.
        {"the folder's content left out", Source::OnlySubFolder, true, true, "nested.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        JobSandbox sandbox;
        sandbox.fillSource(c.source);
        sandbox.rule.IncludeSubFolders = c.includeSubFolders;
        sandbox.rule.ExcludeMasks = QString::fromUtf8(c.masks);
        EXPECT_EQ(SourceHasEntries(sandbox.rule), c.expected);
    }
}

TEST(ArchiveJob, BlankSourceFolderIsNotTheCurrentFolder)
{
    TBackupRule rule;
    rule.IncludeSubFolders = true;
    EXPECT_FALSE(SourceHasEntries(rule));
}

TEST(RunWinRAR, PassesEveryTokenAsOneArgumentInTheGivenFolder)
{
    JobSandbox sandbox;
    const QString workingFolder = sandbox.folder(QStringLiteral("dest"));
    const ArchiverTokens tokens = {
        {QStringLiteral("a"), false},
        {QStringLiteral("-pwith blanks and \\ backslash"), true},
        {QStringLiteral("-ILOG") + sandbox.path(QStringLiteral("a folder/log file.log")), true},
        {QStringLiteral("Ünïcödé ✓"), true},
        {sandbox.folder(QStringLiteral("source folder")), true},
    };
    const ScopedFakeArchiverPlan plan(sandbox.planPath(),
                                      {.exitCode = 3, .recordFile = sandbox.recordPath()});

    EXPECT_EQ(test::runArchiverToEnd(fakeArchiver, tokens, workingFolder), 3);

    const auto call = readFakeArchiverCall(sandbox.recordPath());
    ASSERT_TRUE(call.has_value());
    expectCalledWith(*call, tokens, workingFolder);
}

TEST(RunWinRAR, StartReturnsAndTheEventLoopReportsTheEnd)
{
    // The archiver only ends once a timer of this thread has fired, which
    // needs the event loop to run while it runs. Should the start wait for
    // the archiver instead, the fake gives up waiting and ends with an exit
    // code of its own.
    JobSandbox sandbox;
    const QString released = sandbox.path(QStringLiteral("released"));
    const ScopedFakeArchiverPlan plan(sandbox.planPath(), {.exitCode = 0, .waitForFile = released});
    QObject context;
    bool fired = false;
    QTimer::singleShot(0, &context, [&] {
        fired = true;
        test::writeFile(released, "go");
    });

    ProcessArchiverRunner runner;
    std::optional<int> code;
    runner.start(fakeArchiver, {}, GetArchiverWorkingFolder(), [&](int result) { code = result; });
    EXPECT_FALSE(fired) << "the start returned only after the events ran";
    EXPECT_FALSE(code.has_value()) << "the end came before the event loop ran";
    ASSERT_TRUE(QTest::qWaitFor([&] { return code.has_value(); }, test::RunToEndLimitMs));
    EXPECT_EQ(*code, 0);
    EXPECT_TRUE(fired);
}

TEST(RunWinRAR, WorkingFolderEndsWithASeparator)
{
    const QString folder = GetArchiverWorkingFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(folder.endsWith(QDir::separator()));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

#ifdef Q_OS_LINUX
// Sets an environment variable for the lifetime of the object.
class ScopedEnvironment final
{
public:
    ScopedEnvironment(const char* name, const QString& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value.toUtf8());
    }
    ~ScopedEnvironment()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

TEST(RunWinRAR, WorkingFolderIsTheFirstExistingKnownFolder)
{
    struct Case
    {
        const char* name;
        bool temp, data, documents;
        const char* expected; // relative to the sandbox; empty: none
    };
    const Case cases[] = {
        {"all exist", true, true, true, "tmp/"},
        {"no temp", false, true, true, "data/"},
        {"only documents", false, false, true, "home/Documents/"},
        {"none", false, false, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString root = QFileInfo(dir.path()).canonicalFilePath() + QLatin1Char('/');
        const auto make = [&](bool exists, const QString& name) {
            if (exists)
                QDir().mkpath(root + name);
            return root + name;
        };
        const ScopedEnvironment tmp("TMPDIR", make(c.temp, QStringLiteral("tmp")));
        const ScopedEnvironment data("XDG_DATA_HOME", make(c.data, QStringLiteral("data")));
        const ScopedEnvironment config("XDG_CONFIG_HOME", root + QStringLiteral("config"));
        QDir().mkpath(root + QStringLiteral("home"));
        const ScopedEnvironment home("HOME", root + QStringLiteral("home"));
        make(c.documents, QStringLiteral("home/Documents"));

        const QString expected = *c.expected ? root + QString::fromUtf8(c.expected) : QString();
        EXPECT_EQ(GetArchiverWorkingFolder(), expected);
    }
}
#endif

} // namespace
} // namespace tessaro
