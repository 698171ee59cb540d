#include "FakeArchiverPlan.h"

#include <QFile>

#include <gtest/gtest.h>

namespace tessaro::test {

namespace {

const char planVariable[] = "TESSARO_FAKE_ARCHIVER_PLAN";

QByteArray planLine(const QByteArray& key, const QByteArray& value)
{
    return key + '=' + value.toPercentEncoding() + '\n';
}

QByteArray planText(const FakeArchiverPlan& plan)
{
    QByteArray text = planLine("exit", QByteArray::number(plan.exitCode));
    if (plan.archive)
        text += planLine("archive", *plan.archive);
    if (plan.errorLogWrite)
        text += planLine("errorlog-write", *plan.errorLogWrite);
    if (plan.errorLogAppend)
        text += planLine("errorlog-append", *plan.errorLogAppend);
    if (plan.deleteErrorLog)
        text += planLine("errorlog-delete", "1");
    if (plan.killBySignal)
        text += planLine("kill", "1");
    if (!plan.recordFile.isEmpty())
        text += planLine("record", plan.recordFile.toUtf8());
    if (plan.partialArchive)
        text += planLine("partial", *plan.partialArchive);
    if (!plan.waitForFile.isEmpty())
        text += planLine("wait-for", plan.waitForFile.toUtf8());
    if (plan.testExitCode != 0)
        text += planLine("test-exit", QByteArray::number(plan.testExitCode));
    if (!plan.testRecordFile.isEmpty())
        text += planLine("test-record", plan.testRecordFile.toUtf8());
    return text;
}

} // namespace

ScopedFakeArchiverPlan::ScopedFakeArchiverPlan(const QString& planFile,
                                               const FakeArchiverPlan& plan)
{
    QFile file(planFile);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << planFile.toStdString();
    file.write(planText(plan));
    file.close();
    // The archiver inherits the test's environment when it starts.
    qputenv(planVariable, planFile.toUtf8());
}

ScopedFakeArchiverPlan::~ScopedFakeArchiverPlan()
{
    qunsetenv(planVariable);
}

std::optional<FakeArchiverCall> readFakeArchiverCall(const QString& recordFile)
{
    QFile file(recordFile);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    FakeArchiverCall call;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QString value =
            QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(equals + 1)));
        if (line.left(equals) == "cwd")
            call.workingFolder = value;
        else if (line.left(equals) == "arg")
            call.arguments.append(value);
        else if (line.left(equals) == "cmdline")
            call.commandLine = value;
    }
    return call;
}

} // namespace tessaro::test
