#pragma once

#include <QSpinBox>

namespace tessaro {

// A number field that lets the user type any whole number and, when the
// focus leaves it (or the value is read through committedValue()), puts an
// out-of-range entry to the nearest allowed value: 5000 in a field of 1 to
// 1000 becomes 1000, 0 becomes 1. A plain spin box refuses the last digit
// of 5000 and silently keeps 500.
class RangeSpinBox final : public QSpinBox
{
    Q_OBJECT

public:
    explicit RangeSpinBox(QWidget* parent = nullptr);

    // The value after taking in what is typed but not yet committed, as a
    // dialog's OK does before it reads the field.
    int committedValue();

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    void fixup(QString& input) const override;

private:
    // The typed number without prefix and suffix, or nothing.
    std::optional<qlonglong> typedNumber(const QString& text) const;
};

} // namespace tessaro
