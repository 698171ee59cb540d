#include "AppHarness.h"
#include "QtPrinters.h"
#include "core/ArchiverCommandLine.h"
#include "core/ArchiverProcess.h"

#include <QFile>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using test::AppHarness;
using test::FakeArchiverPlan;
using test::ScriptedArchiverRunner;
using namespace Qt::StringLiterals;

const LocalDateTime passStart = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9);

QString q(const QString& text)
{
    return u"\""_s + text + u"\""_s;
}

class VerifyArchivesTest : public ::testing::Test
{
protected:
    VerifyArchivesTest() : app(passStart) {}

    // An archive made and, when asked, tested; the test's call is recorded.
    FakeArchiverPlan plan() const
    {
        FakeArchiverPlan p = AppHarness::archiveMade();
        p.testRecordFile = testRecord();
        return p;
    }
    QString testRecord() const { return app.root.filePath(u"test-call.txt"_s); }
    QString archiveOf(const TBackupRule* rule, const char* name) const
    {
        return rule->DestinationFolder + QString::fromLatin1(name) + u"_260327_140509.rar"_s;
    }

    AppHarness app;
};

TEST_F(VerifyArchivesTest, OffByDefaultNoTestRuns)
{
    app.addRule(u"a"_s);
    const auto scoped = app.plan(plan());
    ASSERT_TRUE(app.runPass());
    EXPECT_FALSE(QFile::exists(testRecord()));
    EXPECT_TRUE(app.loggedLines().filter(u"archive test"_s).isEmpty());
}

TEST_F(VerifyArchivesTest, ASoundArchiveIsTestedWithTheRulesPassword)
{
    TBackupRule* rule = app.addRule(u"a"_s);
    rule->UsePassword = true;
    rule->Password = u"se cret"_s;
    app.logic.changeSettings([&](TSettings& edited) { edited.VerifyArchives = true; }, false);
    const ScriptedArchiverRunner& archiver = app.scriptArchiver();

    ASSERT_TRUE(app.runPass());

    ASSERT_EQ(archiver.calls.size(), 2);
    const ScriptedArchiverRunner::Call& testCall = archiver.calls.at(1);
    const QString archive = archiveOf(rule, "a");
    EXPECT_EQ(testCall.program, app.logic.settings().settings().WinRARLocation);
    EXPECT_EQ(testCall.arguments(),
              QStringList({u"t"_s, u"-pse cret"_s, u"-IBCK"_s, u"-INUL"_s,
                           u"-ILOG"_s + app.dataFolder + u"winrar_errors.log"_s}) +
                  ArgumentVector(PlatformArchiverSwitches(nativePathStyle())) +
                  QStringList{archive});
    EXPECT_EQ(testCall.workingFolder, GetArchiverWorkingFolder());
    const QStringList lines = app.loggedLines();
    EXPECT_TRUE(lines.contains(u"[I] backup: archive test passed for "_s + q(archive)));
    EXPECT_TRUE(lines.contains(u"[I] backupfile 1 of 1: "_s + q(archive)));
    EXPECT_EQ(lines.last(), u"[I] backup: finished"_s);
}

TEST_F(VerifyArchivesTest, AFailedTestIsAnErrorOfTheRuleAndSparesItsFolder)
{
    TBackupRule* tested = app.addRule(u"a"_s);
    tested->AutoCleanMode = acmNumFiles;
    tested->NumFiles = 3;
    TBackupRule* other = app.addRule(u"b"_s);
    other->DestinationFolder = test::withSlash(app.root.filePath(u"other"_s));
    QDir().mkpath(other->DestinationFolder);
    other->AutoCleanMode = acmNumFiles;
    other->NumFiles = 3;
    app.logic.changeSettings([&](TSettings& edited) { edited.VerifyArchives = true; }, false);
    app.logic.changeSettings([&](TSettings& edited) { edited.CallWebHook = true; }, false);
    app.logic.changeSettings(
        [&](TSettings& edited) { edited.WebHookURL = u"http://127.0.0.1:1/"_s; }, false);
    ScriptedArchiverRunner& archiver = app.scriptArchiver();
    // Both archives are made; only the first one fails its test.
    archiver.resultCodes = {0, 3, 0, 0};

    ASSERT_TRUE(app.runPass());

    QStringList commands;
    for (const ScriptedArchiverRunner::Call& call : std::as_const(archiver.calls))
        commands.append(call.command());
    EXPECT_EQ(commands, (QStringList{u"a"_s, u"t"_s, u"a"_s, u"t"_s}));

    const QString bad = archiveOf(tested, "a");
    const QStringList lines = app.loggedLines();
    EXPECT_TRUE(lines.contains(u"[E] backup: archive test failed for "_s + q(bad) +
                               u", error: Invalid checksum. Data is damaged (3)"_s))
        << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines.filter(u"backupfile"_s).filter(bad).isEmpty());
    EXPECT_TRUE(lines.contains(u"[W] auto clean: skipped for "_s + q(tested->DestinationFolder) +
                               u", an archive of this pass failed its test"_s));
    ASSERT_EQ(app.services.autoCleanCalls.size(), 1);
    EXPECT_EQ(app.services.autoCleanCalls.first().folder, other->DestinationFolder);
    EXPECT_TRUE(lines.contains(u"[I] backup: finished (with errors)"_s));
    ASSERT_EQ(app.services.webHookCalls.size(), 1);
    EXPECT_EQ(app.services.webHookCalls.first().status, u"ERROR"_s);
    const RuleRecord failed = app.logic.history().lastPasses().first().rules.first();
    EXPECT_EQ(failed.result, 3);
    EXPECT_FALSE(app.logic.history().lastPasses().first().rules.at(1).failed());
}

} // namespace
} // namespace tessaro
