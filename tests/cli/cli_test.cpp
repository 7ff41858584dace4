// varnix-cli's commands as the program runs them: the arguments, the bytes each command gives,
// the refusals and their exit codes, and books read without ever being written.
#include "cli/commands.h"

#include "Books.h"
#include "TestFiles.h"
#include "interchange/exports.h"
#include "interchange/journalexport.h"
#include "interchange/journalrows.h"
#include "platform/safefile.h"

namespace {

const QDate kToday(2024, 7, 15);

// The cash account's line of the balance sheet: its name as stored, 20 characters, two blanks.
QByteArray cash(const char* balance) {
  return (QStringLiteral("A-現金") + QString(18, ' ') + balance + "\r\n").toUtf8();
}

struct CliTest : ::testing::Test, testbooks::Books {
  QString book = dir.path() + "/DataBase/Test/home";
  CliTest() : Books({"A-現金", "Equity", "E-餐費"}) {
    entry("2024/01/01", "A-現金", "Equity", 1000, "初值");
    entry("2024/08/01", "E-餐費", "A-現金", 80, "午餐");
    EXPECT_TRUE(writeTo(book));
  }
  cli::Result run(QStringList args) { return cli::run(args, kToday, "1.1"); }
};

TEST(CliArguments, UsageErrorsExitTwoWithOneLine) {
  const QStringList cases[] = {
      // clang-format off
      {}, {"frobnicate", "x"}, {"statements"}, {"statements", "a", "b"},
      {"statements", "a", "--date"}, {"statements", "a", "--date", "2024/02/30"},
      {"statements", "a", "--output", "f"}, {"export", "pdf", "a"}, {"export", "csv"},
      {"export", "csv", "a", "-o"}, {"check", "a", "--date", "2024/01/01"}, {"--help", "extra"},
      {"check", "a", "--bogus"},
      // clang-format on
  };
  for (const QStringList& args : cases) {
    const cli::Result r = cli::run(args, kToday, "1.1");
    EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("varnix-cli：").toUtf8()));
    EXPECT_EQ(r.err.count('\n') - cli::usageText().count('\n'), 1) << r.err.toStdString();
  }
}

TEST(CliArguments, OptionsInEitherPlaceAndForm) {
  const auto parsed = cli::parseArguments({"export", "--output=x.csv", "csv-utf8", "book"});
  EXPECT_EQ(std::get<cli::Request>(parsed),
            (cli::Request{cli::Command::Export, "book", {}, cli::Format::CsvUtf8, "x.csv"}));
  const auto dated = cli::parseArguments({"statements", "--date", "2024-3-5", "--", "-book"});
  EXPECT_EQ(std::get<cli::Request>(dated),
            (cli::Request{cli::Command::Statements, "-book", "2024/03/05", cli::Format::Csv, {}}));
}

TEST_F(CliTest, StatementsCountUpToTheDateTodayByDefault) {
  const cli::Result today = run({"statements", book});
  EXPECT_EQ(today.exitCode, 0);
  EXPECT_TRUE(today.out.contains(cash("1000")) && today.out.endsWith("結餘  0\r\n"))
      << today.out.toStdString();
  const QByteArray later = run({"statements", book, "--date", "2024/12/31"}).out;
  EXPECT_TRUE(later.contains(cash("920")) && later.endsWith("結餘  -80\r\n"))
      << later.toStdString();
}

TEST_F(CliTest, ExportsAreTheWindowsBytesAndGoToAFileOnlyOutsideTheBook) {
  EXPECT_EQ(run({"export", "csv", book}).out,
            interchange::csvBytes(interchange::journalRows(store)));
  EXPECT_EQ(run({"export", "txt", book}).out,
            interchange::textBytes(interchange::journalRows(store)));
  signIn("Test", "home");
  EXPECT_EQ(run({"export", "ledger", book}).out, interchange::ledgerJournalBytes(store));
  const QString out = dir.path() + "/out.csv";
  EXPECT_EQ(run({"export", "csv-utf8", book, "--output", out}).exitCode, 0);
  EXPECT_EQ(fileBytes(out), interchange::spreadsheetCsvBytes(store));

  const QByteArray before = fileBytes(book + "/Main.dat");
  EXPECT_EQ(run({"export", "txt", book, "-o", book + "/Main.dat"}).exitCode, 1);
  EXPECT_EQ(fileBytes(book + "/Main.dat"), before);
}

TEST_F(CliTest, RefusalsExitOneWithTheReason) {
  const auto refused = [&](const QStringList& args, const char* reason) {
    const cli::Result r = run(args);
    return r.exitCode == 1 && r.err.contains(reason);
  };
  EXPECT_TRUE(refused({"check", dir.path() + "/nowhere"}, "找不到資料庫資料夾"));
  // A file where the folder belongs is named for what it is, by every command.
  for (const char* command : {"check", "statements"}) {
    EXPECT_TRUE(refused({command, book + "/Main.dat"}, "不是資料夾"));
  }
  // A folder without a book stays without one: nothing is made.
  const QString empty = dir.path() + "/empty";
  QDir().mkpath(empty);
  EXPECT_EQ(run({"statements", empty}).exitCode, 1);
  EXPECT_TRUE(QDir(empty).isEmpty());
  putFile(book + "/Main.dat", QByteArray(128 * 3000 + 1, 'x'));
  EXPECT_TRUE(refused({"check", book}, "超過上限"));
}

TEST_F(CliTest, CheckNamesEveryDoubtfulRecord) {
  EXPECT_EQ(run({"check", book}).exitCode, 0);
  account("E-餐費", 7);
  entry("2024/02/30", "E-舊", "A-現金", 5);
  ASSERT_TRUE(writeTo(book));
  const cli::Result r = run({"check", book});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(QString::fromUtf8(r.out),
            "帳戶 4「E-餐費」的種類 7 不是 0 到 4，它的金額都不計入\n"
            "帳戶 4「E-餐費」與前面的帳戶同名，兩者的餘額無法分開\n"
            "資料 3 的日期「2024/02/30」不是日期\n"
            "資料 3 的帳戶「E-舊」不存在，這筆金額不計入\n");
}

TEST_F(CliTest, ASaveCutShortIsReadAsOpeningWouldFinishItAndLeftAlone) {
  const QByteArray oldEntries = fileBytes(book + "/Main.dat");
  entry("2024/01/02", "E-餐費", "A-現金", 7);
  const QByteArray newEntries =
      store::entriesFileBytes(store.tables().entries, store.tables().entryCount);
  putFile(book + "/Main.dat.new", newEntries);
  // Without the marker the new file is no save: the old one counts.
  EXPECT_TRUE(run({"statements", book}).out.contains("1000\r\n"));
  putFile(book + "/" + safefile::kGroupMarker, "Accounts.dat\r\nMain.dat\r\n");
  EXPECT_TRUE(run({"statements", book}).out.contains("993\r\n"));
  EXPECT_EQ(fileBytes(book + "/Main.dat"), oldEntries);
  EXPECT_EQ(fileBytes(book + "/Main.dat.new"), newEntries);
  EXPECT_TRUE(QFileInfo::exists(book + "/" + safefile::kGroupMarker));
}

}  // namespace
