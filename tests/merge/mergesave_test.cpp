// The merge as a save meets it: the open book's files were written by another computer since
// this one read them. Merged when nothing conflicts, asked when something does, and saved aside
// as "-衝突-" (with the reason) when cancelled or when the merge would be no sound book.
#include "Books.h"
#include "MergeBooks.h"
#include "TestFiles.h"
#include "backup/backups.h"
#include "book/book.h"
#include "history/History.h"
#include "merge/atsave.h"
#include "merge/bases.h"
#include "store/booklist.h"

#include <gtest/gtest.h>

#include <functional>

using merge::Choice;
using namespace mergebooks;

namespace {

const Row kBus{"2024/02/02", kFood, kCash, 15, "公車"};

void setAmount(store::BookTables& b, const Row& r, qint32 amount) {
  for (int s = 1; s < b.entryCount; ++s)
    if (b.entries[s].Memo.trimmed() == r.memo) b.entries[s].Amount = amount;
}

using Edit = std::function<void(store::BookTables&)>;

// This computer's book opened and saved with food, lunch and dinner (the base); then `ours`
// changes the open book, `theirs` the files on disk, and the book is saved.
struct TwoComputers : testbooks::Books {
  OwnState state;
  TwoComputers(const Edit& ours, const Edit& theirs) {
    signIn("Test", "家計簿");
    store.clock().setNow(QDateTime(QDate(2026, 12, 6), QTime(15, 30, 10)));
    EXPECT_EQ(store::saveDatabaseList(store.user(), {"家計簿"}), std::nullopt);
    EXPECT_EQ(book::open(store, 1000), std::nullopt);
    account(kFood, store::kExpense);
    for (const Row& r : {kLunch, kDinner}) add(store.tables(), r);
    EXPECT_TRUE(book::save(store).saved());
    base = std::make_unique<store::BookTables>(store.tables());
    auto other = std::make_unique<store::BookTables>(store.tables());
    theirs(*other);
    theirEntries = entriesOf(*other);
    putFile(folder() + "/Accounts.dat", accountsOf(*other));
    putFile(folder() + "/Main.dat", theirEntries);
    ours(store.tables());
    ourEntries = entriesOf(store.tables());
    result = book::save(
        store,
        [&](const std::vector<merge::Conflict>& conflicts) -> std::optional<std::vector<Choice>> {
          asked = conflicts.size();  // and cancelled: the answers' books are merge_test's
          return std::nullopt;
        });
  }
  QString folder() const { return store.user().userFolder() + "/家計簿"; }
  std::unique_ptr<store::BookTables> base;
  QByteArray theirEntries, ourEntries;
  book::SaveResult result;
  size_t asked = 0;
};

TEST(MergeSave, BothSidesChangesLandAfterBothWereKept) {
  TwoComputers two([](store::BookTables& b) { add(b, kSnack); },
                   [](store::BookTables& b) {
                     removeEntriesIf(
                         b, [&](int s) { return b.entries[s].Memo.trimmed() == kDinner.memo; });
                     add(b, kBus);
                   });
  ASSERT_TRUE(two.result.saved()) << two.result.refusal->text.toStdString();
  ASSERT_TRUE(two.result.notice);
  EXPECT_EQ(two.asked, 0u);
  store::BookTables expected = *two.base;
  expected.entryCount = 2;
  for (const Row& r : {kLunch, kBus, kSnack}) add(expected, r);
  EXPECT_EQ(linesOf(two.store.tables()), linesOf(expected));
  EXPECT_EQ(fileBytes(two.folder() + "/Main.dat"), entriesOf(expected));
  EXPECT_TRUE(two.result.notice->text.contains("從另一台電腦新增 1 筆記錄，刪除 1 筆記錄"))
      << two.result.notice->text.toStdString();
  // Both sides were kept before the merge was written, and the merge is the next base.
  const auto kept = backup::list(two.folder());
  ASSERT_GE(kept.size(), 3u);
  EXPECT_EQ(fileBytes(kept[0].folder + "/Main.dat"), two.ourEntries);
  EXPECT_EQ(fileBytes(kept[1].folder + "/Main.dat"), two.theirEntries);
  EXPECT_EQ(fileBytes(merge::baseFolderOf(two.folder()) + "/Main.dat"), entriesOf(expected));
  // One step takes the merge back; the next save then finds nothing changed under it.
  EXPECT_EQ(two.store.history().undoName(), book::kMergeStepName);
  ASSERT_FALSE(two.store.undo());
  EXPECT_EQ(entriesOf(two.store.tables()), two.ourEntries);
  const book::SaveResult again = book::save(two.store);
  EXPECT_TRUE(again.saved() && !again.notice);
}

// Saved aside as the conflict copy (its files: backups_test), the reason said first.
TEST(MergeSave, AConflictCancelledSavesTheBookAside) {
  TwoComputers two([](store::BookTables& b) { setAmount(b, kLunch, 120); },
                   [](store::BookTables& b) { setAmount(b, kLunch, 150); });
  ASSERT_TRUE(two.result.saved()) << two.result.refusal->text.toStdString();
  EXPECT_EQ(two.asked, 1u);
  EXPECT_TRUE(warns(two.result.notice, merge::fallbackReason("衝突沒有決定") + "\r\n"));
  EXPECT_TRUE(two.store.user().databaseName().startsWith("家計簿-衝突-"));
}

}  // namespace
