#include "FakeArchiverPlan.h"
#include "LocalDateTime.h"
#include "LocalHttpServer.h"
#include "ProgramRun.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrlQuery>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using test::ProgramRun;

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

QString q(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// A program folder with a source folder of two files (one in a subfolder)
// and an empty destination, configured to back up once at start and end.
class EndToEnd : public ::testing::Test
{
protected:
    EndToEnd()
    {
        source = test::withSlash(run.path(s("source")));
        destination = test::withSlash(run.path(s("backup")));
        test::writeFile(source + s("notes.txt"), "notes");
        test::writeFile(source + s("sub/deep.txt"), "deep");
        QDir().mkpath(destination);
    }

    // The configuration: the given settings lines, then one rule.
    void configure(const QString& settings, const QString& rule = QString(),
                   const QString& archiver = s(TESSARO_RAR_STANDIN))
    {
        const QString text = s("[Settings]\r\nWinRARLocation=") + archiver +
                             s("\r\nBackupOnStart=1\r\nExitAfterBackupOnce=1\r\n"
                               "StorePaths=Relative paths\r\n") +
                             settings + s("\r\n[backup_rules_0]\r\nSourceFolder=") + source +
                             s("\r\nDestinationFolder=") + destination +
                             s("\r\nDestinationFilename=docs_#ymd_hns#\r\n"
                               "IncludeSubFolders=1\r\n") +
                             rule;
        run.writeConfig(text.toUtf8());
    }

    QStringList archives() const
    {
        return QDir(destination).entryList({s("*.rar")}, QDir::Files, QDir::Name);
    }

    ProgramRun run;
    QString source;
    QString destination;
};

TEST_F(EndToEnd, BackupOnStartRunsOnePassAndEnds)
{
    configure(QString());

    ASSERT_EQ(run.run(), 0);

    const QStringList made = archives();
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(QRegularExpression(s("^docs_\\d{6}_\\d{6}\\.rar$")).match(made.first()).hasMatch())
        << made.first().toStdString();
    const QString archive = destination + made.first();
    QStringList entries = test::archiveEntries(archive);
    entries.sort();
    EXPECT_EQ(entries, (QStringList{s("notes.txt"), s("sub/"), s("sub/deep.txt")}));

    const QStringList lines = run.logLines();
    ASSERT_EQ(lines.size(), 8) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(lines.mid(0, 4),
              (QStringList{s("[I] Tessaro version 1.60327"), s("[I] action: backup once (now)"),
                           s("[I] backup: start"),
                           s("[I] backup: creating ") + archive + s(" from source ") + q(source)}));
    EXPECT_TRUE(lines[4].startsWith(s("[I] backup: completed, archive size: ")));
    EXPECT_TRUE(lines[4].endsWith(s(" kB")));
    EXPECT_EQ(lines[5], s("[I] time taken for ") + q(source) + s(": 00:00:00"));
    EXPECT_EQ(lines[6], s("[I] backupfile 1 of 1: ") + q(archive));
    EXPECT_EQ(lines[7], s("[I] backup: finished"));

    const QRegularExpression stamp(s("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d \\[I\\] "));
    for (const QString& line : run.rawLogLines())
        EXPECT_TRUE(stamp.match(line).hasMatch()) << line.toStdString();
    const QStringList logFiles = QDir(run.folder() + s("log")).entryList(QDir::Files);
    ASSERT_EQ(logFiles.size(), 1);
    EXPECT_TRUE(QRegularExpression(s("^\\d{4}_tessaro\\.log$")).match(logFiles.first()).hasMatch());

    const QString ini = QString::fromUtf8(run.config());
    EXPECT_TRUE(ini.contains(s("\r\nPeriodicRun=off\r\n")));
    EXPECT_TRUE(
        QRegularExpression(s("\r\nLastBackupTime=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\."
                             "\\d{3}(Z|[+-]\\d\\d:\\d\\d)\r\n"))
            .match(ini)
            .hasMatch());
    EXPECT_TRUE(ini.contains(s("\r\n[backup_rules_0]\r\nSourceFolder=") + source + s("\r\n")));
    EXPECT_TRUE(ini.contains(s("\r\nAutoCleanMode=Off\r\nNumFiles=10\r\nDiskUsage=1000\r\n")));
}

TEST_F(EndToEnd, FailedJobsStillEndThePassAndTheProgram)
{
    // The fake archiver without a plan exits with 0 and makes nothing.
    configure(QString(), QString(), s(TESSARO_FAKE_ARCHIVER));

    // A pass with errors ends the program with a status that says so.
    ASSERT_EQ(run.run(), 1);

    const QStringList lines = run.logLines();
    EXPECT_TRUE(lines.contains(
        s("[E] backup: failed, error: WinRAR did not create an archive file (10001)")));
    EXPECT_EQ(lines.last(), s("[I] backup: finished (with errors)"));
    EXPECT_TRUE(lines.filter(s("backupfile")).isEmpty());
}

TEST_F(EndToEnd, PasswordWithAQuoteNeverReachesTheArchiver)
{
    const QString record = run.path(s("calls.txt"));
    test::FakeArchiverPlan plan;
    plan.recordFile = record;
    const test::ScopedFakeArchiverPlan scoped(run.path(s("plan.txt")), plan);
    configure(QString(), s("UsePassword=1\r\nPassword=x\" -df \"\r\n"), s(TESSARO_FAKE_ARCHIVER));

    ASSERT_EQ(run.run(), 1);

    EXPECT_FALSE(QFile::exists(record)) << "the archiver must not start";
    const QStringList lines = run.logLines();
    EXPECT_TRUE(lines.contains(
        s("[E] backup: failed, error: password contains a double quote character. archiver "
          "not started")));
    EXPECT_EQ(lines.last(), s("[I] backup: finished (with errors)"));
}

TEST_F(EndToEnd, AutoCleanKeepsTheNewestArchives)
{
    const QDateTime base = QDateTime::currentDateTime().addDays(-30);
    for (int i = 0; i < 12; ++i) {
        const QString old = destination + s("old_%1.rar").arg(i, 2, 10, QLatin1Char('0'));
        test::writeFile(old, "x");
        test::setModified(old, base.addDays(i));
    }
    test::writeFile(destination + s("keep.zip"), "other format");
    configure(QString(), s("AutoCleanMode=NumFiles\r\nNumFiles=10\r\n"));

    ASSERT_EQ(run.run(), 0);

    const QStringList left = archives();
    EXPECT_EQ(left.size(), 10);
    EXPECT_FALSE(left.contains(s("old_00.rar")));
    EXPECT_FALSE(left.contains(s("old_02.rar")));
    EXPECT_TRUE(left.contains(s("old_03.rar")));
    EXPECT_TRUE(QFile::exists(destination + s("keep.zip")));
    const QStringList lines = run.logLines();
    const qsizetype found = lines.indexOf(s("[I] auto clean: found 13 rar files in ") +
                                          q(destination) + s(", which is above 10"));
    ASSERT_GE(found, 0) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(lines[found + 1], s("[I] auto clean: deleting ") + destination + s("old_00.rar"));
    EXPECT_TRUE(lines.contains(s("[I] auto clean: deleted 3 files in ") + q(destination)));
    EXPECT_EQ(lines.last(), s("[I] backup: finished"));
}

TEST_F(EndToEnd, WebhookReceivesTheOutcomeAndTheLogLines)
{
    test::LocalHttpServer server;
    ASSERT_TRUE(server.isListening());
    server.setAnswer("/hook", test::HttpAnswer{});
    configure(s("CallWebHook=1\r\nIncludeLogsInWebHookCall=1\r\nWebHookURL=") +
              server.url(s("/hook")) + s("\r\n"));
    QProcessEnvironment environment;
    environment.insert(s("COMPUTERNAME"), s("E2E-PC"));

    ASSERT_EQ(run.run(environment), 0);

    ASSERT_EQ(server.requests().size(), 1);
    const auto& request = server.requests().first();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.header("Content-Type"), "application/x-www-form-urlencoded; charset=utf-8");
    const QUrlQuery form(QString::fromUtf8(QByteArray(request.body).replace('+', ' ')));
    const auto pairs = form.queryItems(QUrl::FullyDecoded);
    ASSERT_EQ(pairs.size(), 4);
    EXPECT_EQ(pairs[0], qMakePair(s("subject"), s("Tessaro notification: OK [E2E-PC]")));
    EXPECT_EQ(pairs[1].first, s("message"));
    EXPECT_EQ(pairs[2], qMakePair(s("status"), s("OK")));
    EXPECT_EQ(pairs[3], qMakePair(s("computername"), s("E2E-PC")));
    const QStringList sent = pairs[1].second.split(s("\r\n"));
    EXPECT_TRUE(sent.first().endsWith(s("[I] backup: start")));
    EXPECT_TRUE(sent.at(sent.size() - 2).endsWith(s("[I] backup: finished")));
    const QStringList lines = run.logLines();
    EXPECT_EQ(lines.mid(lines.size() - 2),
              (QStringList{s("[I] Calling notification URL"), s("[I] Notification URL called")}));
}

