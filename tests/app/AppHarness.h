#pragma once

#include "FakeArchiverPlan.h"
#include "FakeMainView.h"
#include "ScriptedArchiverRunner.h"
#include "TestFiles.h"
#include "app/MainWindowLogic.h"
#include "core/ArchiverCommandLine.h"
#include "core/ProcessArchiverRunner.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QtCore/qtestsupport_core.h>

#include <functional>

namespace tessaro::test {

// A clock the test sets, which can also act whenever the logic reads the
// time, so a test can change things between two steps.
class SteppingClock final : public Clock
{
public:
    explicit SteppingClock(LocalDateTime now) : m_now(now) {}
    LocalDateTime now() const override
    {
        if (onNow)
            onNow();
        return m_now;
    }
    void set(LocalDateTime now) { m_now = now; }
    std::function<void()> onNow;

private:
    LocalDateTime m_now;
};

// Records auto clean and webhook calls instead of deleting or sending. The
// archiver runs as a real process unless the test points runner elsewhere.
class RecordingServices final : public PassServices
{
public:
    struct AutoCleanCall
    {
        QString folder;
        QString extension;
        int maxFiles;
        qint64 maxBytes;
        TAutoCleanContext context;
    };
    struct WebHookCall
    {
        QString url, subject, message, status, computerName;
    };

    QList<AutoCleanCall> autoCleanCalls;
    QList<WebHookCall> webHookCalls;
    WebHookOutcome webHookOutcome{true, QStringLiteral("OK")};
    ProcessArchiverRunner processArchiver;
    ArchiverRunner* runner = &processArchiver;

    ArchiverRunner& archiver() override { return *runner; }
    void autoCleanFolder(const QString& folder, const QString& extension, int maxFiles,
                         qint64 maxBytes, const TLogProc& log,
                         const TAutoCleanContext& context) override
    {
        autoCleanCalls.append({folder, extension, maxFiles, maxBytes, context});
        if (log)
            log(QStringLiteral("I"), QStringLiteral("auto clean: called"));
    }
    void postWebHook(const QString& url, const QString& subject, const QString& message,
                     const QString& status, const QString& computerName, WebHookDone done) override
    {
        webHookCalls.append({url, subject, message, status, computerName});
        done(webHookOutcome);
    }
    QString computerName() const override { return QStringLiteral("OFFICE-PC"); }
};

// The whole window logic on a fake window, a set clock and recorded
// services, with its data folder in a temporary folder.
class AppHarness
{
public:
    explicit AppHarness(LocalDateTime now, PathStyle style = nativePathStyle())
        : clock(now),
          logic(view, {&clock, &services, [this] { return foundArchiver; }, style, QString()})
    {
        dataFolder = withSlash(root.filePath(QStringLiteral("data")));
        QDir().mkpath(dataFolder);
        logic.startup().FormCreate({dataFolder, QString()});
        logic.changeSettings(
            [&](TSettings& edited) {
                edited.WinRARLocation = QStringLiteral(TESSARO_FAKE_ARCHIVER);
            },
            false);
        scriptedArchiver.archive = QByteArray(2048, 'x');
    }

    // A rule whose source folder holds one file (or nothing).
    TBackupRule* addRule(const QString& name, bool withFile = true)
    {
        auto rule = std::make_unique<TBackupRule>();
        rule->SourceFolder = withSlash(root.filePath(QStringLiteral("src/") + name));
        QDir().mkpath(rule->SourceFolder);
        if (withFile)
            writeFile(rule->SourceFolder + QStringLiteral("file.txt"), "data");
        rule->DestinationFolder = withSlash(root.filePath(QStringLiteral("dest")));
        QDir().mkpath(rule->DestinationFolder);
        rule->DestinationFilename = name + QStringLiteral("_#ymd_hns#");
        rule->IncludeSubFolders = true;
        return logic.settings().rules().Add(std::move(rule));
    }

    // Runs the event loop until no pass runs any more (and so whatever
    // follows a pass has run too); false when that takes longer than a
    // broken test may.
    bool waitForPass()
    {
        return QTest::qWaitFor([this] { return !logic.pass().isRunning(); }, 30000);
    }
    // A whole pass: true when it started and has ended.
    bool runPass() { return logic.pass().RunBackup() && waitForPass(); }

    // The pass's archiver calls go to the scripted runner from now on; by
    // default it answers 0 and leaves a 2 kB archive.
    ScriptedArchiverRunner& scriptArchiver()
    {
        services.runner = &scriptedArchiver;
        return scriptedArchiver;
    }

    ScopedFakeArchiverPlan plan(const FakeArchiverPlan& p)
    {
        return ScopedFakeArchiverPlan(root.filePath(QStringLiteral("plan.txt")), p);
    }

    // A plan that keeps the archiver waiting until the action, run from the
    // event processing of the pass, has done its part.
    ScopedFakeArchiverPlan whileArchiverRuns(std::function<void()> action)
    {
        const QString go = root.filePath(QStringLiteral("go"));
        FakeArchiverPlan p = archiveMade();
        p.waitForFile = go;
        QTimer::singleShot(0, [action = std::move(action), go] {
            action();
            writeFile(go, "");
        });
        return plan(p);
    }

    static FakeArchiverPlan archiveMade(int exitCode = 0)
    {
        FakeArchiverPlan p;
        p.exitCode = exitCode;
        p.archive = QByteArray(2048, 'x');
        return p;
    }

    // Every line of the log files so far, without timestamps, in order.
    QStringList loggedLines() const
    {
        QStringList lines;
        const QDir logFolder(logic.log().logFolder());
        for (const QString& name :
             logFolder.entryList({QStringLiteral("*_tessaro.log")}, QDir::Files, QDir::Name)) {
            const QString text = QString::fromUtf8(readFile(logFolder.filePath(name)));
            for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
                lines.append(line.mid(20));
        }
        return lines;
    }

    QTemporaryDir root;
    QString dataFolder;
    SteppingClock clock;
    FakeMainView view;
    RecordingServices services;
    ScriptedArchiverRunner scriptedArchiver;
    QString foundArchiver;
    MainWindowLogic logic;
};

} // namespace tessaro::test
