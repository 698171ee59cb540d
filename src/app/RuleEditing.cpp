#include "RuleEditing.h"

namespace tessaro {

RuleEditing::RuleEditing(MainWindowState& state, MainView& view, ConfigFile& config)
    : m_state(state), m_view(view), m_config(config)
{}

} // namespace tessaro
