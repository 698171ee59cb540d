#pragma once

#include "ui/PageParts.h"

#include <QWidget>

#include <functional>

class QToolButton;

namespace tessaro {

// The bar across the top of the window: Settings, Run and Stop on the left,
// Backup Once (Now) at the right end, each an image button.
class NavigationBar final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Height = 50;
    static constexpr int ButtonSize = 42;
    static constexpr int IconSize = 32;

    // showSettings: what the settings button does, which is the window's
    // business rather than the logic's.
    NavigationBar(const PageContext& context, std::function<void()> showSettings,
                  QWidget* parent = nullptr);

private:
    QToolButton* makeButton(const char* name, const QString& hint, const QString& icon,
                            std::function<void()> click);
};

} // namespace tessaro
