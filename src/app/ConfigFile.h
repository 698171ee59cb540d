#pragma once

#include "app/ActivityLog.h"
#include "app/MainView.h"
#include "app/MainWindowState.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace tessaro {

class TMemIniFile;

// The configuration file: read once at start-up into the rules, the
// settings record and the window state, and written back whole.
class ConfigFile final
{
public:
    ConfigFile(MainWindowState& state, MainView& view, ActivityLog& log);
    Q_DISABLE_COPY_MOVE(ConfigFile)

    // "ok" on success; an empty text, after a message box, when the file
    // cannot be opened.
    QString LoadConfig();
    // Writes everything. A failure is logged at error level and reported;
    // the previous file then stays whole. Returns whether the file was written.
    bool SaveConfig();
    // Creates a file holding "[Settings]" when none exists; errors are ignored.
    void InitConfig();
    // Recomputes what depends on other settings: enabled states and the
    // auto clean destination list.
    void UpdateSettings();

    // Where the window goes at load: the stored or centred position, pulled
    // onto the display nearest to it.
    static QRect PlaceWindow(const QRect& lastPos, const ScreenGeometry& screens);
    // The centred default position for the minimum window size.
    static QPoint DefaultWindowPosition(const ScreenGeometry& screens);

    static constexpr int MinimumWidth = 620;
    static constexpr int MinimumHeight = 658;

private:
    void readSettings(const TMemIniFile& ini);
    void placeWindow(const TMemIniFile& ini);
    // Logs what a write did besides writing: a copy kept of content it
    // dropped, access taken from other users.
    void reportWriteEffects(const TMemIniFile& ini);
    // Logs why a save failed; always false.
    bool reportSaveFailure(const QString& reason);

    MainWindowState& m_state;
    MainView& m_view;
    ActivityLog& m_log;
};

} // namespace tessaro