TEST_F(EndToEnd, ResumedPeriodicRunCatchesUpSilentlyAndEnds)
{
    const QString twoDaysAgo =
        LocalDateTime::fromQDateTime(QDateTime::currentDateTime()).addHours(-48).toIso8601();
    configure(s("BackupOnStart=0\r\nPeriodicRun=on\r\nLastBackupTime=") + twoDaysAgo +
              s("\r\n[schedule]\r\nPeriodHours=24\r\n"));

    ASSERT_EQ(run.run(), 0);

    const QStringList lines = run.logLines();
    const qsizetype begin = lines.indexOf(s("[I] begin periodic run"));
    ASSERT_GE(begin, 0) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines[1].startsWith(s("[I] last backup was done at ")));
    EXPECT_EQ(lines[begin + 1], s("[I] missed at least one period. trying to catch up..."));
    EXPECT_EQ(lines[begin + 2], s("[I] action: backup once (now)"));
    EXPECT_TRUE(lines.contains(s("[I] backup: finished")));
    EXPECT_TRUE(lines.last().startsWith(s("[I] next scheduled backup: ")));
    EXPECT_EQ(archives().size(), 1);
    EXPECT_TRUE(QString::fromUtf8(run.config()).contains(s("\r\nPeriodicRun=on\r\n")));
}

