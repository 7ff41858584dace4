// The period report and its charts, fed by small books.
#include "WindowSteps.h"
#include "reports/period/ChartsForm.h"
#include "reports/period/PeriodForm.h"

#include <QCategoryAxis>
#include <QChartView>
#include <QLegend>
#include <QPieSeries>

namespace {

using PF = PeriodForm;
using CF = ChartsForm;

// The figures of the row whose account (the row's header) is `label`.
QStringList tableRow(QDialog& form, const QString& label) {
  auto* table = child<QTableWidget>(form, PF::kTable);
  for (int r = 0; r < table->rowCount(); ++r) {
    if (!table->verticalHeaderItem(r) || table->verticalHeaderItem(r)->text() != label) continue;
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c) cells << table->item(r, c)->text();
    return cells;
  }
  return {QStringLiteral("<no row %1>").arg(label)};
}

// A household's first months of 2025, looked at on a later day.
struct SmallBook : testbooks::Books {
  SmallBook() : Books({"A-現金", "I-薪資", "E-餐飲", "E-房租", "L-信用卡"}) {
    store.clock().setToday(QDate(2031, 8, 20));
    entry("2025/01/05", "I-薪資", "A-現金", 30000);
    entry("2025/01/10", "E-餐飲", "A-現金", 2500);
    entry("2025/02/01", "E-房租", "L-信用卡", 12000);
    entry("2025/03/03", "E-餐飲", "A-現金", 1800);
  }
};

QChart* chartOnTab(QDialog& charts, int tab) {
  auto* view = qobject_cast<QChartView*>(child<QTabWidget>(charts, CF::kTabs)->widget(tab));
  return view ? view->chart() : nullptr;
}

QStringList axisLabels(QChart* chart) {
  const auto axes = chart->axes(Qt::Horizontal);
  auto* axis = axes.isEmpty() ? nullptr : qobject_cast<QCategoryAxis*>(axes.first());
  return axis ? axis->categoriesLabels() : QStringList{"<not thinned>"};
}

}  // namespace

class PeriodFormTest : public QObject {
  Q_OBJECT

 private slots:
  // Years after the book's last entry, the report still opens where the figures are.
  void opensOnTheLatestMonthWithEntries() {
    SmallBook b;
    PeriodForm form(b.store);
    QCOMPARE(child<QSpinBox>(form, PF::kYear)->value(), 2025);
    QCOMPARE(child<QSpinBox>(form, PF::kMonth)->value(), 3);
    QCOMPARE(tableRow(form, "E-餐飲"), (QStringList{"1,800", "1,800"}));
  }

