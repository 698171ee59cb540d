#include "EndToEndFixture.h"
#include "FakeArchiverPlan.h"
#include "TestFiles.h"
#include "core/TerminationRequest.h"

#include <QFile>
#include <QProcess>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

// A service manager ends the program while its pass waits for the archiver:
// the archiver is ended, its incomplete archive removed, and the program
// ends once the pass is over, with errors.
TEST_F(EndToEnd, AskedToEndDuringAPassStopsItCleanly)
{
    if (!TerminationRequest::supported())
        GTEST_SKIP() << "the platform asks a windowed program to end through its window";
    configure(QString(), QString(), builtProgram(TESSARO_FAKE_ARCHIVER));
    const QString called = run.path(s("called.txt"));
    test::FakeArchiverPlan plan;
    plan.recordFile = called;
    plan.partialArchive = QByteArray("half an archive");
    // Never written: the archiver runs until it is ended.
    plan.waitForFile = run.path(s("never"));
    const test::ScopedFakeArchiverPlan scoped(run.path(s("plan.txt")), plan);

    const std::unique_ptr<QProcess> program = run.start();
    ASSERT_NE(program, nullptr);
    ASSERT_TRUE(test::waitForFile(called)) << "the archiver never started";
    ASSERT_TRUE(QTest::qWaitFor([this] { return archives().size() == 1; }, 30000))
        << "the archiver is writing its archive";
    program->terminate();
    ASSERT_TRUE(program->waitForFinished(30000));

    EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->exitCode(), 1);
    EXPECT_TRUE(archives().isEmpty()) << "the incomplete archive is gone";
    const QStringList lines = run.logLines();
    const qsizetype stop = lines.indexOf(s("[W] backup: stopped, the program is asked to end"));
    ASSERT_GE(stop, 0) << lines.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(lines.size(), stop + 4) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines[stop + 1].startsWith(s("[I] backup: removed the incomplete archive \"") +
                                           destination + s("docs_")));
    EXPECT_TRUE(lines[stop + 2].startsWith(s("[I] time taken for ") + q(source) + s(": ")));
    EXPECT_EQ(lines[stop + 3], s("[I] backup: finished (with errors)"));
    const QByteArray history = test::readFile(run.folder() + s("history.jsonl"));
    EXPECT_TRUE(history.contains("\"stopped\":true")) << history.toStdString();
}

} // namespace
} // namespace tessaro
