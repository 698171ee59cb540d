// A user leaves node_modules and temporary files out of a rule in the rule
// dialog, and the next pass, made by the real RAR for Linux, leaves them out
// of its archive and keeps everything else. The pass is started from the
// rule's "Back up this rule now".

#include "MainWindowHarness.h"
#include "QtPrinters.h"
#include "RealRarLookup.h"
#include "TestFiles.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

using test::MainWindowHarness;

// The archiver reads its configuration from the home folder: the test gives
// it one of its own while it lives.
class ScopedHome final
{
public:
    explicit ScopedHome(const QString& home) : m_old(qgetenv("HOME"))
    {
        qputenv("HOME", home.toUtf8());
    }
    ~ScopedHome() { qputenv("HOME", m_old); }
    Q_DISABLE_COPY_MOVE(ScopedHome)

private:
    QByteArray m_old;
};

void fillRuleDialog(const QString& source, const QString& destination, const QString& masks)
{
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit*>(u"EditSourceFolder"_s)->setText(source);
    dialog->findChild<QLineEdit*>(u"EditDestinationFolder"_s)->setText(destination);
    dialog->findChild<QLineEdit*>(u"EditDestinationFilename"_s)->setText(u"projects"_s);
    QLineEdit* exclude = dialog->findChild<QLineEdit*>(u"EditExcludeMasks"_s);
    ASSERT_NE(exclude, nullptr);
    QTest::keyClicks(exclude, masks);
    dialog->findChild<QPushButton*>(u"ButtonOK"_s)->click();
}

TEST(MainWindowExclusion, MasksTypedInTheDialogLeaveThoseFilesOutOfTheRealArchive)
{
    const QString missing = test::realRarMissingReason();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    MainWindowHarness window;
    const QString source = window.data.path() + u"/Projects/"_s;
    const QString destination = window.data.path() + u"/Backup/"_s;
    QDir().mkpath(destination);
    for (const char* file :
         {"readme.md", "draft.tmp", "web/index.html", "web/node_modules/x/x.js",
          "web/cache.tmp/part", "app/src/main.cpp", "app/src/main.tmp", "app/node_modules"})
        test::writeFile(source + QString::fromLatin1(file), "data");
    const QString home = window.data.path() + u"/home"_s;
    QDir().mkpath(home);
    const ScopedHome scopedHome(home);
    window.showLoaded("StorePaths=Relative paths\r\n");
    window.logic().changeSettings(
        [](TSettings& edited) { edited.WinRARLocation = test::realRarProgram(); }, false);

    QTimer::singleShot(0, [&] { fillRuleDialog(source, destination, u"node_modules; *.tmp"_s); });
    window.find<QPushButton>("ButtonAddRule")->click();

    ASSERT_EQ(window.logic().settings().rules().Count(), 1);
    EXPECT_TRUE(test::readFile(window.configFile())
                    .contains("DiskUsage=5\r\nExcludeMasks=node_modules; *.tmp\r\n"));
    auto* list = window.find<QTreeWidget>("ListViewBackupRules");
    list->setCurrentItem(list->topLevelItem(0));
    EXPECT_EQ(list->topLevelItem(0)->toolTip(1), u"Exclude: node_modules; *.tmp"_s);

    window.find<QAction>("ActionBackUpRuleNow")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.logic().pass().isRunning(); }));

    const std::optional<QStringList> entries = test::rarEntryNames(destination + u"projects.rar"_s);
    ASSERT_TRUE(entries.has_value());
    EXPECT_EQ(*entries, (QStringList{u"app"_s, u"app/src"_s, u"app/src/main.cpp"_s, u"readme.md"_s,
                                     u"web"_s, u"web/index.html"_s}));
    const QList<PassRecord> passes = window.logic().history().lastPasses();
    ASSERT_EQ(passes.size(), 1);
    EXPECT_EQ(passes[0].trigger, PassTrigger::Rule);
    EXPECT_EQ(passes[0].errors(), 0);
}

// The action sits in the rule list's context menu, answers Ctrl+B while the
// list has the focus, and is there only while a rule is selected.
TEST(MainWindowExclusion, BackUpThisRuleNowIsInTheContextMenuOfASelectedRule)
{
    MainWindowHarness window;
    window.showLoaded();
    window.addRule(window.data.path() + u"/dest/"_s);
    auto* list = window.find<QTreeWidget>("ListViewBackupRules");
    auto* action = window.find<QAction>("ActionBackUpRuleNow");

    EXPECT_EQ(list->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_TRUE(list->actions().contains(action));
    EXPECT_EQ(action->text(), u"Back up this rule now"_s);
    EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
    EXPECT_FALSE(action->isEnabled());
    list->setCurrentItem(list->topLevelItem(0));
    EXPECT_TRUE(action->isEnabled());
}

} // namespace
} // namespace tessaro
