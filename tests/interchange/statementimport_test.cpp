#include "interchange/statementimport.h"
#include "history/History.h"

#include "Books.h"
#include "TestFiles.h"
#include "interchange/csvtext.h"
#include "interchange/statementvalues.h"
#include "platform/codepage.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using csvtext::Encoding;

// Dates and amounts as banks write them: ROC years, the three orders, marks, separators, signs.
TEST(StatementValues, DatesAndAmountsAsBanksWriteThem) {
  using statementvalues::DateOrder;
  constexpr DateOrder Y = DateOrder::YearFirst, D = DateOrder::DayFirst, M = DateOrder::MonthFirst;
  const std::tuple<const char*, DateOrder, QDate> dates[] = {
      // clang-format off
      {"2023-1-5", Y, {2023, 1, 5}}, {"20230105", Y, {2023, 1, 5}}, {"112/01/05 14:02", Y, {2023, 1, 5}},
      {"1120105", Y, {2023, 1, 5}}, {"99/12/31", Y, {2010, 12, 31}}, {"２０２３／０１／０５", Y, {2023, 1, 5}},
      {"03/04/2021", D, {2021, 4, 3}}, {"03/04/2021", M, {2021, 3, 4}}, {"25.12.2021 9:00", D, {2021, 12, 25}},
      {"2023/02/29", Y, {}}, {"2023/01-05", Y, {}}, {"1120230", Y, {}}, {"abc", Y, {}}, {"03/04/2021", Y, {}},
      {"25/12/2021", M, {}}, {"29/02/2023", D, {}}, {"2021/12/25", D, {}}, {"03/04/21", D, {}},
      // clang-format on
  };
  for (const auto& [text, order, expected] : dates)
    EXPECT_EQ(statementvalues::parseDate(QString::fromUtf8(text), order).value_or(QDate()),
              expected)
        << text;
  EXPECT_EQ(statementvalues::detectDateOrder({"03/04/2021", "25/04/2021", "x"}), D);
  EXPECT_EQ(statementvalues::detectDateOrder({"03/04/2021", "04/25/2021", "12/31/2021"}), M);
  EXPECT_EQ(statementvalues::detectDateOrder({"112/01/05", "03/04/2021"}), Y);
  const std::pair<const char*, std::optional<qint32>> amounts[] = {
      // clang-format off
      {"NT$1,234", 1234}, {"$ 12", 12}, {"350元", 350}, {"(1,500)", -1500}, {"80-", -80},
      {"１，２３４", 1234}, {"12.5", 12}, {"13.5", 14}, {"NT$-5", -5}, {"+7", 7}, {"(-5)", 5},
      {"1,23", {}}, {"12a", {}}, {"", {}}, {"2147483648", {}}, {"1.2.3", {}},
      // clang-format on
  };
  for (const auto& [text, expected] : amounts)
    EXPECT_EQ(statementvalues::parseAmount(QString::fromUtf8(text)), expected) << text;
}

// The same statement in every encoding and layout the reader knows: the rows come back alike.
TEST(CsvText, EveryEncodingAndDelimiter) {
  const QString rows =
      QStringLiteral("日期;摘要;金額\r\n2023/01/05;\"午餐;\"\"便當\"\"\n外帶\";-120\r\n");
  const struct {
    QByteArray bytes;
    Encoding encoding;
    QChar delimiter;
  } cases[] = {
      {"\xEF\xBB\xBF" + rows.toUtf8(), Encoding::Utf8, ';'},
      {QString(rows).replace(';', ',').toUtf8(), Encoding::Utf8, ','},
      {"\xFF\xFE" +
           QStringEncoder(QStringEncoder::Utf16LE).encode(QString(rows).replace(';', '\t')),
       Encoding::Utf16, '\t'},
      {codepage::encode(QString(rows).replace(';', ',')), Encoding::Cp950, ','},
  };
  for (const auto& c : cases) {
    const csvtext::File file = std::get<csvtext::File>(csvtext::readBytes(c.bytes));
    EXPECT_EQ(std::pair(file.encoding, file.delimiter), std::pair(c.encoding, c.delimiter));
    ASSERT_EQ(file.rows.size(), 2u);
    const QString memo = QStringLiteral("午餐;\"便當\"\n外帶").replace(';', c.delimiter);
    EXPECT_EQ(file.rows[1], (QStringList{"2023/01/05", memo, "-120"}));
  }
}

