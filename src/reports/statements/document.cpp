#include "reports/statements/document.h"

#include "reports/statements/statements.h"
#include "store/ledger.h"
#include "store/records.h"

namespace printing {

namespace {

// A section of the statements as a table: its title over the account lines, the amounts all
// starting at one place after the widest name, as the window shows them; then the total line.
void addSection(Document& d, const QString& text) {
  const QStringList lines = text.split(QStringLiteral("\r\n"));
  Table table;
  table.headers = {lines.value(0), QString()};
  // The name column only as wide as its longest name: the amounts follow at once.
  table.widths = {1, 1000};
  table.alignRight = {false, false};
  // Lines 0 and 1 are the title and its rule, the last two a rule and the total.
  for (qsizetype i = 2; i + 2 < lines.size(); ++i) {
    table.rows.push_back({store::trimTrailingSpaces(lines[i].left(store::kNameWidth)),
                          lines[i].mid(store::kNameWidth).trimmed()});
  }
  d.blocks.emplace_back(std::move(table));
  d.blocks.emplace_back(FixedText{lines.last()});
}

}  // namespace

Document statementsDocument(const book::Workspace& store, const QString& date) {
  Document d = headedDocument(QStringLiteral("財務報表"), store);
  const statements::StatementTexts s = statements::buildStatements(store, date);
  d.blocks.emplace_back(Heading{QStringLiteral("資產負債表　%1").arg(date)});
  addSection(d, s.assets);
  addSection(d, s.liabilities);
  d.blocks.emplace_back(FixedText{s.netWorthLine.trimmed()});
  d.blocks.emplace_back(Heading{QStringLiteral("損益表　%1").arg(date)});
  addSection(d, s.income);
  addSection(d, s.expenses);
  d.blocks.emplace_back(FixedText{s.balanceLine});
  return d;
}

}  // namespace printing
