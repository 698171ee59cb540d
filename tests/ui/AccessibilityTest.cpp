// Screen-reader and keyboard users: every control has an accessible name
// and description, Tab follows the layout, and the activity log is one Tab
// stop whose links are reached with the keyboard inside it.

#include "MainWindowHarness.h"
#include "ui/ActivityLogView.h"
#include "ui/RuleForm.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

bool isControl(const QWidget* widget)
{
    // Parts of a control (a spin box's editor, a combo box's list, a
    // scroll bar, a tab bar's scroll arrows) are announced through the
    // control itself.
    if (widget->objectName().isEmpty() || widget->objectName().startsWith(u"qt_"_s) ||
        qobject_cast<const QTabBar*>(widget->parentWidget()))
        return false;
    return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget) ||
           qobject_cast<const QTextEdit*>(widget) || qobject_cast<const QTabWidget*>(widget);
}

// The controls without an accessible name or description, by object name.
QStringList undescribed(const QWidget& root, int* controls)
{
    QStringList missing;
    *controls = 0;
    for (QWidget* widget : root.findChildren<QWidget*>()) {
        if (!isControl(widget))
            continue;
        ++*controls;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty() ||
            accessible->text(QAccessible::Description).trimmed().isEmpty())
            missing.append(widget->objectName());
    }
    return missing;
}

// The Tab order as object names: the focus chain from start, keeping what
// Tab can reach.
QStringList tabOrder(QWidget* start, const QStringList& within)
{
    QStringList names;
    QWidget* widget = start;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && within.contains(widget->objectName()))
            names.append(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != start);
    return names;
}

TEST(Accessibility, EveryControlOfTheMainWindowHasANameAndDescription)
{
    test::MainWindowHarness window;
    window.showLoaded();
    int controls = 0;
    EXPECT_EQ(undescribed(*window.form, &controls), QStringList());
    EXPECT_GE(controls, 50);
}

TEST(Accessibility, EveryControlOfTheRuleDialogHasANameAndDescription)
{
    TRuleForm dialog;
    int controls = 0;
    EXPECT_EQ(undescribed(dialog, &controls), QStringList());
    EXPECT_GE(controls, 15);
}

TEST(Accessibility, TabInTheRuleDialogFollowsTheLayout)
{
    TRuleForm dialog;
    const QStringList expected{u"EditSourceFolder"_s,
                               u"ButtonBrowseSourceFolder"_s,
                               u"EditDestinationFolder"_s,
                               u"ButtonBrowseDestinationFolder"_s,
                               u"EditDestinationFilename"_s,
                               u"CheckAddDate"_s,
                               u"CheckIncludeSubFolders"_s,
                               u"CheckPassword"_s,
                               u"EditPassword"_s,
                               u"EditExcludeMasks"_s,
                               u"CheckAutoClean"_s,
                               u"RadioNumFiles"_s,
                               u"SpinNumFiles"_s,
                               u"RadioDiskUsage"_s,
                               u"SpinDiskUsage"_s,
                               u"ButtonOK"_s,
                               u"ButtonCancel"_s};
    QWidget* first = dialog.findChild<QWidget*>(expected.first());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(tabOrder(first, expected), expected);
}

TEST(Accessibility, TabOnTheSettingsPageFollowsTheLayout)
{
    test::MainWindowHarness window;
    const QStringList expected{u"CheckWebhook"_s,
                               u"EditWebhook"_s,
                               u"CheckIncludeLog"_s,
                               u"CheckMinimizeToTray"_s,
                               u"CheckExitAfterBackupOnce"_s,
                               u"CheckBackupOnStart"_s,
                               u"ComboAutoCleanDestinationFolders"_s,
                               u"CheckAutoClean"_s,
                               u"RadioNumFiles"_s,
                               u"SpinNumFiles"_s,
                               u"RadioDiskUsage"_s,
                               u"SpinDiskUsage"_s};
    QWidget* first = window.form->findChild<QWidget*>(expected.first());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(tabOrder(first, expected), expected);
}

// The run history and the log file are reached from the keyboard: Tab goes
// from the pages to both buttons and on to the log, and the Action menu
// holds both.
TEST(Accessibility, HistoryAndLogFileAreReachedWithTabAndFromTheMenu)
{
    test::MainWindowHarness window;
    window.showLoaded();
    const QStringList expected{u"ButtonRunOnce"_s, u"ButtonHistory"_s, u"Image1"_s, u"LogView"_s};
    QWidget* first = window.form->findChild<QWidget*>(expected.first());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(tabOrder(first, expected), expected);

    window.find<QAction>("MenuHistory")->trigger();
    EXPECT_NE(window.form->findChild<QDialog*>(u"HistoryForm"_s), nullptr);
    EXPECT_NE(window.find<QAction>("MenuOpenLogFile"), nullptr);
}

// However many links the log shows, Tab passes the view in one step; the
// links are reached with Ctrl+Down and Ctrl+Up and opened with Enter.
TEST(Accessibility, TheLogIsOneTabStopWithLinksReachedInside)
{
    test::MainWindowHarness window;
    window.showLoaded();
    const QString first = window.data.filePath(u"first.rar"_s);
    const QString second = window.data.filePath(u"second.rar"_s);
    window.form->logic().log().LogInfo(u"made \""_s + first + u"\" and \""_s + second + u"\""_s);
    auto* view = window.find<ActivityLogView>("LogView");
    ASSERT_NE(view, nullptr);
    QApplication::setActiveWindow(window.form.get());
    view->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(view->hasFocus());

    QSignalSpy opened(view, &ActivityLogView::linkClicked);
    // The files are not there: the window says so, which the test answers.
    test::MessageBoxAnswerer answerer;
    QTest::keyClick(view, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(view->selectedLink(), first);
    QTest::keyClick(view, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(view->selectedLink(), second);
    QTest::keyClick(view, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(view->selectedLink(), first);
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.at(0).at(0).toString(), first);
    EXPECT_EQ(answerer.texts(), QStringList{u"The file \""_s + first + u"\" cannot be found"_s});

    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_FALSE(view->hasFocus()) << "Tab leaves the log in one step";
}

} // namespace
} // namespace tessaro
