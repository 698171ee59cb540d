#include "app/CommandLineRequest.h"
#include "app/ConsoleOutput.h"
#include "app/UnattendedBackup.h"
#include "core/Schedule.h"
#include "core/TerminationRequest.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {

// --version and --help are answered before QApplication exists: creating it
// connects to the display, and ends the program where there is none.
QStringList argumentsAfterProgramName(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

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

// One pass with no window: the application object needs no display.
int runBackupOnce(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessaro"));
    tessaro::RunScheduleSelfCheck([](const QString& message) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    });
    tessaro::UnattendedBackup backup(stdout, stderr,
                                     {QCoreApplication::applicationDirPath(),
                                      tessaro::StartupShutdown::GetLocalAppDataFolder()});
    return backup.exec();
}

} // namespace

int main(int argc, char** argv)
{
    const QStringList arguments = argumentsAfterProgramName(argc, argv);
    if (const auto text = tessaro::CommandLineRequestText(arguments)) {
        tessaro::connectStandardOutput();
        std::fputs(text->toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (tessaro::IsBackupOnceRequest(arguments)) {
        tessaro::connectStandardOutput();
        return runBackupOnce(argc, argv);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaro"));
    // Ties the window to the installed launcher and icon (Wayland app id).
    QGuiApplication::setDesktopFileName(QStringLiteral(TESSARO_APP_ID_TEXT));

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
    // Asked to end from outside (a service manager), the program stops a
    // running pass cleanly first.
    const tessaro::TerminationRequest termination(
        [&form] { form.logic().startup().TerminationRequested(); });
    return app.exec();
}
