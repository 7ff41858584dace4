#pragma once

#include "store/Module1.h"
#include "store/database.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QString>

// Distinct, full databases: state k has its own accounts and number of entries, with Chinese
// names and memos, so that no two states' files agree.
namespace reliability {

inline void fillState(Module1& store, int k) {
  store.AccountTable.clear();
  store.EntryTable.clear();
  store.AccountTable[1] = makeAccount(QStringLiteral("A-現金"), kAsset);
  store.AccountTable[2] = makeAccount(QStringLiteral("Equity"), kEquity);
  int accounts = 3;
  for (int i = 0; i < 20 + 7 * k && accounts <= kMaxAccounts; ++i, ++accounts) {
    store.AccountTable[accounts] =
        makeAccount(QChar(u"ALIE"[i % 4]) + QStringLiteral("-帳戶%1之%2").arg(k).arg(i),
                    static_cast<qint16>(i % 4 + 1));
  }
  store.AccountCount = accounts;
  int entries = 1;
  for (int i = 0; i < 400 + 350 * k && entries <= kMaxEntries; ++i, ++entries) {
    const QString date = QString::asprintf("2003/%02d/%02d", 1 + i % 12, 1 + i % 28);
    store.EntryTable[entries] = makeEntry(
        date, store.AccountTable[3 + i % (accounts - 3)].AccountName, QStringLiteral("A-現金"),
        (i * 7919 + k) % 100000 - 20000, QStringLiteral("第%1版第%2筆 餐飲費").arg(k).arg(i));
  }
  store.EntryCount = entries;
}

struct Files {
  QByteArray accounts;
  QByteArray entries;
  bool operator==(const Files&) const = default;
};

inline Files filesOf(const Module1& store) {
  return {accountsFileBytes(store.AccountTable, store.AccountCount),
          entriesFileBytes(store.EntryTable, store.EntryCount)};
}

inline void put(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("cannot write");
}

inline QByteArray bytesOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Every file and folder under `root`, with the bytes of the files: a failed write changes none.
inline QMap<QString, QByteArray> treeOf(const QString& root) {
  QMap<QString, QByteArray> tree;
  QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    tree[info.filePath()] = info.isDir() ? QByteArray("<folder>") : bytesOf(info.filePath());
  }
  return tree;
}

}  // namespace reliability
