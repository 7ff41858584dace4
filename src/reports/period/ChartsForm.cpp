#include "reports/period/ChartsForm.h"

#include "platform/safefile.h"
#include "platform/widgets/fonts.h"
#include "store/Module1.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

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

QChart* newChart(const QString& title) {
  auto* chart = new QChart;
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

QValueAxis* amountAxis() {
  auto* axis = new QValueAxis;
  axis->setLabelFormat(QStringLiteral("%.0f"));
  axis->setLabelsFont(uiFont(8));
  return axis;
}

// Months short enough to stand upright under their bars: "3月" within one year, "24/03" across
// years.
QBarCategoryAxis* monthAxis(const QStringList& months) {
  const bool oneYear = !months.isEmpty() && months.first().left(4) == months.last().left(4);
  QStringList labels;
  for (const QString& month : months) {
    labels << (oneYear ? QStringLiteral("%1月").arg(month.mid(5).toInt())
                       : month.mid(2, 2) + QLatin1Char('/') + month.mid(5));
  }
  auto* axis = new QBarCategoryAxis;
  axis->append(labels);
  axis->setLabelsFont(uiFont(8));
  axis->setLabelsAngle(months.size() > 12 ? -90 : 0);
  return axis;
}

void tip(const QString& text) { QToolTip::showText(QCursor::pos(), text); }

QChart* expenseDonut(const period::Report& report) {
  const auto slices = period::expenseSlices(report);
  if (slices.empty()) return nullptr;
  qint64 total = 0;
  for (const auto& s : slices) total += s.value;
  QChart* chart = newChart(QStringLiteral("支出分布"));
  chart->legend()->hide();  // each slice carries its name and share
  auto* series = new QPieSeries;
  series->setHoleSize(0.45);
  for (size_t i = 0; i < slices.size(); ++i) {
    const auto& s = slices[i];
    const QString share =
        QString::number(100.0 * static_cast<double>(s.value) / static_cast<double>(total), 'f', 1);
    auto* slice =
        series->append(QStringLiteral("%1 %2%").arg(s.label, share), static_cast<qreal>(s.value));
    slice->setColor(s.label == period::kOthers ? kOthersColour : kPalette[i % 8]);
    slice->setLabelFont(uiFont(8));
    slice->setLabelVisible(true);
    const QString text =
        QStringLiteral("%1：%2（%3%）").arg(s.label, period::grouped(s.value), share);
    QObject::connect(slice, &QPieSlice::hovered, slice, [text](bool on) {
      if (on) tip(text);
    });
  }
  chart->addSeries(series);
  return chart;
}

QChart* monthlyBars(const period::Report& report) {
  if (report.empty()) return nullptr;
  QChart* chart = newChart(QStringLiteral("每月收支"));
  auto* income = new QBarSet(QStringLiteral("收入"));
  auto* expense = new QBarSet(QStringLiteral("支出"));
  income->setColor(kIncomeColour);
  expense->setColor(kExpenseColour);
  auto* net = new QLineSeries;
  net->setName(QStringLiteral("淨額"));
  net->setPen(QPen(QColor(0x22, 0x22, 0x22), 2, Qt::DashLine));
  net->setPointsVisible(true);
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
  QBarCategoryAxis* x = monthAxis(report.months);
  QValueAxis* y = amountAxis();
  y->setRange(static_cast<qreal>(low), static_cast<qreal>(high == low ? low + 1 : high));
  y->applyNiceNumbers();
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* s :
       {static_cast<QAbstractSeries*>(bars), static_cast<QAbstractSeries*>(net)}) {
    s->attachAxis(x);
    s->attachAxis(y);
  }
  return chart;
}

QChart* netWorthLine(const std::vector<period::MonthValue>& worth) {
  if (worth.empty()) return nullptr;
  QChart* chart = newChart(QStringLiteral("每月底的財產淨值"));
  chart->legend()->hide();
  auto* line = new QLineSeries;
  line->setPen(QPen(kPalette[2], 3));
  line->setPointsVisible(true);
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
  QBarCategoryAxis* x = monthAxis(months);
  QValueAxis* y = amountAxis();
  y->setRange(static_cast<qreal>(low), static_cast<qreal>(high == low ? low + 1 : high));
  y->applyNiceNumbers();
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  line->attachAxis(x);
  line->attachAxis(y);
  return chart;
}

