#pragma once

#include "app/MainView.h"
#include "app/SettingsStore.h"
#include "core/ArchiverLocation.h"

#include <QString>

#include <functional>

namespace tessaro {

// The "Scan" button beside the archiver location: keeps a location that
// names an existing file, otherwise searches the computer and offers what it
// finds as the new location.
class ArchiverScan final
{
public:
    // The search is replaceable so that the window's logic can be exercised
    // without scanning the real program folders.
    using Finder = std::function<QString()>;

    ArchiverScan(
        SettingsStore& settings, MainView& view, Finder find = [] { return FindWinRAR(true); });
    Q_DISABLE_COPY_MOVE(ArchiverScan)

    void ButtonScanForWinRARClick();

private:
    SettingsStore& m_settings;
    MainView& m_view;
    Finder m_find;
};

} // namespace tessaro
