#include "app/UnattendedView.h"

#include "app/ActivityLog.h"

#include <QCoreApplication>

namespace tessaro {

using namespace Qt::StringLiterals;

UnattendedView::UnattendedView(std::FILE* lines) : m_lines(lines) {}

MessageAnswer UnattendedView::safeAnswer(MessageButtons buttons)
{
    // No deletes nothing, downloads nothing and opens no dialog.
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

void UnattendedView::appendText(const QString& text, RgbColor)
{
    // The log cut the line at its double quotes; they go back between the
    // pieces.
    if (m_lineStarted)
        m_line += QLatin1Char('"');
    m_line += text;
    m_lineStarted = true;
}

void UnattendedView::appendLink(const QString& link)
{
    appendText(link, 0);
}

void UnattendedView::endLine()
{
    const QByteArray bytes = m_line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_lines);
    // Whoever reads the output (a terminal, a service's journal) sees each
    // line when it happens.
    std::fflush(m_lines);
    m_line.clear();
    m_lineStarted = false;
}

MessageAnswer UnattendedView::showMessage(const QString& text, const QString& caption,
                                          MessageButtons buttons)
{
    const MessageAnswer answer = safeAnswer(buttons);
    if (m_log) {
        const QString given = answer == MessageAnswer::Ok ? u"OK"_s : u"No"_s;
        m_log->LogWarn(u"unattended: "_s + caption + u": "_s + text + u" (answered "_s + given +
                       u" without asking)"_s);
    }
    return answer;
}

void UnattendedView::processEvents()
{
    QCoreApplication::processEvents();
}

} // namespace tessaro
