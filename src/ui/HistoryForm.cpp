#include "ui/HistoryForm.h"

#include "app/LastRuleResults.h"
#include "app/RunHistory.h"
#include "core/FileSize.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

// Where in m_passes a row's rule lies, kept on the row's first item so that
// it follows the row through sorting.
constexpr int PassRole = Qt::UserRole;
constexpr int RuleRole = Qt::UserRole + 1;

QTableWidgetItem* textItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// A cell whose text may be cut short shows it whole as its tooltip.
QTableWidgetItem* longTextItem(const QString& text)
{
    QTableWidgetItem* item = textItem(text);
    item->setToolTip(text);
    return item;
}

// What started the pass, in the window's words.
QString triggerText(PassTrigger trigger)
{
    switch (trigger) {
    case PassTrigger::StartUp:
        return u"Program start"_s;
    case PassTrigger::Schedule:
        return u"Schedule"_s;
    case PassTrigger::Rule:
        return u"One rule"_s;
    case PassTrigger::Button:
        break;
    }
    return u"By hand"_s;
}

// The widest the long columns get at first, so that Result, Archive and
// Size are in sight at the window's first width; the user can widen them.
constexpr struct
{
    int column;
    int width;
} widestAtFirst[] = {
    {THistoryForm::ColumnSource, 150},
    {THistoryForm::ColumnResult, 240},
    {THistoryForm::ColumnArchive, 220},
};

// Numbers sort as numbers, not as text.
class NumberItem final : public QTableWidgetItem
{
public:
    using QTableWidgetItem::QTableWidgetItem;
    bool operator<(const QTableWidgetItem& other) const override
    {
        return data(Qt::UserRole + 2).toLongLong() < other.data(Qt::UserRole + 2).toLongLong();
    }
};

QTableWidgetItem* sortedNumber(qint64 value, const QString& shown)
{
    auto* item = new NumberItem(shown);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setData(Qt::UserRole + 2, value);
    return item;
}

} // namespace

THistoryForm::THistoryForm(const QList<PassRecord>& passes, QWidget* owner)
    : QDialog(owner), m_passes(passes)
{
    setObjectName(u"HistoryForm"_s);
    setWindowTitle(u"Run history"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(960, 420);
    auto* layout = new QVBoxLayout(this);
    m_table = new QTableWidget(0, ColumnCount, this);
    m_table->setObjectName(u"HistoryTable"_s);
    m_table->setHorizontalHeaderLabels({u"Start"_s, u"Trigger"_s, u"Source"_s, u"Result"_s,
                                        u"Archive"_s, u"Size"_s, u"Seconds"_s, u"Log"_s});
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Paths differ at their ends; their middle is what goes when cut.
    m_table->setTextElideMode(Qt::ElideMiddle);
    m_table->setWordWrap(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == ColumnLog)
            showLogOfRow(row);
    });
    fill();
}

void THistoryForm::fill()
{
    m_table->setSortingEnabled(false);
    int rows = 0;
    for (const PassRecord& pass : std::as_const(m_passes))
        rows += int(pass.rules.size());
    m_table->setRowCount(rows);
    int row = 0;
    // Newest first, as the table opens.
    for (qsizetype p = m_passes.size() - 1; p >= 0; --p) {
        const PassRecord& pass = m_passes.at(p);
        for (qsizetype r = 0; r < pass.rules.size(); ++r, ++row) {
            const RuleRecord& rule = pass.rules.at(r);
            QTableWidgetItem* start =
                sortedNumber(pass.start.milliseconds(), pass.start.format(u"yyyy.mm.dd hh:nn:ss"));
            start->setData(PassRole, int(p));
            start->setData(RuleRole, int(r));
            m_table->setItem(row, ColumnStart, start);
            m_table->setItem(row, ColumnTrigger, textItem(triggerText(pass.trigger)));
            QTableWidgetItem* source = longTextItem(rule.source);
            // What the archive left out on purpose, for a later restore.
            if (!rule.excluded.isEmpty())
                source->setToolTip(source->toolTip() +
                                   (source->toolTip().isEmpty() ? u""_s : u"\n"_s) +
                                   u"Exclude: "_s + rule.excluded.join(u"; "_s));
            m_table->setItem(row, ColumnSource, source);
            QTableWidgetItem* result = sortedNumber(rule.result, ruleResultText(rule.result));
            result->setToolTip(ruleResultText(rule.result) + u" ("_s +
                               QString::number(rule.result) + u')');
            m_table->setItem(row, ColumnResult, result);
            m_table->setItem(row, ColumnArchive, longTextItem(rule.archive));
            // A failed job that made no archive has no size to show.
            const bool noArchive = rule.failed() && rule.size == 0;
            m_table->setItem(
                row, ColumnSize,
                sortedNumber(rule.size, noArchive ? QString() : FormatFileSize(rule.size)));
            m_table->setItem(row, ColumnSeconds,
                             sortedNumber(rule.seconds, QString::number(rule.seconds)));
            QTableWidgetItem* log = textItem(rule.failed() ? u"log lines"_s : QString());
            if (rule.failed()) {
                QFont font = log->font();
                font.setUnderline(true);
                log->setFont(font);
                log->setForeground(QColor(0x00, 0x00, 0xCC));
                log->setToolTip(u"Show the log lines of this rule"_s);
            }
            m_table->setItem(row, ColumnLog, log);
        }
    }
    m_table->resizeColumnsToContents();
    for (const auto& [column, width] : widestAtFirst)
        m_table->setColumnWidth(column, qMin(m_table->columnWidth(column), width));
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(ColumnStart, Qt::DescendingOrder);
}

void THistoryForm::showLogOfRow(int row)
{
    const QTableWidgetItem* first = m_table->item(row, ColumnStart);
    if (!first)
        return;
    const RuleRecord& rule =
        m_passes.at(first->data(PassRole).toInt()).rules.at(first->data(RuleRole).toInt());
    if (!rule.failed())
        return;
    auto* dialog = new QDialog(this);
    dialog->setObjectName(u"RuleLogDialog"_s);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(u"Log lines of "_s + rule.source);
    dialog->resize(760, 300);
    auto* layout = new QVBoxLayout(dialog);
    auto* text = new QPlainTextEdit(dialog);
    text->setObjectName(u"RuleLogLines"_s);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QStringList lines = RunHistory::logLinesOf(rule);
    text->setPlainText(lines.isEmpty() ? u"The log file "_s + rule.logFile +
                                             u" holds no lines of this rule any more."_s
                                       : lines.join(u'\n'));
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog->show();
}

} // namespace tessaro
