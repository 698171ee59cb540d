#include "MainWindowHarness.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

using test::MainWindowHarness;

// A destination folder with five archives, a1.rar the oldest, and a rule
// that keeps three of them.
class AutoCleanPreviewViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.showLoaded();
        window.form->showPage(Page::Settings);
        destination = window.data.path() + u"/dest/"_s;
        QDir().mkpath(destination);
        const QDateTime newest(QDate(2026, 3, 27), QTime(14, 5));
        for (int i = 1; i <= 5; ++i) {
            QFile file(destination + u"a%1.rar"_s.arg(i));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(2048, 'x'));
            // Written out first, so that closing does not touch the time again.
            ASSERT_TRUE(file.flush());
            ASSERT_TRUE(file.setFileTime(newest.addDays(i - 5), QFileDevice::FileModificationTime));
        }
        window.addRule(destination, acmNumFiles, 3);
        tree = window.find<QTreeWidget>("TreeAutoCleanPreview");
        label = window.find<QLabel>("LabelAutoCleanPreview");
    }

    QStringList shown() const
    {
        QStringList rows;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = tree->topLevelItem(i);
            rows.append(item->text(0) + u" | "_s + item->text(1) + u" | "_s + item->text(2));
        }
        return rows;
    }

    MainWindowHarness window;
    QString destination;
    QTreeWidget* tree = nullptr;
    QLabel* label = nullptr;
};

TEST_F(AutoCleanPreviewViewTest, ShowsWhatTheNextPassDeletesAsTheLimitsChange)
{
    // Five there, one more from the next pass, three kept: three go.
    EXPECT_EQ(shown(), (QStringList{u"a1.rar | 23.03.2026 14:05 | 2.00 kB"_s,
                                    u"a2.rar | 24.03.2026 14:05 | 2.00 kB"_s,
                                    u"a3.rar | 25.03.2026 14:05 | 2.00 kB"_s}));
    EXPECT_EQ(label->text(), u"Next backup deletes 3 archive(s) here:"_s);

    window.find<QSpinBox>("SpinNumFiles")->setValue(5);
    EXPECT_EQ(shown(), QStringList{u"a1.rar | 23.03.2026 14:05 | 2.00 kB"_s});

    window.find<QCheckBox>("CheckAutoClean")->setChecked(false);
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(label->text(), u"Next backup deletes nothing here."_s);

    window.find<QCheckBox>("CheckAutoClean")->setChecked(true);
    window.find<QRadioButton>("RadioDiskUsage")->setChecked(true);
    EXPECT_TRUE(shown().isEmpty()) << "five gigabytes hold them all";

    EXPECT_EQ(QDir(destination).entryList(QDir::Files).size(), 5) << "looking deletes nothing";
}

// A folder of many archives takes a while to list: a page out of sight
// leaves it until it is shown again, and then shows the folder as it is.
TEST_F(AutoCleanPreviewViewTest, AHiddenPageCatchesUpWhenShown)
{
    window.form->showPage(Page::Backup);
    window.find<QSpinBox>("SpinNumFiles")->setValue(5);
    EXPECT_EQ(shown().size(), 3) << "the hidden page keeps what it showed";
    ASSERT_TRUE(QFile::remove(destination + u"a1.rar"_s));

    window.form->showPage(Page::Settings);
    // Four there, one more from the next pass, five kept: none go.
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(label->text(), u"Next backup deletes nothing here."_s);
}

} // namespace
} // namespace tessaro
