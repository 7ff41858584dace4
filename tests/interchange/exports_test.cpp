#include "interchange/exports.h"

#include "Books.h"
#include "TestFiles.h"
#include "interchange/journalexport.h"
#include "interchange/journalrows.h"
#include "platform/safefile.h"
#include "store/ledger.h"

#include <QMap>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

struct ExportsTest : ::testing::Test, testbooks::Books {};

// Each character a spreadsheet takes for the start of a formula, leading a memo or an account's
// name, is written behind an apostrophe; further in, none of them is touched.
TEST_F(ExportsTest, SpreadsheetCsvIsUtf8WithHeaderKindsQuotingAndNoFormulas) {
  store.user().setDatabaseName("2025");
  testbooks::addAccounts(store, {"A-現金", "Equity"});
  entry("2025/03/01", "A-現金", "Equity", 1500, "初值, \"第一\"\r\n筆");
  entry("2025/03/02", "E-已刪除", "A-現金", -20, "=1+1");
  entry("2025/03/03", "=外", "A-現金", 5, "+1+1");
  entry("2025/03/03", "+外", "A-現金", 5, "-1-1");
  entry("2025/03/03", "-外", "A-現金", 5, "@1@1");
  entry("2025/03/03", "@外", "A-現金", 5, "");
  entry("2025/03/04", "外=+-@", "A-現金", 5, "1+1=2@-");
  EXPECT_EQ(interchange::spreadsheetCsvBytes(store),
            QByteArray("\xEF\xBB\xBF") +
                "日期,第一帳戶,第一帳戶種類,第二帳戶,第二帳戶種類,金額,備註,編號\r\n"
                "2025/03/01,A-現金,資產,Equity,權益,1500,\"初值, \"\"第一\"\"\r\n筆\",1\r\n"
                "2025/03/02,E-已刪除,不存在,A-現金,資產,-20,'=1+1,2\r\n"
                "2025/03/03,'=外,不存在,A-現金,資產,5,'+1+1,3\r\n"
                "2025/03/03,'+外,不存在,A-現金,資產,5,'-1-1,4\r\n"
                "2025/03/03,'-外,不存在,A-現金,資產,5,'@1@1,5\r\n"
                "2025/03/03,'@外,不存在,A-現金,資產,5,,6\r\n"
                "2025/03/04,外=+-@,不存在,A-現金,資產,5,1+1=2@-,7\r\n");
  ASSERT_EQ(interchange::exportForOthers(store, interchange::OtherExport::SpreadsheetCsv),
            completion(QStringLiteral("已存成2025-UTF8.csv")));
}

// The journal window's own two exports.
struct JournalTest : ::testing::Test, testbooks::Books {
  // Chinese (現金 b27b aaf7, 初值 aaec adc8), the smallest amount, a blank memo, a character the
  // code page lacks; a comma, quotes and the three kinds of line break, each in its own field.
  JournalTest() {
    store.user().setDatabaseName(QStringLiteral("2003-11"));
    entry("2025/03/01", "A-現金", "Equity", 1500, "初值, 2025");
    entry("2025/03/02", "E-Food", "A-Bank", -2147483647 - 1, "   ");
    entry("2025/03/03", "A-現😀", "A-\"Y\"", 7, "say\r\nthen\nbye\rend");
  }
};

TEST_F(JournalTest, CsvQuotesOnlyWhatNeedsItInCodePage950) {
  // Quoted for the comma, the quotes doubled, the line breaks kept inside the quotes.
  EXPECT_EQ(interchange::csvBytes(interchange::journalRows(store)),
            "2025/03/01,A-" + hex("b27baaf7") + ",Equity,1500,\"" + hex("aaecadc8") +  //
                ", 2025\"\r\n" +                                                       //
                "2025/03/02,E-Food,A-Bank,-2147483648,\r\n" +                          //
                "2025/03/03,A-" + hex("b27b") + "?,\"A-\"\"Y\"\"\",7," +               //
                "\"say\r\nthen\nbye\rend\"\r\n");
}

TEST_F(JournalTest, TextColumnsCountCharactersAndKeepEachEntryOnOneLine) {
  EXPECT_EQ(interchange::textBytes(interchange::journalRows(store)),
            // 4 characters (6 bytes) and 16 blanks: the columns line up in characters.
            "2025/03/01 A-" + hex("b27baaf7") + blanks(16) + " Equity" + blanks(14) + " 1500" +
                blanks(8) + " " + hex("aaecadc8") + ", 2025\r\n" +
                // An 11-character amount, one filler; a memo of blanks leaves the separator last.
                "2025/03/02 E-Food" + blanks(14) + " A-Bank" + blanks(14) + " -2147483648" +
                blanks(1) + " \r\n" +
                // The emoji is one "?" and one column; each line break in the memo is one blank.
                "2025/03/03 A-" + hex("b27b") + "?" + blanks(16) + " A-\"Y\"" + blanks(15) + " 7" +
                blanks(11) + " say then bye end\r\n");
}

