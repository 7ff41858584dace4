#include "reports/period/PeriodForm.h"

#include "platform/widgets/fonts.h"
#include "reports/period/ChartsForm.h"
#include "store/Module1.h"
#include "ui/print/pages.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Kind { Month = 0, Year = 1, Span = 2 };

// The table's rows: a caption, one line per account, totals; the net at the bottom.
struct Line {
  QString label;
  std::vector<qint64> months;
  qint64 total = 0;
  bool bold = false;
};

std::vector<Line> tableLines(const period::Report& r) {
  std::vector<Line> lines;
  const auto section = [&](const QString& caption, const std::vector<period::AccountLine>& accounts,
                           const QString& totalLabel, const std::vector<qint64>& byMonth,
                           qint64 total) {
    lines.push_back({caption, {}, 0, true});
    for (const auto& a : accounts) lines.push_back({a.name, a.months, a.total, false});
    lines.push_back({totalLabel, byMonth, total, true});
  };
  section(QStringLiteral("收入"), r.income, QStringLiteral("收入合計"), r.incomeByMonth,
          r.incomeTotal);
  section(QStringLiteral("支出"), r.expense, QStringLiteral("支出合計"), r.expenseByMonth,
          r.expenseTotal);
  lines.push_back({QStringLiteral("淨額（收入－支出）"), r.netByMonth, r.net, true});
  return lines;
}

QStringList lineCells(const Line& line, size_t months) {
  QStringList cells{line.label};
  const bool caption = line.months.empty();
  for (size_t m = 0; m < months; ++m)
    cells << (caption ? QString() : period::grouped(line.months[m]));
  cells << (caption ? QString() : period::grouped(line.total));
  return cells;
}

}  // namespace

PeriodForm::PeriodForm(Module1& store, QWidget* parent) : FixedDialog(parent), store_(store) {
  setObjectName(QStringLiteral("PeriodForm"));
  setWindowTitle(QStringLiteral("收支分析"));
  setFont(uiFont(9));
  setClientSize(900, 560);
  const QDate today = store.clock().today();

  kindBox_ = new QComboBox(this);
  kindBox_->setObjectName(QStringLiteral("PeriodKind"));
  kindBox_->addItems(
      {QStringLiteral("一個月"), QStringLiteral("一年"), QStringLiteral("自訂期間")});
  yearBox_ = new QSpinBox(this);
  yearBox_->setObjectName(QStringLiteral("Year"));
  yearBox_->setRange(1900, 9999);
  yearBox_->setValue(today.year());
  yearBox_->setSuffix(QStringLiteral(" 年"));
  monthBox_ = new QSpinBox(this);
  monthBox_->setObjectName(QStringLiteral("Month"));
  monthBox_->setRange(1, 12);
  monthBox_->setValue(today.month());
  monthBox_->setSuffix(QStringLiteral(" 月"));
  fromBox_ = new QLineEdit(dates::format(QDate(today.year(), 1, 1)), this);
  fromBox_->setObjectName(QStringLiteral("DateFrom"));
  toBox_ = new QLineEdit(dates::format(today), this);
  toBox_->setObjectName(QStringLiteral("DateTo"));
  auto* show = new QPushButton(QStringLiteral("顯示(&R)"), this);
  show->setObjectName(QStringLiteral("Show"));
  // Enter in a date box shows the period typed.
  show->setDefault(true);

  auto* choice = new QHBoxLayout;
  auto* kindLabel = new QLabel(QStringLiteral("期間(&E)"), this);
  kindLabel->setBuddy(kindBox_);
  choice->addWidget(kindLabel);
  auto* to = new QLabel(QStringLiteral("至"), this);
  to->setObjectName(QStringLiteral("ToLabel"));
  for (QWidget* w :
       {static_cast<QWidget*>(kindBox_), static_cast<QWidget*>(yearBox_),
        static_cast<QWidget*>(monthBox_), static_cast<QWidget*>(fromBox_),
        static_cast<QWidget*>(to), static_cast<QWidget*>(toBox_), static_cast<QWidget*>(show)}) {
    choice->addWidget(w);
  }
  choice->addStretch(1);

  table_ = new QTableWidget(this);
  table_->setObjectName(QStringLiteral("Table"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);

  netWorth_ = new QTreeWidget(this);
  netWorth_->setObjectName(QStringLiteral("NetWorth"));
  netWorth_->setHeaderLabels({QStringLiteral("月底"), QStringLiteral("財產淨值")});
  netWorth_->setRootIsDecorated(false);
  netWorth_->setFixedWidth(200);
  netWorth_->setColumnWidth(0, 70);
  netWorth_->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);

  auto* tables = new QHBoxLayout;
  tables->addWidget(table_, 1);
  tables->addWidget(netWorth_);

  auto button = [this](const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, this);
    // Enter is never taken for a click on these: printing or saving only when asked.
    b->setAutoDefault(false);
    b->setObjectName(QLatin1String(name));
    return b;
  };
  QPushButton* charts = button("Charts", QStringLiteral("圖表(&G)"));
  QPushButton* print = button("Print", QStringLiteral("列印(&P)"));
  QPushButton* pdf = button("SavePdf", QStringLiteral("存成PDF(&S)"));
  QPushButton* close = button("Close", QStringLiteral("關閉"));
  setCancelButton(close);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(charts);
  buttons->addWidget(print);
  buttons->addWidget(pdf);
  buttons->addStretch(1);
  buttons->addWidget(close);

  auto* column = new QVBoxLayout(this);
  column->addLayout(choice);
  column->addLayout(tables, 1);
  column->addLayout(buttons);

  connect(kindBox_, &QComboBox::currentIndexChanged, this, &PeriodForm::onKindChanged);
  connect(yearBox_, &QSpinBox::valueChanged, this, [this] { refresh(false); });
  connect(monthBox_, &QSpinBox::valueChanged, this, [this] { refresh(false); });
  connect(show, &QPushButton::clicked, this, [this] { refresh(true); });
  connect(charts, &QPushButton::clicked, this, [this] { openCharts(store_, report_, this); });
  connect(print, &QPushButton::clicked, this, &PeriodForm::printReport);
  connect(pdf, &QPushButton::clicked, this, &PeriodForm::saveReportAsPdf);
  connect(close, &QPushButton::clicked, this, [this] { leave(QDialog::Rejected); });

  fillNetWorth();
  onKindChanged(Month);
}

