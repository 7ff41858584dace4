#include "budget/budgettext.h"

#include "reports/period/period.h"

#include <QStringList>

namespace budget {
namespace {

int screenWidth(const QString& text) {
  int width = 0;
  for (const QChar c : text) width += c.unicode() >= 0x1100 ? 2 : 1;
  return width;
}

QString padded(const QString& text, int width, bool right) {
  const QString fill(std::max(width - screenWidth(text), 0), QLatin1Char(' '));
  return right ? fill + text : text + fill;
}

QString csvField(const QString& text) {
  if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
      !text.contains(QLatin1Char('\n'))) {
    return text;
  }
  return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
         QLatin1Char('"');
}

QString monthText(int year, int month) {
  return QStringLiteral("%1/%2").arg(year).arg(month, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString spanLabel(const Report& report) {
  if (report.span == Span::Month) return monthText(report.year, report.month);
  return QStringLiteral("%1 至 %2").arg(monthText(report.year, 1),
                                         monthText(report.year, report.month));
}

QString percentText(const std::optional<double>& percent) {
  return percent ? QString::number(*percent, 'f', 1) + QLatin1Char('%') : QStringLiteral("—");
}

QByteArray reportText(const Report& report) {
  const QStringList headers{QStringLiteral("帳戶"), QStringLiteral("預算"), QStringLiteral("實際"),
                            QStringLiteral("差額"), QStringLiteral("百分比")};
  std::vector<QStringList> lines;
  lines.push_back(headers);
  const auto section = [&](const QString& caption, const std::vector<Row>& rows) {
    lines.push_back({caption});
    for (const Row& r : rows) {
      lines.push_back({QStringLiteral("  ") + r.name, period::grouped(r.budget),
                       period::grouped(r.actual), period::grouped(r.variance),
                       percentText(r.percent)});
    }
  };
  section(QStringLiteral("收入"), report.income);
  section(QStringLiteral("支出"), report.expense);
  std::vector<int> widths(headers.size(), 0);
  for (const QStringList& line : lines) {
    if (line.size() == 1) continue;  // a section's caption runs across
    for (qsizetype c = 0; c < line.size(); ++c) {
      widths[static_cast<size_t>(c)] = std::max(widths[static_cast<size_t>(c)],
                                                screenWidth(line[c]));
    }
  }
  QString out = QStringLiteral("預算與實際 %1\n").arg(spanLabel(report));
  for (const QStringList& line : lines) {
    QStringList cells;
    for (qsizetype c = 0; c < line.size(); ++c) {
      const bool last = c + 1 == line.size();
      cells << (c == 0 && last ? line[c] : padded(line[c], widths[static_cast<size_t>(c)], c > 0));
    }
    out += cells.join(QStringLiteral("  ")) + QLatin1Char('\n');
  }
  return out.toUtf8();
}

QByteArray reportCsv(const Report& report) {
  QString out = QStringLiteral("類別,帳戶,預算,實際,差額,百分比\r\n");
  const auto section = [&](const QString& kind, const std::vector<Row>& rows) {
    for (const Row& r : rows) {
      out += QStringList{kind,
                         csvField(r.name),
                         QString::number(r.budget),
                         QString::number(r.actual),
                         QString::number(r.variance),
                         r.percent ? QString::number(*r.percent, 'f', 1) : QString()}
                 .join(QLatin1Char(',')) +
             QStringLiteral("\r\n");
    }
  };
  section(QStringLiteral("收入"), report.income);
  section(QStringLiteral("支出"), report.expense);
  return out.toUtf8();
}

}  // namespace budget
