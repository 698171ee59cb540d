#include "PassHarness.h"
#include "ui/HistoryForm.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

using test::PassHarness;

// A failed pass, then a good one a minute later, opened from the window.
class MainWindowHistoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.backupOnce();
        h.window.clock.set(h.window.clock.now().addMinutes(1));
        h.goodPasses();
        h.backupOnce();
        h.window.find<QToolButton>("ButtonHistory")->click();
        form = h.window.form->findChild<THistoryForm*>(u"HistoryForm"_s);
        ASSERT_NE(form, nullptr);
        table = form->findChild<QTableWidget*>(u"HistoryTable"_s);
        ASSERT_NE(table, nullptr);
    }

    QStringList column(int c) const
    {
        QStringList texts;
        for (int row = 0; row < table->rowCount(); ++row)
            texts.append(table->item(row, c)->text());
        return texts;
    }

    PassHarness h;
    THistoryForm* form = nullptr;
    QTableWidget* table = nullptr;
};

TEST_F(MainWindowHistoryTest, ShowsThePassesNewestFirstAndSortsByAnyColumn)
{
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(column(THistoryForm::ColumnStart),
              (QStringList{u"2026.03.27 14:06:09"_s, u"2026.03.27 14:05:09"_s}));
    EXPECT_EQ(column(THistoryForm::ColumnTrigger), (QStringList{u"button"_s, u"button"_s}));
    EXPECT_EQ(column(THistoryForm::ColumnResult), (QStringList{u"0"_s, u"10001"_s}));
    EXPECT_EQ(column(THistoryForm::ColumnLog), (QStringList{QString(), u"log lines"_s}));

    table->sortByColumn(THistoryForm::ColumnResult, Qt::DescendingOrder);
    EXPECT_EQ(column(THistoryForm::ColumnResult), (QStringList{u"10001"_s, u"0"_s}));
    table->sortByColumn(THistoryForm::ColumnStart, Qt::AscendingOrder);
    EXPECT_EQ(column(THistoryForm::ColumnResult), (QStringList{u"10001"_s, u"0"_s}));
    EXPECT_TRUE(table->isSortingEnabled());
}

TEST_F(MainWindowHistoryTest, AFailedRowLeadsToItsLogLines)
{
    table->sortByColumn(THistoryForm::ColumnResult, Qt::DescendingOrder);
    form->showLogOfRow(1);
    EXPECT_EQ(form->findChild<QDialog*>(u"RuleLogDialog"_s), nullptr) << "a good row has none";

    form->showLogOfRow(0);
    auto* dialog = form->findChild<QDialog*>(u"RuleLogDialog"_s);
    ASSERT_NE(dialog, nullptr);
    const QString text = dialog->findChild<QPlainTextEdit*>(u"RuleLogLines"_s)->toPlainText();
    EXPECT_TRUE(text.contains(
        u"27.03.2026 14:05:09 [E] backup: failed, error: WinRAR did not create an archive file "
        u"(10001)"_s))
        << text.toStdString();
    EXPECT_FALSE(text.contains(u"14:06:09"_s)) << "nothing of the later pass";
}

} // namespace
} // namespace tessaro
