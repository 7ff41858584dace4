#include "reports/period/ChartsForm.h"

#include "book/workspace.h"
#include "platform/dialogs.h"
#include "platform/safefile.h"
#include "platform/widgets/build.h"
#include "platform/widgets/colours.h"
#include "platform/widgets/fonts.h"

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QDir>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include <memory>

namespace {

// Okabe and Ito's colours: told apart by readers with any common colour blindness, and in
// grey on paper by their lightness.
const QColor kPalette[] = {QColor(0x00, 0x72, 0xB2), QColor(0xE6, 0x9F, 0x00),
                           QColor(0x00, 0x9E, 0x73), QColor(0xD5, 0x5E, 0x00),
                           QColor(0x56, 0xB4, 0xE9), QColor(0xCC, 0x79, 0xA7),
                           QColor(0xF0, 0xE4, 0x42), QColor(0x33, 0x33, 0x33)};
const QColor kOthersColour(0xBB, 0xBB, 0xBB);
const QColor kIncomeColour = kPalette[0];
const QColor kExpenseColour = kPalette[3];

// How a chart is drawn: on a dark window or on paper, and how wide, for the axis's labels.
struct Look {
  bool dark = false;
  qreal width = 740;
};

QColor ink(const Look& look) {
  return look.dark ? QColor(0xDD, 0xDD, 0xDD) : QColor(0x22, 0x22, 0x22);
}

QColor sliceColour(size_t i, const Look& look) {
  // The palette's near-black would vanish on a dark chart.
  return i % 8 == 7 ? ink(look) : kPalette[i % 8];
}

QChart* newChart(const QString& title, const Look& look) {
  auto* chart = new QChart;
  chart->setTheme(look.dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
  chart->setTitle(title);
  QFont titleFont = uiFont(11);
  titleFont.setBold(true);
  chart->setTitleFont(titleFont);
  chart->legend()->setFont(uiFont(9));
  chart->legend()->setAlignment(Qt::AlignBottom);
  // Axis labels with thousands separators.
  chart->setLocale(QLocale(QLocale::Chinese, QLocale::Taiwan));
  chart->setLocalizeNumbers(true);
  chart->setAnimationOptions(QChart::NoAnimation);
  return chart;
}

QValueAxis* amountAxis(qint64 low, qint64 high) {
  auto* axis = new QValueAxis;
  axis->setLabelFormat(QStringLiteral("%.0f"));
  axis->setLabelsFont(uiFont(8));
  // Amounts that hardly differ (one month's net worth) are shown against zero: over a span of a
  // few units the axis would repeat one rounded label from top to bottom.
  if (high - low < 10) {
    low = std::min<qint64>(low, 0);
    high = std::max<qint64>(high, 0);
    if (high - low < 10) high = low + 10;
  }
  axis->setRange(static_cast<qreal>(low), static_cast<qreal>(high));
  axis->applyNiceNumbers();
  return axis;
}

// Labels under chosen months only, each with its year once the period spans two years: as
// many as the chart's width holds without crowding.
QCategoryAxis* monthAxis(const QStringList& months, const Look& look) {
  const bool oneYear = !months.isEmpty() && months.first().left(4) == months.last().left(4);
  const int room = static_cast<int>(look.width / (oneYear ? 40 : 72));
  auto* axis = new QCategoryAxis;
  axis->setLabelsFont(uiFont(8));
  axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  axis->setRange(-0.5, static_cast<qreal>(months.size()) - 0.5);
  axis->setStartValue(-0.5);
  for (const auto& label : period::monthAxisLabels(months, room))
    axis->append(label.text, label.index);
  return axis;
}

void tip(const QString& text) { QToolTip::showText(QCursor::pos(), text); }

QChart* expenseDonut(const period::Report& report, const Look& look) {
  const auto slices = period::expenseSlices(report);
  if (slices.empty()) return nullptr;
  qint64 total = 0;
  for (const auto& s : slices) total += s.value;
  // Names beside the slices only while they cannot run into each other; else a legend.
  bool labelsFit = slices.size() <= 6;
  for (const auto& s : slices) labelsFit = labelsFit && s.value * 20 >= total;
  QChart* chart = newChart(QStringLiteral("支出分布"), look);
  chart->legend()->setVisible(!labelsFit);
  chart->legend()->setAlignment(Qt::AlignRight);
  auto* series = new QPieSeries;
  series->setHoleSize(0.45);
  for (size_t i = 0; i < slices.size(); ++i) {
    const auto& s = slices[i];
    const QString share =
        QString::number(100.0 * static_cast<double>(s.value) / static_cast<double>(total), 'f', 1);
    auto* slice =
        series->append(QStringLiteral("%1 %2%").arg(s.label, share), static_cast<qreal>(s.value));
    slice->setColor(s.label == period::kOthers ? kOthersColour : sliceColour(i, look));
    slice->setLabelFont(uiFont(8));
    slice->setLabelColor(ink(look));
    slice->setLabelVisible(labelsFit);
    const QString text =
        QStringLiteral("%1：%2（%3%）").arg(s.label, period::grouped(s.value), share);
    QObject::connect(slice, &QPieSlice::hovered, slice, [text](bool on) {
      if (on) tip(text);
    });
  }
  chart->addSeries(series);
  return chart;
}

void attach(QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
  series->attachAxis(x);
  series->attachAxis(y);
}

QChart* monthlyBars(const period::Report& report, const Look& look) {
  if (report.empty()) return nullptr;
  QChart* chart = newChart(QStringLiteral("每月收支"), look);
  auto* income = new QBarSet(QStringLiteral("收入"));
  auto* expense = new QBarSet(QStringLiteral("支出"));
  income->setColor(kIncomeColour);
  expense->setColor(kExpenseColour);
  auto* net = new QLineSeries;
  net->setName(QStringLiteral("淨額"));
  net->setPen(QPen(ink(look), 2, Qt::DashLine));
  net->setPointsVisible(report.months.size() <= 36);
  qint64 low = 0;
  qint64 high = 0;
  for (size_t m = 0; m < report.netByMonth.size(); ++m) {
    *income << static_cast<qreal>(report.incomeByMonth[m]);
    *expense << static_cast<qreal>(report.expenseByMonth[m]);
    net->append(static_cast<qreal>(m), static_cast<qreal>(report.netByMonth[m]));
    for (qint64 v : {report.incomeByMonth[m], report.expenseByMonth[m], report.netByMonth[m]}) {
      low = std::min(low, v);
      high = std::max(high, v);
    }
  }
  auto* bars = new QBarSeries;
  bars->append(income);
  bars->append(expense);
  if (report.months.size() > 36) {
    // Years of months make bars a pixel wide: their outlines would hide their colours.
    for (QBarSet* set : {income, expense}) set->setPen(Qt::NoPen);
    bars->setBarWidth(1.0);
  }
  QObject::connect(bars, &QBarSeries::hovered, bars, [report](bool on, int index, QBarSet* set) {
    if (!on || index < 0 || index >= report.months.size()) return;
    const auto& values =
        set->label() == QStringLiteral("收入") ? report.incomeByMonth : report.expenseByMonth;
    tip(QStringLiteral("%1 %2：%3")
            .arg(report.months[index], set->label(),
                 period::grouped(values[static_cast<size_t>(index)])));
  });
  chart->addSeries(bars);
  chart->addSeries(net);
  QCategoryAxis* x = monthAxis(report.months, look);
  QValueAxis* y = amountAxis(low, high);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  attach(bars, x, y);
  attach(net, x, y);
  return chart;
}

QChart* netWorthLine(const std::vector<period::MonthValue>& worth, const Look& look) {
  if (worth.empty()) return nullptr;
  QChart* chart = newChart(QStringLiteral("每月底的財產淨值"), look);
  chart->legend()->hide();
  auto* line = new QLineSeries;
  line->setPen(QPen(kPalette[2], 3));
  line->setPointsVisible(worth.size() <= 36);
  QStringList months;
  qint64 low = worth.front().value;
  qint64 high = low;
  for (size_t i = 0; i < worth.size(); ++i) {
    months << worth[i].month;
    line->append(static_cast<qreal>(i), static_cast<qreal>(worth[i].value));
    low = std::min(low, worth[i].value);
    high = std::max(high, worth[i].value);
  }
  QObject::connect(line, &QLineSeries::hovered, line, [worth](const QPointF& point, bool on) {
    const auto i = static_cast<size_t>(std::lround(point.x()));
    if (on && i < worth.size())
      tip(QStringLiteral("%1：%2").arg(worth[i].month, period::grouped(worth[i].value)));
  });
  chart->addSeries(line);
  QCategoryAxis* x = monthAxis(months, look);
  QValueAxis* y = amountAxis(low, high);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  attach(line, x, y);
  return chart;
}

constexpr size_t kChartCount = 3;

// The chart at `index` in tab order; null when it has no data.
QChart* buildChart(size_t index, const book::Workspace& store, const period::Report& report,
                   const Look& look) {
  if (index == 0) return expenseDonut(report, look);
  if (index == 1) return monthlyBars(report, look);
  return netWorthLine(period::netWorthByMonth(store, report.period), look);
}

// A chart's view, or the words that stand in for it.
QWidget* chartOrNothing(QChart* chart, QWidget* parent) {
  if (!chart) {
    auto* nothing = new QLabel(QStringLiteral("沒有資料"), parent);
    nothing->setObjectName(QLatin1String(ChartsForm::kNoData));
    nothing->setAlignment(Qt::AlignCenter);
    nothing->setFont(uiFont(14));
    return nothing;
  }
  auto* view = new QChartView(chart, parent);
  view->setRenderHint(QPainter::Antialiasing);
  return view;
}

}  // namespace

ChartsForm::ChartsForm(book::Workspace& store, Dialogs& dialogs, const period::Report& report,
                       QWidget* parent)
    : FixedDialog(parent), store_(store), dialogs_(dialogs) {
  setObjectName(QStringLiteral("ChartsForm"));
  setWindowTitle(QStringLiteral("圖表　%1 至 %2")
                     .arg(report.period.from.toString(QStringLiteral("yyyy/MM/dd")),
                          report.period.to.toString(QStringLiteral("yyyy/MM/dd"))));
  setFont(uiFont(9));
  setClientSize(760, 560);
  addChartTabs(report);
  addButtons();
}

void ChartsForm::addChartTabs(const period::Report& report) {
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QLatin1String(kTabs));
  const Look look{isDark(QApplication::palette().color(QPalette::Window)), 740};
  const QString names[kChartCount] = {QStringLiteral("支出分布(&1)"),
                                      QStringLiteral("每月收支(&2)"),
                                      QStringLiteral("財產淨值(&3)")};
  for (size_t i = 0; i < kChartCount; ++i)
    tabs_->addTab(chartOrNothing(buildChart(i, store_, report, look), tabs_), names[i]);
}

