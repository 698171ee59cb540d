#include "MainWindowHarness.h"
#include "QtPrinters.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

using test::MainWindowHarness;
using test::MessageBoxAnswerer;

class MainWindowBackupPageTest : public ::testing::Test
{
protected:
    MainWindowBackupPageTest() : list(window.find<QTreeWidget>("ListViewBackupRules")) {}

    void SetUp() override
    {
        window.showLoaded();
        window.addRule(window.data.path() + u"/one/"_s);
        window.addRule(window.data.path() + u"/two/"_s);
    }

    void expectEditButtons(bool enabled)
    {
        for (const char* name : {"ButtonEditRule", "ButtonDeleteRule"})
            EXPECT_EQ(window.find<QPushButton>(name)->isEnabled(), enabled) << name;
    }

    // Runs the action and returns the caption of the rule dialog it opened,
    // closing the dialog as Cancel.
    static QString ruleDialogCaption(const std::function<void()>& action)
    {
        QString caption;
        QTimer::singleShot(0, [&caption] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                caption = dialog->windowTitle();
                dialog->close();
            }
        });
        action();
        return caption;
    }

    MainWindowHarness window;
    QTreeWidget* list;
};

TEST_F(MainWindowBackupPageTest, EditAndDeleteFollowTheSelection)
{
    ASSERT_EQ(list->topLevelItemCount(), 2);
    expectEditButtons(false);

    list->setCurrentItem(list->topLevelItem(1));
    expectEditButtons(true);

    // Showing the rules anew keeps the selected rule selected.
    window.form->refreshRuleList();
    expectEditButtons(true);
    EXPECT_EQ(list->currentItem(), list->topLevelItem(1));

    list->clearSelection();
    expectEditButtons(false);
}

TEST_F(MainWindowBackupPageTest, ButtonsOpenTheRuleDialog)
{
    EXPECT_EQ(ruleDialogCaption([this] { window.find<QPushButton>("ButtonAddRule")->click(); }),
              u"Add backup rule"_s);
    EXPECT_EQ(window.logic().settings().rules().Count(), 2) << "Cancel adds nothing";

    list->setCurrentItem(list->topLevelItem(0));
    EXPECT_EQ(ruleDialogCaption([this] { window.find<QPushButton>("ButtonEditRule")->click(); }),
              u"Edit backup rule"_s);
}

TEST_F(MainWindowBackupPageTest, ListClicksAddOrEdit)
{
    const QPoint empty(10, list->viewport()->height() - 5);
    EXPECT_EQ(
        ruleDialogCaption([&] { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, empty); }),
        u"Add backup rule"_s);

    const QPoint onRule = list->visualItemRect(list->topLevelItem(1)).center();
    EXPECT_EQ(ruleDialogCaption([&] {
                  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onRule);
                  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, onRule);
              }),
              u"Edit backup rule"_s);
}

TEST_F(MainWindowBackupPageTest, DeleteRemovesTheSelectedRule)
{
    const QString kept = window.logic().settings().rules().Item(0)->SourceFolder;
    list->setCurrentItem(list->topLevelItem(1));
    MessageBoxAnswerer answerer(QMessageBox::Yes);
    window.find<QPushButton>("ButtonDeleteRule")->click();

    EXPECT_EQ(answerer.texts(), QStringList{u"Are you sure you want to delete this rule?"_s});
    ASSERT_EQ(window.logic().settings().rules().Count(), 1);
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), kept);
    expectEditButtons(false);
}

TEST_F(MainWindowBackupPageTest, AddThroughTheDialogListsNormalizedRuleAndSaves)
{
    const QString source = window.data.path() + u"/Data"_s;
    const QString destination = window.data.path() + u"/Backup"_s;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>(u"EditSourceFolder"_s)->setText(source);
        dialog->findChild<QLineEdit*>(u"EditDestinationFolder"_s)->setText(destination);
        dialog->findChild<QLineEdit*>(u"EditDestinationFilename"_s)->setText(u"data"_s);
        dialog->findChild<QPushButton*>(u"ButtonOK"_s)->click();
    });
    window.find<QPushButton>("ButtonAddRule")->click();

    ASSERT_EQ(list->topLevelItemCount(), 3);
    const QTreeWidgetItem* row = list->topLevelItem(2);
    EXPECT_EQ((QStringList{row->text(0), row->text(1), row->text(2), row->text(3)}),
              (QStringList{source + u"/"_s, u"data"_s, destination + u"/"_s, u"yes"_s}));
    QFile saved(window.configFile());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(saved.readAll());
    EXPECT_TRUE(text.contains(u"[backup_rules_2]\r\nSourceFolder="_s + source + u"/\r\n"_s))
        << text.toStdString();
}

} // namespace
} // namespace tessaro
