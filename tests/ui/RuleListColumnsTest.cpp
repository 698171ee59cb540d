// The rule list shows whole paths: the columns share the list's width by
// their content, and a path that is cut short shows in full as a tooltip.

#include "QtPrinters.h"
#include "ui/MiddleElidedComboBox.h"
#include "ui/RuleListView.h"

#include <QHeaderView>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

struct ColumnsCase
{
    const char* name;
    QString source;
    QString destination;
    // Whether the source path is expected cut, with its tooltip.
    bool sourceCut;
};

class RuleListColumnsTest : public ::testing::TestWithParam<ColumnsCase>
{};

TEST_P(RuleListColumnsTest, ColumnsFitTheirPathsWithinTheList)
{
    RuleListView view;
    view.resize(598, 200);
    view.show();
    TBackupRules rules(PathStyle::Windows);
    auto rule = std::make_unique<TBackupRule>();
    rule->SourceFolder = GetParam().source;
    rule->DestinationFolder = GetParam().destination;
    rule->DestinationFilename = u"documents_#ymd_hns#"_s;
    rules.Add(std::move(rule));

    view.showRules(rules);

    int total = 0;
    for (int column = 0; column < view.columnCount(); ++column)
        total += view.columnWidth(column);
    EXPECT_LE(total, view.viewport()->width()) << "no column runs out of the list";

    const QTreeWidgetItem* row = view.topLevelItem(0);
    for (int column = 0; column < 3; ++column) {
        const int content = view.sizeHintForIndex(view.model()->index(0, column)).width();
        const bool cut = content > view.columnWidth(column);
        SCOPED_TRACE(column);
        EXPECT_EQ(cut, column == 0 && GetParam().sourceCut);
        EXPECT_EQ(row->toolTip(column), cut ? row->text(column) : QString());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RuleListColumnsTest,
    ::testing::Values(
        // Longer than the old fixed column, short enough for the list.
        ColumnsCase{"WholePathsShow", u"C:\\Users\\Ann\\Letters\\2026\\"_s,
                    u"E:\\Backups\\Office PC\\"_s, false},
        ColumnsCase{"LongPathIsCutWithATooltip",
                    u"C:\\Users\\Ann\\Documents\\Projects\\Customers\\Northwind Traders\\"
                    u"Quarterly Reports\\2026\\Drafts and Final Versions\\"_s,
                    u"E:\\Backups\\"_s, true}),
    [](const ::testing::TestParamInfo<ColumnsCase>& info) { return std::string(info.param.name); });

// Paths too long for their place lose their middle, not their end, so that
// rows and destinations can be told apart; the tooltip holds the whole path.
TEST(MiddleElision, LongPathsKeepTheirStartAndTheirEnd)
{
    RuleListView list;
    EXPECT_EQ(list.textElideMode(), Qt::ElideMiddle);

    MiddleElidedComboBox combo;
    const QString longPath = u"/home/ana/Documents/Projects/Customers/Northwind/2026/Invoices/"_s;
    combo.addItem(longPath);
    combo.addItem(u"/home/ana/Documents/Projects/Customers/Northwind/2026/Letters/"_s);
    combo.resize(180, combo.sizeHint().height());
    combo.show();
    const QString shown = combo.shownText();
    EXPECT_TRUE(shown.startsWith(u"/home"_s)) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(u"Invoices/"_s)) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026)));
    EXPECT_EQ(combo.toolTip(), longPath);
    combo.setCurrentIndex(1);
    EXPECT_TRUE(combo.shownText().endsWith(u"Letters/"_s));
    EXPECT_EQ(combo.toolTip(), combo.currentText());
}

} // namespace
} // namespace tessaro
