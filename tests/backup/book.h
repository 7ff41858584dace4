#pragma once

// An open book on disk, as the program has it after opening: listed, locked and loaded.

#include "Books.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "catalogue/catalogue.h"
#include "store/Module1.h"
#include "store/database.h"

#include <QDir>
#include <QTemporaryDir>

namespace testbooks {

struct OpenBook {
  explicit OpenBook(const QString& name = QStringLiteral("家計簿")) {
    store.UserName = QStringLiteral("Test");
    store.DataBaseName = name;
    store.clock().setNow(QDateTime(QDate(2026, 12, 6), QTime(15, 30, 10)));
    EXPECT_TRUE(QDir().mkpath(folder()));
    EXPECT_EQ(SaveDatabaseList(store, {QStringLiteral("其他"), name}), std::nullopt);
    EXPECT_EQ(store.Lock.acquire(folder()), std::nullopt);
    dialogs.type(QStringLiteral("1000"));  // the starting cash of the new book
    EXPECT_EQ(LoadDatabase(store), std::nullopt);
  }

  QString folder() const { return store.databaseFolder(); }
  QString folderOf(const QString& name) const { return store.userFolder() + '/' + name; }
  QStringList listed() const {
    return std::get<QStringList>(readDatabaseList(databaseListPath(store)));
  }
  // A change of the open book, as a command makes one.
  void change(qint32 amount) { addEntry(store, "2026/12/06", "A-現金", "Equity", amount, "測試"); }
  QByteArray accountsBytes() const { return fileBytes(folder() + "/Accounts.dat"); }
  QByteArray entriesBytes() const { return fileBytes(folder() + "/Main.dat"); }

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
};

}  // namespace testbooks
