#include "app/ArchiverScan.h"

#include "app/PlatformTexts.h"
#include "core/FileSize.h"
#include "core/Quoted.h"

#include <QFileInfo>

#include <utility>

namespace tessaro {

namespace {} // namespace

ArchiverScan::ArchiverScan(SettingsStore& settings, MainView& view, Finder find)
    : m_settings(settings), m_view(view), m_find(std::move(find))
{}

void ArchiverScan::ButtonScanForWinRARClick()
{
    const QString caption = QStringLiteral("Scan");
    const PlatformTexts& texts = platformTexts(m_settings.rules().pathStyle());
    const QString current = m_settings.settings().WinRARLocation;
    // Any existing file is accepted as it is: the user may have chosen a
    // different archiver on purpose. A folder is not a file and is replaced.
    if (IsExistingFile(current)) {
        m_view.showMessage(texts.usingLocation + Quoted(current), caption, MessageButtons::Ok);
        return;
    }

    const QString found = m_find();
    if (found.isEmpty()) {
        m_view.showMessage(texts.notFoundByScan, caption, MessageButtons::Ok);
        return;
    }
    m_view.showMessage(texts.settingLocation + Quoted(found), caption, MessageButtons::Ok);
    // Takes effect at once; the configuration file gets it at the next save.
    m_settings.setWinRARLocation(found);
    m_view.refreshSettings();
}

} // namespace tessaro
