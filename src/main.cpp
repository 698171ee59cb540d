#include "Schedule.h"
#include "frmMain.h"

#include <QApplication>
#include <QMessageBox>

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
    form.show();
    return app.exec();
}
