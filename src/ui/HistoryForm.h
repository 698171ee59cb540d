#pragma once

#include "app/PassRecord.h"

#include <QDialog>
#include <QList>

class QTableWidget;

namespace tessaro {

// The run history as a table: one row per rule of each of the last passes,
// newest first, sortable by any column. A failed rule's row links to the log
// lines its job wrote.
class THistoryForm final : public QDialog
{
    Q_OBJECT

public:
    enum Column
    {
        ColumnStart,
        ColumnTrigger,
        ColumnSource,
        ColumnResult,
        ColumnArchive,
        ColumnSize,
        ColumnSeconds,
        ColumnLog,
        ColumnCount,
    };

    THistoryForm(const QList<PassRecord>& passes, QWidget* owner = nullptr);

    // Shows the log lines of the rule in the given row, when it failed.
    void showLogOfRow(int row);

private:
    void fill();

    QList<PassRecord> m_passes;
    QTableWidget* m_table = nullptr;
};

} // namespace tessaro
