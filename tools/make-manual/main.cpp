// make-manual: the build step that turns the user manual's Markdown into
// tessaro.pdf beside the program.
//
//   make-manual --version <version> <manual.md> <output.pdf>

#include "ManualPdf.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // A build machine has no display; the offscreen platform lays out and
    // draws text all the same, with the fonts fontconfig finds.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Sizes in the manual (pictures, borders) are CSS pixels; this pins them
    // to 1/96 inch whatever screen the platform reports.
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Makes the Tessaro user manual PDF."));
    parser.addHelpOption();
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Version shown on the title page."),
                                     QStringLiteral("version"));
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("manual"), QStringLiteral("The Markdown file."));
    parser.addPositionalArgument(QStringLiteral("pdf"), QStringLiteral("The PDF to write."));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() != 2)
        parser.showHelp(2);

    const QString error =
        tessaro::manual::writeManualPdf({files.at(0), files.at(1), parser.value(version)});
    if (!error.isEmpty()) {
        std::fprintf(stderr, "make-manual: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
