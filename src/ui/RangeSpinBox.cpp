#include "ui/RangeSpinBox.h"

namespace tessaro {

RangeSpinBox::RangeSpinBox(QWidget* parent) : QSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

int RangeSpinBox::committedValue()
{
    interpretText();
    return value();
}

std::optional<qlonglong> RangeSpinBox::typedNumber(const QString& text) const
{
    QStringView number(text);
    if (number.startsWith(prefix()))
        number = number.mid(prefix().size());
    if (number.endsWith(suffix()))
        number.chop(suffix().size());
    bool ok = false;
    const qlonglong parsed = locale().toLongLong(number.trimmed(), &ok);
    return ok ? std::optional<qlonglong>(parsed) : std::nullopt;
}

QValidator::State RangeSpinBox::validate(QString& text, int& pos) const
{
    const QValidator::State state = QSpinBox::validate(text, pos);
    // Any whole number may be typed on the way; leaving the field corrects it.
    if (state == QValidator::Invalid && typedNumber(text))
        return QValidator::Intermediate;
    return state;
}

void RangeSpinBox::fixup(QString& input) const
{
    // Called when the field is left with a text that is not acceptable; a
    // whole number becomes the nearest allowed one.
    if (const auto number = typedNumber(input))
        input = textFromValue(int(qBound(qlonglong(minimum()), *number, qlonglong(maximum()))));
    else
        QSpinBox::fixup(input);
}

} // namespace tessaro
