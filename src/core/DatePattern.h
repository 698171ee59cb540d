#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace tessaro {

class LocalDateTime;

// One of the program's date patterns, read letter by letter once, so that
// rendering it again costs only the digits: "dd" day, "mm" month (minutes
// right after "hh", as is "MM"), "nn" minutes, "yy" and "yyyy" year, "hh"
// hours of the 24-hour clock, "ss" seconds; ":" stands for the time
// separator; every other character is literal.
class DatePattern final
{
public:
    explicit DatePattern(QStringView pattern);

    // The pattern rendered for the time. With secondsAt, the positions in
    // the text where the two digits of the seconds begin.
    QString render(const LocalDateTime& time, QChar timeSeparator,
                   QList<qsizetype>* secondsAt = nullptr) const;

private:
    enum class Field : quint8
    {
        Literal,
        TimeSeparator,
        Year,
        ShortYear,
        Day,
        Month,
        Hour,
        Minute,
        Second,
    };
    struct Piece
    {
        Field field;
        QChar literal;
    };

    QList<Piece> m_pieces;
};

} // namespace tessaro
