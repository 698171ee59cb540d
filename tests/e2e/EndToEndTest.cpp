#include "EndToEndFixture.h"
#include "FakeArchiverPlan.h"
#include "FullFileSystem.h"
#include "LocalHttpServer.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "core/LocalDateTime.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSysInfo>
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
    EXPECT_EQ(withDurationShown(lines[5]), s("[I] time taken for ") + q(source) + s(": hh:mm:ss"));
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
    configure(QString(), s("UsePassword=1\r\nPassword=x\" -df \"\r\n"),
              builtProgram(TESSARO_FAKE_ARCHIVER));

    ASSERT_EQ(run.run(), 1);

    EXPECT_FALSE(QFile::exists(record)) << "the archiver must not start";
    const QStringList lines = run.logLines();
    EXPECT_TRUE(lines.contains(
        s("[E] backup: failed, error: password contains a double quote character. archiver "
          "not started")));
    EXPECT_EQ(lines.last(), s("[I] backup: finished (with errors)"));
}

TEST_F(EndToEnd, PasswordWithANulNeverReachesTheArchiver)
{
    const QString record = run.path(s("calls.txt"));
    test::FakeArchiverPlan plan;
    plan.recordFile = record;
    const test::ScopedFakeArchiverPlan scoped(run.path(s("plan.txt")), plan);
    configure(QString(), QString(), builtProgram(TESSARO_FAKE_ARCHIVER));
    run.writeConfig(run.config() + "UsePassword=1\r\nPassword=ab" + QByteArray(1, '\0') + "cd\r\n");

    ASSERT_EQ(run.run(), 1);

    EXPECT_FALSE(QFile::exists(record)) << "the archiver must not start with a shortened password";
    const QStringList lines = run.logLines();
    EXPECT_TRUE(lines.contains(
        s("[E] backup: failed, error: password contains a NUL character. archiver not started")))
        << lines.join(QLatin1Char('\n')).toStdString();
    // A NUL is no character of a text file: the save keeps the .bak too.
    EXPECT_TRUE(lines.contains(s("[I] backup: finished (with errors)")));
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

TEST_F(EndToEnd, FileNamesCannotForgeLogLines)
{
    if (QSysInfo::kernelType() == u"winnt")
        GTEST_SKIP() << "Windows file names hold no line ends";
    const QString forged = s("old\r\n01.01.2026 00:00:00 [E] FORGED LINE\r\nx.rar");
    test::writeFile(destination + forged, "x");
    test::setModified(destination + forged, QDateTime::currentDateTime().addDays(-30));
    configure(QString(), s("AutoCleanMode=NumFiles\r\nNumFiles=1\r\n"));

    ASSERT_EQ(run.run(), 0);

    EXPECT_FALSE(QFile::exists(destination + forged));
    const QStringList lines = run.logLines();
    // Every line of the file is one the program wrote.
    const QRegularExpression stamp(s("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d \\[I\\] "));
    for (const QString& line : run.rawLogLines())
        EXPECT_TRUE(stamp.match(line).hasMatch()) << line.toStdString();
    EXPECT_EQ(lines.filter(s("FORGED")).size(), 1);
    EXPECT_TRUE(lines.contains(s("[I] auto clean: deleting ") + destination +
                               s("old\\r\\n01.01.2026 00:00:00 [E] FORGED LINE\\r\\nx.rar")))
        << lines.join(QLatin1Char('\n')).toStdString();
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

TEST_F(EndToEnd, WebhookAnswerAfterAnInterimResponseCounts)
{
    test::LocalHttpServer server;
    ASSERT_TRUE(server.isListening());
    test::HttpAnswer answer;
    answer.interim = {"HTTP/1.1 100 Continue\r\n\r\n"};
    server.setAnswer("/hook", answer);
    configure(s("CallWebHook=1\r\nWebHookURL=") + server.url(s("/hook")) + s("\r\n"));

    ASSERT_EQ(run.run(), 0);

    ASSERT_EQ(server.requests().size(), 1);
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

TEST_F(EndToEnd, LastRunInTheFutureCountsFromNow)
{
    const QString twoDaysAgo =
        LocalDateTime::fromQDateTime(QDateTime::currentDateTime()).addHours(-48).toIso8601();
    configure(s("BackupOnStart=0\r\nPeriodicRun=on\r\nLastBackupTime=") + twoDaysAgo +
              s("\r\n[schedule]\r\nPeriodHours=24\r\nLastRun=9999-12-31T23:59:59.999Z\r\n"));

    ASSERT_EQ(run.run(), 0);

    const QStringList lines = run.logLines();
    const qsizetype begin = lines.indexOf(s("[I] begin periodic run"));
    ASSERT_GE(begin, 0) << lines.join(QLatin1Char('\n')).toStdString();
    const QString future =
        LocalDateTime::fromIso8601(s("9999-12-31T23:59:59.999Z")).format(u"yyyy.mm.dd hh:nn");
    EXPECT_EQ(lines[begin + 1], s("[W] last scheduled backup ") + future +
                                    s(" is later than now; the schedule counts from now"));
    const QString next = lines.last();
    EXPECT_TRUE(next.startsWith(s("[I] next scheduled backup: ")));
    const QString tomorrow = LocalDateTime::fromQDateTime(QDateTime::currentDateTime())
                                 .addHours(24)
                                 .format(u"yyyy.mm.dd");
    const QString today =
        LocalDateTime::fromQDateTime(QDateTime::currentDateTime()).format(u"yyyy.mm.dd");
    EXPECT_TRUE(next.contains(today) || next.contains(tomorrow)) << next.toStdString();
    EXPECT_FALSE(run.config().contains("LastRun=9999")) << run.config().constData();
}

// A start on a full disk: the pass runs, every save fails and says so (in the
// log and on standard error) and makes the exit status 1, and the
// configuration file stays exactly as it was.
TEST(EndToEndFullDisk, ConfigurationSurvivesAStartOnAFullDisk)
{
    const qint64 programSize = QFileInfo(s(TESSARO_PROGRAM)).size();
    test::FullFileSystem disk(programSize + 1024 * 1024);
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << disk.skipReason().toStdString();
    ProgramRun run(disk.filePath(s("program")));
    // The log goes elsewhere, so that the errors can be read.
    QDir().mkpath(run.path(s("log")));
    ASSERT_TRUE(QFile::link(run.path(s("log")), run.folder() + s("log")));
    const QString source = test::withSlash(run.path(s("source")));
    const QString destination = test::withSlash(run.path(s("backup")));
    test::writeFile(source + s("notes.txt"), "notes");
    QDir().mkpath(destination);
    QByteArray ini = "[Settings]\r\nWinRARLocation=" + builtProgram(TESSARO_E2E_ARCHIVER).toUtf8() +
                     "\r\nBackupOnStart=1\r\nExitAfterBackupOnce=1\r\n\r\n"
                     "[backup_rules_0]\r\nSourceFolder=" +
                     source.toUtf8() + "\r\nDestinationFolder=" + destination.toUtf8() +
                     "\r\nDestinationFilename=docs\r\n\r\n[notes]\r\n";
    for (int i = 0; ini.size() < 7000; ++i)
        ini += "Note" + QByteArray::number(i) + "=kept by every save of the program\r\n";
    run.writeConfig(ini);
    ASSERT_TRUE(disk.fill());

    ASSERT_EQ(run.run(), 1);

    EXPECT_EQ(run.config(), ini);
    EXPECT_EQ(QDir(destination).entryList(QDir::Files), QStringList{s("docs.rar")});
    const FullDiskSaveTexts texts(run.folder() + s("tessaro.ini"));
    EXPECT_EQ(QString::fromLocal8Bit(run.errorOutput()).replace(s("\r\n"), s("\n")),
              texts.errorOutput());
    const QStringList lines = run.logLines();
    EXPECT_TRUE(lines.contains(s("[E] ") + texts.writeFailed))
        << lines.join(QLatin1Char('\n')).toStdString();
    // After the pass and before the program ends.
    const QString saveFailed = s("[E] ") + texts.notSaved;
    EXPECT_EQ(lines.count(saveFailed), 2);
    EXPECT_TRUE(lines.contains(s("[I] backup: finished")));
    EXPECT_EQ(lines.last(), saveFailed);
}

// The value of a key of the configuration file as the program left it.
QString iniValue(const QByteArray& ini, const QString& key)
{
    const QRegularExpression line(s("\r\n") + QRegularExpression::escape(key) +
                                  s("=([^\r\n]*)\r\n"));
    return line.match(QString::fromUtf8(ini)).captured(1);
}

// Zones whose offset on 1899-12-30 has seconds (local mean time) write never
// with the offset cut to whole minutes; the next start must still read never,
// not a time some seconds later that looks like a backup long ago.
TEST(EndToEndTimeZones, NeverReadsBackAsNeverWhenTheOffsetHasSeconds)
{
    if (QSysInfo::kernelType() == u"winnt")
        GTEST_SKIP() << "Windows takes its time zone from the system, not from TZ";
    struct Case
    {
        const char* zone;
        const char* never;
    };
    const Case cases[] = {
        {"Asia/Kolkata", "1899-12-30T00:00:00.000+05:21"},
        {"Europe/Paris", "1899-12-30T00:00:00.000+00:09"},
        {"Asia/Shanghai", "1899-12-30T00:00:00.000+08:05"},
        {"America/Sao_Paulo", "1899-12-30T00:00:00.000-03:06"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        ProgramRun run;
        const QString source = test::withSlash(run.path(s("source")));
        test::writeFile(source + s("notes.txt"), "notes");
        QDir().mkpath(run.path(s("backup")));
        const QString rule = s("\r\n[backup_rules_0]\r\nSourceFolder=") + source +
                             s("\r\nDestinationFolder=") + test::withSlash(run.path(s("backup"))) +
                             s("\r\nDestinationFilename=docs\r\n");
        const QString settings = s("[Settings]\r\nWinRARLocation=") +
                                 builtProgram(TESSARO_E2E_ARCHIVER) +
                                 s("\r\nBackupOnStart=1\r\nExitAfterBackupOnce=1\r\n");
        QProcessEnvironment zone;
        zone.insert(s("TZ"), s(c.zone));

        // The first start has no schedule run yet and writes never for it.
        run.writeConfig((settings + rule).toUtf8());
        ASSERT_EQ(run.run(zone), 0);
        ASSERT_EQ(iniValue(run.config(), s("LastRun")), s(c.never));

        // A configuration saved before the first backup holds never for the
        // last backup too; the next start reads both as never.
        run.writeConfig((settings + s("LastBackupTime=") + s(c.never) +
                         s("\r\n[schedule]\r\n"
                           "LastRun=") +
                         s(c.never) + rule)
                            .toUtf8());
        ASSERT_EQ(run.run(zone), 0);
        EXPECT_EQ(iniValue(run.config(), s("LastRun")), s(c.never));
        const QStringList lines = run.logLines();
        EXPECT_TRUE(lines.filter(s("last backup was done at")).isEmpty())
            << lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(lines.last(), s("[I] backup: finished"));
    }
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
    configure(QString(), QString(),
              c.failing ? builtProgram(TESSARO_FAKE_ARCHIVER) : builtProgram(TESSARO_E2E_ARCHIVER));

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
              run.folder() + s("log") + QDir::separator());
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

TEST_F(EndToEnd, ExtrasThisVersionDoesNotKnowSurviveItsSaves)
{
    configure(s("\r\n[extras]\r\nVerifyArchives=0\r\nFutureKey=7\r\n"));

    ASSERT_EQ(run.run(), 0);

    EXPECT_TRUE(run.config().contains("\r\n[extras]\r\nVerifyArchives=0\r\nFutureKey=7\r\n"))
        << run.config().constData();
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
