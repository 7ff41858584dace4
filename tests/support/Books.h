#pragma once

// Books in memory for the tests: accounts and entries put straight into the tables, and a
// ledger that remembers its redraws.

#include "ScriptedDialogs.h"
#include "book/workspace.h"
#include "store/LedgerView.h"
#include "store/database.h"
#include "store/records.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <vector>

namespace testbooks {

// The kind a name's prefix says ("A-", "L-", "I-", "E-"); Equity otherwise.
inline qint16 kindOfPrefix(const QString& name) {
  const int at = QStringLiteral("ALIE").indexOf(name.left(1));
  return name.mid(1, 1) == u'-' && at >= 0 ? qint16(store::kAsset + at) : qint16(store::kEquity);
}

inline void addAccounts(book::Workspace& store, std::initializer_list<QString> names) {
  for (const QString& name : names)
    store.tables().accounts[store.tables().accountCount++] =
        store::makeAccount(name, kindOfPrefix(name));
}

inline void addEntry(book::Workspace& store, const QString& date, const QString& increase,
                     const QString& decrease, qint32 amount, const QString& memo = QString()) {
  store.tables().entries[store.tables().entryCount++] =
      store::makeEntry(date, increase, decrease, amount, memo);
}

// Signed in as `user` with the book `database` chosen; the folders made.
inline void signIn(book::Workspace& store, const QString& user, const QString& database = {}) {
  store.user().setUserName(user);
  store.user().setDatabaseName(database);
  QDir().mkpath(database.isEmpty() ? store.user().userFolder() : store.user().databaseFolder());
}

// The book as its two files would hold it: what undo, redo and a save must reproduce.
inline QByteArray bookBytes(const book::Workspace& store) {
  return store::accountsFileBytes(store.tables().accounts, store.tables().accountCount) + "|" +
         store::entriesFileBytes(store.tables().entries, store.tables().entryCount);
}

// The two files of the book written into `folder`, as a save leaves them.
inline bool writeBook(const book::Workspace& store, const QString& folder) {
  QFile accounts(folder + "/Accounts.dat"), entries(folder + "/Main.dat");
  return QDir().mkpath(folder) && accounts.open(QIODevice::WriteOnly) &&
         accounts.write(
             store::accountsFileBytes(store.tables().accounts, store.tables().accountCount)) >= 0 &&
         entries.open(QIODevice::WriteOnly) &&
         entries.write(
             store::entriesFileBytes(store.tables().entries, store.tables().entryCount)) >= 0;
}

class FakeLedgerView : public store::LedgerView {
 public:
  std::vector<bool> redraws;  // selectLastRow of every redrawLedger
  int shownAccountSlot() const override { return 1; }
  void showAccount(int) override {}
  void redrawLedger(bool selectLastRow) override { redraws.push_back(selectLastRow); }
  void appendRow(const store::LedgerRow&) override {}
  void selectEntry(int) override {}
  qint64 lastRunningTotal() const override { return 0; }
  int rowCount() const override { return 0; }
};

struct Books {
  QTemporaryDir dir;  // the installation folder
  ScriptedDialogs dialogs;
  book::Workspace store{dir.path()};
  FakeLedgerView view;

  // On a fixed day; the accounts in slots from 1, of the kinds their prefixes name.
  explicit Books(std::initializer_list<QString> chart = {}) {
    store.clock().setToday(QDate(2024, 7, 15));
    addAccounts(store, chart);
  }
  void account(const QString& name, qint16 kind) {
    store.tables().accounts[store.tables().accountCount++] = store::makeAccount(name, kind);
  }
  void entry(const QString& date, const QString& increase, const QString& decrease, qint32 amount,
             const QString& memo = QString()) {
    addEntry(store, date, increase, decrease, amount, memo);
  }
  void signIn(const QString& user, const QString& database = {}) {
    testbooks::signIn(store, user, database);
  }
  bool writeTo(const QString& folder) const { return writeBook(store, folder); }
  std::vector<store::LedgerEntry> entries() const {
    std::vector<store::LedgerEntry> out;
    for (int i = 1; i < store.tables().entryCount; ++i) out.push_back(store.tables().entries[i]);
    return out;
  }
};

}  // namespace testbooks
