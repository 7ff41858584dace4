#pragma once

#include "store/ledger.h"

class QTreeWidget;
class QTreeWidgetItem;

// The main window's ledger: its columns, its cells and the look of its rows.

enum LedgerColumn { DateColumn, OtherColumn, AmountColumn, TotalColumn, MemoColumn, NumberColumn };

// Gives an empty tree its columns with their headers and widths, its fixed-pitch font, its
// compact cells and the behaviour of a list of rows (one selected, none edited in place).
void setUpLedger(QTreeWidget& ledger);

// One row to add to the ledger, with a tick box in 日期. `coloured`: negative amounts and
// totals are drawn red (the row the entry dialog appends is not).
QTreeWidgetItem* makeLedgerItem(store::LedgerRow row, bool coloured);

// Marks a reconciled entry's row: a lock before its memo, and the reconciliation's name as the
// row's tip and in what a screen reader says of it.
void markReconciled(QTreeWidgetItem& item, const QString& reconciliation);

// The running total a row shows in 累計.
qint64 runningTotalOf(const QTreeWidgetItem& item);
