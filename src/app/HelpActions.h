#pragma once

#include "MainView.h"

#include <QString>

namespace tessaro {

// The Help menu's actions that are not a window of their own: the manual
// and the product homepage. Both hand their target to the desktop; neither
// changes any state of the program.
class HelpActions final
{
public:
    // programFolder: where the program and its manual "tessaro.pdf" live.
    HelpActions(MainView& view, QString programFolder);
    Q_DISABLE_COPY_MOVE(HelpActions)

    // Opens the manual, or says that it is missing.
    void Help1Click();
    void MenuHomepageClick();

    // The manual's full path: beside the executable, not in the data folder,
    // so it is found also when the configuration lives in the per-user folder.
    QString manualPath() const;

private:
    MainView& m_view;
    QString m_programFolder;
};

} // namespace tessaro
