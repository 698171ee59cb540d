#include "FakeMainView.h"

namespace tessaro::test {

FakeMainView::FakeMainView()
{
    screens.primary = QRect(0, 0, 1920, 1080);
    screens.primaryWorkArea = QRect(0, 0, 1920, 1040);
    screens.screens = {screens.primary};
}

QStringList FakeMainView::messageTexts() const
{
    QStringList texts;
    for (const Message& message : messages)
        texts.append(message.text);
    return texts;
}

void FakeMainView::appendText(const QString& text, RgbColor color)
{
    currentLine.append({text, color, false});
}

void FakeMainView::appendLink(const QString& link)
{
    currentLine.append({link, 0, true});
}

void FakeMainView::endLine()
{
    logLines.append(currentLine);
    currentLine.clear();
}

MessageAnswer FakeMainView::showMessage(const QString& text, const QString& caption,
                                        MessageButtons buttons)
{
    messages.append({text, caption, buttons});
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return answers.isEmpty() ? MessageAnswer::Yes : answers.takeFirst();
}

void FakeMainView::setControlEnabled(Control control, bool isEnabled)
{
    enabled.insert(control, isEnabled);
}

void FakeMainView::setControlText(Control control, const QString& text)
{
    texts.insert(control, text);
}

void FakeMainView::setStatusText(const QString& text)
{
    statusTexts.append(text);
}

void FakeMainView::refreshRuleList()
{
    ++ruleListRefreshes;
}

void FakeMainView::refreshSettings()
{
    ++settingsRefreshes;
}

void FakeMainView::setAutoCleanDestinations(const QStringList& folders)
{
    autoCleanDestinations = folders;
    ++autoCleanDestinationCalls;
}

bool FakeMainView::openExternally(const QString& pathOrUrl)
{
    opened.append(pathOrUrl);
    return openResult;
}

void FakeMainView::processEvents()
{
    ++processEventsCalls;
    if (onProcessEvents)
        onProcessEvents();
}

} // namespace tessaro::test
