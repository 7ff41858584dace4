#pragma once

#include "store/Module1.h"
#include "store/database.h"

#include <QString>

// Distinct, full databases for the tests that save again and again: state k has its own
// accounts and its own number of entries, with Chinese names and memos, so that the files of
// two states never agree byte for byte.
namespace reliability {

inline void fillState(Module1& store, int k) {
  store.AccountTable.clear();
  store.EntryTable.clear();
  const QString kinds[] = {QStringLiteral("A-"), QStringLiteral("L-"), QStringLiteral("I-"),
                           QStringLiteral("E-")};
  store.AccountTable[1] = makeAccount(QStringLiteral("A-現金"), kAsset);
  store.AccountTable[2] = makeAccount(QStringLiteral("Equity"), kEquity);
  int accounts = 3;
  for (int i = 0; i < 20 + 7 * k && accounts <= kMaxAccounts; ++i, ++accounts) {
    const int kind = i % 4;
    store.AccountTable[accounts] = makeAccount(
        kinds[kind] + QStringLiteral("帳戶%1之%2").arg(k).arg(i), static_cast<qint16>(kind + 1));
  }
  store.AccountCount = accounts;
  int entries = 1;
  for (int i = 0; i < 400 + 350 * k && entries <= kMaxEntries; ++i, ++entries) {
    const int other = 3 + i % (accounts - 3);
    store.EntryTable[entries] = makeEntry(QStringLiteral("2003/%1/%2")
                                              .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                                              .arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                                          store.AccountTable[other].AccountName,
                                          QStringLiteral("A-現金"), (i * 7919 + k) % 100000 - 20000,
                                          QStringLiteral("第%1版第%2筆 餐飲費").arg(k).arg(i));
  }
  store.EntryCount = entries;
}

struct Files {
  QByteArray accounts;
  QByteArray entries;
};

inline Files filesOf(const Module1& store) {
  return {accountsFileBytes(store.AccountTable, store.AccountCount),
          entriesFileBytes(store.EntryTable, store.EntryCount)};
}

}  // namespace reliability
