#include "budget/BudgetReportForm.h"

#include "book/workspace.h"
#include "budget/budget.h"
#include "budget/budgettext.h"
#include "platform/dialogs.h"
#include "platform/safefile.h"
#include "platform/widgets/build.h"
#include "platform/widgets/colours.h"
#include "platform/widgets/fonts.h"
#include "reports/period/period.h"
#include "ui/print/pages.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <QValueAxis>
#include <utility>

namespace {

// The colours of the period charts: told apart with any common colour blindness.
const QColor kBudgetColour(0x00, 0x72, 0xB2);
const QColor kActualColour(0xD5, 0x5E, 0x00);
const QColor kOverColour(0xB0, 0x00, 0x20);

constexpr int kTableWidth = 450;
constexpr int kAmountWidth = 84;
constexpr int kPercentWidth = 64;

QChart* seriesChart(const budget::MonthSeries& series, int year) {
  auto* chart = new QChart;
  chart->setTitle(QStringLiteral("%1 年每月支出：預算與實際").arg(year));
  // As the period charts look: a bold title, amounts with thousands separators.
  QFont titleFont = uiFont(11);
  titleFont.setBold(true);
  chart->setTitleFont(titleFont);
  chart->setLocale(QLocale(QLocale::Chinese, QLocale::Taiwan));
  chart->setLocalizeNumbers(true);
  chart->legend()->setFont(uiFont(9));
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setAnimationOptions(QChart::NoAnimation);
  auto* budgetSet = new QBarSet(QStringLiteral("預算"));
  auto* actualSet = new QBarSet(QStringLiteral("實際"));
  budgetSet->setColor(kBudgetColour);
  actualSet->setColor(kActualColour);
  qint64 top = 0;
  for (size_t m = 0; m < series.budget.size(); ++m) {
    budgetSet->append(static_cast<qreal>(series.budget[m]));
    actualSet->append(static_cast<qreal>(series.actual[m]));
    top = std::max({top, series.budget[m], series.actual[m]});
  }
  auto* bars = new QBarSeries;
  bars->append(budgetSet);
  bars->append(actualSet);
  chart->addSeries(bars);
  auto* months = new QBarCategoryAxis;
  months->append(series.months);
  months->setLabelsFont(uiFont(8));
  auto* amounts = new QValueAxis;
  amounts->setLabelFormat(QStringLiteral("%.0f"));
  amounts->setLabelsFont(uiFont(8));
  // A floor of 1,000: an empty year's axis would otherwise be cut into fractions that "%.0f"
  // shows as 0 0 0 1 1 1.
  amounts->setRange(0, static_cast<qreal>(std::max<qint64>(top, 1000)));
  amounts->applyNiceNumbers();
  chart->addAxis(months, Qt::AlignBottom);
  chart->addAxis(amounts, Qt::AlignLeft);
  bars->attachAxis(months);
  bars->attachAxis(amounts);
  return chart;
}

// A chart is laid out for the size its view has. Handed to the view before the window shows,
// it would be laid out once for the view's provisional size and again when shown: most of what
// opening the report costs. It waits for the view to show instead.
class ChartView : public QChartView {
 public:
  explicit ChartView(QWidget* parent) : QChartView(parent) {}
  ~ChartView() override { delete waiting_; }
  ChartView(const ChartView&) = delete;
  ChartView& operator=(const ChartView&) = delete;

  void showChart(QChart* chart) {
    delete std::exchange(waiting_, nullptr);
    if (isVisible()) {
      replaceChart(chart);
    } else {
      waiting_ = chart;
    }
  }

 protected:
  void showEvent(QShowEvent* event) override {
    if (waiting_) replaceChart(std::exchange(waiting_, nullptr));
    QChartView::showEvent(event);
  }

 private:
  void replaceChart(QChart* chart) {
    QChart* old = this->chart();
    setChart(chart);  // the view owns the new chart; the old one is ours to delete
    delete old;
  }
  QChart* waiting_ = nullptr;
};

QStringList rowCells(const budget::Row& row) {
  return {row.name, period::grouped(row.budget), period::grouped(row.actual),
          period::grouped(row.variance), budget::percentText(row.percent)};
}

}  // namespace

