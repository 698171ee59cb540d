// The .deb that `make package` makes: the same layout as the installation,
// dependencies computed from the program's libraries, and no lintian errors.

#include "InstallRun.h"
#include "QtPrinters.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <memory>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;
using test::runTool;

class DebianPackage : public ::testing::Test
{
protected:
    // One package for all cases: CPack and lintian are the slow part.
    static void SetUpTestSuite()
    {
        s_work = std::make_unique<QTemporaryDir>();
        const test::ToolResult made =
            runTool(QStringLiteral(TESSARO_CPACK),
                    {u"--config"_s, QStringLiteral(TESSARO_BUILD_DIR "/CPackConfig.cmake"), u"-B"_s,
                     s_work->filePath(u"out"_s)});
        s_log = made.output;
        const QStringList debs =
            QDir(s_work->filePath(u"out"_s)).entryList({u"tessaro_*.deb"_s}, QDir::Files);
        if (made.exitCode == 0 && debs.size() == 1)
            s_deb = s_work->filePath(u"out/"_s + debs.at(0));
    }
    static void TearDownTestSuite() { s_work.reset(); }

    void SetUp() override { ASSERT_FALSE(s_deb.isEmpty()) << s_log.toStdString(); }

    static QString field(const QString& name)
    {
        return runTool(u"dpkg-deb"_s, {u"--field"_s, s_deb, name}).output.trimmed();
    }

    static inline std::unique_ptr<QTemporaryDir> s_work;
    static inline QString s_deb;
    static inline QString s_log;
};

TEST_F(DebianPackage, UnpacksToTheInstalledLayout)
{
    const QString root = s_work->filePath(u"root"_s);
    const test::ToolResult unpacked = runTool(u"dpkg"_s, {u"-x"_s, s_deb, root});
    ASSERT_EQ(unpacked.exitCode, 0) << unpacked.output.toStdString();

    EXPECT_EQ(test::filesBelow(root), test::expectedInstalledFiles());
    EXPECT_EQ(QFileInfo(s_deb).fileName(), u"tessaro_1.60327_amd64.deb"_s);
}

TEST_F(DebianPackage, DependsOnTheLibrariesTheProgramLinks)
{
    const QString depends = field(u"Depends"_s);
    for (const QString& library :
         {u"libqt6widgets6"_s, u"libqt6network6"_s, u"libc6"_s, u"libstdc++6"_s, u"libqt6svg6"_s}) {
        EXPECT_TRUE(depends.contains(library))
            << library.toStdString() << " missing from: " << depends.toStdString();
    }
    EXPECT_EQ(field(u"Package"_s), u"tessaro"_s);
    EXPECT_EQ(field(u"Version"_s), u"1.60327"_s);
}

TEST_F(DebianPackage, LintianFindsNoErrors)
{
    const test::ToolResult lint = runTool(u"lintian"_s, {u"--no-tag-display-limit"_s, s_deb});
    QStringList errors;
    for (const QString& line : lint.output.split(u'\n'))
        if (line.startsWith(u"E: "_s))
            errors.append(line);
    EXPECT_EQ(errors, QStringList()) << lint.output.toStdString();
    EXPECT_NE(lint.exitCode, -1) << lint.output.toStdString();
}

} // namespace
} // namespace tessaro
