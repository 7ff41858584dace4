// The main window's ledger and account selector: the LedgerView half of MainForm.
#include "ui/main/MainForm.h"

#include "book/workspace.h"
#include "entries/InputForm.h"
#include "entries/deletion.h"
#include "history/History.h"
#include "platform/dialogs.h"
#include "store/ledger.h"
#include "ui/main/LedgerItems.h"
#include "ui/main/SideBooks.h"

#include <QListWidget>
#include <QTreeWidget>

int MainForm::shownAccountSlot() const {
  const int row = selector_->currentRow();
  return row < 0 ? 0 : row + 1;
}

void MainForm::showAccount(int slot) {
  if (slot < 1 || slot > selector_->count()) return;
  if (selector_->currentRow() == slot - 1) {
    onAccountSelected(slot - 1);
  } else {
    selector_->setCurrentRow(slot - 1);
  }
}

void MainForm::redrawLedger(bool selectLast) {
  const int slot = shownAccountSlot();
  filling_ = true;
  ledger_->clear();
  if (slot >= 1 && slot < store_.tables().accountCount) {
    std::vector<store::LedgerRow> rows = store::showLedger(store_.tables(), slot);
    const QHash<int, QString> reconciled =
        sideBooks_ ? sideBooks_->reconciledSlots() : QHash<int, QString>();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (store::LedgerRow& row : rows) {
      const auto held = reconciled.find(row.number.toInt());
      QTreeWidgetItem* item = makeLedgerItem(std::move(row), true);
      if (held != reconciled.end()) markReconciled(*item, *held);
      items.append(item);
    }
    ledger_->addTopLevelItems(items);
  }
  filling_ = false;
  if (selectLast) selectLastRow();
}

void MainForm::appendRow(const store::LedgerRow& row) {
  filling_ = true;
  QTreeWidgetItem* item = makeLedgerItem(row, false);
  ledger_->addTopLevelItem(item);
  filling_ = false;
  ledger_->setCurrentItem(item);
  ledger_->scrollToItem(item);
}

void MainForm::selectEntry(int slot) {
  const QString number = QString::number(slot);
  for (int i = 0; i < ledger_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = ledger_->topLevelItem(i);
    if (item->text(NumberColumn) == number) {
      ledger_->setCurrentItem(item);
      ledger_->scrollToItem(item);
      return;
    }
  }
}

qint64 MainForm::lastRunningTotal() const {
  const int count = ledger_->topLevelItemCount();
  if (count == 0) return 0;
  return runningTotalOf(*ledger_->topLevelItem(count - 1));
}

int MainForm::rowCount() const { return ledger_->topLevelItemCount(); }

std::vector<int> MainForm::tickedSlots() const {
  std::vector<int> ticked;
  for (int i = 0; i < ledger_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = ledger_->topLevelItem(i);
    if (item->checkState(DateColumn) == Qt::Checked) {
      ticked.push_back(item->text(NumberColumn).toInt());
    }
  }
  return ticked;
}

void MainForm::selectLastRow() {
  const int count = ledger_->topLevelItemCount();
  if (count == 0) return;
  QTreeWidgetItem* last = ledger_->topLevelItem(count - 1);
  ledger_->setCurrentItem(last);
  ledger_->scrollToItem(last);
}

void MainForm::refillAccountSelector() {
  // Emptying the list moves its current row to none, which empties the ledger; selecting the
  // first name then shows its ledger.
  selector_->clear();
  selector_->addItems(store::accountListNames(store_.tables()));
  if (selector_->count() > 0) selector_->setCurrentRow(0);
}

void MainForm::onAccountSelected(int) { redrawLedger(true); }

void MainForm::onRowChanged(QTreeWidgetItem* item, int column) {
  // Ticking or unticking a row makes it the selected one, so a double click then edits it.
  if (filling_ || column != DateColumn) return;
  ledger_->setCurrentItem(item);
}

void MainForm::onRowDoubleClicked() {
  const QTreeWidgetItem* item = ledger_->currentItem();
  if (!item) return;
  const int slot = item->text(NumberColumn).toInt();
  if (slot < 1 || slot >= store_.tables().entryCount) return;
  if (store_.readOnly()) {
    dialogs_.show(refusal(QStringLiteral("這個資料庫是唯讀開啟的，不能修改。")));
    return;
  }
  inputForm_->openEdit(slot);
}

// ---- changing entries: the ticked rows deleted after one question, which names the
// reconciliations of those among them that are reconciled

void MainForm::onDelete() {
  const std::vector<int> ticked = tickedSlots();
  if (auto refused = entries::tickedEntriesRefusal(store_, ticked)) {
    dialogs_.show(*refused);
    return;
  }
  const Message question = sideBooks_ ? sideBooks_->deleteQuestion(ticked)
                                      : confirmDelete(QStringLiteral("確定刪除資料嗎？"));
  if (dialogs_.show(question) != Answer::Yes) return;
  {
    // The reconciliations the deletion breaks are part of its step.
    const HistoryStep step(store_.history(), store_.tables(), stepnames::kDeleteEntries);
    if (auto refused = entries::deleteTickedEntries(store_, ticked)) {
      dialogs_.show(*refused);
      return;
    }
    entriesChanged();
  }
  redrawLedger(true);
}

bool MainForm::mayChangeEntries(const std::vector<int>& entrySlots, bool deleting) {
  return !sideBooks_ || sideBooks_->mayChangeEntries(entrySlots, deleting);
}

void MainForm::entriesChanged() {
  if (sideBooks_) sideBooks_->entriesChanged();
}

void MainForm::keepEntryAsSchedule(int slot) {
  if (sideBooks_) sideBooks_->keepEntryAsSchedule(slot);
}
