#include "Books.h"
#include "TestFiles.h"
#include "maintenance/bulkdelete.h"
#include "maintenance/closing.h"
#include "reconcile/lines.h"
#include "reconcile/protection.h"
#include "reconcile/reconcilefile.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using namespace reconcile;

const QString kBank = QStringLiteral("A-銀行");

struct Reconciling : ::testing::Test, testbooks::Books {
  Reconciling() : Books({"A-銀行", "A-現金", "I-薪水", "E-餐費", "Equity"}) {}
  std::vector<Reconciliation> done;

  Wizard wizard(const char* statementDate, qint64 ending) {
    return Wizard(done, store::nameField(kBank), accountLines(store, 1),
                  QDate::fromString(statementDate, "yyyy/MM/dd"), ending);
  }
  static void tickAll(Wizard& w) {
    for (int i = 0; i < static_cast<int>(w.lines().size()); ++i) w.setTicked(i, true);
  }
};

TEST_F(Reconciling, EachHintPointsAtItsOwnKindOfSlip) {
  const store::LedgerEntry salary = store::makeEntry("2025/01/05", "I-薪水", kBank, 1000, {});
  const struct {
    const char* name;
    store::LedgerEntry first, second;  // an empty second: only the first
    qint64 ending;
    bool leaveLastUnticked;
    const char* hintWords;
  } cases[] = {
      {"a withdrawal not ticked", salary, store::makeEntry("2025/01/10", "E-餐費", kBank, 300, {}),
       700, true, "漏勾"},
      {"a withdrawal entered the other way round", salary,
       store::makeEntry("2025/01/12", kBank, "A-現金", 250, {}), 750, false, "填反"},
      {"two digits swapped", store::makeEntry("2025/01/05", "I-薪水", kBank, 1200, {}),
       store::LedgerEntry(), 2100, false, "9 整除"},
  };
  for (const auto& c : cases) {
    store.tables().entryCount = 1;
    for (const store::LedgerEntry& e : {c.first, c.second})
      if (e.Amount != 0) store.tables().entries[store.tables().entryCount++] = e;
    Wizard w = wizard("2025/01/31", c.ending);
    tickAll(w);
    if (c.leaveLastUnticked) w.setTicked(static_cast<int>(w.lines().size()) - 1, false);
    const QStringList hints = w.hints();
    ASSERT_EQ(hints.size(), 1) << c.name << hints.join('|').toStdString();
    EXPECT_TRUE(hints[0].contains(QString::fromUtf8(c.hintWords))) << c.name;
  }
}

// The January statement reconciled; then February's entries and a February statement.
struct ReconciledJanuary : Reconciling {
  ReconciledJanuary() {
    entry("2025/01/01", kBank, "Equity", 1000, "初值");
    entry("2025/01/05", "I-薪水", kBank, 500);
    entry("2025/02/05", "E-餐費", kBank, 200);
    entry("2025/02/10", "I-薪水", kBank, 500);
    Wizard january = wizard("2025/01/31", 1500);
    EXPECT_EQ(january.lines().size(), 2u);
    tickAll(january);
    EXPECT_EQ(january.difference(), 0);
    done.push_back(january.result("r1", QDateTime(), true));
  }

  void februaryReconcilesToZero() {
    Wizard february = wizard("2025/02/28", 1800);
    EXPECT_EQ(february.starting(), 1500);
    tickAll(february);
    EXPECT_EQ(february.difference(), 0);
    EXPECT_TRUE(brokenReconciliations(done, kBank, accountLines(store, 1)).isEmpty());
  }
};

TEST_F(ReconciledJanuary, ClosingTheBooksKeepsTheNextStartAtTheBanksFigure) {
  ASSERT_FALSE(maintenance::closeBooksAt(store, "2025/02/05"));
  februaryReconcilesToZero();
}

TEST_F(ReconciledJanuary, BulkDeleteKeepsTheNextStartAtTheBanksFigure) {
  ASSERT_FALSE(
      maintenance::deleteByDate(store, maintenance::DeleteRule::Within, "2025/01/01", "2025/01/31")
          .refused);
  februaryReconcilesToZero();
}

TEST_F(ReconciledJanuary, PuttingOffKeepsTheTicksAndReconciledEntriesLeaveTheList) {
  Wizard february = wizard("2025/02/28", 1800);
  ASSERT_EQ(february.lines().size(), 2u);
  february.setTicked(1, true);
  done.push_back(february.result("r2", QDateTime(), false));
  Wizard again = wizard("2025/02/28", 1800);
  EXPECT_FALSE(again.isTicked(0));
  EXPECT_TRUE(again.isTicked(1));
  EXPECT_EQ(again.difference(), 1800 - 1500 - 500);
  // Of two identical records, reconciling one leaves the other to be reconciled.
  entry("2025/02/10", "I-薪水", kBank, 500);
  const std::vector<Line> lines = accountLines(store, 1);
  EXPECT_EQ(lines[3].key.digest, lines[4].key.digest);
  EXPECT_NE(lines[3].key, lines[4].key);
  EXPECT_EQ(holding(done, lines[1].key), &done[0]);
  EXPECT_EQ(holding(done, lines[3].key), nullptr);
}

