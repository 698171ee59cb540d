#pragma once

#include "app/MainView.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tessaro::test {

// A window for the logic's tests: records what the logic shows and asks,
// and answers message boxes from a script.
class FakeMainView final : public MainView
{
public:
    struct Message
    {
        QString text;
        QString caption;
        MessageButtons buttons;
    };
    struct Run
    {
        QString text;
        RgbColor color = 0;
        bool isLink = false;
    };

    // Log view: every line as its runs.
    QList<QList<Run>> logLines;
    QList<Run> currentLine;

    QList<Message> messages;
    // Answers for Yes/No boxes, taken from the front; "Yes" when empty.
    QList<MessageAnswer> answers;

    QHash<Control, bool> enabled;
    QHash<Control, QString> texts;
    // Every status text set, in order.
    QStringList statusTexts;
    // The pass's progress text as last shown.
    QString passProgress;
    QStringList opened;
    QStringList autoCleanDestinations;
    int autoCleanDestinationCalls = 0;
    int ruleListRefreshes = 0;
    int settingsRefreshes = 0;
    int quitCalls = 0;
    int minimizeCalls = 0;
    bool openResult = true;

    QString title;
    QList<Page> pagesShown;
    int startUpTimerArms = 0;
    // What the archiver file dialog returns, and what it was started with.
    QString chosenArchiverFile;
    QStringList archiverDialogs;

    ScreenGeometry screens;
    QSize size{620, 658};
    QSize minimumSize;
    QRect geometry;

    // Runs at every processEvents call, so a test can act "during" a pass.
    std::function<void()> onProcessEvents;
    int processEventsCalls = 0;

    FakeMainView();

    bool isEnabled(Control control) const { return enabled.value(control, true); }
    QString statusText() const { return statusTexts.isEmpty() ? QString() : statusTexts.last(); }
    // The texts of the messages shown, in order.
    QStringList messageTexts() const;

    void appendText(const QString& text, RgbColor color) override;
    void appendLink(const QString& link) override;
    void endLine() override;

    MessageAnswer showMessage(const QString& text, const QString& caption,
                              MessageButtons buttons) override;
    void setControlEnabled(Control control, bool isEnabled) override;
    void setControlText(Control control, const QString& text) override;
    void setStatusText(const QString& text) override;
    void setPassProgress(const QString& text) override { passProgress = text; }
    void SetTitleText(const QString& text) override { title = text; }
    void showPage(Page page) override { pagesShown.append(page); }
    void armStartUpTimer() override { ++startUpTimerArms; }
    QString chooseArchiverFile(const QString& current) override
    {
        archiverDialogs.append(current);
        return chosenArchiverFile;
    }
    // The rule dialog: records its caption and the rule it opened on, lets
    // the test edit the rule, and answers as told.
    std::function<bool(TBackupRule& rule)> ruleDialog;
    QStringList ruleDialogCaptions;
    bool editRule(TBackupRule& rule, const TBackupRules&, const QString& caption) override
    {
        ruleDialogCaptions.append(caption);
        return ruleDialog ? ruleDialog(rule) : false;
    }
    void refreshRuleList() override;
    void refreshSettings() override;
    void setAutoCleanDestinations(const QStringList& folders) override;
    ScreenGeometry screenGeometry() const override { return screens; }
    QSize windowSize() const override { return size; }
    void setMinimumWindowSize(const QSize& minimum) override { minimumSize = minimum; }
    void setWindowGeometry(const QRect& rect) override { geometry = rect; }
    bool openExternally(const QString& pathOrUrl) override;
    void processEvents() override;
    void minimize() override { ++minimizeCalls; }
    void quit() override { ++quitCalls; }
    // The texts of failed saves told to the window, in order.
    QStringList saveFailures;
    void tellSaveFailed(const QString& text) override { saveFailures.append(text); }
};

} // namespace tessaro::test
