#include "search/search.h"

#include "Books.h"
#include "TestFiles.h"
#include "catalogue/catalogue.h"
#include "platform/safefile.h"
#include "store/database.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using search::Criteria;
using search::TypedCriteria;

TEST(SearchFold, WidthCaseAndEndsDoNotMatter) {
  const struct {
    const char* typed;
    const char* folded;
  } rows[] = {
      {"ＡＴＭ", "atm"},    {"１２", "12"},   {"  AtM 提款　", "atm 提款"},
      {"－５００", "-500"}, {"牙醫", "牙醫"}, {"Ｃａｆé", "café"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(search::fold(QString::fromUtf8(r.typed)), QString::fromUtf8(r.folded)) << r.typed;
  }
}

// Boxes that hold no date or no amount, and ranges the wrong way round, are refused in words.
TEST(SearchCriteria, BadBoxesAreRefusedInWords) {
  const struct {
    TypedCriteria typed;
    const char* refusal;
  } rows[] = {
      {{.amountFrom = "十元"}, "金額「十元」不是金額"},
      {{.amountFrom = "9999999999"}, "金額「9999999999」超出金額的範圍"},
      {{.amountFrom = "500", .amountTo = "-100"}, "金額的下限 500 大於上限 -100，請改正"},
      {{.dateFrom = "2025/02/30"}, "起始日期「2025/02/30」不是日期，請輸入像 2025/3/31 的日期"},
      {{.dateFrom = "2025/3/1", .dateTo = "2025/1/1"},
       "起始日期 2025/03/01 在結束日期 2025/01/01 之後，請改正"},
  };
  for (const auto& r : rows) {
    const auto read = search::readCriteria(r.typed);
    ASSERT_TRUE(std::holds_alternative<QString>(read)) << r.refusal;
    EXPECT_EQ(std::get<QString>(read), QString::fromUtf8(r.refusal));
  }
  const auto wide = search::readCriteria({.amountFrom = "－２０", .dateTo = "２０２５/１/５"});
  ASSERT_TRUE(std::holds_alternative<Criteria>(wide));
  EXPECT_EQ(std::get<Criteria>(wide).amountMin, -20);
  EXPECT_EQ(std::get<Criteria>(wide).amountMax, -20);  // one amount alone: exactly it
  EXPECT_EQ(std::get<Criteria>(wide).dateTo, "2025/01/05");
}

// A small book: slots 1..6, found by every criterion alone and combined.
class SearchBook : public ::testing::Test {
 protected:
  testbooks::Books b{{"A-現金", "Equity", "E-醫療", "E-餐飲", "L-信用卡", "I-薪資"}};
  void SetUp() override {
    b.store.DataBaseName = "2025";
    b.entry("2025/01/01", "A-現金", "Equity", 10000, "初值");
    b.entry("2025/01/05", "E-餐飲", "A-現金", 120, "atm 旁的早餐");
    b.entry("2025/03/12", "E-醫療", "L-信用卡", 1500, "牙醫 洗牙");
    b.entry("2025/03/20", "L-信用卡", "A-現金", -1500, "退款 ATM");
    b.entry("2025/04/02", "I-薪資", "A-現金", 30000, "四月薪水");
    b.entry("2025/04/03", "E-餐飲", "L-信用卡", 1500, "");
  }
  std::vector<int> found(const TypedCriteria& typed, qint64* sum = nullptr) {
    const search::Searcher searcher(b.store);
    const auto criteria = search::readCriteria(typed);
    EXPECT_TRUE(std::holds_alternative<Criteria>(criteria));
    const auto results = searcher.run(std::get<Criteria>(criteria), false);
    if (sum) *sum = results.sum;
    std::vector<int> out;
    for (const auto& hit : results.hits) out.push_back(hit.slot);
    return out;
  }
};

TEST_F(SearchBook, EachCriterionAndTheirCombinations) {
  const struct {
    TypedCriteria typed;
    std::vector<int> found;
  } rows[] = {
      {{}, {}},  // nothing asked: nothing listed
      {{.text = " ＡＴＭ "}, {2, 4}},
      {{.text = "牙醫"}, {3}},
      {{.account = "信用卡"}, {3, 4, 6}},  // either side
      {{.account = "a-現金"}, {1, 2, 4, 5}},
      {{.amountFrom = "1500"}, {3, 6}},
      {{.amountFrom = "-2000", .amountTo = "0"}, {4}},
      {{.amountTo = "120"}, {2, 4}},
      {{.dateFrom = "2025/3/12", .dateTo = "2025/4/2"}, {3, 4, 5}},
      {{.dateFrom = "2025/4/1"}, {5, 6}},
      {{.account = "信用卡", .amountFrom = "1500", .dateTo = "2025/3/31"}, {3}},
      {{.text = "atm", .account = "餐飲"}, {2}},
      {{.text = "不存在"}, {}},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(found(r.typed), r.found)
        << r.typed.text.toStdString() << r.typed.account.toStdString();
  }
  qint64 sum = 0;
  EXPECT_EQ(found({.account = "信用卡"}, &sum), (std::vector<int>{3, 4, 6}));
  EXPECT_EQ(sum, 1500);
}

TEST_F(SearchBook, HitsCarryTheEntryWithoutFillingBlanks) {
  const search::Searcher searcher(b.store);
  const auto results =
      searcher.run(std::get<Criteria>(search::readCriteria({.text = "牙醫"})), false);
  ASSERT_EQ(results.hits.size(), 1u);
  const search::Hit& hit = results.hits[0];
  EXPECT_EQ(searcher.books()[hit.book].name(), "2025");
  EXPECT_EQ(hit.date, "2025/03/12");
  EXPECT_EQ(hit.increase, "E-醫療");
  EXPECT_EQ(hit.decrease, "L-信用卡");
  EXPECT_EQ(hit.amount, 1500);
  EXPECT_EQ(hit.memo, "牙醫 洗牙");
}

// Every book of the user: the others read from their files and left exactly as they were; a
// damaged one skipped with a line; a save cut short read as it will be completed.
TEST_F(SearchBook, OtherBooksAreReadWithoutTouchingThem) {
  QTemporaryDir dir;
  b.store.DataBaseFolder = dir.path() + "/DataBase/";
  b.store.UserName = "amy";
  const QString user = b.store.userFolder();
  const auto book = [&](const QString& name, const QByteArray& accounts,
                        const QByteArray& entries) {
    QDir().mkpath(user + "/" + name);
    if (!accounts.isNull()) putFile(user + "/" + name + "/Accounts.dat", accounts);
    if (!entries.isNull()) putFile(user + "/" + name + "/Main.dat", entries);
  };
  testbooks::Books other({"A-現金", "E-醫療"});
  other.entry("2024/11/02", "E-醫療", "A-現金", 800, "牙醫 補牙");
  const QByteArray accounts = accountsFileBytes(other.store.AccountTable, other.store.AccountCount);
  const QByteArray entries = entriesFileBytes(other.store.EntryTable, other.store.EntryCount);
  book("2024", accounts, entries);
  book("broken", accounts, QByteArray(50, 'x'));
  // A save cut short after its marker: the new entries are the book.
  other.entry("2024/12/24", "E-醫療", "A-現金", 300, "牙醫 複診");
  book("cut", accounts, entries);
  putFile(user + "/cut/Main.dat.new",
          entriesFileBytes(other.store.EntryTable, other.store.EntryCount));
  putFile(user + "/cut/" + safefile::kGroupMarker, "Accounts.dat\r\nMain.dat\r\n");
  ASSERT_FALSE(SaveDatabaseList(b.store, {"2024", "2025", "broken", "cut"}));

  search::Searcher searcher(b.store);
  searcher.readOtherBooks();
  const auto results =
      searcher.run(std::get<Criteria>(search::readCriteria({.text = "牙醫"})), true);
  QStringList found;
  for (const auto& hit : results.hits) found << searcher.books()[hit.book].name() + ":" + hit.date;
  EXPECT_EQ(found, QStringList(
                       {"2025:2025/03/12", "2024:2024/11/02", "cut:2024/11/02", "cut:2024/12/24"}));
  EXPECT_EQ(results.sum, 1500 + 800 + 800 + 300);
  ASSERT_EQ(results.skipped.size(), 1);
  EXPECT_TRUE(results.skipped[0].startsWith(QStringLiteral("略過資料庫「broken」：")))
      << results.skipped[0].toStdString();
  EXPECT_TRUE(searcher.isOpenBook(results.hits[0].book));
  EXPECT_FALSE(searcher.isOpenBook(results.hits[1].book));
  // Nothing was written, repaired or locked.
  EXPECT_EQ(fileBytes(user + "/cut/Main.dat"), entries);
  EXPECT_TRUE(QFile::exists(user + "/cut/" + safefile::kGroupMarker));
  EXPECT_EQ(QDir(user + "/2024").entryList(QDir::Files), QStringList({"Accounts.dat", "Main.dat"}));
  // The open book alone.
  EXPECT_EQ(
      searcher.run(std::get<Criteria>(search::readCriteria({.text = "牙醫"})), false).hits.size(),
      1u);
}

}  // namespace
