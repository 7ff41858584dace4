// The printed pages read back with poppler's tools: the words a reader finds, where they stand,
// and how large the charts come out on paper.
#include "WindowSteps.h"
#include "reports/period/period.h"
#include "ui/print/documents.h"

#include <QRegularExpression>

namespace {

constexpr double kA4WidthInches = 210 / 25.4;

QString run(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  if (!process.waitForFinished(60000) || process.exitCode() != 0)
    return QStringLiteral("<%1 failed>").arg(tool);
  return QString::fromUtf8(process.readAllStandardOutput());
}

// Where each word of the first page starts: "word" -> left edge in points.
QMultiMap<QString, double> wordStarts(const QString& pdf) {
  const QString boxes = run("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
  static const QRegularExpression word(R"re(<word xMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
  QMultiMap<QString, double> starts;
  for (const auto& m : word.globalMatch(boxes)) starts.insert(m.captured(2), m.captured(1).toDouble());
  return starts;
}

// The drawn part of each picture in the PDF, in inches across the page: pdfimages gives each
// picture's pixels and resolution, and the picture itself tells how much of it is not blank.
std::vector<double> drawnPictureWidths(const QString& pdf, const QString& folder) {
  const QStringList list = run("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts);
  std::vector<double> ppi;
  for (const QString& line : list.mid(2)) {
    const QStringList f = line.simplified().split(' ');
    if (f.size() > 12 && f[2] == "image") ppi.push_back(f[12].toDouble());
  }
  run("pdfimages", {"-png", pdf, folder + "/picture"});
  std::vector<double> widths;
  for (size_t i = 0; i < ppi.size(); ++i) {
    const QImage image(QStringLiteral("%1/picture-%2.png").arg(folder).arg(i, 3, 10, QChar('0')));
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (qGray(image.pixel(x, y)) >= 235) continue;
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
    widths.push_back(right < left ? 0 : (right - left + 1) / ppi[i]);
  }
  return widths;
}

}  // namespace

class PrintedPagesTest : public QObject {
  Q_OBJECT

 private slots:
  void theJournalShowsWholeNamesAndGroupedAmounts() {
    testbooks::Books b({"A-中華郵政儲金帳戶甲", "E-子女教育補習費用", "Equity"});
    b.entry("2019/04/01", "A-中華郵政儲金帳戶甲", "Equity", 1234567, "開戶");
    b.entry("2019/04/02", "E-子女教育補習費用", "A-中華郵政儲金帳戶甲", 25800);
    const QString pdf = b.dir.filePath("journal.pdf");
    QVERIFY(!printing::journalPdf(b.store, pdf));
    const QString text = pdfText(pdf);
    for (const char* expected : {"A-中華郵政儲金帳戶甲", "E-子女教育補習費用", "1,234,567", "25,800"})
      QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
  }

  void searchResultsKeepWholeDatesAndNamesUnderTheirCriteria() {
    testbooks::Books b;
    b.store.DataBaseName = QStringLiteral("二〇〇三年起的家庭收支總帳本（含信用卡與房貸）");
    const QStringList row{b.store.DataBaseName, "2003/11/28", "E-子女教育補習費用",
                          "A-中華郵政儲金帳戶甲", "1,500", "安親班十一月份月費與教材費，含交通車接送", "7"};
    const QString pdf = b.dir.filePath("results.pdf");
    QVERIFY(!printing::savePdf(printing::searchResultsDocument(
                                   b.store, {"月費", "", "1000", "2000", "2003/11/1", ""},
                                   {"帳本", "日期", "資產增加", "資產減少", "金額", "備註", "編號"},
                                   std::vector<QStringList>(40, row), 60000),
                               pdf));
    const QString text = pdfText(pdf);
    QVERIFY(!text.contains(QChar(0x2026)));  // nothing elided
    for (const char* expected : {"2003/11/28", "E-子女教育補習費用", "A-中華郵政儲金帳戶甲",
                                 "條件：備註含「月費」，金額 1000 至 2000，日期 2003/11/1 起",
                                 "共 40 筆，金額合計 60,000"})
      QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    // The long book name, wrapped where it must be, loses no character.
    QVERIFY(QString(text).remove(QRegularExpression("\\s")).contains(b.store.DataBaseName));
  }

  // The amounts of the statements start at one place whatever the names are written in.
  void statementAmountsLineUpAsOnScreen() {
    testbooks::Books b({"A-現金", "A-ABCDEFGHIJKLMNOPQR", "A-郵局", "Equity"});
    b.entry("2025/01/01", "A-現金", "Equity", 31415);
    b.entry("2025/01/01", "A-ABCDEFGHIJKLMNOPQR", "Equity", 27182);
    b.entry("2025/01/01", "A-郵局", "Equity", 16180);
    const QString pdf = b.dir.filePath("statements.pdf");
    QVERIFY(!printing::savePdf(printing::statementsDocument(b.store, "2025/01/31"), pdf));
    const auto starts = wordStarts(pdf);
    for (const char* amount : {"31415", "27182", "16180"}) QVERIFY2(starts.contains(amount), amount);
    QVERIFY(std::abs(starts.value("31415") - starts.value("27182")) < 0.5);
    QVERIFY(std::abs(starts.value("16180") - starts.value("27182")) < 0.5);
  }

  // Twenty-one years by month: every table label whole, each chart drawn across most of the
  // page at print resolution.
  void thePeriodReportPrintsLegibleChartsAndWholeLabels() {
    testbooks::Books b({"A-現金", "I-薪資", "E-餐飲", "E-房租"});
    for (int year = 2003; year <= 2023; ++year) {
      for (int month = 1; month <= 12; ++month) {
        const QString day = QStringLiteral("%1/%2/15").arg(year).arg(month, 2, 10, QChar('0'));
        b.entry(day, "I-薪資", "A-現金", 52000);
        b.entry(day, "E-餐飲", "A-現金", 9000 + month * 10);
        b.entry(day, "E-房租", "A-現金", 18000);
      }
    }
    const auto report = period::buildReport(b.store, {QDate(2003, 1, 1), QDate(2023, 12, 31)});
    const QString pdf = b.dir.filePath("period.pdf");
    QVERIFY(!printing::savePdf(printing::periodDocument(b.store, report), pdf));
    const QString text = pdfText(pdf);
    for (const char* expected : {"2003/01/01 至 2023/12/31", "淨額（收入－支出）", "2023/12"})
      QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    const auto widths = drawnPictureWidths(pdf, b.dir.path());
    QCOMPARE(widths.size(), size_t(3));
    for (double inches : widths) QVERIFY2(inches > kA4WidthInches / 3, qPrintable(QString::number(inches)));
  }
};

QTEST_MAIN(PrintedPagesTest)
#include "tst_printedpages.moc"