TEST_F(JournalTest, ExportsGoToTheirFoldersAndAFailedOneKeepsTheEarlierFile) {
  const QString csv = dir.path() + "/CSV/2003-11.csv";
  const auto exportAs = [&](interchange::ExportKind kind) {
    return interchange::exportJournal(store, interchange::journalRows(store), kind);
  };
  ASSERT_EQ(exportAs(interchange::ExportKind::Text),
            completion(QStringLiteral("已存成2003-11.txt檔")));
  ASSERT_EQ(exportAs(interchange::ExportKind::Csv).title, "完成");
  const QByteArray earlier = fileBytes(csv);
  store.tables().entryCount = 2;  // a shorter journal that never reaches the disk
  {
    safefile::FailAfterBytes full(10);
    EXPECT_TRUE(
        warns(exportAs(interchange::ExportKind::Csv), QStringLiteral("沒有存成2003-11.csv檔：")));
  }
  EXPECT_EQ(fileBytes(csv), earlier);
  QFile::remove(csv);
  QDir().mkpath(csv);  // a folder in the file's place
  EXPECT_EQ(exportAs(interchange::ExportKind::Csv).title, "注意");
}

// The balances a journal tool ("ledger" or "hledger") reports, by account; its complaints. Both
// print an account to a line, its amount first and two blanks before its name.
std::pair<QMap<QString, qint64>, QString> runTool(const QString& tool, const QString& journal) {
  QProcess p;
  p.start(tool, {"-f", journal, "balance", "--flat", "-E", "--no-total"});
  p.waitForFinished(60000);
  QString errors = QString::fromUtf8(p.readAllStandardError());
  if (p.exitCode() != 0) errors += QStringLiteral("exit %1").arg(p.exitCode());
  QMap<QString, qint64> balances;
  for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n')) {
    bool ok = false;
    const qint64 value = line.trimmed().section("  ", 0, 0).toLongLong(&ok);
    if (ok) balances[line.trimmed().section("  ", 1)] = value;
  }
  return {balances, errors};
}

// A book with every case the journal must survive: each kind pair the entries use, the one
// pair whose effects do not cancel (equity first, liability second), an account that no longer
// exists, a name held twice, a kind outside the five, a blank name, names and memos with the
// characters those programs treat specially, the extreme amounts.
TEST_F(ExportsTest, LedgerAndHledgerAgreeWithEveryBalance) {
  const struct {
    QString name;
    qint16 kind;
    QString inJournal;
  } chart[] = {
      {"A-現金", store::kAsset, "Assets:A-現金"},
      {"Equity", store::kEquity, "Equity:Equity"},
      {"A-銀行:台銀", store::kAsset, "Assets:A-銀行：台銀"},
      {"L-卡  (1)", store::kLiability, "Liabilities:L-卡 (1)"},
      {"I-薪水;獎金", store::kIncome, "Income:I-薪水；獎金"},
      {"E-餐費\t@ = *", store::kExpense, "Expenses:E-餐費 @ = *"},
      {"A-重複", store::kAsset, "Assets:A-重複"},
      {"A-重複", store::kAsset, "Assets:A-重複 ~8"},
      {"X-奇怪", 9, "Equity:Varnix:種類不明:X-奇怪"},
      {"   ", store::kAsset, "Assets:（無名）"},
  };
  for (const auto& a : chart) account(a.name, a.kind);
  entry("2024/01/01", "A-現金", "Equity", 10000, "初值");
  entry("2024/01/02", "I-薪水;獎金", "A-銀行:台銀", 52000, "一月;薪水\r\n第二行");
  entry("2024/01/03", "E-餐費\t@ = *", "A-現金", 120, "(午餐) * 便當");
  entry("2024/01/04", "E-餐費\t@ = *", "L-卡  (1)", 2147483647, "刷卡");
  entry("2024/01/05", "L-卡  (1)", "A-銀行:台銀", -2147483647 - 1, "繳卡費");
  entry("2024/01/06", "Equity", "L-卡  (1)", 300, "權益對負債");
  entry("2024/01/07", "A-現金", "I-薪水;獎金", 999, "不計入的順序");
  entry("2024/01/08", "E-舊帳戶", "A-現金", 50, "帳戶已刪除");
  entry("2024/01/09", "A-重複", "A-現金", 70, "名字重複");
  entry("2024/01/10", "X-奇怪", "A-重複", 5, "種類不明");
  entry("2024/01/11", "A-銀行:台銀", "A-現金", 0, "");
  entry("2024/01/12", "   ", "A-現金", 1, "無名");
  entry("2024/13/40", "A-現金", "Equity", 1, "不是日期");

  const QString journal = dir.path() + "/book.journal";
  putFile(journal, interchange::ledgerJournalBytes(store));
  // Entries dated as no date count for no date's statements: the journal leaves them out.
  store.tables().entryCount -= 1;
  const std::vector<qint64> balances = store::allAccountBalances(store.tables(), "9999/12/31");

  bool ran = false;
  for (const QString tool : {"ledger", "hledger"}) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) continue;
    ran = true;
    const auto [byAccount, errors] = runTool(tool, journal);
    EXPECT_EQ(errors, "") << tool.toStdString();
    for (size_t i = 0; i < std::size(chart); ++i) {
      const qint64 program = balances[i];
      const int kind = chart[i].kind;
      const qint64 shown = kind == store::kAsset || kind == store::kExpense ? program : -program;
      EXPECT_EQ(byAccount.value(chart[i].inJournal, -1), shown)
          << tool.toStdString() << " " << chart[i].inJournal.toStdString();
    }
    // The one pair that does not cancel leaves 300, the name held twice its second 70.
    EXPECT_EQ(byAccount.value(interchange::kImbalanceAccount), -370) << tool.toStdString();
  }
  if (!ran) GTEST_SKIP() << "neither ledger nor hledger is installed";
}

}  // namespace
