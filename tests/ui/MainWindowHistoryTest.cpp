#include "PassHarness.h"
#include "ui/HistoryForm.h"
#include "ui/RuleListView.h"

#include <QFile>
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
    EXPECT_EQ(column(THistoryForm::ColumnTrigger), (QStringList{u"By hand"_s, u"By hand"_s}));
    const QString good = u"Successful operation"_s;
    const QString failed = u"WinRAR did not create an archive file"_s;
    EXPECT_EQ(column(THistoryForm::ColumnResult), (QStringList{good, failed}));
    EXPECT_EQ(table->item(1, THistoryForm::ColumnResult)->toolTip(), failed + u" (10001)"_s);
    EXPECT_EQ(column(THistoryForm::ColumnLog), (QStringList{QString(), u"log lines"_s}));
    // The archive never made has no size; the one made has its own.
    EXPECT_EQ(column(THistoryForm::ColumnSize).at(1), QString());
    EXPECT_FALSE(column(THistoryForm::ColumnSize).at(0).isEmpty());

    table->sortByColumn(THistoryForm::ColumnResult, Qt::DescendingOrder);
    EXPECT_EQ(column(THistoryForm::ColumnResult), (QStringList{failed, good}))
        << "sorted by the code, not by the text";
    table->sortByColumn(THistoryForm::ColumnStart, Qt::AscendingOrder);
    EXPECT_EQ(column(THistoryForm::ColumnResult), (QStringList{failed, good}));
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

// At the window's first width the columns that tell what happened are in
// sight, however long the paths.
TEST_F(MainWindowHistoryTest, ResultArchiveAndSizeAreInSightAtTheFirstWidth)
{
    for (const int c :
         {THistoryForm::ColumnResult, THistoryForm::ColumnArchive, THistoryForm::ColumnSize}) {
        EXPECT_LE(table->columnViewportPosition(c) + table->columnWidth(c),
                  table->viewport()->width())
            << c;
    }
}

// A failed job leaves no size in the history, not even that of an older
// archive left at the same path by an earlier pass.
TEST(MainWindowHistory, AFailedJobRecordsNoSizeOfAnOlderFile)
{
    PassHarness h;
    QFile old(h.destination + u"data.rar"_s);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'x'));
    old.close();
    const QString plan = h.window.data.path() + u"/plan.txt"_s;
    QFile file(plan);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("exit=2\n");
    file.close();
    qputenv("TESSARO_FAKE_ARCHIVER_PLAN", plan.toUtf8());

    h.backupOnce();

    const QList<PassRecord> passes = h.window.logic().history().lastPasses();
    ASSERT_EQ(passes.size(), 1);
    ASSERT_EQ(passes.first().rules.size(), 1);
    EXPECT_EQ(passes.first().rules.first().result, 2);
    EXPECT_EQ(passes.first().rules.first().size, 0);
}

// The rule list marks a rule whose last run failed, with the reason and the
// time as its tooltip, until a run of it succeeds.
TEST(MainWindowHistory, TheRuleListMarksARuleWhoseLastRunFailed)
{
    PassHarness h;
    auto* list = h.window.find<RuleListView>("ListViewBackupRules");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_TRUE(list->topLevelItem(0)->icon(0).isNull());

    h.backupOnce();
    EXPECT_FALSE(list->topLevelItem(0)->icon(0).isNull());
    EXPECT_TRUE(list->topLevelItem(0)->toolTip(0).endsWith(
        u"Last run failed: WinRAR did not create an archive file (27.03.2026 14:05:09)"_s))
        << list->topLevelItem(0)->toolTip(0).toStdString();

    h.goodPasses();
    h.backupOnce();
    EXPECT_TRUE(list->topLevelItem(0)->icon(0).isNull());
    EXPECT_FALSE(list->topLevelItem(0)->toolTip(0).contains(u"failed"_s));
}

} // namespace
} // namespace tessaro
