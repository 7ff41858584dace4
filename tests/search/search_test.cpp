#include "search/search.h"

#include "Books.h"
#include "TestFiles.h"
#include "catalogue/catalogue.h"
#include "store/booklist.h"

namespace {

using search::Criteria;
using search::TypedCriteria;

// Boxes that hold no date or no amount, and ranges the wrong way round, are refused in words.
TEST(SearchCriteria, BadBoxesAreRefusedInWords) {
  const struct {
    TypedCriteria typed;
    const char* refusal;
  } rows[] = {
      {{.amountFrom = "十元"}, "金額「十元」不是金額"},
      {{.amountFrom = "9999999999"}, "金額「9999999999」超出金額的範圍"},
      {{.amountFrom = "1,00"}, "金額「1,00」不是金額"},
      {{.amountFrom = ",100"}, "金額「,100」不是金額"},
      {{.amountTo = "1,0000"}, "金額上限「1,0000」不是金額"},
      {{.amountFrom = "2,147,483,648"}, "金額「2,147,483,648」超出金額的範圍"},
      {{.amountFrom = "500", .amountTo = "-100"}, "金額的下限 500 大於上限 -100，請改正"},
      {{.dateFrom = "2025/02/30"}, "起始日期「2025/02/30」不是日期，請輸入像 2025/3/31 的日期"},
      {{.dateFrom = "2025/3/1", .dateTo = "2025/1/1"},
       "起始日期 2025/03/01 在結束日期 2025/01/01 之後，請改正"},
  };
  for (const auto& r : rows) {
    const auto read = search::readCriteria(r.typed);
    EXPECT_EQ(std::get<QString>(read), QString::fromUtf8(r.refusal));
  }
  const auto wide = search::readCriteria({.amountFrom = "－２０", .dateTo = "２０２５/１/５"});
  ASSERT_TRUE(std::holds_alternative<Criteria>(wide));
  EXPECT_EQ(std::get<Criteria>(wide).amountMin, -20);
  EXPECT_EQ(std::get<Criteria>(wide).amountMax, -20);  // one amount alone: exactly it
  EXPECT_EQ(std::get<Criteria>(wide).dateTo, "2025/01/05");
  // Digit groups as statements print them, half- and full-width.
  const auto grouped =
      search::readCriteria({.amountFrom = "1,000", .amountTo = "１，２３４,５６７.５"});
  EXPECT_EQ(std::get<Criteria>(grouped).amountMin, 1000);
  EXPECT_EQ(std::get<Criteria>(grouped).amountMax, 1234568);
}

// A small book: slots 1..6, found by every criterion alone and combined.
struct SearchBook : ::testing::Test, testbooks::Books {
  SearchBook() : Books({"A-現金", "Equity", "E-醫療", "E-餐飲", "L-信用卡", "I-薪資"}) {
    store.user().setDatabaseName("2025");
    entry("2025/01/01", "A-現金", "Equity", 10000, "初值");
    entry("2025/01/05", "E-餐飲", "A-現金", 120, "atm 旁的早餐");
    entry("2025/03/12", "E-醫療", "L-信用卡", 1500, "牙醫 洗牙");
    entry("2025/03/20", "L-信用卡", "A-現金", -1500, "退款 ATM");
    entry("2025/04/02", "I-薪資", "A-現金", 30000, "四月薪水");
    entry("2025/04/03", "E-餐飲", "L-信用卡", 1500, "");
  }
  // The hits as "book:slot" and their sum.
  std::pair<QStringList, qint64> found(const TypedCriteria& typed, bool everyBook = false) {
    search::Searcher searcher(store);
    if (everyBook) searcher.readOtherBooks();
    const auto results = searcher.run(std::get<Criteria>(search::readCriteria(typed)), everyBook);
    QStringList out;
    for (const auto& hit : results.hits) {
      out << searcher.books()[hit.book].name() + ':' + QString::number(hit.slot);
      EXPECT_EQ(searcher.isOpenBook(hit.book), searcher.books()[hit.book].name() == "2025");
    }
    skipped = results.skipped;
    return {out, results.sum};
  }
  QStringList skipped;
};

TEST_F(SearchBook, EachCriterionAndTheirCombinations) {
  const std::pair<TypedCriteria, QStringList> rows[] = {
      {{}, {}},  // nothing asked: nothing listed
      {{.text = " ＡＴＭ "}, {"2025:2", "2025:4"}},
      {{.account = "信用卡"}, {"2025:3", "2025:4", "2025:6"}},  // either side
      {{.account = "a-現金"}, {"2025:1", "2025:2", "2025:4", "2025:5"}},
      {{.amountFrom = "1500"}, {"2025:3", "2025:6"}},
      {{.amountFrom = "-2000", .amountTo = "0"}, {"2025:4"}},
      {{.amountTo = "120"}, {"2025:2", "2025:4"}},
      {{.dateFrom = "2025/3/12", .dateTo = "2025/4/2"}, {"2025:3", "2025:4", "2025:5"}},
      {{.dateFrom = "2025/4/1"}, {"2025:5", "2025:6"}},
      {{.account = "信用卡", .amountFrom = "1500", .dateTo = "2025/3/31"}, {"2025:3"}},
      {{.text = "atm", .account = "餐飲"}, {"2025:2"}},
  };
  for (const auto& [typed, hits] : rows) {
    EXPECT_EQ(found(typed).first, hits) << typed.text.toStdString() << typed.account.toStdString();
  }
  // A hit carries its entry as stored, blanks cut off.
  const auto hit = search::Searcher(store)
                       .run(std::get<Criteria>(search::readCriteria({.text = "牙醫"})), false)
                       .hits.at(0);
  EXPECT_EQ(
      QStringList({hit.date, hit.increase, hit.decrease, QString::number(hit.amount), hit.memo}),
      QStringList({"2025/03/12", "E-醫療", "L-信用卡", "1500", "牙醫 洗牙"}));
}

// Every book of the user: the others read from their files and left exactly as they were; a
// damaged one skipped with a line.
TEST_F(SearchBook, OtherBooksAreReadWithoutTouchingThem) {
  store.user().setUserName("amy");
  const QString user = store.user().userFolder();
  testbooks::Books other({"A-現金", "E-醫療"});
  other.entry("2024/11/02", "E-醫療", "A-現金", 800, "牙醫 補牙");
  for (const char* name : {"2024", "broken"}) ASSERT_TRUE(other.writeTo(user + "/" + name));
  putFile(user + "/broken/Main.dat", QByteArray(50, 'x'));
  ASSERT_FALSE(store::saveDatabaseList(store.user(), {"2024", "2025", "broken"}));
  EXPECT_EQ(found({.text = "牙醫"}, true),
            std::pair(QStringList({"2025:3", "2024:1"}), qint64(2300)));
  ASSERT_EQ(skipped.size(), 1);
  EXPECT_TRUE(skipped[0].startsWith(QStringLiteral("略過資料庫「broken」：")));
  EXPECT_EQ(found({.text = "牙醫"}).first, QStringList({"2025:3"}));  // the open book alone
  // Nothing written or locked.
  EXPECT_EQ(QDir(user + "/2024").entryList(QDir::Files | QDir::Hidden),
            QStringList({"Accounts.dat", "Main.dat"}));
}

}  // namespace
