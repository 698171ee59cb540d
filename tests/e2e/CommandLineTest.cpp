// --version and --help through the real program on a machine without a
// display: they print and end before the window system is touched.

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

struct Printed
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Printed runWithoutDisplay(const QString& argument)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    // The desktop platform: the one that ends the program when it finds no
    // display, which the offscreen platform of the other tests would hide.
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TESSARO_PROGRAM), {argument});
    if (!program.waitForFinished(30000))
        return {};
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            program.readAllStandardOutput(), program.readAllStandardError()};
}

TEST(CommandLine, VersionPrintsWithoutADisplay)
{
    const Printed printed = runWithoutDisplay(u"--version"_s);
    EXPECT_EQ(printed.exitCode, 0) << printed.err.constData();
    // Standard output is text: Windows ends its lines with CR LF.
    EXPECT_EQ(QByteArray(printed.out).replace("\r\n", "\n"), "Tessaro 1.60327\n");
    EXPECT_EQ(printed.err, "");
}

TEST(CommandLine, HelpPrintsWithoutADisplay)
{
    const Printed printed = runWithoutDisplay(u"--help"_s);
    EXPECT_EQ(printed.exitCode, 0) << printed.err.constData();
    EXPECT_TRUE(QByteArray(printed.out)
                    .replace("\r\n", "\n")
                    .startsWith("Usage: tessaro [--help | --version | --backup-once]\n"))
        << printed.out.constData();
    EXPECT_EQ(printed.err, "");
}

} // namespace
