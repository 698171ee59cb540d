#pragma once

#include "MainView.h"

#include <QString>

namespace tessaro {

// The Help menu's actions that are not a window of their own: the manual
// and the product homepage.
class HelpActions final
{
public:
    // programFolder: where the program and its manual "tessaro.pdf" live.
    HelpActions(MainView& view, QString programFolder);
    Q_DISABLE_COPY_MOVE(HelpActions)

    // Opens the manual, or says that it is missing.
    void Help1Click();
    void MenuHomepageClick();

private:
    MainView& m_view;
    QString m_programFolder;
};

} // namespace tessaro
