#pragma once

#include "app/MainView.h"

#include <QString>

#include <cstdio>

namespace tessaro {

class ActivityLog;

// The window of a pass that runs with nobody at the screen: it shows nothing
// and asks nobody. Every log line goes to a stream as it is written, every
// message box is answered with its safe default (OK, or No to a question)
// and becomes a log line instead, every dialog counts as cancelled.
class UnattendedView final : public MainView
{
public:
    explicit UnattendedView(std::FILE* lines);
    Q_DISABLE_COPY_MOVE(UnattendedView)

    // Where the message boxes are logged; set once the log exists.
    void setLog(ActivityLog* log) { m_log = log; }
    // The configuration was loaded: the window would now arm its start-up
    // timer.
    bool startUpArmed() const { return m_startUpArmed; }
    // The logic asked the program to end.
    bool quitAsked() const { return m_quitAsked; }

    // The answer a box gets when nobody is there to click.
    static MessageAnswer safeAnswer(MessageButtons buttons);

    void appendText(const QString& text, RgbColor color) override;
    void appendLink(const QString& link) override;
    void endLine() override;

    MessageAnswer showMessage(const QString& text, const QString& caption,
                              MessageButtons buttons) override;
    void setControlEnabled(Control, bool) override {}
    void setControlText(Control, const QString&) override {}
    void setStatusText(const QString&) override {}
    void setPassProgress(const QString&) override {}
    void SetTitleText(const QString&) override {}
    void showPage(Page) override {}
    void armStartUpTimer() override { m_startUpArmed = true; }
    QString chooseArchiverFile(const QString&) override { return {}; }
    bool editRule(TBackupRule&, const TBackupRules&, const QString&) override { return false; }
    void refreshRuleList() override {}
    void refreshSettings() override {}
    void setAutoCleanDestinations(const QStringList&) override {}
    ScreenGeometry screenGeometry() const override { return {}; }
    QSize windowSize() const override { return {}; }
    void setMinimumWindowSize(const QSize&) override {}
    void setWindowGeometry(const QRect&) override {}
    // Nothing is handed to the desktop: nobody would see it open.
    bool openExternally(const QString&) override { return false; }
    void processEvents() override;
    void minimize() override {}
    void quit() override { m_quitAsked = true; }
    // Standard error and the exit status carry it; there is no window.
    void tellSaveFailed(const QString&) override {}

private:
    std::FILE* m_lines;
    ActivityLog* m_log = nullptr;
    // The line being shown: its pieces are the text between double quotes.
    QString m_line;
    bool m_lineStarted = false;
    bool m_startUpArmed = false;
    bool m_quitAsked = false;
};

} // namespace tessaro
