#include "reports/statements/statements.h"

#include "store/Module1.h"
#include "store/ledger.h"

#include <vector>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");
const QString kRule = QString(34, QLatin1Char('-'));

// One section: title, rule, one line per account of the kind, rule, total line.
struct Section {
  QString text;
  qint64 total = 0;
};

Section buildSection(const Module1& store, const std::vector<qint64>& balances, qint16 kind,
                     const QString& title, const QString& totalLabel) {
  Section section;
  QString& text = section.text;
  text.reserve(64 + 36 * store.AccountCount);
  text += title;
  text += kLineEnd;
  text += kRule;
  text += kLineEnd;
  for (int slot = 1; slot < store.AccountCount; ++slot) {
    const AccountRecord& account = store.AccountTable[slot];
    if (account.AccountKind != kind) continue;
    const qint64 balance = balances[static_cast<size_t>(slot - 1)];
    // The stored name is already 20 characters; a shorter one (a table filled by hand) is
    // padded so that the amounts still start after 22 characters.
    text += account.AccountName.leftJustified(kNameWidth, QLatin1Char(' '));
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

Statements BuildStatements(const Module1& store, const QString& date) {
  const std::vector<qint64> balances = allAccountBalances(store, date);
  Statements s;

  const Section assets =
      buildSection(store, balances, kAsset, QStringLiteral("資產"), QStringLiteral("資產總合   "));
  const Section liabilities = buildSection(store, balances, kLiability, QStringLiteral("負債"),
                                           QStringLiteral("負債總合   "));
  const Section income =
      buildSection(store, balances, kIncome, QStringLiteral("收入"), QStringLiteral("收入總合   "));
  const Section expenses = buildSection(store, balances, kExpense, QStringLiteral("支出"),
                                        QStringLiteral("支出總合   "));

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
