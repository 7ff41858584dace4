#include "reconcile/document.h"

#include "book/workspace.h"
#include "platform/dates.h"
#include "reconcile/lines.h"
#include "reports/period/period.h"
#include "store/ledger.h"

#include <QHash>

#include <algorithm>

namespace printing {

Document reconciliationDocument(const book::Workspace& store,
                                const reconcile::Reconciliation& done) {
  using namespace reconcile;
  Document d = headedDocument(QStringLiteral("對帳"), store);
  const QString account = store::trimTrailingSpaces(done.account);
  d.blocks.emplace_back(Heading{QStringLiteral("%1　%2").arg(account, nameOf(done))});
  d.blocks.emplace_back(
      Paragraph{QStringLiteral("期初餘額 %1　對帳單餘額 %2")
                    .arg(period::grouped(done.starting), period::grouped(done.ending))});
  QHash<QString, const Line*> byKey;
  const std::vector<Line> lines = accountLines(store, store.tables().accountSlot(done.account));
  for (const Line& line : lines)
    byKey.insert(line.key.digest + QLatin1Char('#') + QString::number(line.key.occurrence), &line);
  Table table;
  table.headers = {QStringLiteral("日期"), QStringLiteral("類別"), QStringLiteral("金額"),
                   QStringLiteral("備註")};
  table.widths = {12, 20, 12, 40};
  table.alignRight = {false, false, true, false};
  qint64 sum = 0;
  int folded = 0;
  for (const TickedEntry& t : done.ticked) {
    sum += t.amount;
    const Line* line =
        byKey.value(t.key.digest + QLatin1Char('#') + QString::number(t.key.occurrence));
    if (!line) {
      folded += t.released == Release::None ? 1 : 0;
      continue;
    }
    table.rows.push_back({line->date, line->other, period::grouped(t.amount), line->memo});
  }
  std::sort(table.rows.begin(), table.rows.end(),
            [](const QStringList& a, const QStringList& b) { return a[0] < b[0]; });
  d.blocks.emplace_back(std::move(table));
  QString total = QStringLiteral("勾選 %1 筆，合計 %2；差額 %3")
                      .arg(done.ticked.size())
                      .arg(period::grouped(sum))
                      .arg(period::grouped(done.ending - done.starting - sum));
  if (folded > 0) total += QStringLiteral("（其中 %1 筆已結帳，不在帳本中）").arg(folded);
  d.blocks.emplace_back(Paragraph{total});
  if (const QString broken = brokenReason(done, lines); !broken.isEmpty())
    d.blocks.emplace_back(Paragraph{QStringLiteral("注意：這次對帳已經不平衡，%1").arg(broken)});
  return d;
}

QString reconciliationPdfName(const book::Workspace& store, const reconcile::Reconciliation& done) {
  return QStringLiteral("%1-對帳-%2-%3.pdf")
      .arg(store.user().databaseName(), store::trimTrailingSpaces(done.account),
           done.statementDate.toString(QStringLiteral("yyyyMMdd")));
}

}  // namespace printing
