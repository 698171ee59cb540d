// The reference for the idle program: a bare Qt window with a status bar
// and a one-second timer that does nothing, shown until it is ended. What
// it uses in memory and CPU is what any shown Qt window costs here.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("idle"), &window));
    window.statusBar()->showMessage(QStringLiteral("idle"));
    window.resize(800, 600);
    window.show();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &window, [] {});
    tick.start(1000);
    return app.exec();
}
