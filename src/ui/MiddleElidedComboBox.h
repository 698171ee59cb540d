#pragma once

#include <QComboBox>

namespace tessaro {

// A drop-down list of paths. Paths differ at their ends, so one too long for
// the box loses its middle, not its end, and shows whole as the tooltip.
class MiddleElidedComboBox final : public QComboBox
{
    Q_OBJECT

public:
    explicit MiddleElidedComboBox(QWidget* parent = nullptr);

    // The current text as the closed box shows it.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textRect() const;
};

} // namespace tessaro
