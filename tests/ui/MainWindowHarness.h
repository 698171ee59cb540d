#pragma once

#include "FixedClock.h"
#include "ui/MainForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace tessaro::test {

// The main window on a temporary data folder, with a set clock, a program
// folder without the manual and an archiver search that finds nothing.
class MainWindowHarness
{
public:
    explicit MainWindowHarness(
        std::function<bool()> trayAvailable = [] { return false; },
        PathStyle style = nativePathStyle(),
        // A desktop's work area that holds the described window; Qt's
        // offscreen screen, 800 x 600, would not.
        std::function<QRect()> availableGeometry = [] { return QRect(0, 0, 1920, 1040); },
        std::function<bool()> displayAttended = {})
        : clock(LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9))
    {
        MainWindowSeams seams;
        seams.clock = &clock;
        seams.findArchiver = [] {
            return QString();
        };
        seams.pathStyle = style;
        seams.programFolder = program.path();
        form = std::make_unique<TMainForm>(seams, DataPaths{data.path(), QString()},
                                           WindowSeams{std::move(trayAvailable),
                                                       std::move(displayAttended),
                                                       std::move(availableGeometry)});
    }

    MainWindowLogic& logic() { return form->logic(); }

    template <typename T>
    T* find(const char* name) const
    {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QString configFile() const { return QDir(data.path()).filePath(QStringLiteral("tessaro.ini")); }

    // Shows the window, which loads the configuration. The archiver is this
    // test program, so the start-up step asks nothing; the timers are stopped
    // so that the test decides when they tick.
    void showLoaded(const QByteArray& extraSettings = {})
    {
        QFile file(configFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\r\nWinRARLocation=" +
                   QCoreApplication::applicationFilePath().toUtf8() + "\r\n" + extraSettings);
        file.close();
        form->show();
        for (const char* name : {"StartUpTimer", "TimerSchedule"})
            find<QTimer>(name)->stop();
        ASSERT_TRUE(logic().startup().isInitialized());
    }

    // Adds a rule to the logic's list and lets the window show it, as the
    // rule dialog's OK does.
    TBackupRule* addRule(const QString& destination, TAutoCleanMode mode = acmOff,
                         int numFiles = 10, int diskUsage = 5)
    {
        auto rule = std::make_unique<TBackupRule>();
        rule->SourceFolder = data.path() + QStringLiteral("/src/");
        rule->DestinationFolder = destination;
        rule->DestinationFilename = QStringLiteral("data");
        rule->AutoCleanMode = mode;
        rule->NumFiles = numFiles;
        rule->DiskUsage = diskUsage;
        TBackupRule* added = logic().settings().rules().Add(std::move(rule));
        form->refreshRuleList();
        form->logic().config().UpdateSettings();
        return added;
    }

    QTemporaryDir data;
    QTemporaryDir program;
    FixedClock clock;
    std::unique_ptr<TMainForm> form;
};

// Answers every message box that opens while it lives, from inside the
// box's own event loop, and remembers what each said.
class MessageBoxAnswerer
{
public:
    struct Box
    {
        QString title;
        QString text;
    };

    explicit MessageBoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok)
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            boxes.append({box->windowTitle(), box->text()});
            if (QAbstractButton* button = box->button(answer))
                button->click();
            else
                box->reject();
        });
        m_timer.start(1);
    }

    QStringList texts() const
    {
        QStringList list;
        for (const Box& box : boxes)
            list.append(box.text);
        return list;
    }

    QList<Box> boxes;

private:
    QTimer m_timer;
};

} // namespace tessaro::test
