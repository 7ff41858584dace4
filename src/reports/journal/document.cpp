#include "reports/journal/document.h"

#include "interchange/journalrows.h"
#include "reports/period/period.h"
#include "store/ledger.h"

namespace printing {

Document journalDocument(const book::Workspace& store) {
  Document d = headedDocument(QStringLiteral("日記帳"), store);
  Table table;
  table.headers = {QStringLiteral("日期"), QStringLiteral("資產增加"), QStringLiteral("資產減少"),
                   QStringLiteral("金額"), QStringLiteral("備註")};
  table.widths = {11, 14, 14, 11, 30};
  table.alignRight = {false, false, false, true, false};
  for (const interchange::JournalRow& row : interchange::journalRows(store)) {
    QString memo = row.memo;
    memo.replace(QLatin1String("\r\n"), QLatin1String(" "));
    table.rows.push_back({row.date, store::trimTrailingSpaces(row.increase),
                          store::trimTrailingSpaces(row.decrease),
                          period::grouped(row.amount.toLongLong()), memo});
  }
  d.blocks.emplace_back(std::move(table));
  return d;
}

std::optional<QString> journalPdf(const book::Workspace& store, const QString& path) {
  return savePdf(journalDocument(store), path);
}

}  // namespace printing