  void aYearByMonthWithNetWorthOfItsMonths() {
    SmallBook b;
    PeriodForm form(b.store);
    child<QComboBox>(form, PF::kKind)->setCurrentIndex(PF::Year);
    auto* table = child<QTableWidget>(form, PF::kTable);
    QCOMPARE(table->columnCount(), 13);
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("2025/01"));
    QCOMPARE(tableRow(form, "E-餐飲").mid(0, 3), (QStringList{"2,500", "0", "1,800"}));
    QCOMPARE(tableRow(form, "淨額（收入－支出）").last(), QStringLiteral("13,700"));
    auto* worth = child<QTreeWidget>(form, PF::kNetWorth);
    QCOMPARE(worth->topLevelItemCount(), 3);
    QCOMPARE(worth->topLevelItem(2)->text(1), QStringLiteral("13,700"));
  }

  void theAccountsStayInPlaceWhileScrollingRight() {
    SmallBook b;
    PeriodForm form(b.store);
    form.show();
    child<QComboBox>(form, PF::kKind)->setCurrentIndex(PF::Year);
    auto* table = child<QTableWidget>(form, PF::kTable);
    table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum());
    QTRY_VERIFY(table->columnAt(0) > 0);  // the first months have scrolled away
    QVERIFY(table->verticalHeader()->isVisible());
    QCOMPARE(tableRow(form, "E-房租").last(), QStringLiteral("12,000"));
  }

  void aRefusedPeriodLeavesNoFiguresStanding() {
    SmallBook b;
    PeriodForm form(b.store);
    child<QComboBox>(form, PF::kKind)->setCurrentIndex(PF::Span);
    QVERIFY(child<QTableWidget>(form, PF::kTable)->rowCount() > 0);
    typeIn(form, PF::kFrom, "2025/3/1");
    typeIn(form, PF::kTo, "2025/1/31");
    click(form, PF::kShow);
    QCOMPARE(b.dialogs.lastMessage(),
             refusal(QStringLiteral("起始日期 2025/03/01 在結束日期 2025/01/31 之後，請改正")));
    QCOMPARE(child<QTableWidget>(form, PF::kTable)->rowCount(), 0);
    QCOMPARE(child<QTreeWidget>(form, PF::kNetWorth)->topLevelItemCount(), 0);
    for (const char* name : {PF::kCharts, PF::kPrint, PF::kSavePdf})
      QVERIFY2(!child(form, name)->isEnabled(), name);
    typeIn(form, PF::kFrom, "2025/1/1");
    click(form, PF::kShow);
    QCOMPARE(tableRow(form, "E-餐飲").last(), QStringLiteral("2,500"));
    QVERIFY(child(form, PF::kSavePdf)->isEnabled());
  }

  // From the period report: the charts of the period shown, saved as a picture.
  void theChartsOfThePeriodAndTheirPicture() {
    SmallBook b;
    QTemporaryDir dir;
    whenShown(b.dialogs, [&](QDialog& form) {
      child<QComboBox>(form, PF::kKind)->setCurrentIndex(PF::Year);
      whenShown(b.dialogs, [&](QDialog& charts) {
        for (int tab = 0; tab < 3; ++tab) QVERIFY(chartOnTab(charts, tab));
        QCOMPARE(axisLabels(chartOnTab(charts, 2)), (QStringList{"1月", "2月", "3月"}));
        b.dialogs.type(dir.path() + "/donut.png");
        click(charts, CF::kSavePng);
        click(charts, CF::kClose);
      });
      click(form, PF::kCharts);
      // A year without entries: "沒有資料" where the donut and the bars would be.
      child<QSpinBox>(form, PF::kYear)->setValue(2030);
      whenShown(b.dialogs, [&](QDialog& charts) {
        const auto empty = charts.findChildren<QLabel*>(CF::kNoData);
        QCOMPARE(empty.size(), 3);
        QCOMPARE(empty[0]->text(), QStringLiteral("沒有資料"));
        QVERIFY(!child(charts, CF::kSavePng)->isEnabled());
        click(charts, CF::kClose);
      });
      click(form, PF::kCharts);
      click(form, PF::kClose);
    });
    openPeriodReport(b.store, nullptr);
    QVERIFY(b.dialogs.allAnswersUsed());
    QFile png(dir.path() + "/donut.png");
    QVERIFY(png.open(QIODevice::ReadOnly));
    QCOMPARE(png.read(4), QByteArray("\x89PNG"));
  }

  // Twenty accounts of much the same size: twelve slices, named in a legend, not on the ring.
  void manySimilarAccountsGetALegend() {
    testbooks::Books b({"A-現金"});
    for (int i = 0; i < 20; ++i) {
      b.account(QStringLiteral("E-支出%1").arg(i), kExpense);
      b.entry("2019/05/01", QStringLiteral("E-支出%1").arg(i), "A-現金", 1000 + i * 10);
    }
    ChartsForm charts(b.store, period::buildReport(b.store, period::openingYear(b.store)));
    QChart* donut = chartOnTab(charts, 0);
    auto* ring = qobject_cast<QPieSeries*>(donut->series().value(0));
    QCOMPARE(ring->count(), period::kMostSlices);
    QVERIFY(donut->legend()->isVisible());
    for (QPieSlice* slice : ring->slices()) QVERIFY(!slice->isLabelVisible());
  }

  void theChartsFollowADarkPalette() {
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
    SmallBook b;
    const auto report = period::buildReport(b.store, period::yearPeriod(2025));
    QApplication::setPalette(dark);
    ChartsForm darkCharts(b.store, report);
    QApplication::setPalette(light);
    for (int tab = 0; tab < 3; ++tab)
      QCOMPARE(chartOnTab(darkCharts, tab)->theme(), QChart::ChartThemeDark);
  }
};

QTEST_MAIN(PeriodFormTest)
#include "tst_periodform.moc"
