#pragma once

#include "core/DatePattern.h"
#include "core/LocalDateTime.h"

#include <QList>
#include <QString>

#include <optional>

namespace tessaro {

// Renders one date pattern for times that mostly follow each other within
// a minute, such as the timestamps of log lines: the text of the last
// minute is kept, and another time in that minute only gets its seconds
// written anew. The time separator is read again with every new minute.
class TimestampFormatter final
{
public:
    using SeparatorSource = QChar (*)();

    explicit TimestampFormatter(QStringView pattern,
                                SeparatorSource separator = &LocalDateTime::systemTimeSeparator);

    // The same text as time.format(pattern).
    QString format(const LocalDateTime& time);

private:
    DatePattern m_pattern;
    SeparatorSource m_separator;
    // The minute the text holds, in minutes since the wall clock's day 0.
    std::optional<qint64> m_minute;
    QString m_text;
    QList<qsizetype> m_secondsAt;
};

} // namespace tessaro
