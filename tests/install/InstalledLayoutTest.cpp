// The installed program as a desktop finds it: `cmake --install` into a
// clean folder, the launcher and software-centre files validated by the
// desktop's own tools, the icons at their sizes, the manual found by Help.

#include "InstallRun.h"
#include "QtPrinters.h"
#include "app/HelpActions.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <memory>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;
using test::runTool;

// One installation for all cases of the suite: installing is the slow part.
class InstalledTree : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_root = std::make_unique<QTemporaryDir>();
        QProcessEnvironment destdir;
        destdir.insert(u"DESTDIR"_s, s_root->path());
        const test::ToolResult installed = runTool(
            QStringLiteral(TESSARO_CMAKE),
            {u"--install"_s, QStringLiteral(TESSARO_BUILD_DIR), u"--prefix"_s, u"/usr"_s}, destdir);
        s_installOutput = installed.output;
        s_installed = installed.exitCode == 0;
    }
    static void TearDownTestSuite() { s_root.reset(); }

    void SetUp() override { ASSERT_TRUE(s_installed) << s_installOutput.toStdString(); }

    static QString installed(const QString& relative) { return s_root->filePath(relative); }

    static inline std::unique_ptr<QTemporaryDir> s_root;
    static inline bool s_installed = false;
    static inline QString s_installOutput;
};

TEST_F(InstalledTree, PutsEachFileInItsStandardPlaceAndNothingElse)
{
    EXPECT_EQ(test::filesBelow(s_root->path()), test::expectedInstalledFiles());
    EXPECT_TRUE(QFileInfo(installed(u"usr/bin/tessaro"_s)).isExecutable());
}

TEST_F(InstalledTree, LauncherPassesDesktopFileValidate)
{
    const QString desktop = installed(u"usr/share/applications/"_s + test::appId() + u".desktop"_s);
    const test::ToolResult result = runTool(u"desktop-file-validate"_s, {desktop});
    EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();
    EXPECT_EQ(result.output, QString()) << "hints and warnings count too";

    QFile file(desktop);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    // It starts the installed program with the installed icon.
    EXPECT_TRUE(text.contains(u"\nExec=tessaro\n"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"\nIcon="_s + test::appId() + u"\n"_s)) << text.toStdString();
}

TEST_F(InstalledTree, SoftwareCentreEntryPassesAppstreamValidation)
{
    const QString metainfo =
        installed(u"usr/share/metainfo/"_s + test::appId() + u".metainfo.xml"_s);
    const test::ToolResult result =
        runTool(u"appstreamcli"_s, {u"validate"_s, u"--no-net"_s, u"--pedantic"_s, metainfo});
    EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();

    QFile file(metainfo);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(
        text.contains(u"<launchable type=\"desktop-id\">"_s + test::appId() + u".desktop<"_s));
    // The screenshot is one of the manual's pictures.
    EXPECT_TRUE(text.contains(u"/manual/images/backup-tab.png</image>"_s)) << text.toStdString();
    EXPECT_TRUE(
        QFile::exists(QStringLiteral(TESSARO_SOURCE_DIR "/docs/manual/images/backup-tab.png")));
}

TEST_F(InstalledTree, IconsAreDrawnAtTheirSizeFromTheWindowsArtwork)
{
    for (const int size : test::iconSizes()) {
        SCOPED_TRACE(size);
        const QImage icon(installed(u"usr/share/icons/hicolor/%1x%1/apps/"_s.arg(size) +
                                    test::appId() + u".png"_s));
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.size(), QSize(size, size));
        EXPECT_TRUE(icon.hasAlphaChannel());
        // Drawn, not blank: the centre of the tiles is opaque.
        EXPECT_EQ(qAlpha(icon.pixel(size / 4, size / 4)), 255);
    }
    QFile svg(installed(u"usr/share/icons/hicolor/scalable/apps/"_s + test::appId() + u".svg"_s));
    QFile window(QStringLiteral(TESSARO_SOURCE_DIR "/src/ui/icons/tessaro.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    ASSERT_TRUE(window.open(QIODevice::ReadOnly));
    EXPECT_EQ(svg.readAll(), window.readAll());
}

// Under a prefix the manual is not beside the program; Help finds it in
// the documentation folder.
TEST_F(InstalledTree, HelpFindsTheInstalledManual)
{
    EXPECT_EQ(ManualPathFor(installed(u"usr/bin"_s)),
              installed(u"usr/share/doc/tessaro/tessaro.pdf"_s));
}

TEST_F(InstalledTree, InstalledProgramRunsWithoutTheBuildTree)
{
    const test::ToolResult result = runTool(installed(u"usr/bin/tessaro"_s), {u"--version"_s});
    EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();
    EXPECT_EQ(result.output, u"Tessaro 1.60327\n"_s);
}

} // namespace
} // namespace tessaro
