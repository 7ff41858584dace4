#pragma once

// The book two computers share in the merge's session tests: the user "Test" (password 839)
// with the book "家計簿" of cash, food and one entry.

#include "Books.h"
#include "platform/safefile.h"
#include "store/booklist.h"

#include <QFileInfo>

namespace sharedbook {

// Written into the data folder `data`; the book's folder.
inline QString make(const QString& data, const store::LedgerEntry& entry) {
  book::Workspace store(data);
  testbooks::signIn(store, "Test", "家計簿");
  testbooks::addAccounts(store, {"A-現金", "E-餐飲"});
  store.tables().entries[store.tables().entryCount++] = entry;
  const QString folder = store.user().databaseFolder();
  if (!testbooks::writeBook(store, folder) ||
      safefile::write(store.user().userFolder() + "/DataBase.pwd", "003800330039\r\n") ||
      store::saveDatabaseList(store.user(), {"家計簿"}))
    qFatal("cannot write the shared book");
  return folder;
}

// The file replaced whole, as a sync tool replaces it.
inline void replace(const QString& path, const QByteArray& bytes) {
  if (safefile::write(path, bytes)) qFatal("cannot write %s", qPrintable(path));
}

}  // namespace sharedbook
