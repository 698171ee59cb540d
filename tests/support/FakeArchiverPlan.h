#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace tessaro::test {

// What the fake archiver (tests/fixtures/fake-archiver) does when it runs
// next. Unset parts are left alone.
struct FakeArchiverPlan
{
    int exitCode = 0;
    // Create the archive (the second-to-last argument) with these bytes.
    std::optional<QByteArray> archive{};
    // Replace the error log's contents, then append to it, then delete it.
    std::optional<QByteArray> errorLogWrite{};
    std::optional<QByteArray> errorLogAppend{};
    bool deleteErrorLog = false;
    // End by a signal instead of exiting.
    bool killBySignal = false;
    // Record the working folder and the arguments in this file.
    QString recordFile{};
    // Before the wait, leave the archive with these bytes, as an archiver
    // that is still writing it.
    std::optional<QByteArray> partialArchive{};
    // Wait until this file exists before doing anything else.
    QString waitForFile{};
    // The test command "t": its exit code, and where to record its call.
    int testExitCode = 0;
    QString testRecordFile{};
};

// Writes the plan to planFile and points the fake archiver at it for the
// lifetime of this object; the fake archiver does nothing afterwards.
class ScopedFakeArchiverPlan final
{
public:
    ScopedFakeArchiverPlan(const QString& planFile, const FakeArchiverPlan& plan);
    ~ScopedFakeArchiverPlan();
    ScopedFakeArchiverPlan(const ScopedFakeArchiverPlan&) = delete;
    ScopedFakeArchiverPlan& operator=(const ScopedFakeArchiverPlan&) = delete;
};

// How the fake archiver was called, read back from its record file.
struct FakeArchiverCall
{
    QString workingFolder;
    QStringList arguments;
    // Windows only: the raw command line, program path included.
    QString commandLine;
};

// The call recorded in recordFile, or nothing when the fake did not run.
std::optional<FakeArchiverCall> readFakeArchiverCall(const QString& recordFile);

} // namespace tessaro::test
