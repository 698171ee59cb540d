#include "ui/RuleListView.h"

#include "QtPrinters.h"

#include <QHeaderView>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

TBackupRule* addRule(TBackupRules& rules, const QString& source, bool subFolders = true)
{
    auto rule = std::make_unique<TBackupRule>();
    rule->SourceFolder = source;
    rule->DestinationFolder = u"D:\\Backup\\"_s;
    rule->DestinationFilename = u"data"_s;
    rule->IncludeSubFolders = subFolders;
    return rules.Add(std::move(rule));
}

QStringList rowTexts(const QTreeWidget& view, int row)
{
    QStringList texts;
    for (int column = 0; column < view.columnCount(); ++column)
        texts.append(view.topLevelItem(row)->text(column));
    return texts;
}

class RuleListViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        view.resize(600, 200);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    QPoint rowCentre(int row) const { return view.visualItemRect(view.topLevelItem(row)).center(); }
    // A point below the last row.
    QPoint emptyArea() const { return QPoint(20, view.viewport()->height() - 5); }

    TBackupRules rules{PathStyle::Windows};
    RuleListView view;
};

TEST_F(RuleListViewTest, ShowsOneRowPerRuleInFourColumns)
{
    EXPECT_EQ(view.objectName(), u"ListViewBackupRules"_s);
    EXPECT_EQ(view.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(view.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_FALSE(view.rootIsDecorated());
    // The widths follow the content (RuleListColumnsTest).
    const char* captions[] = {"Source", "Filename", "Destination", "Subfolders"};
    ASSERT_EQ(view.columnCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(view.headerItem()->text(i), QString::fromLatin1(captions[i]));

    addRule(rules, u"C:\\Data\\"_s);
    addRule(rules, u"C:\\Mail\\"_s, false);
    view.showRules(rules);

    ASSERT_EQ(view.topLevelItemCount(), 2);
    EXPECT_EQ(rowTexts(view, 0),
              (QStringList{u"C:\\Data\\"_s, u"data"_s, u"D:\\Backup\\"_s, u"yes"_s}));
    EXPECT_EQ(rowTexts(view, 1),
              (QStringList{u"C:\\Mail\\"_s, u"data"_s, u"D:\\Backup\\"_s, u"no"_s}));
    EXPECT_EQ(view.selectedIndex(), -1);
}

// Every cell of a rule with exclusions names them in its tooltip; a path cut
// short comes first there. A rule without exclusions keeps plain cells.
TEST_F(RuleListViewTest, TooltipsNameTheExclusionsOfTheRule)
{
    addRule(rules, u"C:\\Data\\"_s)->ExcludeMasks = u"node_modules; *.tmp"_s;
    addRule(rules, u"C:\\Users\\Ann\\Documents\\Projects\\Customers\\Northwind Traders\\"
                   u"Quarterly Reports\\2026\\Drafts and Final Versions\\"_s)
        ->ExcludeMasks = u"*.bak"_s;
    addRule(rules, u"C:\\Mail\\"_s);
    view.showRules(rules);

    const QTreeWidgetItem* plain = view.topLevelItem(0);
    const QTreeWidgetItem* cut = view.topLevelItem(1);
    const QTreeWidgetItem* none = view.topLevelItem(2);
    for (int column = 0; column < view.columnCount(); ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(plain->toolTip(column), u"Exclude: node_modules; *.tmp"_s);
        EXPECT_EQ(none->toolTip(column), QString());
    }
    EXPECT_EQ(cut->toolTip(0), cut->text(0) + u"\nExclude: *.bak"_s);
    EXPECT_EQ(cut->toolTip(3), u"Exclude: *.bak"_s);
}

TEST_F(RuleListViewTest, SelectedRuleStaysSelectedWhileItIsListed)
{
    addRule(rules, u"C:\\A\\"_s);
    addRule(rules, u"C:\\B\\"_s);
    addRule(rules, u"C:\\C\\"_s);
    view.showRules(rules);
    QSignalSpy changes(&view, &RuleListView::ruleSelectionChanged);

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rowCentre(1));
    EXPECT_EQ(view.selectedIndex(), 1);
    EXPECT_EQ(changes.count(), 1);

    // The rule before it goes: the same rule is still selected, one row up.
    rules.Delete(0);
    view.showRules(rules);
    EXPECT_EQ(view.selectedIndex(), 0);
    EXPECT_EQ(view.topLevelItem(0)->text(0), u"C:\\B\\"_s);
    EXPECT_EQ(changes.count(), 2) << "one change for the refill";

    // The selected rule itself goes: nothing is selected.
    rules.Delete(0);
    view.showRules(rules);
    EXPECT_EQ(view.selectedIndex(), -1);
    EXPECT_EQ(view.topLevelItemCount(), 1);
}

TEST_F(RuleListViewTest, ClickThatLeavesNoSelectionIsReported)
{
    addRule(rules, u"C:\\A\\"_s);
    view.showRules(rules);
    QSignalSpy withoutSelection(&view, &RuleListView::clickedWithoutSelection);
    QSignalSpy doubleClicks(&view, &RuleListView::doubleClickedOnRule);

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, emptyArea());
    EXPECT_EQ(withoutSelection.count(), 1) << "empty area, nothing selected";

    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, emptyArea());
    EXPECT_EQ(withoutSelection.count(), 1) << "only the left button clicks";

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rowCentre(0));
    EXPECT_EQ(view.selectedIndex(), 0);
    EXPECT_EQ(withoutSelection.count(), 1) << "a click on a row selects it";
    EXPECT_EQ(doubleClicks.count(), 0);

    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, rowCentre(0));
    EXPECT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(withoutSelection.count(), 1);

    // The empty area takes the selection away, so that click adds a rule too.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, emptyArea());
    EXPECT_EQ(view.selectedIndex(), -1);
    EXPECT_EQ(withoutSelection.count(), 2);
}
TEST_F(RuleListViewTest, DoubleClickWithoutSelectionEditsNothing)
{
    view.showRules(rules);
    QSignalSpy doubleClicks(&view, &RuleListView::doubleClickedOnRule);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, emptyArea());
    EXPECT_EQ(doubleClicks.count(), 0);
}

// An empty list says how to add the first rule; the hint lets a click
// through to the list, where a click with nothing selected adds a rule.
TEST_F(RuleListViewTest, AnEmptyListSaysHowToAddTheFirstRule)
{
    view.showRules(rules);
    auto* hint = view.findChild<QLabel*>(u"LabelNoRules"_s);
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->text(),
              u"No backup rules yet.\nClick \"Add\" or click here to add the first rule."_s);
    EXPECT_EQ(view.viewport()->childAt(view.viewport()->rect().center()), nullptr);
    QSignalSpy clicked(&view, &RuleListView::clickedWithoutSelection);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.viewport()->rect().center());
    EXPECT_EQ(clicked.size(), 1);

    addRule(rules, u"C:\\Data\\"_s);
    view.showRules(rules);
    EXPECT_FALSE(hint->isVisible());
}

} // namespace
} // namespace tessaro
