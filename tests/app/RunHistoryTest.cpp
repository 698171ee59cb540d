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

    ASSERT_TRUE(app.runPass());

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

    ASSERT_TRUE(app.runPass());
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
    ASSERT_TRUE(app.waitForPass());
    app.logic.changeSettings([&](TSettings& edited) { edited.BackupOnStart = true; }, false);
    app.logic.startup().StartUpTimerTimer();
    ASSERT_TRUE(app.waitForPass());
    app.logic.periodic().ActionRun(false);
    ASSERT_TRUE(app.waitForPass());
    app.clock.set(app.logic.periodic().nextRun().addMilliseconds(1));
    app.logic.scheduleTick();
    ASSERT_TRUE(app.waitForPass());
    app.logic.pass().BackUpRuleNow(0);
    ASSERT_TRUE(app.waitForPass());

    QStringList triggers;
    for (const PassRecord& pass : history().lastPasses())
        triggers.append(passTriggerName(pass.trigger));
    EXPECT_EQ(triggers, (QStringList{u"button"_s, u"start-up"_s, u"schedule"_s, u"rule"_s}));
}

// A rule's exclusions are kept with its record, so a restore can tell what
// was left out on purpose; rules without any keep the line as it was.
TEST_F(RunHistoryTest, TheExclusionsOfARuleAreRecordedWithIt)
{
    app.addRule(u"a"_s)->ExcludeMasks = u"node_modules; *.tmp"_s;
    app.addRule(u"b"_s);
    const auto scoped = app.plan(AppHarness::archiveMade());

    ASSERT_TRUE(app.runPass());

    const QList<QByteArray> lines = historyLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines.first().count("\"exclude\""), 1);
    EXPECT_TRUE(lines.first().contains(R"("end":")" + passStart.toIso8601().toUtf8() +
                                       R"(","exclude":["node_modules","*.tmp"],)"));
    const QList<PassRecord> passes = history().lastPasses();
    ASSERT_EQ(passes.size(), 1);
    ASSERT_EQ(passes[0].rules.size(), 2);
    EXPECT_EQ(passes[0].rules[0].excluded, (QStringList{u"node_modules"_s, u"*.tmp"_s}));
    EXPECT_TRUE(passes[0].rules[1].excluded.isEmpty());

    // Exclusions that are not a list of texts mark the line as damaged.
    QByteArray wrong = lines.first();
    wrong.replace(R"(["node_modules","*.tmp"])", R"(["node_modules",3])");
    EXPECT_FALSE(RunHistory::fromJsonLine(wrong).has_value());
    wrong = lines.first();
    wrong.replace(R"(["node_modules","*.tmp"])", R"("node_modules")");
    EXPECT_FALSE(RunHistory::fromJsonLine(wrong).has_value());
}

TEST_F(RunHistoryTest, ARecordStartsOnALineOfItsOwn)
{
    app.addRule(u"a"_s);
    app.scriptArchiver();
    // What a crash or an editor leaves: a last line without its line end.
    for (const QByteArray& before : {QByteArray("{\"start\":\"2026-03-27T1"), QByteArray("\r")}) {
        SCOPED_TRACE(before.constData());
        writeFile(historyFile(), before);

        ASSERT_TRUE(app.runPass());

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

    ASSERT_TRUE(app.runPass());

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
    pass.rules.append({u"/src/"_s, 0, u"/dest/a.rar"_s, 10, 60, pass.start, pass.end, {}, {}});
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
    const RuleRecord rule{u"/src/"_s, 0, u"/dest/a.rar"_s, 10, 60, pass.start, pass.end, {}, {}};
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

// Passes one a minute from passStart on, each as its own history line
// without the line end.
QList<QByteArray> passLines(int count)
{
    QList<QByteArray> lines;
    for (int i = 0; i < count; ++i) {
        PassRecord pass;
        pass.start = passStart.addMinutes(i);
        pass.end = pass.start;
        pass.rules.append(
            {u"/src/%1/"_s.arg(i), 0, u"/dest/a.rar"_s, 10, 60, pass.start, pass.end, {}, {}});
        lines.append(RunHistory::toJsonLine(pass).chopped(1));
    }
    return lines;
}

TEST_F(RunHistoryTest, TheTailReadsWhateverEndsItsLines)
{
    const QList<QByteArray> lines = passLines(3);
    const struct
    {
        const char* name;
        QByteArray file;
    } cases[] = {
        {"CR LF line ends", lines.join("\r\n") + "\r\n"},
        {"no line end after the last", lines.join('\n')},
        {"blank lines between", "\n\n" + lines.join("\n\r\n\n") + "\n\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(historyFile(), c.file);
        const QList<PassRecord> passes = history().lastPasses();
        ASSERT_EQ(passes.size(), 3);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(passes.at(i), *RunHistory::fromJsonLine(lines.at(i)));
    }
    EXPECT_TRUE(app.loggedLines().filter(u"history:"_s).isEmpty());
}

TEST_F(RunHistoryTest, AFileThatBeginsInTheMiddleOfALineSkipsThatPart)
{
    const QList<QByteArray> lines = passLines(4);
    writeFile(historyFile(), lines.first().sliced(17) + '\n' + lines.sliced(1).join('\n') + '\n');

    const QList<PassRecord> passes = history().lastPasses();
    ASSERT_EQ(passes.size(), 3);
    EXPECT_EQ(passes.first().start, passStart.addMinutes(1));
    EXPECT_EQ(passes.last().start, passStart.addMinutes(3));
    EXPECT_EQ(app.loggedLines().filter(u"history:"_s).size(), 1);
}

TEST_F(RunHistoryTest, OnlyTheShownPassesAreReadFromTheEnd)
{
    // A damaged line before the shown passes is never reached, so it is not
    // reported either.
    const QList<QByteArray> lines = passLines(RunHistory::ShownPasses + 1);
    writeFile(historyFile(), "not json at all\n" + lines.join('\n') + '\n');

    const QList<PassRecord> passes = history().lastPasses();
    ASSERT_EQ(passes.size(), RunHistory::ShownPasses);
    EXPECT_EQ(passes.first().start, passStart.addMinutes(1));
    EXPECT_EQ(passes.last().start, passStart.addMinutes(RunHistory::ShownPasses));
    EXPECT_TRUE(app.loggedLines().filter(u"history:"_s).isEmpty());
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
    ASSERT_TRUE(app.runPass());
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