TEST(CsvText, HostileFilesAreRefusedInWords) {
  QTemporaryDir dir;
  const QString big = dir.path() + "/big.csv";
  QFile f(big);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(csvtext::kMaxFileBytes + 1));  // sparse
  f.close();
  const auto refusalOf = [](const auto& read) { return std::get<QString>(read); };
  EXPECT_TRUE(refusalOf(csvtext::readFile(big)).contains("超過 100 MB"));
  EXPECT_TRUE(refusalOf(csvtext::readFile(dir.path() + "/none.csv")).startsWith("找不到"));
  EXPECT_EQ(refusalOf(csvtext::readBytes(QByteArray("\x7F\x45LF\x02\x01\0\0\x89PNG", 12))),
            "這個檔案不是文字檔，無法匯入");
  EXPECT_EQ(refusalOf(csvtext::readBytes("a,b\n1,\"open\n2,3\n")),
            "第 2 行的引號沒有結束，檔案可能不完整");
  EXPECT_EQ(refusalOf(csvtext::readBytes("\r\n\r\n")), "這個檔案是空的，沒有可以匯入的資料");
}

struct ImportTest : ::testing::Test, testbooks::Books {
  interchange::ImportAccounts accounts{"A-台銀", "E-雜支", "I-其他收入"};
  ImportTest() : Books({"A-台銀", "E-雜支", "I-其他收入", "L-信用卡"}) {
    entry("2023/01/05", "E-雜支", "A-台銀", 120, "ATM 提款");
  }
  std::vector<interchange::PreviewRow> preview(const QByteArray& bytes,
                                               const interchange::ImportAccounts& to) {
    const auto rows = std::get<csvtext::File>(csvtext::readBytes(bytes)).rows;
    return interchange::buildPreview(store, rows, interchange::guessLayout(rows), to);
  }
};

// A bank's own file: code page 950, ROC dates, money out and in in two quoted columns.
const QByteArray kBankCsv = codepage::encode(QStringLiteral(
    "交易日期,摘要,支出金額,存入金額,餘額,備註\r\n"
    "112/01/05,ATM 提款,\"120\",,\"9,880\",\r\n"
    "112/01/06,薪資,,\"52,000\",\"61,880\",一月\r\n"
    "112/01/"
    "07,信用卡款,\"1,500\",,\"60,380\",這是一段很長很長的備註文字會超過備註欄能放的五十個位元組\r\n"
    "112/01/32,錯誤,1,,1,\r\n"
    "112/01/08,太短\r\n"));

TEST_F(ImportTest, PreviewOfABankFile) {
  const auto preview = this->preview(kBankCsv, accounts);
  // Each row: line, date, amount, other account, marks (Duplicate, Cut, Ticked), problem.
  QStringList shown;
  for (const interchange::PreviewRow& r : preview) {
    const QString marks =
        QString(r.duplicate ? "D" : "") + (r.memoCut ? "C" : "") + (r.ticked ? "T" : "");
    shown << QStringLiteral("%1|%2|%3|%4|%5|%6")
                 .arg(QString::number(r.line), r.date, QString::number(r.amount), r.other, marks,
                      r.problem);
  }
  EXPECT_EQ(shown, QStringList({"2|2023/01/05|-120|E-雜支|D|", "3|2023/01/06|52000|I-其他收入|T|",
                                "4|2023/01/07|-1500|E-雜支|CT|",
                                "5||0|||「112/01/32」不是年/月/日的日期", "6||0|||欄位不足"}));
  EXPECT_EQ(codepage::encode(preview[2].memo).size(), 49);  // 24 characters: a 25th would not fit
}

