#pragma once

#include "app/Settings.h"
#include "core/BackupRule.h"

#include <functional>

namespace tessaro {

// The user's configuration while the program runs: the settings record, the
// backup rules and the first-start flag. It is the one place they live;
// every change goes through its operations, and the window only shows them.
class SettingsStore final
{
public:
    explicit SettingsStore(PathStyle style = nativePathStyle()) : m_rules(style) {}
    Q_DISABLE_COPY_MOVE(SettingsStore)

    const TSettings& settings() const { return m_settings; }
    // The rules; the rule operations (adding, editing, deleting, auto clean
    // limits) change them through this.
    TBackupRules& rules() { return m_rules; }
    const TBackupRules& rules() const { return m_rules; }
    bool firstStart() const { return m_firstStart; }

    // Takes the settings read from the configuration file.
    void load(const TSettings& settings, bool firstStart)
    {
        m_settings = settings;
        m_firstStart = firstStart;
    }
    // One change of the settings, as a control or an action makes it.
    void change(const std::function<void(TSettings&)>& edit) { edit(m_settings); }
    void setWinRARLocation(const QString& path) { m_settings.WinRARLocation = path; }

private:
    TSettings m_settings;
    TBackupRules m_rules;
    // Stored and written back; nothing else depends on it.
    bool m_firstStart = true;
};

} // namespace tessaro
