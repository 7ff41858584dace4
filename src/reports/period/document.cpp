#include "ui/print/documents.h"

#include "platform/dates.h"
#include "reports/journal/journal.h"
#include "reports/period/ChartsForm.h"
#include "reports/period/period.h"
#include "reports/statements/statements.h"
#include "store/Module1.h"
#include "store/ledger.h"
#include "store/records.h"

#include <algorithm>

namespace printing {

namespace {

Document headed(const QString& title, const Module1& store) {
  Document d;
  d.title = title;
  d.bookName = store.DataBaseName;
  d.date = store.clock().today();
  return d;
}

// A range typed into two boxes: "a 至 b", "a 起", "至 b".
QString range(const QString& from, const QString& to) {
  if (to.isEmpty()) return QStringLiteral("%1 起").arg(from);
  if (from.isEmpty()) return QStringLiteral("至 %1").arg(to);
  return QStringLiteral("%1 至 %2").arg(from, to);
}

}  // namespace

Document journalDocument(const Module1& store) {
  Document d = headed(QStringLiteral("日記帳"), store);
  Table table;
  table.headers = {QStringLiteral("日期"), QStringLiteral("資產增加"), QStringLiteral("資產減少"),
                   QStringLiteral("金額"), QStringLiteral("備註")};
  table.widths = {11, 14, 14, 11, 30};
  table.alignRight = {false, false, false, true, false};
  for (const JournalRow& row : journalRows(store)) {
    QString memo = row.memo;
    memo.replace(QLatin1String("\r\n"), QLatin1String(" "));
    table.rows.push_back({row.date, TrimTrailingSpaces(row.increase),
                          TrimTrailingSpaces(row.decrease),
                          period::grouped(row.amount.toLongLong()), memo});
  }
  d.blocks.emplace_back(std::move(table));
  return d;
}

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
    table.rows.push_back(
        {TrimTrailingSpaces(lines[i].left(kNameWidth)), lines[i].mid(kNameWidth).trimmed()});
  }
  d.blocks.emplace_back(std::move(table));
  d.blocks.emplace_back(FixedText{lines.last()});
}

}  // namespace

Document statementsDocument(const Module1& store, const QString& date) {
  Document d = headed(QStringLiteral("財務報表"), store);
  const Statements s = BuildStatements(store, date);
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

Document periodDocument(const Module1& store, const period::Report& report) {
  Document d = headed(QStringLiteral("收支分析"), store);
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
  for (Picture& picture : chartPictures(store, report)) d.blocks.emplace_back(std::move(picture));
  return d;
}

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

Document searchResultsDocument(const Module1& store, const SearchCriteria& criteria,
                               const QStringList& headers, std::vector<QStringList> rows,
                               qint64 sum) {
  Document d = headed(QStringLiteral("尋找結果"), store);
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

std::optional<QString> journalPdf(const Module1& store, const QString& path) {
  return savePdf(journalDocument(store), path);
}

}  // namespace printing
