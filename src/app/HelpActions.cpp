#include "HelpActions.h"

#include "FileSize.h"
#include "ProgramInfo.h"

#include <QDir>
#include <QFileInfo>

namespace tessaro {

HelpActions::HelpActions(MainView& view, QString programFolder)
    : m_view(view), m_programFolder(std::move(programFolder))
{}

QString HelpActions::manualPath() const
{
    return QDir(m_programFolder).filePath(QStringLiteral("tessaro.pdf"));
}

void HelpActions::Help1Click()
{
    const QString path = manualPath();
    // QFileInfo follows symbolic links, so a link to the manual counts as the
    // manual; a folder of that name does not.
    if (IsExistingFile(path)) {
        m_view.openExternally(path);
        return;
    }
    m_view.showMessage(QStringLiteral("Unable to find documentation pdf file"),
                       QStringLiteral("Help"), MessageButtons::Ok);
}

void HelpActions::MenuHomepageClick()
{
    // When no browser is registered the desktop has its own say; the program
    // adds nothing.
    m_view.openExternally(ProgramHomepage());
}

} // namespace tessaro