BudgetReportForm::BudgetReportForm(book::Workspace& store, Dialogs& dialogs,
                                   const budget::Budget& plans, QWidget* parent)
    : FixedDialog(parent), store_(store), dialogs_(dialogs), plans_(plans) {
  setObjectName(QStringLiteral("BudgetReportForm"));
  setWindowTitle(QStringLiteral("預算與實際"));
  setFont(uiFont(9));
  setClientSize(1100, 600);
  // The latest month that holds entries, as the other reports open: a book kept years ago
  // would otherwise open on empty months.
  const QDate latest = period::latestMonthWithEntries(store);
  const QDate today = latest.isValid() ? latest : store.clock().today();

  spanBox_ = new QComboBox(this);
  spanBox_->setObjectName(QLatin1String(kSpan));
  spanBox_->addItems({QStringLiteral("單月"), QStringLiteral("年初至今")});
  auto* spanLabel = build::label(this, "BudgetSpanLabel", QStringLiteral("期間(&E)"));
  spanLabel->setBuddy(spanBox_);
  yearBox_ = new QSpinBox(this);
  yearBox_->setObjectName(QLatin1String(kYear));
  yearBox_->setRange(1900, 9999);
  yearBox_->setValue(today.year());
  yearBox_->setSuffix(QStringLiteral(" 年"));
  yearBox_->setAccessibleName(QStringLiteral("年"));
  monthBox_ = new QSpinBox(this);
  monthBox_->setObjectName(QLatin1String(kMonth));
  monthBox_->setRange(1, 12);
  monthBox_->setValue(today.month());
  monthBox_->setSuffix(QStringLiteral(" 月"));
  monthBox_->setAccessibleName(QStringLiteral("月"));
  overOnly_ = new QCheckBox(QStringLiteral("只看超出預算的帳戶(&O)"), this);
  overOnly_->setObjectName(QLatin1String(kOverOnly));
  auto* choice = new QHBoxLayout;
  for (QWidget* w : {static_cast<QWidget*>(spanLabel), static_cast<QWidget*>(spanBox_),
                     static_cast<QWidget*>(yearBox_), static_cast<QWidget*>(monthBox_),
                     static_cast<QWidget*>(overOnly_)}) {
    choice->addWidget(w);
  }
  choice->addStretch(1);

  table_ = new QTableWidget(this);
  table_->setObjectName(QLatin1String(kTable));
  table_->setAccessibleName(QStringLiteral("預算與實際"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  // Rows as high as the period report's: the text and a little air.
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setTabKeyNavigation(false);
  table_->setColumnCount(5);
  table_->setHorizontalHeaderLabels({QStringLiteral("帳戶"), QStringLiteral("預算"),
                                     QStringLiteral("實際"), QStringLiteral("差額"),
                                     QStringLiteral("百分比")});
  chart_ = new ChartView(this);
  chart_->setObjectName(QLatin1String(kChart));
  chart_->setAccessibleName(QStringLiteral("每月預算與實際圖"));
  chart_->setRenderHint(QPainter::Antialiasing);
  auto* middle = new QHBoxLayout;
  table_->setFixedWidth(kTableWidth);
  // The account takes what the amounts leave; each amount has room for "-12,345,678".
  table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int c = 1; c < 4; ++c) table_->setColumnWidth(c, kAmountWidth);
  table_->setColumnWidth(4, kPercentWidth);
  middle->addWidget(table_);
  middle->addWidget(chart_, 1);

  QPushButton* print =
      build::button(this, kPrint, QStringLiteral("列印(&P)"), {}, build::Enter::Ignored);
  QPushButton* pdf =
      build::button(this, kSavePdf, QStringLiteral("存成PDF(&S)"), {}, build::Enter::Ignored);
  QPushButton* csv =
      build::button(this, kSaveCsv, QStringLiteral("存成CSV檔(&C)"), {}, build::Enter::Ignored);
  QPushButton* close =
      build::button(this, kClose, QStringLiteral("關閉"), {}, build::Enter::Ignored);
  setCancelButton(close);

  auto* column = new QVBoxLayout(this);
  column->addLayout(choice);
  column->addLayout(middle, 1);
  column->addLayout(build::buttonRow({print, pdf, csv, close}));

  connect(spanBox_, &QComboBox::currentIndexChanged, this, &BudgetReportForm::refresh);
  connect(yearBox_, &QSpinBox::valueChanged, this, &BudgetReportForm::refresh);
  connect(monthBox_, &QSpinBox::valueChanged, this, &BudgetReportForm::refresh);
  connect(overOnly_, &QCheckBox::toggled, this, &BudgetReportForm::refresh);
  connect(print, &QPushButton::clicked, this, &BudgetReportForm::printReport);
  connect(pdf, &QPushButton::clicked, this, &BudgetReportForm::saveReportAsPdf);
  connect(csv, &QPushButton::clicked, this, &BudgetReportForm::saveCsv);
  connect(close, &QPushButton::clicked, this, [this] { leave(QDialog::Rejected); });
  refresh();
}

void BudgetReportForm::refresh() {
  const int year = yearBox_->value();
  const bool newYear = figures_.year != year || figures_.accounts.empty();
  if (newYear) figures_ = budget::figuresOfYear(store_, year);
  const std::vector<budget::BoundPlan> bound = plans_.bind(figures_.accounts, year);
  if (newYear) fillChart(bound);
  report_ = budget::buildReport(
      figures_.accounts, bound, figures_.actuals, year, monthBox_->value(),
      spanBox_->currentIndex() == 0 ? budget::Span::Month : budget::Span::YearToDate,
      overOnly_->isChecked());
  fillTable();
}

void BudgetReportForm::fillTable() {
  std::vector<std::pair<QStringList, const budget::Row*>> lines;
  const auto section = [&](const QString& caption, const std::vector<budget::Row>& rows) {
    if (rows.empty()) return;
    lines.push_back({{caption}, nullptr});
    for (const budget::Row& row : rows) lines.push_back({rowCells(row), &row});
  };
  section(QStringLiteral("收入"), report_.income);
  section(QStringLiteral("支出"), report_.expense);
  table_->setRowCount(static_cast<int>(lines.size()));
  QFont bold = table_->font();
  bold.setBold(true);
  const QColor over = readableOn(kOverColour, table_->palette().color(QPalette::Base));
  for (size_t r = 0; r < lines.size(); ++r) {
    const auto& [cells, row] = lines[r];
    for (int c = 0; c < 5; ++c) {
      auto* item = new QTableWidgetItem(c < cells.size() ? cells[c] : QString());
      item->setTextAlignment(c == 0 ? (Qt::AlignLeft | Qt::AlignVCenter)
                                    : (Qt::AlignRight | Qt::AlignVCenter));
      if (!row) item->setFont(bold);
      // An overrun reads in red, and in words by its minus sign.
      if (row && row->over() && c >= 3) item->setForeground(over);
      table_->setItem(static_cast<int>(r), c, item);
    }
  }
}

void BudgetReportForm::fillChart(const std::vector<budget::BoundPlan>& bound) {
  series_ = budget::expenseSeries(figures_.accounts, bound, figures_.actuals, figures_.year);
  static_cast<ChartView*>(chart_)->showChart(seriesChart(series_, figures_.year));
}

namespace {

printing::Document reportDocument(const book::Workspace& store, const budget::Report& report,
                                  const budget::MonthSeries& series) {
  printing::Document d;
  d.title = QStringLiteral("預算與實際");
  d.bookName = store.user().databaseName();
  d.date = store.clock().today();
  d.blocks.emplace_back(printing::Heading{budget::spanLabel(report)});
  printing::Table table;
  table.headers = {QStringLiteral("帳戶"), QStringLiteral("預算"), QStringLiteral("實際"),
                   QStringLiteral("差額"), QStringLiteral("百分比")};
  table.widths = {16, 10, 10, 10, 8};
  table.alignRight = {false, true, true, true, true};
  const auto section = [&](const QString& caption, const std::vector<budget::Row>& rows) {
    if (rows.empty()) return;
    table.rows.push_back({caption, {}, {}, {}, {}});
    for (const budget::Row& row : rows) table.rows.push_back(rowCells(row));
  };
  section(QStringLiteral("收入"), report.income);
  section(QStringLiteral("支出"), report.expense);
  d.blocks.emplace_back(std::move(table));
  // The window's chart, built again for the page and painted at the printer's resolution.
  d.blocks.emplace_back(
      printing::Picture{[series, year = report.year](QPainter& painter, const QRectF& area) {
                          QGraphicsScene scene;  // owns the chart from here
                          QChart* chart = seriesChart(series, year);
                          scene.addItem(chart);
                          chart->setGeometry(area);
                          chart->layout()->activate();
                          scene.render(&painter, area, area);
                        },
                        0.55});
  return d;
}

}  // namespace

void BudgetReportForm::printReport() {
  printing::print(dialogs_, reportDocument(store_, report_, series_), this);
}

void BudgetReportForm::saveReportAsPdf() {
  printing::saveAsPdf(dialogs_, reportDocument(store_, report_, series_),
                      store_.user().databaseName() + QStringLiteral("-預算與實際.pdf"), this);
}

void BudgetReportForm::saveCsv() {
  const QString suggested = store_.user().csvFolder() + store_.user().databaseName() +
                            QStringLiteral("-預算與實際-%1.csv")
                                .arg(budget::spanLabel(report_).left(7).remove(QLatin1Char('/')));
  const QString path =
      dialogs_.input(QStringLiteral("CSV檔要存在哪裡？"), QStringLiteral("存成CSV檔"),
                     QDir::toNativeSeparators(suggested));
  if (path.trimmed().isEmpty()) return;
  const QString target = QDir::fromNativeSeparators(path.trimmed());
  QDir().mkpath(QFileInfo(target).absolutePath());
  if (auto error = safefile::write(target, budget::reportCsv(report_))) {
    dialogs_.message(refusal(QStringLiteral("CSV檔沒有存好：%1").arg(*error)));
    return;
  }
  dialogs_.message(
      completion(QStringLiteral("已存成「%1」").arg(QDir::toNativeSeparators(target))));
}

void openBudgetReport(book::Workspace& store, Dialogs& dialogs, const budget::Budget& plans,
                      QWidget* parent) {
  BudgetReportForm form(store, dialogs, plans, parent);
  dialogs.exec(form);
}