// The run history of the data folder: one JSON object a line.
QList<QJsonObject> historyOf(const ProgramRun& run)
{
    QList<QJsonObject> passes;
    const QByteArray bytes = test::readFile(run.folder() + s("history.jsonl"));
    for (const QByteArray& line : bytes.split('\n')) {
        if (!line.isEmpty())
            passes.append(QJsonDocument::fromJson(line).object());
    }
    return passes;
}

struct StatusCase
{
    const char* name;
    bool failing;
    int exitStatus;
    int errors;
    int result;
};

class ExitStatusAndHistory : public EndToEnd, public ::testing::WithParamInterface<StatusCase>
{};

TEST_P(ExitStatusAndHistory, OnePassAtStartEndsWithItsOutcomeAndIsRecorded)
{
    const StatusCase& c = GetParam();
    // The fake archiver without a plan makes no archive: the rule fails.
    configure(QString(), QString(), c.failing ? s(TESSARO_FAKE_ARCHIVER) : s(TESSARO_RAR_STANDIN));

    EXPECT_EQ(run.run(), c.exitStatus);

    const QList<QJsonObject> passes = historyOf(run);
    ASSERT_EQ(passes.size(), 1);
    const QJsonObject& pass = passes.first();
    EXPECT_EQ(pass.value(s("trigger")).toString(), s("start-up"));
    EXPECT_EQ(pass.value(s("errors")).toInt(), c.errors);
    EXPECT_LE(pass.value(s("start")).toString(), pass.value(s("end")).toString());
    const QJsonArray rules = pass.value(s("rules")).toArray();
    ASSERT_EQ(rules.size(), 1);
    const QJsonObject rule = rules.first().toObject();
    EXPECT_EQ(rule.value(s("source")).toString(), source);
    EXPECT_EQ(rule.value(s("result")).toInt(), c.result);
    const QString archive = rule.value(s("archive")).toString();
    EXPECT_TRUE(archive.startsWith(destination + s("docs_"))) << archive.toStdString();
    EXPECT_EQ(rule.value(s("size")).toInteger(), c.failing ? 0 : QFileInfo(archive).size());
    EXPECT_EQ(rule.value(s("log")).toString().left(run.folder().size() + 4),
              run.folder() + s("log/"));
    // Nothing of the history reaches the log.
    EXPECT_TRUE(run.logLines().filter(s("history")).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Outcomes, ExitStatusAndHistory,
                         ::testing::Values(StatusCase{"WithoutErrors", false, 0, 0, 0},
                                           StatusCase{"WithErrors", true, 1, 1, 10001}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EndToEnd, ArchivesAreTestedWhenAskedAndTheExtrasStayInTheirSection)
{
    configure(s("\r\n[extras]\r\nVerifyArchives=1\r\n"));

    ASSERT_EQ(run.run(), 0);

    const QStringList made = archives();
    ASSERT_EQ(made.size(), 1);
    const QStringList lines = run.logLines();
    EXPECT_TRUE(
        lines.contains(s("[I] backup: archive test passed for ") + q(destination + made.first())))
        << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(lines.last(), s("[I] backup: finished"));
    EXPECT_TRUE(run.config().contains("\r\n[extras]\r\nVerifyArchives=1\r\n\r\n"));
}

TEST_F(EndToEnd, EachPassAddsOneLineToTheHistory)
{
    configure(QString());
    ASSERT_EQ(run.run(), 0);
    ASSERT_EQ(run.run(), 0);
    EXPECT_EQ(historyOf(run).size(), 2);
    EXPECT_FALSE(run.config().contains("[extras]")) << "no extras used, none written";
}

} // namespace
} // namespace tessaro
