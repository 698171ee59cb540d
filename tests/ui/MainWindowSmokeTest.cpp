#include "FixedClock.h"
#include "ui/ActivityLogView.h"
#include "ui/MainForm.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

// The window builds, names its controls as the logic names them, and shows
// log lines with their links.
TEST(MainWindow, ShowsTheBannerAndNamedControls)
{
    QTemporaryDir data;
    test::FixedClock clock(LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9));
    MainWindowSeams seams;
    seams.clock = &clock;
    seams.findArchiver = [] {
        return QString();
    };
    TMainForm form(seams, {data.path(), QString()});

    EXPECT_EQ(form.windowTitle(), QStringLiteral("Tessaro v1.60327"));
    auto* log = form.findChild<ActivityLogView*>(QStringLiteral("LogView"));
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->toPlainText().trimmed(),
              QStringLiteral("27.03.2026 14:05:09 [I] Tessaro version 1.60327"));
    EXPECT_NE(form.findChild<QPushButton*>(QStringLiteral("ButtonRunOnce")), nullptr);

    form.logic().log().LogInfo(QStringLiteral("see \"") + data.path() + QStringLiteral("\""));
    const QRect line = log->lineRect(log->lineCount() - 1);
    bool linked = false;
    for (int x = line.left(); x < line.right() && !linked; ++x)
        linked = log->anchorAt(QPoint(x, line.center().y())) == data.path();
    EXPECT_TRUE(linked) << "the quoted path is a link";
}

} // namespace
} // namespace tessaro
