#include "Schedule.h"
#include "frmMain.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {

// Without a display nobody could answer a message box: it would hold the
// program forever.
bool isHeadless()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal") ||
           QGuiApplication::screens().isEmpty();
}

void tellDataFolderInUse(const QString& text)
{
    if (isHeadless()) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        return;
    }
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok);
    box.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaro"));

    // The schedule rule checks itself before anything else runs; a failing
    // case is shown and the program starts all the same.
    tessaro::RunScheduleSelfCheck([](const QString& message) {
        QMessageBox box(QMessageBox::NoIcon, QString(), message, QMessageBox::Ok);
        box.exec();
    });

    tessaro::TMainForm form;
    const tessaro::StartupShutdown& startup = form.logic().startup();
    if (!startup.OwnsDataFolder()) {
        tellDataFolderInUse(startup.DataFolderInUseText());
        return tessaro::StartupShutdown::DataFolderInUseExitCode;
    }
    form.show();
    return app.exec();
}