// A chart's view, or the words that stand in for it.
QWidget* chartOrNothing(QChart* chart, QWidget* parent) {
  if (!chart) {
    auto* nothing = new QLabel(QStringLiteral("沒有資料"), parent);
    nothing->setObjectName(QStringLiteral("NoData"));
    nothing->setAlignment(Qt::AlignCenter);
    nothing->setFont(uiFont(14));
    return nothing;
  }
  auto* view = new QChartView(chart, parent);
  view->setRenderHint(QPainter::Antialiasing);
  return view;
}

std::vector<QChart*> buildCharts(const Module1& store, const period::Report& report) {
  return {expenseDonut(report), monthlyBars(report), netWorthLine(period::netWorthByMonth(store))};
}

}  // namespace

ChartsForm::ChartsForm(Module1& store, const period::Report& report, QWidget* parent)
    : FixedDialog(parent), store_(store) {
  setObjectName(QStringLiteral("ChartsForm"));
  setWindowTitle(QStringLiteral("圖表　%1 至 %2")
                     .arg(report.period.from.toString(QStringLiteral("yyyy/MM/dd")),
                          report.period.to.toString(QStringLiteral("yyyy/MM/dd"))));
  setFont(uiFont(9));
  setClientSize(760, 560);

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("Charts"));
  const std::vector<QChart*> charts = buildCharts(store, report);
  const QString names[] = {QStringLiteral("支出分布(&1)"), QStringLiteral("每月收支(&2)"),
                           QStringLiteral("財產淨值(&3)")};
  for (size_t i = 0; i < charts.size(); ++i)
    tabs_->addTab(chartOrNothing(charts[i], tabs_), names[i]);

  auto button = [this](const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, this);
    // Enter is never taken for a click on these: printing or saving only when asked.
    b->setAutoDefault(false);
    b->setObjectName(QLatin1String(name));
    return b;
  };
  QPushButton* png = button("SavePng", QStringLiteral("存成PNG(&S)"));
  QPushButton* copy = button("Copy", QStringLiteral("複製(&C)"));
  QPushButton* close = button("Close", QStringLiteral("關閉"));
  setCancelButton(close);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(png);
  buttons->addWidget(copy);
  buttons->addStretch(1);
  buttons->addWidget(close);
  auto* column = new QVBoxLayout(this);
  column->addWidget(tabs_, 1);
  column->addLayout(buttons);

  const auto enable = [this, png, copy] {
    const bool chart = qobject_cast<QChartView*>(tabs_->currentWidget()) != nullptr;
    png->setEnabled(chart);
    copy->setEnabled(chart);
  };
  connect(tabs_, &QTabWidget::currentChanged, this, enable);
  enable();
  connect(png, &QPushButton::clicked, this, &ChartsForm::savePng);
  connect(copy, &QPushButton::clicked, this, &ChartsForm::copyImage);
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
  QString path = store_.dialogs().chooseFile(
      {FileRequest::Purpose::Save, QStringLiteral("存成PNG"),
       store_.DataBaseName + QLatin1Char('-') + name + QStringLiteral(".png"),
       QStringLiteral("PNG 圖檔 (*.png)")});
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  if (auto error = safefile::write(path, bytes)) {
    store_.dialogs().message(refusal(QStringLiteral("圖檔沒有存好：%1").arg(*error)));
    return;
  }
  store_.dialogs().message(
      completion(QStringLiteral("已存成「%1」").arg(QDir::toNativeSeparators(path))));
}

void ChartsForm::copyImage() {
  const QImage image = currentImage();
  if (!image.isNull()) QGuiApplication::clipboard()->setImage(image);
}

std::vector<QImage> chartImages(const Module1& store, const period::Report& report, QSize size) {
  std::vector<QImage> images;
  for (QChart* chart : buildCharts(store, report)) {
    if (!chart) continue;
    QChartView view(chart);
    view.setRenderHint(QPainter::Antialiasing);
    view.resize(size);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    view.render(&painter);
    painter.end();
    images.push_back(image);
  }
  return images;
}

void openCharts(Module1& store, const period::Report& report, QWidget* parent) {
  ChartsForm form(store, report, parent);
  store.dialogs().exec(form);
}
