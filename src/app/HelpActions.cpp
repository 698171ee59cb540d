#include "HelpActions.h"

namespace tessaro {

HelpActions::HelpActions(MainView& view, QString programFolder)
    : m_view(view), m_programFolder(std::move(programFolder))
{}

} // namespace tessaro
