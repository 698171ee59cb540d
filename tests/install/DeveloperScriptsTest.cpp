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

    // rar: the real archiver the scripts are to see; none when empty,
    // whatever this machine has installed.
    test::ToolResult script(const QString& name, const QString& rar = QString()) const
    {
        // No display: the demo runs headless.
        QProcessEnvironment environment;
        environment.insert(u"PATH"_s, u"/usr/bin:/bin"_s);
        environment.insert(u"TESSARO_RAR"_s, rar);
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
    EXPECT_TRUE(run.output.contains(u"run: archiver: the stand-in archiver "_s +
                                    build(u"bin/rar-standin"_s) +
                                    u" (no RAR for Linux on this machine)"_s))
        << run.output.toStdString();
    EXPECT_EQ(QFileInfo(ini).permissions(),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

    // A second start leaves the file as the program and the user made it.
    test::writeFile(ini, "[Settings]\nWinRARLocation=/opt/rar/rar\n");
    ASSERT_EQ(script(u"run.sh"_s).exitCode, 0);
    EXPECT_EQ(test::readFile(ini), "[Settings]\nWinRARLocation=/opt/rar/rar\n");
}

TEST_F(DeveloperScripts, RunAndDemoUseTheRealArchiverWhereItIsInstalled)
{
    writeExecutable(u"rar/rar"_s, "#!/bin/sh\nexit 0\n");
    const QString rar = build(u"rar/rar"_s);

    const test::ToolResult run = script(u"run.sh"_s, rar);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_EQ(test::readFile(build(u"bin/tessaro.ini"_s)),
              "[Settings]\nWinRARLocation=" + rar.toUtf8() + "\n");
    EXPECT_TRUE(run.output.contains(u"run: archiver: "_s + rar + u"\n"_s))
        << run.output.toStdString();

    // An existing file says which archiver it names, CRLF or not.
    test::writeFile(build(u"bin/tessaro.ini"_s), "[Settings]\r\nWinRARLocation=/opt/rar/rar\r\n");
    const test::ToolResult again = script(u"run.sh"_s, rar);
    EXPECT_TRUE(again.output.contains(u"run: archiver: /opt/rar/rar\n"_s))
        << again.output.toStdString();

    const test::ToolResult demo = script(u"demo.sh"_s, rar);
    ASSERT_EQ(demo.exitCode, 0) << demo.output.toStdString();
    EXPECT_TRUE(test::readFile(build(u"demo/tessaro.ini"_s))
                    .contains("WinRARLocation=" + rar.toUtf8() + "\n"));
    EXPECT_TRUE(demo.output.contains(u"demo: archiver: "_s + rar + u"\n"_s))
        << demo.output.toStdString();
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
    EXPECT_TRUE(demo.output.contains(u"demo: archiver: the stand-in archiver "_s))
        << demo.output.toStdString();
}

} // namespace
} // namespace tessaro

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

// scripts/enable-nonfree.sh on an apt folder of the test's own: where RAR
// for Linux is, Debian's non-free component, is added beside the user's own
// entries, never into them.
struct NonFreeCase
{
    const char* name;
    const char* deb822;  // sources.list.d/debian.sources
    const char* oneLine; // sources.list
    int exitCode;
    const char* added; // sources.list.d/tessaro-non-free.sources, or null
};

class EnableNonFree : public ::testing::TestWithParam<NonFreeCase>
{};

TEST_P(EnableNonFree, AddsTheComponentForTheConfiguredSuitesOnly)
{
    const NonFreeCase& c = GetParam();
    QTemporaryDir apt;
    ASSERT_TRUE(apt.isValid());
    const QString sources = apt.filePath(u"sources.list.d/debian.sources"_s);
    QDir().mkpath(apt.filePath(u"sources.list.d"_s));
    if (c.deb822)
        test::writeFile(sources, c.deb822);
    if (c.oneLine)
        test::writeFile(apt.filePath(u"sources.list"_s), c.oneLine);

    const test::ToolResult result = runTool(
        u"bash"_s, {QStringLiteral(TESSARO_SOURCE_DIR "/scripts/enable-nonfree.sh"), apt.path()});

    EXPECT_EQ(result.exitCode, c.exitCode) << result.output.toStdString();
    const QString added = apt.filePath(u"sources.list.d/tessaro-non-free.sources"_s);
    if (c.added) {
        EXPECT_EQ(test::readFile(added), QByteArray(c.added));
        EXPECT_EQ(result.output.count(u"enable-nonfree: added"_s), 1)
            << result.output.toStdString();
    } else {
        EXPECT_FALSE(QFile::exists(added));
    }
    // The user's own files stay as they were.
    if (c.deb822) {
        EXPECT_EQ(test::readFile(sources), QByteArray(c.deb822));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, EnableNonFree,
    ::testing::Values(
        NonFreeCase{"Deb822",
                    "Types: deb deb-src\nURIs: http://deb.debian.org/debian\n"
                    "Suites: bookworm bookworm-updates\nComponents: main\n"
                    "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n\n"
                    "Types: deb\nURIs: http://deb.debian.org/debian-security\n"
                    "Suites: bookworm-security\nComponents: main\n"
                    "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n\n"
                    "# a source without main is none of ours\n"
                    "Types: deb\nURIs: http://other.example/debian\nSuites: x\n"
                    "Components: extra\n",
                    nullptr, 0,
                    "# Added by Tessaro's scripts/enable-nonfree.sh: RAR for Linux is in "
                    "non-free.\n\n"
                    "Types: deb\nURIs: http://deb.debian.org/debian\n"
                    "Suites: bookworm bookworm-updates\nComponents: non-free\n"
                    "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n\n"
                    "Types: deb\nURIs: http://deb.debian.org/debian-security\n"
                    "Suites: bookworm-security\nComponents: non-free\n"
                    "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n"},
        NonFreeCase{"OneLine", nullptr,
                    "deb [arch=amd64 signed-by=/usr/share/keyrings/k.gpg] "
                    "http://deb.debian.org/debian bookworm main contrib\n"
                    "# deb http://deb.debian.org/debian sid main\n",
                    0,
                    "# Added by Tessaro's scripts/enable-nonfree.sh: RAR for Linux is in "
                    "non-free.\n\n"
                    "Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm\n"
                    "Components: non-free\nSigned-By: /usr/share/keyrings/k.gpg\n"},
        NonFreeCase{"AlreadyThere",
                    "Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm\n"
                    "Components: main non-free non-free-firmware\n",
                    nullptr, 0, nullptr},
        NonFreeCase{"NothingToAddItTo", nullptr, "# empty\n", 1, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tessaro