TEST_F(ImportTest, ImportAddsTheTickedRowsAllOrNothing) {
  auto preview = this->preview(kBankCsv, accounts);
  const auto result = interchange::importRows(store, preview, accounts);
  ASSERT_TRUE(std::holds_alternative<interchange::ImportDone>(result));
  // The whole import is one step: one undo takes both rows back, one redo brings them again.
  EXPECT_EQ(store.history().undoName(), QStringLiteral("匯入對帳單"));
  ASSERT_FALSE(store.undo());
  EXPECT_EQ(store.tables().entryCount, 2);
  ASSERT_FALSE(store.redo());
  ASSERT_EQ(store.tables().entryCount, 4);
  EXPECT_EQ(store.tables().entries[2],
            store::makeEntry("2023/01/06", "I-其他收入", "A-台銀", 52000, "薪資 一月"));
  EXPECT_EQ(store.tables().entries[3].Amount, 1500);

  // A card: paying it takes the bank first so that the debt goes down.
  const interchange::ImportAccounts card{"L-信用卡", "E-雜支", "A-台銀"};
  const auto cardRows = this->preview("date,amount\n2023/02/01,-300\n2023/02/02,300\n", card);
  ASSERT_TRUE(std::holds_alternative<interchange::ImportDone>(
      interchange::importRows(store, cardRows, card)));
  EXPECT_EQ(store.tables().entries[4],
            store::makeEntry("2023/02/01", "E-雜支", "L-信用卡", 300, ""));
  EXPECT_EQ(store.tables().entries[5],
            store::makeEntry("2023/02/02", "L-信用卡", "A-台銀", 300, ""));

  // A ticked row with a problem, or too many rows: nothing changes.
  const store::EntryTableType before = store.tables().entries;
  const int count = store.tables().entryCount;
  preview[3].ticked = true;
  EXPECT_EQ(std::get<Message>(interchange::importRows(store, preview, accounts)).text,
            "第 5 行無法匯入：「112/01/32」不是年/月/日的日期");
  store.tables().entryCount = store::kMaxEntries;
  preview[3].ticked = false;
  EXPECT_EQ(std::get<Message>(interchange::importRows(store, preview, accounts)).text,
            "資料最多 3000 筆，只能再放 1 筆；勾選的 2 筆無法匯入");
  store.tables().entryCount = count;
  EXPECT_EQ(store.tables().entries, before);
}

// After the import, the reconciliation is offered every row's entry (the duplicate's existing
// one, the new ones) and the balance of the latest day, whichever way round the bank lists days.
TEST_F(ImportTest, TheImportOffersItsEntriesAndLastBalanceToTheReconciliation) {
  const auto rows = std::get<csvtext::File>(csvtext::readBytes(kBankCsv)).rows;
  const interchange::ImportLayout layout = interchange::guessLayout(rows);
  const auto preview = interchange::buildPreview(store, rows, layout, accounts);
  const interchange::ImportDone done =
      std::get<interchange::ImportDone>(interchange::importRows(store, preview, accounts));
  std::vector<csvtext::Row> newestFirst{rows.front()};  // the header stays first
  newestFirst.insert(newestFirst.end(), rows.rbegin(), rows.rend() - 1);
  for (const auto& fileRows : {rows, newestFirst}) {
    const interchange::StatementOffer offer =
        interchange::statementOffer(store, fileRows, layout, preview, accounts, done);
    EXPECT_EQ(offer.account, store::nameField("A-台銀"));
    EXPECT_EQ(offer.date, QDate(2023, 1, 7));
    EXPECT_EQ(offer.ending, 60380);
    EXPECT_EQ(offer.matchedSlots, (std::vector<int>{1, 2, 3}));
  }
  interchange::ImportLayout noBalance = layout;
  noBalance.balance = -1;
  EXPECT_FALSE(interchange::statementOffer(store, rows, noBalance, preview, accounts, done).ending);
}

TEST_F(ImportTest, LayoutsAreRememberedPerHeaderOutsideTheBook) {
  const csvtext::Row header{"日期", "說明", "金額"};
  EXPECT_FALSE(interchange::rememberedLayout(dir.path(), header));
  interchange::ImportLayout layout{true, 0, 2, -1, -1, {1}, "L-信用卡", "E-雜支", "I-其他收入"};
  layout.dateOrder = statementvalues::DateOrder::MonthFirst;
  ASSERT_EQ(interchange::rememberLayout(dir.path(), header, layout), std::nullopt);
  ASSERT_EQ(interchange::rememberLayout(
                dir.path(), {"x"}, interchange::ImportLayout{false, 0, 0, -1, -1, {}, {}, {}, {}}),
            std::nullopt);
  EXPECT_EQ(interchange::rememberedLayout(dir.path(), header), layout);
  // A layout kept before the date order was chosen reads year first; a file edited by hand into
  // nonsense gives no layout rather than a wrong one.
  putFile(dir.path() + "/" + interchange::kLayoutsFile,
          R"({"layouts":[{"header":["x"],"date":0,"amount":0},
                         {"header":["日期","說明","金額"],"date":9,"amount":2}]})");
  EXPECT_EQ(interchange::rememberedLayout(dir.path(), {"x"})->dateOrder,
            statementvalues::DateOrder::YearFirst);
  EXPECT_FALSE(interchange::rememberedLayout(dir.path(), header));
}

}  // namespace
