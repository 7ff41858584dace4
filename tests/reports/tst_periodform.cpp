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
  QStringList cells;
  for (int r = 0; r < table->rowCount(); ++r) {
    for (int c = 0; table->verticalHeaderItem(r)->text() == label && c < table->columnCount(); ++c)
      cells << table->item(r, c)->text();
  }
  return cells;
}

// A household's first months of 2025, looked at years later.
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
  return qobject_cast<QChartView*>(child<QTabWidget>(charts, CF::kTabs)->widget(tab))->chart();
}

QStringList axisLabels(QChart* chart) {  // the thinned axis, or nothing
  auto* axis = qobject_cast<QCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
  return axis ? axis->categoriesLabels() : QStringList{};
}

}  // namespace

class PeriodFormTest : public QObject {
  Q_OBJECT

 private slots:
  // Years later it opens on the latest month with entries; accounts stay as months scroll.
  void opensOnTheLatestEntriesAndScrollsUnderItsAccounts() {
    SmallBook b;
    PeriodForm form(b.store, b.dialogs);
    form.show();
    QCOMPARE(tableRow(form, "E-餐飲"), (QStringList{"1,800", "1,800"}));  // 2025/03 alone
    child<QComboBox>(form, PF::kKind)->setCurrentIndex(PF::Year);
    auto* table = child<QTableWidget>(form, PF::kTable);
    QCOMPARE(tableRow(form, "E-餐飲").mid(0, 3), (QStringList{"2,500", "0", "1,800"}));
    auto* worth = child<QTreeWidget>(form, PF::kNetWorth);
    QCOMPARE(worth->topLevelItemCount(), 3);
    table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum());
    QTRY_VERIFY(table->columnAt(0) > 0);  // the first months have scrolled away
    QVERIFY(table->verticalHeader()->isVisible());
    QCOMPARE(tableRow(form, "淨額（收入－支出）").last(), worth->topLevelItem(2)->text(1));
  }

  void aRefusedPeriodLeavesNoFiguresStanding() {
    SmallBook b;
    PeriodForm form(b.store, b.dialogs);
    child<QComboBox>(form, PF::kKind)->setCurrentIndex(PF::Span);
    typeIn(form, PF::kFrom, "2025/3/1");
    typeIn(form, PF::kTo, "2025/1/31");
    click(form, PF::kShow);
    QCOMPARE(b.dialogs.lastMessage(),
             refusal(QStringLiteral("起始日期 2025/03/01 在結束日期 2025/01/31 之後，請改正")));
    QCOMPARE(child<QTableWidget>(form, PF::kTable)->rowCount(), 0);
    for (const char* name : {PF::kCharts, PF::kPrint, PF::kSavePdf})
      QVERIFY2(!child(form, name)->isEnabled(), name);
  }

  // From the period report: the charts of the period shown, saved as a picture; "沒有資料" in
  // place of every chart of a year without entries.
  void theChartsOfThePeriodAndTheirPicture() {
    SmallBook b;
    PeriodForm form(b.store, b.dialogs);
    child<QComboBox>(form, PF::kKind)->setCurrentIndex(PF::Year);
    whenShown(b.dialogs, [&](QDialog& charts) {
      QCOMPARE(axisLabels(chartOnTab(charts, 2)), (QStringList{"1月", "2月", "3月"}));
      b.dialogs.type(b.dir.path() + "/donut.png");
      click(charts, CF::kSavePng);
    });
    click(form, PF::kCharts);
    QFile png(b.dir.path() + "/donut.png");
    QVERIFY(png.open(QIODevice::ReadOnly) && png.read(4) == QByteArray("\x89PNG"));
    child<QSpinBox>(form, PF::kYear)->setValue(2030);
    whenShown(b.dialogs, [&](QDialog& charts) {
      QCOMPARE(charts.findChildren<QLabel*>(CF::kNoData).size(), 3);
      QVERIFY(!child(charts, CF::kSavePng)->isEnabled());
    });
    click(form, PF::kCharts);
  }

  // Twenty similar accounts on a dark desktop: a legend, not names on the ring; dark charts.
  void manySimilarAccountsGetALegendOnADarkChart() {
    testbooks::Books b({"A-現金"});
    for (int i = 0; i < 20; ++i) {
      b.account(QStringLiteral("E-支出%1").arg(i), store::kExpense);
      b.entry("2019/05/01", QStringLiteral("E-支出%1").arg(i), "A-現金", 1000 + i * 10);
    }
    const QPalette light = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(0x20, 0x20, 0x20)));
    ChartsForm charts(b.store, b.dialogs,
                      period::buildReport(b.store, period::openingYear(b.store)));
    QApplication::setPalette(light);
    QChart* donut = chartOnTab(charts, 0);
    auto* ring = qobject_cast<QPieSeries*>(donut->series().value(0));
    QVERIFY(donut->legend()->isVisible());
    for (QPieSlice* slice : ring->slices()) QVERIFY(!slice->isLabelVisible());
    for (int tab = 0; tab < 3; ++tab)
      QCOMPARE(chartOnTab(charts, tab)->theme(), QChart::ChartThemeDark);
  }
};

QTEST_MAIN(PeriodFormTest)
#include "tst_periodform.moc"
