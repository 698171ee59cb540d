#include "EndToEndFixture.h"
#include "FakeArchiverPlan.h"
#include "LocalDateTime.h"
#include "LocalHttpServer.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrlQuery>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

TEST_F(EndToEnd, BackupOnStartRunsOnePassAndEnds)
{
    configure(QString());

    ASSERT_EQ(run.run(), 0);

    const QStringList made = archives();
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(QRegularExpression(s("^docs_\\d{6}_\\d{6}\\.rar$")).match(made.first()).hasMatch())
        << made.first().toStdString();
    const QString archive = destination + made.first();

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
    configure(QString(), QString(), builtProgram(TESSARO_FAKE_ARCHIVER));

    ASSERT_EQ(run.run(), 0);

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
    configure(QString(), s("UsePassword=1\r\nPassword=x\" -df \"\r\n"),
              builtProgram(TESSARO_FAKE_ARCHIVER));

    ASSERT_EQ(run.run(), 0);

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

} // namespace
} // namespace tessaro
