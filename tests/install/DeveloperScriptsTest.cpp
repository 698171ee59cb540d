// The scripts behind `make run`, `make demo` and `make clean`, on a build
// folder of their own whose program is a stand-in that only reports it ran.

#include "InstallRun.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;
using test::runTool;

class DeveloperScripts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The program writes a log line, as Tessaro does on every start.
        writeExecutable(u"bin/tessaro"_s,
                        "#!/bin/sh\n"
                        "mkdir -p \"$(dirname \"$0\")/log\"\n"
                        "echo started >> \"$(dirname \"$0\")/log/2612_tessaro.log\"\n");
        writeExecutable(u"bin/rar-standin"_s, "#!/bin/sh\nexit 0\n");
        test::writeFile(build(u"bin/tessaro.pdf"_s), "%PDF");
    }

    QString build(const QString& relative = {}) const
    {
        return relative.isEmpty() ? m_root.filePath(u"build"_s)
                                  : m_root.filePath(u"build/"_s + relative);
    }

    void writeExecutable(const QString& relative, const QByteArray& script) const
    {
        test::writeFile(build(relative), script);
        QFile::setPermissions(build(relative),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    test::ToolResult script(const QString& name) const
    {
        // No RAR on this PATH, and no display: the demo runs headless.
        QProcessEnvironment environment;
        environment.insert(u"PATH"_s, u"/usr/bin:/bin"_s);
        environment.insert(u"DISPLAY"_s, QString());
        environment.insert(u"WAYLAND_DISPLAY"_s, QString());
        return runTool(u"bash"_s, {QStringLiteral(TESSARO_SOURCE_DIR "/scripts/") + name, build()},
                       environment);
    }

private:
    QTemporaryDir m_root;
};

TEST_F(DeveloperScripts, FirstRunWithoutRarGetsTheStandInArchiver)
{
    const test::ToolResult run = script(u"run.sh"_s);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();

    const QString ini = build(u"bin/tessaro.ini"_s);
    EXPECT_EQ(test::readFile(ini),
              "[Settings]\nWinRARLocation=" + build(u"bin/rar-standin"_s).toUtf8() + "\n");
    EXPECT_EQ(QFileInfo(ini).permissions(),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

    // A second start leaves the file as the program and the user made it.
    test::writeFile(ini, "[Settings]\nWinRARLocation=/opt/rar/rar\n");
    ASSERT_EQ(script(u"run.sh"_s).exitCode, 0);
    EXPECT_EQ(test::readFile(ini), "[Settings]\nWinRARLocation=/opt/rar/rar\n");
}

TEST_F(DeveloperScripts, CleanKeepsTheDataFolderOfMakeRun)
{
    ASSERT_EQ(script(u"run.sh"_s).exitCode, 0);
    test::writeFile(build(u"bin/winrar_errors.log"_s), "error\n");
    test::writeFile(build(u"CMakeCache.txt"_s), "cache");

    const test::ToolResult clean = script(u"clean.sh"_s);
    ASSERT_EQ(clean.exitCode, 0) << clean.output.toStdString();

    EXPECT_EQ(test::filesBelow(build()),
              QStringList({u"bin/log/2612_tessaro.log"_s, u"bin/tessaro.ini"_s,
                           u"bin/winrar_errors.log"_s}));
}

TEST_F(DeveloperScripts, DemoHasTheManualAndAnOwnerOnlyConfiguration)
{
    const test::ToolResult demo = script(u"demo.sh"_s);
    ASSERT_EQ(demo.exitCode, 0) << demo.output.toStdString();

    EXPECT_EQ(test::readFile(build(u"demo/tessaro.pdf"_s)), "%PDF");
    const QString ini = build(u"demo/tessaro.ini"_s);
    EXPECT_EQ(QFileInfo(ini).permissions(),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    EXPECT_TRUE(
        test::readFile(ini).contains("WinRARLocation=" + build(u"bin/rar-standin"_s).toUtf8()));
    EXPECT_TRUE(demo.output.contains(u"started"_s)) << demo.output.toStdString();
}

} // namespace
} // namespace tessaro