void ChartsForm::addButtons() {
  using build::Enter;
  // Enter is never taken for a click on these: saving only when asked.
  savePngButton_ = build::button(this, kSavePng, QStringLiteral("存成PNG(&S)"), {}, Enter::Ignored);
  copyButton_ = build::button(this, kCopy, QStringLiteral("複製(&C)"), {}, Enter::Ignored);
  QPushButton* close = build::button(this, kClose, QStringLiteral("關閉"), {}, Enter::Ignored);
  setCancelButton(close);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(savePngButton_);
  buttons->addWidget(copyButton_);
  buttons->addStretch(1);
  buttons->addWidget(close);
  auto* column = new QVBoxLayout(this);
  column->addWidget(tabs_, 1);
  column->addLayout(buttons);

  const auto enable = [this] {
    const bool chart = qobject_cast<QChartView*>(tabs_->currentWidget()) != nullptr;
    savePngButton_->setEnabled(chart);
    copyButton_->setEnabled(chart);
  };
  connect(tabs_, &QTabWidget::currentChanged, this, enable);
  enable();
  connect(savePngButton_, &QPushButton::clicked, this, &ChartsForm::savePng);
  connect(copyButton_, &QPushButton::clicked, this, &ChartsForm::copyImage);
  connect(close, &QPushButton::clicked, this, [this] { leave(QDialog::Rejected); });
}

