#pragma once

#include "TestFiles.h"
#include "book/workspace.h"
#include "store/database.h"

#include <QDirIterator>
#include <QMap>

// Distinct databases: state k has its own accounts and number of entries; no two files agree.
namespace reliability {

inline void fillState(book::Workspace& store, int k) {
  store.tables().accounts.clear();
  store.tables().entries.clear();
  store.tables().accounts[1] = store::makeAccount(QStringLiteral("A-現金"), store::kAsset);
  store.tables().accounts[2] = store::makeAccount(QStringLiteral("Equity"), store::kEquity);
  store.tables().accountCount = 23 + 7 * k;
  for (int i = 3; i < store.tables().accountCount; ++i) {
    store.tables().accounts[i] = store::makeAccount(
        QChar(u"ALIE"[i % 4]) + QStringLiteral("-帳戶%1之%2").arg(k).arg(i), qint16(i % 4 + 1));
  }
  store.tables().entryCount = 401 + 350 * k;
  for (int i = 1; i < store.tables().entryCount; ++i) {
    store.tables().entries[i] = store::makeEntry(
        QString::asprintf("2003/%02d/%02d", 1 + i % 12, 1 + i % 28),
        store.tables().accounts[3 + i % 20].AccountName, QStringLiteral("A-現金"),
        (i * 7919 + k) % 100000 - 20000, QStringLiteral("第%1版第%2筆 餐飲費").arg(k).arg(i));
  }
}

// The book's files in `folder`, as testbooks::bookBytes gives them of the tables.
inline QByteArray filesIn(const QString& folder) {
  return fileBytes(folder + "/Accounts.dat") + "|" + fileBytes(folder + "/Main.dat");
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

// What the killed session changes in the book of state 0: it becomes state 1, and one entry
// more, each a step of the history as the program's commands make them.
inline void sessionChanges(book::Workspace& store) {
  {
    HistoryStep step(store.history(), store.tables(), stepnames::kImport);
    fillState(store, 1);
  }
  HistoryStep step(store.history(), store.tables(), stepnames::kNewEntry);
  store.tables().entries[store.tables().entryCount++] =
      store::makeEntry(QStringLiteral("2003/12/31"), store.tables().accounts[3].AccountName,
                       QStringLiteral("A-現金"), 4321, QStringLiteral("當機前最後一筆"));
}

}  // namespace reliability
