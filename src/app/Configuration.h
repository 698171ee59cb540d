#pragma once

#include <QString>

namespace tessaro {

// The configuration as a whole, as the roles use it: loaded at the first
// show, saved after a change of what the file keeps, and shown again where
// controls depend on the settings or the rules.
class Configuration
{
public:
    virtual ~Configuration() = default;

    // "ok" on success; an empty text, after a message box, when the file
    // cannot be opened.
    virtual QString LoadConfig() = 0;
    // Writes everything. A failure is logged at error level; the previous
    // file then stays whole. Returns whether the file was written.
    virtual bool SaveConfig() = 0;
    // Recomputes what depends on other settings: enabled states and the
    // auto clean destination list.
    virtual void UpdateSettings() = 0;
};

} // namespace tessaro