QImage ChartsForm::currentImage() const {
  auto* view = qobject_cast<QChartView*>(tabs_->currentWidget());
  return view ? view->grab().toImage() : QImage();
}

void ChartsForm::savePng() {
  const QImage image = currentImage();
  if (image.isNull()) return;
  const QString name = tabs_->tabText(tabs_->currentIndex()).section(QLatin1Char('('), 0, 0);
  QString path = dialogs_.chooseFile(
      {FileRequest::Purpose::Save, QStringLiteral("存成PNG"),
       store_.user().databaseName() + QLatin1Char('-') + name + QStringLiteral(".png"),
       QStringLiteral("PNG 圖檔 (*.png)")});
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  if (auto error = safefile::write(path, bytes)) {
    dialogs_.message(refusal(QStringLiteral("圖檔沒有存好：%1").arg(*error)));
    return;
  }
  dialogs_.message(completion(QStringLiteral("已存成「%1」").arg(QDir::toNativeSeparators(path))));
}

void ChartsForm::copyImage() {
  const QImage image = currentImage();
  if (!image.isNull()) QGuiApplication::clipboard()->setImage(image);
}

std::vector<printing::Picture> chartPictures(const book::Workspace& store,
                                             const period::Report& report) {
  std::vector<printing::Picture> pictures;
  for (size_t i = 0; i < kChartCount; ++i) {
    std::unique_ptr<QChart> probe(buildChart(i, store, report, Look{}));
    if (!probe) continue;
    // Built again at the size it gets, so that the month labels are thinned for that width.
    pictures.push_back({[&store, report, i](QPainter& painter, const QRectF& area) {
                          QGraphicsScene scene;  // owns the chart from here
                          QChart* chart = buildChart(i, store, report, Look{false, area.width()});
                          scene.addItem(chart);
                          chart->setGeometry(area);
                          chart->layout()->activate();
                          scene.render(&painter, area, area);
                        },
                        0.62});
  }
  return pictures;
}

void openCharts(book::Workspace& store, Dialogs& dialogs, const period::Report& report,
                QWidget* parent) {
  ChartsForm form(store, dialogs, report, parent);
  dialogs.exec(form);
}
