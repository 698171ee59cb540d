#include "app/HelpActions.h"

#include "app/ProgramInfo.h"
#include "core/FileSize.h"

#include <QDir>
#include <QFileInfo>

namespace tessaro {

QString ManualPathFor(const QString& programFolderPath)
{
    // Beside the program wins: a build or a portable folder.
    const QDir programFolder(programFolderPath);
    const QString beside = programFolder.filePath(QStringLiteral("tessaro.pdf"));
    const QString installed =
        QDir::cleanPath(programFolder.filePath(QStringLiteral("../share/doc/tessaro/tessaro.pdf")));
    return IsExistingFile(beside) || !IsExistingFile(installed) ? beside : installed;
}

HelpActions::HelpActions(MainView& view, ActivityLog& log, QString programFolder)
    : m_view(view), m_log(log), m_programFolder(std::move(programFolder))
{}

void HelpActions::Help1Click()
{
    const QString path = manualPath();
    // QFileInfo follows symbolic links, so a link to the manual counts as the
    // manual; a folder of that name does not.
    if (IsExistingFile(path)) {
        m_log.openOrReport(path, QStringLiteral("Help"));
        return;
    }
    m_view.showMessage(QStringLiteral("Unable to find documentation pdf file"),
                       QStringLiteral("Help"), MessageButtons::Ok);
}

void HelpActions::MenuHomepageClick()
{
    m_log.openOrReport(ProgramHomepage(), QStringLiteral("Help"));
}

} // namespace tessaro
