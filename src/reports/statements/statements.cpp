#include "reports/statements/statements.h"

#include "book/workspace.h"
#include "store/ledger.h"

#include <vector>

namespace statements {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");
const QString kRule = QString(34, QLatin1Char('-'));

// One section: title, rule, one line per account of the kind, rule, total line.
struct Section {
  QString text;
  qint64 total = 0;
};

Section buildSection(const store::AccountTableType& accounts, int accountCount,
                     const std::vector<qint64>& balances, qint16 kind, const QString& title,
                     const QString& totalLabel) {
  Section section;
  QString& text = section.text;
  int lines = 0;
  for (int slot = 1; slot < accountCount; ++slot) lines += accounts[slot].AccountKind == kind;
  // Name, two blanks and an amount of up to 20 characters: one allocation for the section.
  text.reserve(96 + (store::kNameWidth + 24) * lines);
  text += title;
  text += kLineEnd;
  text += kRule;
  text += kLineEnd;
  for (int slot = 1; slot < accountCount; ++slot) {
    const store::AccountRecord& account = accounts[slot];
    if (account.AccountKind != kind) continue;
    const qint64 balance = balances[static_cast<size_t>(slot - 1)];
    // The stored name is already 20 characters; a shorter one (a table filled by hand) is
    // padded so that the amounts still start after 22 characters.
    text += account.AccountName.leftJustified(store::kNameWidth, QLatin1Char(' '));
    text += QLatin1String("  ");
    text += QString::number(balance);
    text += kLineEnd;
    section.total += balance;
  }
  text += kRule;
  text += kLineEnd;
  text += totalLabel;
  text += QString::number(section.total);
  return section;
}

}  // namespace

StatementTexts buildStatements(const book::Workspace& store, const QString& date) {
  return buildStatements(store.tables().accounts, store.tables().accountCount,
                         store::allAccountBalances(store.tables(), date));
}

StatementTexts buildStatements(const store::AccountTableType& accounts, int accountCount,
                               const std::vector<qint64>& balances) {
  StatementTexts s;
  auto section = [&](qint16 kind, const QString& title, const QString& totalLabel) {
    return buildSection(accounts, accountCount, balances, kind, title, totalLabel);
  };

  const Section assets =
      section(store::kAsset, QStringLiteral("資產"), QStringLiteral("資產總合   "));
  const Section liabilities =
      section(store::kLiability, QStringLiteral("負債"), QStringLiteral("負債總合   "));
  const Section income =
      section(store::kIncome, QStringLiteral("收入"), QStringLiteral("收入總合   "));
  const Section expenses =
      section(store::kExpense, QStringLiteral("支出"), QStringLiteral("支出總合   "));

  s.assets = assets.text;
  s.liabilities = liabilities.text;
  s.income = income.text;
  s.expenses = expenses.text;
  s.netWorth = assets.total - liabilities.total;
  s.balance = income.total - expenses.total;
  s.netWorthLine = QStringLiteral("財產淨值  ") + QString::number(s.netWorth) + kLineEnd;
  s.balanceLine = QStringLiteral("結餘  ") + QString::number(s.balance);
  return s;
}

}  // namespace statements
