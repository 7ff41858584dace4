#include "budget/BudgetReportForm.h"

#include "book/workspace.h"
#include "budget/budget.h"
#include "budget/budgettext.h"
#include "platform/dialogs.h"
#include "platform/safefile.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "reports/period/period.h"
#include "ui/print/pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include <utility>

namespace {

// The colours of the period charts: told apart with any common colour blindness.
const QColor kBudgetColour(0x00, 0x72, 0xB2);
const QColor kActualColour(0xD5, 0x5E, 0x00);
const QColor kOverColour(0xB0, 0x00, 0x20);

constexpr int kTableWidth = 450;
constexpr int kAmountWidth = 84;
constexpr int kPercentWidth = 64;

const QColor kTextColour(0x40, 0x40, 0x40);
const QColor kGridColour(0xE0, 0xE0, 0xE0);

// The step of the amounts' scale: 1, 2 or 5 times a power of ten, at most five steps to `top`.
qint64 scaleStep(qint64 top) {
  for (qint64 magnitude = 1;; magnitude *= 10) {
    for (const qint64 factor : {1, 2, 5}) {
      if (factor * magnitude * 5 >= top) return factor * magnitude;
    }
  }
}

// Budget against actual spending per month, in pairs of bars over a scale of amounts, with a
// title and a legend. Drawn directly, for the window and for the page alike: the report opens
// without building a chart's scene of items, and the page shows the very same drawing.
void paintSeries(QPainter& painter, const QRectF& area, const budget::MonthSeries& series,
                 int year) {
  painter.save();
  painter.fillRect(area, Qt::white);
  QFont titleFont = uiFont(11);
  titleFont.setBold(true);
  const QFont labelFont = uiFont(8);
  const QFont legendFont = uiFont(9);
  const QFontMetricsF titleMetrics(titleFont, painter.device());
  const QFontMetricsF labelMetrics(labelFont, painter.device());
  const QFontMetricsF legendMetrics(legendFont, painter.device());
  const qreal pad = labelMetrics.height() * 0.6;

  painter.setPen(kTextColour);
  painter.setFont(titleFont);
  const QRectF titleBox(area.left(), area.top() + pad, area.width(), titleMetrics.height());
  painter.drawText(titleBox, Qt::AlignCenter,
                   QStringLiteral("%1 年每月支出：預算與實際").arg(year));

  // The legend along the bottom: a swatch and its name for each of the two bars.
  painter.setFont(legendFont);
  const qreal swatch = legendMetrics.height() * 0.7;
  const std::pair<QString, QColor> keys[] = {{QStringLiteral("預算"), kBudgetColour},
                                             {QStringLiteral("實際"), kActualColour}};
  qreal legendWidth = 0;
  for (const auto& [name, colour] : keys)
    legendWidth += swatch + pad / 2 + legendMetrics.horizontalAdvance(name) + pad * 2;
  const qreal legendY = area.bottom() - pad - legendMetrics.height();
  qreal x = area.center().x() - legendWidth / 2;
  for (const auto& [name, colour] : keys) {
    painter.fillRect(QRectF(x, legendY + (legendMetrics.height() - swatch) / 2, swatch, swatch),
                     colour);
    x += swatch + pad / 2;
    const qreal width = legendMetrics.horizontalAdvance(name);
    painter.drawText(QRectF(x, legendY, width + 1, legendMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, name);
    x += width + pad * 2;
  }

  // The scale: from 0 to the largest amount, 1,000 at least, so an empty year still reads.
  qint64 top = 1000;
  for (size_t m = 0; m < series.budget.size(); ++m) {
    top = std::max({top, series.budget[m], series.actual[m]});
  }
  const qint64 step = scaleStep(top);
  const qint64 scaleTop = (top + step - 1) / step * step;
  painter.setFont(labelFont);
  qreal labelWidth = 0;
  for (qint64 v = 0; v <= scaleTop; v += step) {
    labelWidth = std::max(labelWidth, labelMetrics.horizontalAdvance(period::grouped(v)));
  }
  const qreal labelHeight = labelMetrics.height();
  const QRectF plot(
      QPointF(area.left() + pad + labelWidth + pad / 2, titleBox.bottom() + pad + labelHeight / 2),
      QPointF(area.right() - pad * 2, legendY - pad - labelHeight - pad / 2));
  if (plot.width() < 24 || plot.height() < 24) {
    painter.restore();
    return;
  }
  const auto yOf = [&](qint64 amount) {
    return plot.bottom() - plot.height() * static_cast<qreal>(std::max<qint64>(amount, 0)) /
                               static_cast<qreal>(scaleTop);
  };
  for (qint64 v = 0; v <= scaleTop; v += step) {
    const qreal y = yOf(v);
    painter.setPen(QPen(v == 0 ? kTextColour : kGridColour, 1));
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    painter.setPen(kTextColour);
    painter.drawText(
        QRectF(area.left(), y - labelHeight / 2, plot.left() - area.left() - pad / 2, labelHeight),
        Qt::AlignRight | Qt::AlignVCenter, period::grouped(v));
  }

  // Each month a pair of bars, the budget left of what was spent, the month's name below.
  const qsizetype count = series.months.size();
  if (count == 0) {
    painter.restore();
    return;
  }
  const qreal group = plot.width() / static_cast<qreal>(count);
  const qreal bar = group * 0.35;
  for (qsizetype m = 0; m < count; ++m) {
    const qreal centre = plot.left() + group * (static_cast<qreal>(m) + 0.5);
    const size_t i = static_cast<size_t>(m);
    const qint64 budget = i < series.budget.size() ? series.budget[i] : 0;
    const qint64 actual = i < series.actual.size() ? series.actual[i] : 0;
    painter.fillRect(QRectF(QPointF(centre - bar, yOf(budget)), QPointF(centre, plot.bottom())),
                     kBudgetColour);
    painter.fillRect(QRectF(QPointF(centre, yOf(actual)), QPointF(centre + bar, plot.bottom())),
                     kActualColour);
    painter.drawText(QRectF(centre - group / 2, plot.bottom() + pad / 2, group, labelHeight),
                     Qt::AlignCenter, series.months[m]);
  }
  painter.restore();
}

// The chart in the window: painted from the series when shown, nothing built beforehand.
class MonthChart : public QWidget {
 public:
  explicit MonthChart(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 180);
  }

  void showSeries(const budget::MonthSeries& series, int year) {
    series_ = series;
    year_ = year;
    // Read out by a screen reader: the bars' amounts in words.
    QStringList months;
    for (size_t m = 0; m < series.budget.size() && m < static_cast<size_t>(series.months.size());
         ++m) {
      months << QStringLiteral("%1 預算 %2 實際 %3")
                    .arg(series.months[static_cast<qsizetype>(m)],
                         period::grouped(series.budget[m]), period::grouped(series.actual[m]));
    }
    setAccessibleDescription(months.join(QStringLiteral("；")));
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintSeries(painter, rect(), series_, year_);
  }

 private:
  budget::MonthSeries series_;
  int year_ = 0;
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
  chart_ = new MonthChart(this);
  chart_->setObjectName(QLatin1String(kChart));
  chart_->setAccessibleName(QStringLiteral("每月預算與實際圖"));
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
  for (size_t r = 0; r < lines.size(); ++r) {
    const auto& [cells, row] = lines[r];
    for (int c = 0; c < 5; ++c) {
      auto* item = new QTableWidgetItem(c < cells.size() ? cells[c] : QString());
      item->setTextAlignment(c == 0 ? (Qt::AlignLeft | Qt::AlignVCenter)
                                    : (Qt::AlignRight | Qt::AlignVCenter));
      if (!row) item->setFont(bold);
      // An overrun reads in red, and in words by its minus sign.
      if (row && row->over() && c >= 3) item->setForeground(kOverColour);
      table_->setItem(static_cast<int>(r), c, item);
    }
  }
}

void BudgetReportForm::fillChart(const std::vector<budget::BoundPlan>& bound) {
  series_ = budget::expenseSeries(figures_.accounts, bound, figures_.actuals, figures_.year);
  static_cast<MonthChart*>(chart_)->showSeries(series_, figures_.year);
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
  // The window's chart, painted again for the page.
  d.blocks.emplace_back(
      printing::Picture{[series, year = report.year](QPainter& painter, const QRectF& area) {
                          paintSeries(painter, area, series, year);
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
