#include "reports/period/document.h"

#include "platform/dates.h"
#include "reports/period/period.h"
#include "ui/print/loadable.h"

#include <algorithm>

namespace printing {

Document periodDocument(const book::Workspace& store, const period::Report& report) {
  Document d = headedDocument(QStringLiteral("收支分析"), store);
  d.blocks.emplace_back(
      Heading{QStringLiteral("%1 至 %2")
                  .arg(dates::format(report.period.from), dates::format(report.period.to))});
  // Wide periods are cut into tables of at most six months, so that the figures stay legible.
  const std::vector<period::TableLine> lines = period::tableLines(report);
  const qsizetype months = report.months.size();
  for (qsizetype first = 0; first < std::max<qsizetype>(months, 1); first += 6) {
    const qsizetype count = std::min<qsizetype>(6, months - first);
    Table table;
    table.headers << QStringLiteral("帳戶") << report.months.mid(first, count)
                  << QStringLiteral("合計");
    table.widths.push_back(16);
    table.alignRight.push_back(false);
    for (qsizetype c = 0; c <= count; ++c) {
      table.widths.push_back(10);
      table.alignRight.push_back(true);
    }
    for (const period::TableLine& line : lines) {
      const QStringList all = period::lineCells(line, static_cast<size_t>(months));
      QStringList cells{all.first()};
      cells << all.mid(1 + first, count) << all.last();
      table.rows.push_back(cells);
    }
    d.blocks.emplace_back(std::move(table));
  }
  Table worth;
  worth.headers = {QStringLiteral("月底"), QStringLiteral("財產淨值")};
  worth.widths = {1, 1};
  worth.alignRight = {false, true};
  for (const auto& point : period::netWorthByMonth(store, report.period))
    worth.rows.push_back({point.month, period::grouped(point.value)});
  d.blocks.emplace_back(Heading{QStringLiteral("財產淨值")});
  d.blocks.emplace_back(std::move(worth));
  d.blocks.emplace_back(Heading{QStringLiteral("圖表")});
  QString why;
  if (const loadable::Entries* module = loadable::entries(why)) {
    for (Picture& picture : module->chartPictures(store, report))
      d.blocks.emplace_back(std::move(picture));
  } else {
    // The figures above stand; the page says why the charts are not under them.
    d.blocks.emplace_back(Paragraph{QStringLiteral("圖表無法繪製：%1").arg(why)});
  }
  return d;
}

}  // namespace printing
