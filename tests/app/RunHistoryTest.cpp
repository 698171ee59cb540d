#include "app/RunHistory.h"

#include "AppHarness.h"
#include "FullFileSystem.h"
#include "QtPrinters.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using test::AppHarness;
using test::FakeArchiverPlan;
using test::readFile;
using test::writeFile;
using namespace Qt::StringLiterals;

const LocalDateTime passStart = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9);

class RunHistoryTest : public ::testing::Test
{
protected:
    RunHistoryTest() : app(passStart) {}

    QString historyFile() const { return app.dataFolder + u"history.jsonl"_s; }
    QList<QByteArray> historyLines() const
    {
        QList<QByteArray> lines = readFile(historyFile()).split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    RunHistory& history() { return app.logic.history(); }

    AppHarness app;
};

TEST_F(RunHistoryTest, APassAppendsOneWholeLineWithEveryRule)
{
    app.addRule(u"a"_s);
    app.addRule(u"b"_s, false);
    const auto scoped = app.plan(AppHarness::archiveMade());

    ASSERT_TRUE(app.logic.pass().RunBackup());

    EXPECT_EQ(history().fileName(), app.dataFolder + u"history.jsonl"_s);
    const QList<QByteArray> lines = historyLines();
    ASSERT_EQ(lines.size(), 1);
    const QString stamp = passStart.toIso8601();
    const QString dest = app.logic.settings().rules().Item(0)->DestinationFolder;
    const QString logFile = app.logic.log().logFolder() + u"2603_tessaro.log"_s;
    // JSON doubles the backslashes of Windows paths.
    const auto json = [](QString text) {
        return text.replace(u"\\"_s, u"\\\\"_s);
    };
    const QString rule = uR"({"archive":"%1","end":"%2","log":"%3","result":%4,"seconds":0,)"
                         uR"("size":%5,"source":"%6","start":"%2"})"_s;
    const QString expected =
        uR"({"end":"%1","errors":1,"rules":[)"_s.arg(stamp) +
        rule.arg(json(dest + u"a_260327_140509.rar"_s), stamp, json(logFile), u"0"_s, u"2048"_s,
                 json(app.logic.settings().rules().Item(0)->SourceFolder)) +
        u","_s +
        rule.arg(json(dest + u"b_260327_140509.rar"_s), stamp, json(logFile), u"10002"_s, u"0"_s,
                 json(app.logic.settings().rules().Item(1)->SourceFolder)) +
        uR"(],"start":"%1","trigger":"button"})"_s.arg(stamp);
    EXPECT_EQ(QString::fromUtf8(lines.first()), expected);
    EXPECT_TRUE(readFile(historyFile()).endsWith('\n'));

    ASSERT_TRUE(app.logic.pass().RunBackup());
    EXPECT_EQ(historyLines().size(), 2);
    const QList<PassRecord> passes = history().lastPasses();
    ASSERT_EQ(passes.size(), 2);
    EXPECT_EQ(passes.first(), *RunHistory::fromJsonLine(lines.first()));
    EXPECT_EQ(passes.first().errors(), 1);
    EXPECT_EQ(passes.first().firstFailure()->result, 10002);
}

TEST_F(RunHistoryTest, EachWayOfStartingAPassIsRecordedAsItsTrigger)
{
    app.addRule(u"a"_s);
    app.logic.changeSettings([&](TSettings& edited) { edited.Schedule.PeriodHours = 24; }, false);
    const auto scoped = app.plan(AppHarness::archiveMade());

    app.logic.pass().BackUpOnceNow();
    app.logic.changeSettings([&](TSettings& edited) { edited.BackupOnStart = true; }, false);
    app.logic.startup().StartUpTimerTimer();
    app.logic.periodic().ActionRun(false);
    app.clock.set(app.logic.periodic().nextRun().addMilliseconds(1));
    app.logic.scheduleTick();

    QStringList triggers;
    for (const PassRecord& pass : history().lastPasses())
        triggers.append(passTriggerName(pass.trigger));
    EXPECT_EQ(triggers, (QStringList{u"button"_s, u"start-up"_s, u"schedule"_s}));
}

TEST_F(RunHistoryTest, ARecordStartsOnALineOfItsOwn)
{
    app.addRule(u"a"_s);
    app.scriptArchiver();
    // What a crash or an editor leaves: a last line without its line end.
    for (const QByteArray& before : {QByteArray("{\"start\":\"2026-03-27T1"), QByteArray("\r")}) {
        SCOPED_TRACE(before.constData());
        writeFile(historyFile(), before);

        ASSERT_TRUE(app.logic.pass().RunBackup());

        const QByteArray after = readFile(historyFile());
        EXPECT_TRUE(after.startsWith(before + '\n')) << after.constData();
        ASSERT_EQ(history().lastPasses().size(), 1);
        EXPECT_EQ(history().lastPasses().first().rules.size(), 1);
        EXPECT_EQ(after.count('\n'), 2);
    }
}

TEST_F(RunHistoryTest, ARecordThatDoesNotFitLeavesNoFragment)
{
    test::FullFileSystem disk;
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << disk.skipReason().toStdString();
    const QByteArray kept = RunHistory::toJsonLine(PassRecord{passStart, passStart, {}, {}});
    writeFile(disk.filePath(u"history.jsonl"_s), kept.chopped(1));
    ASSERT_TRUE(QFile::link(disk.filePath(u"history.jsonl"_s), historyFile()));
    // One page left: the record of forty rules is longer than that.
    for (int i = 0; i < 40; ++i)
        app.addRule(u"rule%1"_s.arg(i));
    app.scriptArchiver();
    ASSERT_TRUE(disk.fill());
    ASSERT_TRUE(QFile::resize(disk.filePath(u"filler"_s),
                              QFileInfo(disk.filePath(u"filler"_s)).size() - 4096));

    ASSERT_TRUE(app.logic.pass().RunBackup());

    EXPECT_EQ(readFile(historyFile()), kept.chopped(1));
    EXPECT_EQ(app.loggedLines().filter(u"history:"_s),
              QStringList{u"[E] history: could not write \""_s + historyFile() +
                          u"\": No space left on device"_s});
}

TEST_F(RunHistoryTest, AMissingFileGivesNoPassesAndNoLine)
{
    const qsizetype before = app.logic.log().capture().size();
    EXPECT_TRUE(history().lastPasses().isEmpty());
    EXPECT_EQ(app.logic.log().capture().size(), before);
}

TEST_F(RunHistoryTest, DamagedLinesAreSkippedAndReportedOnce)
{
    PassRecord pass;
    pass.start = passStart;
    pass.end = passStart.addMinutes(1);
    pass.trigger = PassTrigger::Schedule;
    pass.rules.append({u"/src/"_s, 0, u"/dest/a.rar"_s, 10, 60, pass.start, pass.end, {}});
    const QByteArray good = RunHistory::toJsonLine(pass);
    const QByteArray damaged[] = {
        "{\"start\":\"2026-03-27T14:05",                                         // cut short
        "not json at all\n",                                                     // no object
        "{\"start\":\"x\",\"end\":\"y\",\"trigger\":\"button\",\"rules\":[]}\n", // bad times
        good.left(good.size() - 10) + "\"trigger\":\"later\"}\n",                // unknown trigger
    };
    QByteArray file = good;
    for (const QByteArray& line : damaged)
        file += line + '\n' + good;
    writeFile(historyFile(), file);

    const QList<PassRecord> passes = history().lastPasses();
    EXPECT_EQ(passes.size(), 5);
    for (const PassRecord& read : passes)
        EXPECT_EQ(read, pass);
    history().lastPasses();

    const QStringList warnings = app.loggedLines().filter(u"history:"_s);
    EXPECT_EQ(warnings, QStringList{u"[W] history: skipped 4 damaged line(s) in \""_s +
                                    historyFile() + u"\""_s});
}

TEST_F(RunHistoryTest, RecordsBeyondTheBoundsOfOneRecordAreSkipped)
{
    PassRecord pass;
    pass.start = passStart;
    pass.end = passStart.addMinutes(1);
    const RuleRecord rule{u"/src/"_s, 0, u"/dest/a.rar"_s, 10, 60, pass.start, pass.end, {}};
    pass.rules.append(rule);
    const QByteArray good = RunHistory::toJsonLine(pass);

    PassRecord many = pass;
    for (qsizetype i = 1; i <= RunHistory::MaxRulesPerRecord; ++i)
        many.rules.append(rule);
    const QByteArray tooManyRules = RunHistory::toJsonLine(many);
    ASSERT_LT(tooManyRules.size(), RunHistory::MaxLineBytes);
    // Valid JSON, but longer than a line may be.
    QByteArray tooLong = good;
    tooLong.insert(1, QByteArray(RunHistory::MaxLineBytes, ' '));
    writeFile(historyFile(), good + tooManyRules + tooLong + good + tooLong.chopped(1));

    const QList<PassRecord> passes = history().lastPasses();

    ASSERT_EQ(passes.size(), 2);
    EXPECT_EQ(passes.first(), pass);
    EXPECT_EQ(passes.last(), pass);
    EXPECT_EQ(
        app.loggedLines().filter(u"history:"_s),
        QStringList{u"[W] history: skipped 3 damaged line(s) in \""_s + historyFile() + u"\""_s});
    // A record of exactly the most rules still counts.
    many.rules.removeLast();
    writeFile(historyFile(), RunHistory::toJsonLine(many));
    ASSERT_EQ(history().lastPasses().size(), 1);
    EXPECT_EQ(history().lastPasses().first().rules.size(), RunHistory::MaxRulesPerRecord);
}

TEST_F(RunHistoryTest, OnlyTheLastPassesAreShown)
{
    QByteArray file;
    for (int i = 1; i <= RunHistory::ShownPasses + 5; ++i) {
        PassRecord pass;
        pass.start = passStart.addMinutes(i);
        pass.end = pass.start;
        file += RunHistory::toJsonLine(pass);
    }
    writeFile(historyFile(), file);

    const QList<PassRecord> passes = history().lastPasses();
    ASSERT_EQ(passes.size(), RunHistory::ShownPasses);
    EXPECT_EQ(passes.first().start, passStart.addMinutes(6));
    EXPECT_EQ(passes.last().start, passStart.addMinutes(RunHistory::ShownPasses + 5));
}

TEST_F(RunHistoryTest, AFailedRuleLeadsToTheLogLinesOfItsJob)
{
    app.addRule(u"a"_s);
    const TBackupRule* failing = app.addRule(u"b"_s, false);
    const auto scoped = app.plan(AppHarness::archiveMade());
    // Every reading of the clock is a second later, so each line has a time
    // of its own.
    LocalDateTime now = passStart;
    app.clock.onNow = [&] {
        now = now.addMilliseconds(LocalDateTime::MsPerSecond);
        app.clock.set(now);
    };
    ASSERT_TRUE(app.logic.pass().RunBackup());
    app.clock.onNow = nullptr;

    const RuleRecord rule = history().lastPasses().first().rules.at(1);
    ASSERT_TRUE(rule.failed());
    QStringList texts;
    for (const QString& line : RunHistory::logLinesOf(rule))
        texts.append(line.mid(20));
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_TRUE(texts.first().contains(failing->SourceFolder)) << texts.join(u'\n').toStdString();
    EXPECT_TRUE(texts.last().startsWith(u"[I] time taken for \""_s + failing->SourceFolder +
                                        u"\": 00:00:"_s))
        << texts.last().toStdString();
    EXPECT_TRUE(texts.filter(u"file.txt"_s).isEmpty());
    EXPECT_TRUE(texts.filter(u"a_260327"_s).isEmpty()) << "nothing of the first rule";
}

} // namespace
} // namespace tessaro
