#pragma once

// A small household book in memory for the maintenance tests.

#include "ScriptedDialogs.h"
#include "store/LedgerView.h"
#include "store/Module1.h"
#include "store/ledger.h"
#include "store/records.h"

#include <QDate>
#include <QDir>
#include <QString>

#include <vector>

namespace testbooks {

// The ledger view of a main window, remembering how it was asked to redraw.
class FakeLedgerView : public LedgerView {
 public:
  std::vector<bool> redraws;  // selectLastRow of every redrawLedger

  int shownAccountSlot() const override { return 1; }
  void showAccount(int) override {}
  void redrawLedger(bool selectLastRow) override { redraws.push_back(selectLastRow); }
  void appendRow(const LedgerRow&) override {}
  void selectEntry(int) override {}
  qint64 lastRunningTotal() const override { return 0; }
  int rowCount() const override { return 0; }
};

struct Books {
  ScriptedDialogs dialogs;
  Module1 store{QDir::tempPath(), dialogs};

  Books() { store.clock().setToday(QDate(2024, 7, 15)); }

  Books(const Books&) = delete;
  Books& operator=(const Books&) = delete;

  void account(const QString& name, qint16 kind) {
    store.AccountTable[store.AccountCount++] = makeAccount(name, kind);
  }
  void entry(const QString& date, const QString& increase, const QString& decrease, qint32 amount,
             const QString& memo = QString()) {
    store.EntryTable[store.EntryCount++] = makeEntry(date, increase, decrease, amount, memo);
  }
  std::vector<LedgerEntry> entries() const {
    std::vector<LedgerEntry> out;
    for (int i = 1; i < store.EntryCount; ++i) out.push_back(store.EntryTable[i]);
    return out;
  }
  std::vector<QString> dates() const {
    std::vector<QString> out;
    for (const LedgerEntry& e : entries()) out.push_back(e.EntryDate);
    return out;
  }
  qint64 balance(const QString& name, const QString& date) const {
    return AccountBalance(store, store.accountSlot(nameField(name)), date);
  }
};

// The chart most tests use, slots 1..7: assets in 2, 5 and 7, the liability in 3.
struct Household : Books {
  Household() {
    account("Equity", kEquity);
    account("A-現金", kAsset);
    account("L-信用卡", kLiability);
    account("I-薪水", kIncome);
    account("A-銀行", kAsset);
    account("E-餐飲", kExpense);
    account("A-保險箱", kAsset);
  }
};

}  // namespace testbooks
