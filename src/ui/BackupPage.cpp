#include "ui/BackupPage.h"

#include "ui/RuleListView.h"

#include <QAction>
#include <QLabel>
#include <QVBoxLayout>

namespace tessaro {

BackupPage::BackupPage(const PageContext& context, QWidget* parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("TabBackup"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeNamed<QLabel>(this, "LabelBackupRules", QStringLiteral("Backup Rules:")));

    ListViewBackupRules = new RuleListView(this);
    layout->addWidget(ListViewBackupRules, 1);
    RuleEditing& rules = m_context.logic.rules();
    connect(ListViewBackupRules, &RuleListView::clickedWithoutSelection, this,
            [this, &rules] { rules.ListViewClick(ListViewBackupRules->selectedIndex()); });
    connect(ListViewBackupRules, &RuleListView::doubleClickedOnRule, this,
            [this, &rules] { rules.ListViewDoubleClick(ListViewBackupRules->selectedIndex()); });
    connect(ListViewBackupRules, &RuleListView::ruleSelectionChanged, this,
            &BackupPage::UpdateEditButtons);
    buildRuleActions();

    layout->addLayout(buildRuleButtons());
    layout->addWidget(makeSeparator(this));
    layout->addLayout(buildRunButtons());
    UpdateEditButtons();
}

void BackupPage::buildRuleActions()
{
    // The rule's context menu, and its key while the list has the focus.
    ActionBackUpRuleNow = new QAction(QStringLiteral("Back up this rule now"), ListViewBackupRules);
    ActionBackUpRuleNow->setObjectName(QStringLiteral("ActionBackUpRuleNow"));
    ActionBackUpRuleNow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    ActionBackUpRuleNow->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    ListViewBackupRules->addAction(ActionBackUpRuleNow);
    ListViewBackupRules->setContextMenuPolicy(Qt::ActionsContextMenu);
    BackupPass& pass = m_context.logic.pass();
    connect(ActionBackUpRuleNow, &QAction::triggered, this,
            [this, &pass] { pass.BackUpRuleNow(ListViewBackupRules->selectedIndex()); });
}

QHBoxLayout* BackupPage::buildRuleButtons()
{
    auto* row = new QHBoxLayout;
    RuleEditing& rules = m_context.logic.rules();
    const struct
    {
        const char* name;
        const char* caption;
        std::function<void()> click;
        // Where the page keeps the button, when it needs it later.
        QPushButton** keep;
    } buttons[] = {
        {"ButtonAddRule", "Add", [&rules] { rules.ButtonAddRuleClick(); }, nullptr},
        {"ButtonEditRule", "Edit",
         [this, &rules] { rules.ButtonEditRuleClick(ListViewBackupRules->selectedIndex()); },
         &ButtonEditRule},
        {"ButtonDeleteRule", "Delete",
         [this, &rules] { rules.ButtonDeleteRuleClick(ListViewBackupRules->selectedIndex()); },
         &ButtonDeleteRule},
    };
    for (const auto& spec : buttons) {
        auto* button = makeNamed<QPushButton>(this, spec.name, QString::fromLatin1(spec.caption));
        connect(button, &QPushButton::clicked, this, spec.click);
        row->addWidget(button);
        if (spec.keep)
            *spec.keep = button;
    }
    row->addStretch();
    return row;
}

QHBoxLayout* BackupPage::buildRunButtons()
{
    auto* row = new QHBoxLayout;
    PeriodicRunController& periodic = m_context.logic.periodic();
    BackupPass& pass = m_context.logic.pass();
    const ButtonSpec buttons[] = {
        {Control::ButtonRun, "ButtonRun", QStringLiteral("Run"),
         [&periodic] {
             periodic.ActionRun(true);
         }},
        {Control::ButtonStop, "ButtonStop", QStringLiteral("Stop"),
         [&periodic] {
             periodic.ActionStop();
         }},
        {Control::ButtonRunOnce, "ButtonRunOnce", QStringLiteral("Backup Once (Now)"),
         [&pass] {
             pass.BackUpOnceNow();
         }},
        {Control::ButtonStopBackup, "ButtonStopBackup", QStringLiteral("Stop backup"),
         [&pass] {
             pass.StopBackupClick();
         }},
    };
    for (const ButtonSpec& spec : buttons)
        addButton(row, this, m_context, spec);
    row->addStretch();
    return row;
}

void BackupPage::refreshRuleList()
{
    ListViewBackupRules->showRules(m_context.logic.settings().rules());
    refreshRuleMarks();
    UpdateEditButtons();
}

void BackupPage::refreshRuleMarks()
{
    const TBackupRules& rules = m_context.logic.settings().rules();
    QStringList failures;
    for (qsizetype i = 0; i < rules.Count(); ++i)
        failures.append(m_context.logic.ruleResults().failureOf(*rules.Item(i)));
    ListViewBackupRules->markFailures(failures);
}

void BackupPage::UpdateEditButtons()
{
    const bool selected = ListViewBackupRules->selectedIndex() >= 0;
    ButtonEditRule->setEnabled(selected);
    ButtonDeleteRule->setEnabled(selected);
    ActionBackUpRuleNow->setEnabled(selected);
}

} // namespace tessaro
