// The period report and its charts, fed by a small book.
#include "WindowSteps.h"
#include "reports/period/PeriodForm.h"

#include <QChartView>

namespace {

QStringList tableRow(QDialog& form, const QString& label) {
  auto* table = child<QTableWidget>(form, "Table");
  const int r = table->findItems(label, Qt::MatchExactly).value(0)->row();
  QStringList cells;
  for (int c = 1; c < table->columnCount(); ++c) cells << table->item(r, c)->text();
  return cells;
}

}  // namespace

class PeriodFormTest : public QObject {
  Q_OBJECT

 private slots:
  void aYearByMonthWithNetWorthAndItsCharts() {
    QTemporaryDir dir;
    testbooks::Books b({"A-現金", "I-薪資", "E-餐飲", "E-房租", "L-信用卡"});
    b.store.clock().setToday(QDate(2025, 3, 20));
    b.entry("2025/01/05", "I-薪資", "A-現金", 30000);
    b.entry("2025/01/10", "E-餐飲", "A-現金", 2500);
    b.entry("2025/02/01", "E-房租", "L-信用卡", 12000);
    b.entry("2025/03/03", "E-餐飲", "A-現金", 1800);
    whenShown(b.dialogs, [&](QDialog& form) {
      QCOMPARE(tableRow(form, "E-餐飲"), (QStringList{"1,800", "1,800"}));  // March alone
      child<QComboBox>(form, "PeriodKind")->setCurrentIndex(1);
      auto* table = child<QTableWidget>(form, "Table");
      QCOMPARE(table->columnCount(), 14);
      QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("2025/01"));
      QCOMPARE(tableRow(form, "E-餐飲").mid(0, 3), (QStringList{"2,500", "0", "1,800"}));
      auto* worth = child<QTreeWidget>(form, "NetWorth");
      QCOMPARE(worth->topLevelItemCount(), 3);
      QCOMPARE(worth->topLevelItem(2)->text(1), QStringLiteral("13,700"));

      whenShown(b.dialogs, [&](QDialog& charts) {
        auto* tabs = child<QTabWidget>(charts, "Charts");
        QCOMPARE(tabs->count(), 3);
        for (int i = 0; i < 3; ++i) QVERIFY(qobject_cast<QChartView*>(tabs->widget(i)));
        b.dialogs.type(dir.path() + "/donut.png");
        click(charts, "SavePng");
        click(charts, "Close");
      });
      click(form, "Charts");
      QFile png(dir.path() + "/donut.png");
      QVERIFY(png.open(QIODevice::ReadOnly));
      QCOMPARE(png.read(4), QByteArray("\x89PNG"));

      // On paper: the table and the three charts, the text still text.
      b.dialogs.type(dir.path() + "/report.pdf");
      click(form, "SavePdf");
      const QString read = pdfText(dir.path() + "/report.pdf");
      for (const char* expected : {"收支分析", "E-房租", "16,300", "財產淨值", "13,700"})
        QVERIFY2(read.contains(QString::fromUtf8(expected)), expected);

      // A year without entries: "沒有資料" where the donut and the bars would be.
      child<QSpinBox>(form, "Year")->setValue(2030);
      whenShown(b.dialogs, [&](QDialog& charts) {
        const auto empty = charts.findChildren<QLabel*>("NoData");
        QCOMPARE(empty.size(), 2);
        QCOMPARE(empty[0]->text(), QStringLiteral("沒有資料"));
        QVERIFY(!child(charts, "SavePng")->isEnabled());
        click(charts, "Close");
      });
      click(form, "Charts");

      // From after to: refused in words.
      child<QComboBox>(form, "PeriodKind")->setCurrentIndex(2);
      child<QLineEdit>(form, "DateFrom")->setText("2025/3/1");
      child<QLineEdit>(form, "DateTo")->setText("2025/1/31");
      click(form, "Show");
      QCOMPARE(b.dialogs.lastMessage(),
               refusal(QStringLiteral("起始日期 2025/03/01 在結束日期 2025/01/31 之後，請改正")));
      click(form, "Close");
    });
    openPeriodReport(b.store, nullptr);
    QVERIFY(b.dialogs.allAnswersUsed());
  }
};

QTEST_MAIN(PeriodFormTest)
#include "tst_periodform.moc"
