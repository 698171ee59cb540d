#include "core/DatePattern.h"

#include "core/LocalDateTime.h"

namespace tessaro {

namespace {

// Zero-padded to the width; values the width cannot hold are written the
// way QString::arg pads them, sign and all.
void appendPadded(QString& out, int value, int width)
{
    if (value < 0 || (width == 2 && value > 99) || (width == 4 && value > 9999)) {
        out += QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
        return;
    }
    char16_t digits[4];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = char16_t(u'0' + value % 10);
        value /= 10;
    }
    out.append(reinterpret_cast<const QChar*>(digits), width);
}

} // namespace

DatePattern::DatePattern(QStringView pattern)
{
    bool afterHours = false;
    qsizetype i = 0;
    const auto startsWith = [&](QLatin1StringView token) {
        return pattern.sliced(i).startsWith(token);
    };
    const auto add = [this, &i](Field field, qsizetype length) {
        m_pieces.append({field, QChar()});
        i += length;
    };
    while (i < pattern.size()) {
        const bool wasAfterHours = afterHours;
        afterHours = false;
        if (startsWith(QLatin1StringView("yyyy"))) {
            add(Field::Year, 4);
        } else if (startsWith(QLatin1StringView("yy"))) {
            add(Field::ShortYear, 2);
        } else if (startsWith(QLatin1StringView("dd"))) {
            add(Field::Day, 2);
        } else if (startsWith(QLatin1StringView("hh"))) {
            add(Field::Hour, 2);
            afterHours = true;
        } else if (startsWith(QLatin1StringView("nn"))) {
            add(Field::Minute, 2);
        } else if (startsWith(QLatin1StringView("MM")) || startsWith(QLatin1StringView("mm"))) {
            // "mm" is the month, except right after the hours, where it and
            // "MM" mean minutes (a time separator may stand between).
            add(wasAfterHours ? Field::Minute : Field::Month, 2);
        } else if (startsWith(QLatin1StringView("ss"))) {
            add(Field::Second, 2);
        } else if (pattern.at(i) == QLatin1Char(':')) {
            add(Field::TimeSeparator, 1);
            afterHours = wasAfterHours;
        } else {
            m_pieces.append({Field::Literal, pattern.at(i)});
            ++i;
        }
    }
}

QString DatePattern::render(const LocalDateTime& time, QChar timeSeparator,
                            QList<qsizetype>* secondsAt) const
{
    const QDate d = time.date();
    const QTime t = time.time();
    QString out;
    out.reserve(m_pieces.size() * 2);
    for (const Piece& piece : m_pieces) {
        switch (piece.field) {
        case Field::Literal:
            out += piece.literal;
            break;
        case Field::TimeSeparator:
            out += timeSeparator;
            break;
        case Field::Year:
            appendPadded(out, d.year(), 4);
            break;
        case Field::ShortYear:
            appendPadded(out, d.year() % 100, 2);
            break;
        case Field::Day:
            appendPadded(out, d.day(), 2);
            break;
        case Field::Month:
            appendPadded(out, d.month(), 2);
            break;
        case Field::Hour:
            appendPadded(out, t.hour(), 2);
            break;
        case Field::Minute:
            appendPadded(out, t.minute(), 2);
            break;
        case Field::Second:
            if (secondsAt)
                secondsAt->append(out.size());
            appendPadded(out, t.second(), 2);
            break;
        }
    }
    return out;
}

} // namespace tessaro
