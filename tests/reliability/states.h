#pragma once

#include "TestFiles.h"
#include "store/Module1.h"
#include "store/database.h"

#include <QDirIterator>
#include <QMap>

#include <utility>

// Distinct databases: state k has its own accounts and number of entries; no two files agree.
namespace reliability {

inline void fillState(Module1& store, int k) {
  store.AccountTable.clear();
  store.EntryTable.clear();
  store.AccountTable[1] = makeAccount(QStringLiteral("A-現金"), kAsset);
  store.AccountTable[2] = makeAccount(QStringLiteral("Equity"), kEquity);
  store.AccountCount = 23 + 7 * k;
  for (int i = 3; i < store.AccountCount; ++i) {
    store.AccountTable[i] = makeAccount(
        QChar(u"ALIE"[i % 4]) + QStringLiteral("-帳戶%1之%2").arg(k).arg(i), qint16(i % 4 + 1));
  }
  store.EntryCount = 401 + 350 * k;
  for (int i = 1; i < store.EntryCount; ++i) {
    store.EntryTable[i] = makeEntry(QString::asprintf("2003/%02d/%02d", 1 + i % 12, 1 + i % 28),
                                    store.AccountTable[3 + i % 20].AccountName,
                                    QStringLiteral("A-現金"), (i * 7919 + k) % 100000 - 20000,
                                    QStringLiteral("第%1版第%2筆 餐飲費").arg(k).arg(i));
  }
}

using Files = std::pair<QByteArray, QByteArray>;  // Accounts.dat, Main.dat

inline Files filesOf(const Module1& store) {
  return {accountsFileBytes(store.AccountTable, store.AccountCount),
          entriesFileBytes(store.EntryTable, store.EntryCount)};
}

inline Files filesIn(const QString& folder) {
  return {fileBytes(folder + "/Accounts.dat"), fileBytes(folder + "/Main.dat")};
}

// Every file and folder under `root`, with the bytes of the files: a failed write changes none.
inline QMap<QString, QByteArray> treeOf(const QString& root) {
  QMap<QString, QByteArray> tree;
  QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    tree[info.filePath()] = info.isDir() ? "<folder>" : fileBytes(info.filePath());
  }
  return tree;
}

}  // namespace reliability

namespace reliability {

// What the killed session changes in the book of state 0: it becomes state 1, and one entry
// more, each a step of the history as the program's commands make them.
inline void sessionChanges(Module1& store) {
  {
    HistoryStep step(store, stepname::kImport);
    fillState(store, 1);
  }
  HistoryStep step(store, stepname::kNewEntry);
  store.EntryTable[store.EntryCount++] =
      makeEntry(QStringLiteral("2003/12/31"), store.AccountTable[3].AccountName,
                QStringLiteral("A-現金"), 4321, QStringLiteral("當機前最後一筆"));
}

}  // namespace reliability
