#include "app/ActivityLog.h"

#include "app/LogFileWriter.h"
#include "app/LogLine.h"
#include "core/Quoted.h"

#include <QFileInfo>

#include <utility>

namespace tessaro {

using namespace Qt::StringLiterals;

ActivityLog::ActivityLog(const Clock& clock, MainView* view, PathStyle linkStyle)
    : m_clock(clock), m_view(view), m_linkStyle(linkStyle)
{}

void ActivityLog::LogWrite(const QString& level, const QString& text)
{
    // One reading of the clock for the file name and the timestamp, so a line
    // written at the turn of a month lands in the file its timestamp names.
    const LocalDateTime now = m_clock.now();
    const QString line = formatLogLine(now, level, text);
    m_capture.append(line);
    showInView(line, logLevelColor(level));
    // A line that cannot be filed is still in the capture list and the view;
    // the next line tries the file again.
    appendLogLine(logFileName(m_logFolder, now), line);
}

void ActivityLog::showInView(const QString& line, RgbColor color)
{
    if (!m_view)
        return;
    const QStringList pieces = splitLogLine(line);
    for (const QString& piece : pieces) {
        if (isLogLink(piece, m_linkStyle))
            m_view->appendLink(piece);
        else
            m_view->appendText(piece, color);
    }
    m_view->endLine();
}

void ActivityLog::LogFatal(const QString& text)
{
    LogWrite(u"F"_s, text);
    if (m_view)
        m_view->showMessage(text, u"Error"_s, MessageButtons::Ok);
}

TLogProc ActivityLog::callback()
{
    return [this](const QString& level, const QString& text) {
        LogWrite(level, text);
    };
}

QString ActivityLog::captureText() const
{
    QString text;
    for (const QString& line : m_capture)
        text += line + u"\r\n"_s;
    return text;
}

void ActivityLog::startCapture()
{
    m_capture = std::exchange(m_carried, {});
}

void ActivityLog::carryLastLineOver()
{
    if (!m_capture.isEmpty())
        m_carried.append(m_capture.last());
}

QString ActivityLog::currentLogFileName() const
{
    return logFileName(m_logFolder, m_clock.now());
}

void ActivityLog::openCurrentLogFile()
{
    const QString fileName = currentLogFileName();
    if (m_view && QFileInfo::exists(fileName))
        openOrReport(fileName, u"Error"_s);
}

void ActivityLog::LogViewClickHyperlink(const QString& link)
{
    if (!m_view || !isLogLink(link, m_linkStyle))
        return;
    // QFileInfo follows symbolic links: a link to a vanished target counts as
    // missing, as it could not be opened either.
    if (QFileInfo::exists(link))
        openOrReport(link, u"Error"_s);
    else
        m_view->showMessage(u"The file \""_s + link + u"\" cannot be found"_s, u"Error"_s,
                            MessageButtons::Ok);
}

bool ActivityLog::openOrReport(const QString& target, const QString& caption)
{
    if (!m_view)
        return false;
    if (m_view->openExternally(target))
        return true;
    const QString text = u"Could not open "_s + Quoted(target) +
                         u": no program on this computer is set up to open it"_s;
    LogError(text);
    m_view->showMessage(text, caption, MessageButtons::Ok);
    return false;
}

} // namespace tessaro
