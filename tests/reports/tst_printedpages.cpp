// The printed pages read back with poppler's tools: the words a reader finds, where they stand,
// and how wide the charts come out on paper (each painted across its whole picture).
#include "WindowSteps.h"
#include "reports/period/document.h"
#include "reports/period/period.h"
#include "reports/statements/document.h"
#include "search/document.h"

namespace {

QString run(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  return process.waitForFinished(60000) ? QString::fromUtf8(process.readAllStandardOutput()) : "";
}

// The width of each picture on paper, in inches: its pixels over its resolution.
std::vector<double> pictureWidths(const QString& pdf) {
  std::vector<double> widths;
  for (const QString& line : run("pdfimages", {"-list", pdf}).split('\n').mid(2)) {
    const QStringList f = line.simplified().split(' ');
    if (f.size() > 12 && f[2] == "image") widths.push_back(f[3].toDouble() / f[12].toDouble());
  }
  return widths;
}

}  // namespace

class PrintedPagesTest : public QObject {
  Q_OBJECT

 private slots:
  void searchResultsKeepWholeDatesAndNamesUnderTheirCriteria() {
    testbooks::Books b;
    b.store.user().setDatabaseName(
        QStringLiteral("二〇〇三年起的家庭收支總帳本（含信用卡與房貸）"));
    QStringList row{"2003/11/28",
                    "E-子女教育補習費用",
                    "A-中華郵政儲金帳戶甲",
                    "1,500",
                    "安親班十一月份月費與教材費，含交通車接送",
                    "7"};
    row.prepend(b.store.user().databaseName());
    QVERIFY(!printing::savePdf(printing::searchResultsDocument(
                                   b.store, {"月費", "", "1000", "2000", "2003/11/1", ""},
                                   QStringList(7, "欄"), std::vector<QStringList>(40, row), 60000),
                               b.dir.filePath("results.pdf")));
    const QString text = pdfText(b.dir.filePath("results.pdf"));
    for (const QString& expected :
         {b.store.user().databaseName(), row[1], row[2], row[3],
          QString("條件：備註含「月費」，金額 1000 至 2000，日期 2003/11/1 起"),
          QString("共 40 筆，金額合計 60,000")})
      QVERIFY2(text.contains(expected), qPrintable(expected));
  }

  // The amounts of the statements start at one place whatever the names are written in.
  void statementAmountsLineUpAsOnScreen() {
    testbooks::Books b({"A-現金", "A-ABCDEFGHIJKLMNOPQR", "Equity"});
    b.entry("2025/01/01", "A-現金", "Equity", 31415);
    b.entry("2025/01/01", "A-ABCDEFGHIJKLMNOPQR", "Equity", 27182);
    const QString pdf = b.dir.filePath("statements.pdf");
    QVERIFY(!printing::savePdf(printing::statementsDocument(b.store, "2025/01/31"), pdf));
    const QString boxes = run("pdftotext", {"-bbox", pdf, "-"});
    const auto start = [&](const QString& word) {
      const QRegularExpression box("xMin=\"([\\d.]+)\"[^>]*>" + word + "<");
      return box.match(boxes).captured(1).toDouble();
    };
    QVERIFY(start("31415") > 0 && std::abs(start("31415") - start("27182")) < 0.5);
  }

  // Twenty-one years by month: every table label whole, each chart across most of the page.
  void thePeriodReportPrintsLegibleChartsAndWholeLabels() {
    testbooks::Books b({"A-現金", "I-薪資", "E-餐飲"});
    for (int month = 2003 * 12; month < 2024 * 12; ++month) {
      const QString day =
          QStringLiteral("%1/%2/15").arg(month / 12).arg(month % 12 + 1, 2, 10, QChar('0'));
      b.entry(day, "I-薪資", "A-現金", 52000);
      b.entry(day, "E-餐飲", "A-現金", 9000 + month % 12 * 10);
    }
    const auto report = period::buildReport(b.store, {QDate(2003, 1, 1), QDate(2023, 12, 31)});
    const QString pdf = b.dir.filePath("period.pdf");
    QVERIFY(!printing::savePdf(printing::periodDocument(b.store, report), pdf));
    const QString text = pdfText(pdf);
    for (const char* expected : {"2003/01/01 至 2023/12/31", "淨額（收入－支出）", "2023/12"})
      QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    const auto widths = pictureWidths(pdf);
    QCOMPARE(widths.size(), size_t(3));
    for (double inches : widths)  // a third of A4's width: 2.76 inches
      QVERIFY2(inches > 210 / 25.4 / 3, qPrintable(QString::number(inches)));
  }
};

QTEST_MAIN(PrintedPagesTest)
#include "tst_printedpages.moc"
