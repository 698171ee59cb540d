#include "ui/MiddleElidedComboBox.h"

#include <QAbstractItemView>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace tessaro {

MiddleElidedComboBox::MiddleElidedComboBox(QWidget* parent) : QComboBox(parent)
{
    view()->setTextElideMode(Qt::ElideMiddle);
    // The box keeps the width of its layout place, whatever its items.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
    connect(this, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { setToolTip(text); });
}

QRect MiddleElidedComboBox::textRect() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField,
                                   this);
}

QString MiddleElidedComboBox::shownText() const
{
    return fontMetrics().elidedText(currentText(), Qt::ElideMiddle, textRect().width());
}

void MiddleElidedComboBox::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = shownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

} // namespace tessaro