// January's two entries are held: the questions name the reconciliation, and a change made
// anyway breaks it only while the book lacks the entry as it was ticked (復原 mends it).
TEST_F(ReconciledJanuary, AChangedReconciledEntryBreaksItsReconciliationWhileItIsGone) {
  EXPECT_TRUE(heldAmong(store, done, {3, 4, 99}).keys.empty());
  const Held both = heldAmong(store, done, {4, 2, 1});
  ASSERT_EQ(both.holders, QStringList{"r1"});
  EXPECT_EQ(protectionQuestion(done, both, true),
            confirmDelete("其中 2 筆記錄已經在「2025/01/31 的對帳（A-銀行）」中對過帳。"
                          "刪除之後，那次對帳就不再平衡。確定刪除資料嗎？"));
  const Held salary = heldAmong(store, done, {2});
  EXPECT_EQ(protectionQuestion(done, salary, false).text,
            "這筆記錄已經在「2025/01/31 的對帳（A-銀行）」中對過帳。變更之後，那次對帳就不再平衡。"
            "確定要變更嗎？");
  EXPECT_EQ(reconciledSlots(store, done).value(2), "2025/01/31 的對帳");

  const auto broken = [&] { return brokenReconciliations(done, kBank, accountLines(store, 1)); };
  const store::LedgerEntry was = store.tables().entries[2];
  store.tables().entries[2].Amount = 600;
  release(done, salary, false, QDateTime());
  EXPECT_EQ(broken(), QStringList{"2025/01/31 的對帳已經不平衡：其中已對帳的記錄被變更了"});
  EXPECT_EQ(reconciledSlots(store, done).size(), 1);
  store.tables().entries[2] = was;
  EXPECT_TRUE(broken().isEmpty());
  EXPECT_EQ(reconciledSlots(store, done).size(), 2);
}

// Each tick is a record; a tick taken back is a deletion. A book that never reconciled gets no
// file, and a file from before ticks were released reads its broken reconciliation's ticks as
// released.
TEST(ReconciliationFile, KeepsEachTickAsARecordAndATickTakenBackAsADeletion) {
  QTemporaryDir book;
  ASSERT_TRUE(
      std::holds_alternative<std::vector<Reconciliation>>(writeReconciliations(book.path(), {})));
  EXPECT_FALSE(QFileInfo::exists(reconciliationsPath(book.path())));
  const QDateTime first(QDate(2025, 2, 1), QTime(8, 0), Qt::UTC);
  Reconciliation r{"r1", first, false, "A-銀行", QDate(2025, 1, 31), 1000, 1500, false, {}};
  r.ticked.push_back({{"00112233445566ff", 1}, -250, Release::Deleted});
  ASSERT_TRUE(
      std::holds_alternative<std::vector<Reconciliation>>(writeReconciliations(book.path(), {r})));
  const QByteArray written =
      "varnix-reconciliations 1\n"
      "r1\t2025-02-01T08:00:00.000Z\tlive\ttype=reconciliation\taccount=A-\xe9\x8a\x80"
      "\xe8\xa1\x8c\tstatement=2025-01-31\tstarting=1000\tending=1500\tfinished=0\n"
      "r1-00112233445566ff-1\t2025-02-01T08:00:00.000Z\tlive\ttype=tick\treconciliation=r1\t"
      "digest=00112233445566ff\toccurrence=1\tamount=-250\treleased=deleted\n";
  EXPECT_EQ(fileBytes(reconciliationsPath(book.path())), written);
  QByteArray earlier = written;
  earlier.replace("\treleased=deleted", "").replace("finished=0", "finished=0\tbroken=刪除了");
  EXPECT_EQ(std::get<std::vector<Reconciliation>>(reconciliationsFrom(earlier)),
            std::vector<Reconciliation>{r});
  r.ticked.clear();
  r.changed = first.addSecs(60);
  const auto again = writeReconciliations(book.path(), {r});
  ASSERT_TRUE(std::holds_alternative<std::vector<Reconciliation>>(again));
  EXPECT_EQ(std::get<std::vector<Reconciliation>>(again), std::vector<Reconciliation>{r});
  EXPECT_TRUE(fileBytes(reconciliationsPath(book.path()))
                  .contains("r1-00112233445566ff-1\t2025-02-01T08:01:00.000Z\tdeleted"));
}

}  // namespace
