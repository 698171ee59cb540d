#include "core/TimestampFormatter.h"

namespace tessaro {

namespace {

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

TimestampFormatter::TimestampFormatter(QStringView pattern, SeparatorSource separator)
    : m_pattern(pattern), m_separator(separator)
{}

QString TimestampFormatter::format(const LocalDateTime& time)
{
    const qint64 minute = floorDiv(time.milliseconds(), LocalDateTime::MsPerMinute);
    if (m_minute != minute) {
        m_secondsAt.clear();
        m_text = m_pattern.render(time, m_separator(), &m_secondsAt);
        m_minute = minute;
        return m_text;
    }
    const int second = time.second();
    for (const qsizetype at : std::as_const(m_secondsAt)) {
        m_text[at] = QChar(u'0' + second / 10);
        m_text[at + 1] = QChar(u'0' + second % 10);
    }
    return m_text;
}

} // namespace tessaro
