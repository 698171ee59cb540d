#pragma once

#include "app/ActivityLog.h"
#include "app/MainView.h"

#include <QString>

namespace tessaro {

// The manual's full path for a program in the given folder: beside the
// executable, or in the prefix's documentation folder when the program is
// installed (/usr/bin/tessaro, /usr/share/doc/tessaro/tessaro.pdf); never in
// the data folder, so it is found also when the configuration lives in the
// per-user folder.
QString ManualPathFor(const QString& programFolder);

// The Help menu's actions that are not a window of their own: the manual
// and the product homepage. Both hand their target to the desktop; neither
// changes any state of the program.
class HelpActions final
{
public:
    // programFolder: where the program lives; the manual is sought from there.
    HelpActions(MainView& view, ActivityLog& log, QString programFolder);
    Q_DISABLE_COPY_MOVE(HelpActions)

    // Opens the manual, or says that it is missing.
    void Help1Click();
    void MenuHomepageClick();

    QString manualPath() const { return ManualPathFor(m_programFolder); }

private:
    MainView& m_view;
    ActivityLog& m_log;
    QString m_programFolder;
};

} // namespace tessaro
