#include "search/document.h"

#include "reports/period/period.h"

namespace printing {

namespace {

// A range typed into two boxes: "a 至 b", "a 起", "至 b".
QString range(const QString& from, const QString& to) {
  if (to.isEmpty()) return QStringLiteral("%1 起").arg(from);
  if (from.isEmpty()) return QStringLiteral("至 %1").arg(to);
  return QStringLiteral("%1 至 %2").arg(from, to);
}

}  // namespace

QString criteriaLine(const SearchCriteria& c) {
  QStringList parts;
  if (!c.memo.trimmed().isEmpty()) parts << QStringLiteral("備註含「%1」").arg(c.memo.trimmed());
  if (!c.account.trimmed().isEmpty())
    parts << QStringLiteral("帳戶含「%1」").arg(c.account.trimmed());
  if (!c.amountFrom.trimmed().isEmpty() || !c.amountTo.trimmed().isEmpty())
    parts << QStringLiteral("金額 ") + range(c.amountFrom.trimmed(), c.amountTo.trimmed());
  if (!c.dateFrom.trimmed().isEmpty() || !c.dateTo.trimmed().isEmpty())
    parts << QStringLiteral("日期 ") + range(c.dateFrom.trimmed(), c.dateTo.trimmed());
  return QStringLiteral("條件：") +
         (parts.isEmpty() ? QStringLiteral("全部") : parts.join(QStringLiteral("，")));
}

Document searchResultsDocument(const book::Workspace& store, const SearchCriteria& criteria,
                               const QStringList& headers, std::vector<QStringList> rows,
                               qint64 sum) {
  Document d = headedDocument(QStringLiteral("尋找結果"), store);
  const auto count = rows.size();
  d.blocks.emplace_back(Paragraph{criteriaLine(criteria)});
  Table table;
  table.headers = headers;
  table.widths = {10, 11, 13, 13, 11, 26, 6};
  table.alignRight = {false, false, false, false, true, false, true};
  table.rows = std::move(rows);
  d.blocks.emplace_back(std::move(table));
  d.blocks.emplace_back(
      Paragraph{QStringLiteral("共 %1 筆，金額合計 %2").arg(count).arg(period::grouped(sum))});
  return d;
}

}  // namespace printing
