#include "backup/backups.h"
#include "book.h"
#include "store/dblock.h"

#include <QFile>

#include <gtest/gtest.h>

// Files changed under an open book by someone else are never overwritten by its next save.
namespace {

using testbooks::OpenBook;

const QString kCopy = QStringLiteral("家計簿-衝突-20261206-1530");

TEST(ConflictTest, ChangedFilesAreKeptAndTheOpenBookIsSavedAsANewOne) {
  // Which file the other program wrote.
  for (const QString file : {"Main.dat", "Accounts.dat"}) {
    SCOPED_TRACE(file.toStdString());
    OpenBook book;
    book.change(250);
    ASSERT_TRUE(SaveDatabase(book.store).saved());
    QByteArray theirs = fileBytes(book.folder() + '/' + file);
    theirs[0] = 'Z';
    putFile(book.folder() + '/' + file, theirs);
    book.change(300);
    const auto tables = entriesFileBytes(book.store.EntryTable, book.store.EntryCount);

    const SaveResult result = SaveDatabase(book.store);
    ASSERT_TRUE(result.saved() && result.notice);
    EXPECT_EQ(result.notice->text,
              QStringLiteral("資料庫「家計簿」的檔案已被其他程式變更。為了不覆蓋這些變更，"
                             "目前的資料已另存為新的資料庫「%1」，兩者都保留在資料庫清單中，"
                             "之後會存到「%1」。")
                  .arg(kCopy));
    EXPECT_EQ(fileBytes(book.folderOf("家計簿") + '/' + file), theirs);
    EXPECT_EQ(fileBytes(book.folderOf(kCopy) + "/Main.dat"), tables);
    EXPECT_EQ(book.listed(), (QStringList{"其他", "家計簿", kCopy}));
    // The copy is the open book now, with its lock; the original is free.
    EXPECT_EQ(book.store.DataBaseName, kCopy);
    EXPECT_EQ(book.store.panel(Module1::DatabasePanel), "資料庫名稱：" + kCopy);
    EXPECT_TRUE(book.store.Lock.holds(book.folderOf(kCopy)));
    EXPECT_FALSE(dblock::inUse(book.folderOf("家計簿")));
    // Later saves go to the copy, as ordinary saves.
    book.change(1);
    const SaveResult later = SaveDatabase(book.store);
    EXPECT_TRUE(later.saved() && !later.notice);
    EXPECT_EQ(backup::list(book.folderOf(kCopy)).size(), 1u);
  }
}

TEST(ConflictTest, FilesWrittenAgainWithTheSameBytesAreNoChange) {
  OpenBook book;
  const QByteArray entries = book.entriesBytes();
  putFile(book.folder() + "/Main.dat", entries);
  QFile file(book.folder() + "/Main.dat");
  ASSERT_TRUE(
      file.open(QIODevice::ReadWrite) &&
      file.setFileTime(QDateTime::currentDateTime().addDays(1), QFile::FileModificationTime));
  file.close();
  book.change(5);
  const SaveResult result = SaveDatabase(book.store);
  EXPECT_TRUE(result.saved() && !result.notice);
  EXPECT_EQ(book.store.DataBaseName, QStringLiteral("家計簿"));
  EXPECT_EQ(book.listed().size(), 2);
}

}  // namespace