void PeriodForm::onKindChanged(int kind) {
  monthBox_->setVisible(kind == Month);
  yearBox_->setVisible(kind != Span);
  fromBox_->setVisible(kind == Span);
  toBox_->setVisible(kind == Span);
  findChild<QLabel*>(QStringLiteral("ToLabel"))->setVisible(kind == Span);
  refresh(false);
}

void PeriodForm::refresh(bool sayWhy) {
  period::Period chosen;
  switch (kindBox_->currentIndex()) {
    case Month:
      chosen = period::monthPeriod(yearBox_->value(), monthBox_->value());
      break;
    case Year:
      chosen = period::yearPeriod(yearBox_->value());
      break;
    default: {
      const auto typed = period::customPeriod(fromBox_->text(), toBox_->text());
      if (const QString* why = std::get_if<QString>(&typed)) {
        // Half-typed dates are not worth a box; the person asked with Enter or 顯示.
        if (sayWhy) store_.dialogs().message(refusal(*why));
        return;
      }
      chosen = std::get<period::Period>(typed);
    }
  }
  report_ = period::buildReport(store_, chosen);
  fillTable();
}

void PeriodForm::fillTable() {
  const std::vector<Line> lines = tableLines(report_);
  const size_t months = static_cast<size_t>(report_.months.size());
  QStringList headers{QStringLiteral("帳戶")};
  headers << report_.months << QStringLiteral("合計");
  table_->clear();
  table_->setColumnCount(static_cast<int>(headers.size()));
  table_->setHorizontalHeaderLabels(headers);
  table_->setRowCount(static_cast<int>(lines.size()));
  QFont bold = table_->font();
  bold.setBold(true);
  for (size_t r = 0; r < lines.size(); ++r) {
    const QStringList cells = lineCells(lines[r], months);
    for (qsizetype c = 0; c < cells.size(); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setTextAlignment(c == 0 ? (Qt::AlignLeft | Qt::AlignVCenter)
                                    : (Qt::AlignRight | Qt::AlignVCenter));
      if (lines[r].bold) item->setFont(bold);
      table_->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  }
  table_->resizeColumnsToContents();
}

void PeriodForm::fillNetWorth() {
  netWorth_->clear();
  for (const auto& point : period::netWorthByMonth(store_)) {
    auto* item = new QTreeWidgetItem(netWorth_, {point.month, period::grouped(point.value)});
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  }
}

namespace {

printing::Document reportDocument(const Module1& store, const period::Report& report) {
  printing::Document d;
  d.title = QStringLiteral("收支分析");
  d.bookName = store.DataBaseName;
  d.date = store.clock().today();
  d.blocks.emplace_back(printing::Heading{
      QStringLiteral("%1 至 %2")
          .arg(dates::format(report.period.from), dates::format(report.period.to))});
  // Wide periods are cut into tables of at most six months, so that the figures stay legible.
  const std::vector<Line> lines = tableLines(report);
  const qsizetype months = report.months.size();
  for (qsizetype first = 0; first < std::max<qsizetype>(months, 1); first += 6) {
    const qsizetype count = std::min<qsizetype>(6, months - first);
    printing::Table table;
    table.headers << QStringLiteral("帳戶") << report.months.mid(first, count)
                  << QStringLiteral("合計");
    table.widths.push_back(16);
    table.alignRight.push_back(false);
    for (qsizetype c = 0; c <= count; ++c) {
      table.widths.push_back(10);
      table.alignRight.push_back(true);
    }
    for (const Line& line : lines) {
      const QStringList all = lineCells(line, static_cast<size_t>(months));
      QStringList cells{all.first()};
      cells << all.mid(1 + first, count) << all.last();
      table.rows.push_back(cells);
    }
    d.blocks.emplace_back(std::move(table));
  }
  printing::Table worth;
  worth.headers = {QStringLiteral("月底"), QStringLiteral("財產淨值")};
  worth.widths = {1, 1};
  worth.alignRight = {false, true};
  for (const auto& point : period::netWorthByMonth(store)) {
    worth.rows.push_back({point.month, period::grouped(point.value)});
  }
  d.blocks.emplace_back(printing::Heading{QStringLiteral("財產淨值")});
  d.blocks.emplace_back(std::move(worth));
  d.blocks.emplace_back(printing::Heading{QStringLiteral("圖表")});
  for (const QImage& image : chartImages(store, report, QSize(1200, 800))) {
    d.blocks.emplace_back(printing::Picture{image});
  }
  return d;
}

}  // namespace

void PeriodForm::printReport() { printing::print(store_, reportDocument(store_, report_), this); }

void PeriodForm::saveReportAsPdf() {
  printing::saveAsPdf(store_, reportDocument(store_, report_),
                      store_.DataBaseName + QStringLiteral("-收支分析.pdf"), this);
}

void openPeriodReport(Module1& store, QWidget* parent) {
  PeriodForm form(store, parent);
  store.dialogs().exec(form);
}
