#include "interchange/exports.h"

#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "store/Module1.h"
#include "store/ledger.h"

#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ExportsTest : ::testing::Test {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};

  void account(const QString& name, qint16 kind) {
    store.AccountTable[store.AccountCount++] = makeAccount(name, kind);
  }
  void entry(const char* date, const QString& first, const QString& second, qint32 amount,
             const QString& memo = {}) {
    store.EntryTable[store.EntryCount++] = makeEntry(date, first, second, amount, memo);
  }
};

TEST_F(ExportsTest, SpreadsheetCsvIsUtf8WithHeaderKindsAndQuoting) {
  store.DataBaseName = "2025";
  account("A-現金", kAsset);
  account("Equity", kEquity);
  entry("2025/03/01", "A-現金", "Equity", 1500, "初值, \"第一\"\r\n筆");
  entry("2025/03/02", "E-已刪除", "A-現金", -20, "=1+1");
  EXPECT_EQ(spreadsheetCsvBytes(store),
            QByteArray("\xEF\xBB\xBF") +
                "日期,第一帳戶,第一帳戶種類,第二帳戶,第二帳戶種類,金額,備註,編號\r\n"
                "2025/03/01,A-現金,資產,Equity,權益,1500,\"初值, \"\"第一\"\"\r\n筆\",1\r\n"
                "2025/03/02,E-已刪除,不存在,A-現金,資產,-20,'=1+1,2\r\n");
  ASSERT_EQ(exportForOthers(store, OtherExport::SpreadsheetCsv),
            completion(QStringLiteral("已存成2025-UTF8.csv")));
  EXPECT_EQ(fileBytes(dir.path() + "/CSV/2025-UTF8.csv"), spreadsheetCsvBytes(store));
}

TEST_F(ExportsTest, JournalNamesReadBackAsOneAccount) {
  struct Case {
    QString name;
    int kind;
    QString expected;
  } cases[] = {
      {"A-銀行:台銀", kAsset, "Assets:A-銀行：台銀"}, {"E-a  b\tc", kExpense, "Expenses:E-a b c"},
      {"I-x;y  ", kIncome, "Income:I-x；y"},          {"L-(卡)", kLiability, "Liabilities:L-(卡)"},
      {"Equity", kEquity, "Equity:Equity"},           {"   ", kAsset, "Assets:（無名）"},
      {"X-odd", 7, "Equity:Varnix:種類不明:X-odd"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(journalAccountName(c.name, c.kind), c.expected) << c.name.toStdString();
  }
}

// The balances a journal tool reports, by account: "ledger" or "hledger".
struct Balances {
  QMap<QString, qint64> byAccount;
  QString errors;
};

Balances runTool(const QString& tool, const QString& journal) {
  QProcess p;
  QStringList args = {"-f", journal, "balance", "--flat", "-E"};
  if (tool == "ledger") {
    args << "--no-total"
         << "--balance-format"
         << "%(account)\t%(quantity(display_total))\n";
  } else {
    args << "-O"
         << "csv";
  }
  p.start(tool, args);
  p.waitForFinished(60000);
  Balances b;
  b.errors = QString::fromUtf8(p.readAllStandardError());
  if (p.exitCode() != 0) b.errors += QStringLiteral("exit %1").arg(p.exitCode());
  for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n')) {
    // ledger: account TAB amount; hledger: "account","amount".
    const QStringList cells =
        line.startsWith('"') ? line.mid(1, line.size() - 2).split("\",\"") : line.split('\t');
    if (cells.size() != 2) continue;
    bool ok = false;
    const qint64 value = cells[1].toLongLong(&ok);
    if (ok) b.byAccount[cells[0]] = value;
  }
  return b;
}

// A book with every case the journal must survive: each kind pair the entries use, the one
// pair whose effects do not cancel (equity first, liability second), an account that no longer
// exists, a name held twice, a kind outside the five, names and memos with the characters
// those programs treat specially, the extreme amounts.
TEST_F(ExportsTest, LedgerAndHledgerAgreeWithEveryBalance) {
  const struct {
    QString name;
    qint16 kind;
    QString inJournal;
  } chart[] = {
      {"A-現金", kAsset, "Assets:A-現金"},
      {"Equity", kEquity, "Equity:Equity"},
      {"A-銀行:台銀", kAsset, "Assets:A-銀行：台銀"},
      {"L-卡  (1)", kLiability, "Liabilities:L-卡 (1)"},
      {"I-薪水;獎金", kIncome, "Income:I-薪水；獎金"},
      {"E-餐費 @ = *", kExpense, "Expenses:E-餐費 @ = *"},
      {"A-重複", kAsset, "Assets:A-重複"},
      {"A-重複", kAsset, "Assets:A-重複 ~8"},
      {"X-奇怪", 9, "Equity:Varnix:種類不明:X-奇怪"},
  };
  for (const auto& a : chart) account(a.name, a.kind);
  entry("2024/01/01", "A-現金", "Equity", 10000, "初值");
  entry("2024/01/02", "I-薪水;獎金", "A-銀行:台銀", 52000, "一月;薪水\r\n第二行");
  entry("2024/01/03", "E-餐費 @ = *", "A-現金", 120, "(午餐) * 便當");
  entry("2024/01/04", "E-餐費 @ = *", "L-卡  (1)", 2147483647, "刷卡");
  entry("2024/01/05", "L-卡  (1)", "A-銀行:台銀", -2147483647 - 1, "繳卡費");
  entry("2024/01/06", "Equity", "L-卡  (1)", 300, "權益對負債");
  entry("2024/01/07", "A-現金", "I-薪水;獎金", 999, "不計入的順序");
  entry("2024/01/08", "E-舊帳戶", "A-現金", 50, "帳戶已刪除");
  entry("2024/01/09", "A-重複", "A-現金", 70, "名字重複");
  entry("2024/01/10", "X-奇怪", "A-重複", 5, "種類不明");
  entry("2024/01/11", "A-銀行:台銀", "A-現金", 0, "");
  entry("2024/13/40", "A-現金", "Equity", 1, "不是日期");

  const QString journal = dir.path() + "/book.journal";
  putFile(journal, ledgerJournalBytes(store));
  // Entries dated as no date count for no date's statements: the journal leaves them out.
  store.EntryCount -= 1;
  const std::vector<qint64> balances = allAccountBalances(store, "9999/12/31");

  bool ran = false;
  for (const QString tool : {"ledger", "hledger"}) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) continue;
    ran = true;
    const Balances b = runTool(tool, journal);
    EXPECT_EQ(b.errors, "") << tool.toStdString();
    for (size_t i = 0; i < std::size(chart); ++i) {
      const qint64 program = balances[i];
      const int kind = chart[i].kind;
      const qint64 shown = kind == kAsset || kind == kExpense ? program : -program;
      EXPECT_TRUE(b.byAccount.contains(chart[i].inJournal))
          << tool.toStdString() << " " << chart[i].inJournal.toStdString();
      EXPECT_EQ(b.byAccount.value(chart[i].inJournal), shown)
          << tool.toStdString() << " " << chart[i].inJournal.toStdString();
    }
    // The one pair that does not cancel leaves 300, the name held twice its second 70.
    EXPECT_EQ(b.byAccount.value(kImbalanceAccount), -370) << tool.toStdString();
  }
  if (!ran) GTEST_SKIP() << "neither ledger nor hledger is installed";
}

}  // namespace
