// The report windows fed by small books: the statements, the journal and its exports, the
// period report and its charts; and the printed pages read back with poppler's tools (the words a
// reader finds, where they stand, how wide the charts come out on paper).
#include "TestFiles.h"
#include "WindowSteps.h"
#include "interchange/exports.h"
#include "interchange/journalexport.h"
#include "interchange/journalrows.h"
#include "platform/safefile.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/fonts.h"
#include "reports/journal/DiaryForm.h"
#include "reports/period/ChartsForm.h"
#include "reports/period/PeriodForm.h"
#include "reports/period/document.h"
#include "reports/period/period.h"
#include "reports/statements/BSForm.h"
#include "reports/statements/document.h"
#include "reports/statements/statements.h"
#include "search/document.h"

#include <QCategoryAxis>
#include <QChartView>
#include <QLegend>
#include <QPieSeries>
#include <QValueAxis>

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

}  // namespace

class TestReportForms : public QObject {
  Q_OBJECT

 private slots:
  // The card's debt leaves today's net worth below zero, in red. 顯示 with no such day refuses;
  // Enter with an earlier date recomputes; each copy button copies its own three statements.
  void showsRecoloursAndCopies() {
    testbooks::Books b({"A-現金", "Equity", "L-卡", "E-餐"});
    b.store.clock().setToday(QDate(2025, 6, 1));
    b.entry("2025/01/01", "A-現金", "Equity", 1500);
    b.entry("2025/02/01", "L-卡", "Equity", 2000);
    whenShown(b.dialogs, [&](QDialog& form) {
      auto* netWorth = child<QLineEdit>(form, BSForm::kNetWorth);
      QCOMPARE(child<QLineEdit>(form, BSForm::kDate)->text(), QStringLiteral("2025/06/01"));
      QCOMPARE(netWorth->palette().color(QPalette::Text), QColor(255, 0, 0));
      typeIn(form, BSForm::kDate, QStringLiteral("2025/02/30"));
      click(form, BSForm::kShow);
      QCOMPARE(netWorth->text(), QStringLiteral("財產淨值  -500\r\n"));  // as it was
      typeIn(form, BSForm::kDate, QStringLiteral("2025/1/31"));
      QTest::keyClick(child(form, BSForm::kDate), Qt::Key_Return);  // shows, and keeps the window
      QVERIFY(form.isVisible());
      QCOMPARE(netWorth->palette().color(QPalette::Text), QColor(Qt::black));
      const statements::StatementTexts s =
          statements::buildStatements(b.store, QStringLiteral("2025/01/31"));
      QCOMPARE(netWorth->text(), s.netWorthLine);
      click(form, BSForm::kCopyBalanceSheet);
      QCOMPARE(clipboard::text(), s.assets + "\r\n" + s.liabilities + "\r\n" + s.netWorthLine);
      click(form, BSForm::kCopyIncomeStatement);
      QCOMPARE(clipboard::text(), s.income + "\r\n" + s.expenses + "\r\n" + s.balanceLine);
      click(form, BSForm::kOk);
      QVERIFY(!form.isVisible());
    });
    openStatements(b.store, b.dialogs, nullptr);
    QCOMPARE(b.dialogs.messages(), std::vector{refusal(QStringLiteral("不是正確的日期格式"))});
  }

  // Every amount starts at the same pixel whatever the length of its account's name, in both
  // columns; the boxes draw in a font whose Chinese is twice its Latin. They are displays:
  // nothing typed reaches them, and Enter in one is "確定", the window's default button.
  void amountsStartAtOnePixelAndEnterInABoxCloses() {
    testbooks::Books b({"A-現金", "A-銀行存款", "Equity", "L-卡", "I-利息收入", "E-餐飲費"});
    b.entry("2025/01/01", "A-現金", "Equity", 1500);
    b.entry("2025/01/04", "E-餐飲費", "L-卡", 350);
    BSForm unshown(b.store, b.dialogs);  // by its own choice, not as the focus's first button
    QVERIFY(child<QPushButton>(unshown, BSForm::kOk)->isDefault());
    whenShown(b.dialogs, [&](QDialog& form) {
      QSet<int> starts;
      for (const char* name :
           {BSForm::kAssets, BSForm::kIncome, BSForm::kLiabilities, BSForm::kExpenses}) {
        auto* box = child<QPlainTextEdit>(form, name);
        QVERIFY(keepsTheGrid(QFontInfo(box->font()).family()));
        for (int i = 2; i < box->document()->blockCount() - 2; ++i) {  // between the rules
          const QTextBlock line = box->document()->findBlockByNumber(i);
          QTextCursor amount(line);
          amount.movePosition(QTextCursor::EndOfBlock);
          while (line.text().at(amount.positionInBlock() - 1).isDigit())
            amount.movePosition(QTextCursor::PreviousCharacter);
          starts << box->cursorRect(amount).left();
        }
      }
      QCOMPARE(starts.size(), 1);
      auto* box = child<QPlainTextEdit>(form, BSForm::kAssets);
      const QString before = box->toPlainText();
      box->setFocus();
      QTest::keyClicks(box, QStringLiteral("x"));
      QTest::keyClick(box, Qt::Key_Return);
      QVERIFY(!form.isVisible());
      QCOMPARE(box->toPlainText(), before);
    });
    openStatements(b.store, b.dialogs, nullptr);
    QVERIFY(b.dialogs.allAnswersUsed());
  }

  // The later date stored first is listed first; each export says where it went and holds the
  // journal the window lists.
  void listsInSlotOrderAndExportsEachWay() {
    testbooks::Books book;
    auto& [dir, dialogs, store, view] = book;
    store.user().setDatabaseName(QStringLiteral("2003-11"));
    testbooks::addEntry(store, "2025/03/01", "A-現金", "Equity", 1500, "初值");
    testbooks::addEntry(store, "2025/01/01", "E-Food", "A-現金", -20, "   ");
    const std::tuple<const char*, const char*, QByteArray> exports[] = {
        {DiaryForm::kSaveCsv, "CSV/2003-11.csv",
         interchange::csvBytes(interchange::journalRows(store))},
        {DiaryForm::kSaveText, "TXT/2003-11.txt",
         interchange::textBytes(interchange::journalRows(store))},
        {DiaryForm::kExportCsvUtf8, "CSV/2003-11-UTF8.csv",
         interchange::spreadsheetCsvBytes(store)},
        {DiaryForm::kExportJournal, "TXT/2003-11.journal", interchange::ledgerJournalBytes(store)}};
    whenShown(dialogs, [&](QDialog& form) {
      const QAbstractItemModel* list = child<QTreeView>(form, DiaryForm::kList)->model();
      QCOMPARE(list->index(0, 0).data().toString(), QStringLiteral("2025/03/01"));
      QCOMPARE(list->index(1, 3).data().toString(), QStringLiteral("-20"));
      for (const auto& [control, file, bytes] : exports) {
        auto* action = form.findChild<QAction*>(control);
        if (action) dialogs.type(dir.filePath(file));  // the file dialog's answer
        action ? action->trigger() : click(form, control);
        QVERIFY(dialogs.lastMessage().text.contains(QFileInfo(file).fileName()));
        QCOMPARE(fileBytes(dir.filePath(file)), bytes);
      }
      click(form, DiaryForm::kOk);
      QVERIFY(!form.isVisible());
    });
    openJournal(store, dialogs, nullptr);
  }

  // On paper: every page framed and named, the Chinese still text, long names whole and amounts
  // grouped; a PDF that cannot be written is refused in words and keeps the earlier file.
  void savesTheJournalAsPdf() {
    testbooks::Books b({"A-中華郵政儲金帳戶甲", "E-子女教育補習費用"});
    b.store.user().setDatabaseName("家計2025");
    for (int i = 1; i <= 120; ++i)  // enough for several pages
      b.entry("2025/06/01", "E-子女教育補習費用", "A-中華郵政儲金帳戶甲", 1234566 + i,
              QStringLiteral("牙醫第%1次").arg(i));
    const QString path = b.dir.filePath("journal.pdf");
    whenShown(b.dialogs, [&](QDialog& form) {
      b.dialogs.type(path);
      click(form, DiaryForm::kSavePdf);
      safefile::FailAfterBytes fullDisk(100);
      b.dialogs.type(path);
      click(form, DiaryForm::kSavePdf);
      click(form, DiaryForm::kOk);
    });
    openJournal(b.store, b.dialogs, nullptr);
    QCOMPARE(b.dialogs.messages().at(0),
             completion("已存成「" + QDir::toNativeSeparators(path) + "」"));
    QVERIFY(b.dialogs.messages().at(1).text.startsWith(QStringLiteral("PDF檔沒有存好：")));
    const QString text = pdfText(path);
    for (const char* expected : {"日記帳", "2024/07/15", "A-中華郵政儲金帳戶甲",
                                 "E-子女教育補習費用", "1,234,686", "牙醫第120次"})
      QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    const auto pages = text.count(QRegularExpression("第 \\d+ 頁，共 (\\d+) 頁"));
    QVERIFY(pages >= 3);
    QVERIFY(text.contains(QStringLiteral("第 %1 頁，共 %1 頁").arg(pages)));
    QCOMPARE(text.count(QStringLiteral("家計2025")), pages);  // the book's name on every page
  }

  // Years later it opens on the latest month with entries; accounts stay as months scroll; a
  // refused period then leaves no figures standing.
  void opensOnTheLatestEntriesScrollsUnderItsAccountsAndARefusalClearsIt() {
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
    child<QComboBox>(form, PF::kKind)->setCurrentIndex(PF::Span);
    typeIn(form, PF::kFrom, "2025/3/1");
    typeIn(form, PF::kTo, "2025/1/31");
    click(form, PF::kShow);
    QCOMPARE(b.dialogs.lastMessage(),
             refusal(QStringLiteral("起始日期 2025/03/01 在結束日期 2025/01/31 之後，請改正")));
    QCOMPARE(table->rowCount(), 0);
    for (const char* name : {PF::kCharts, PF::kPrint, PF::kSavePdf})
      QVERIFY2(!child(form, name)->isEnabled(), name);
  }

  // From the period report: the charts of the period shown, saved as a picture; "沒有資料" in
  // place of every chart of a year without entries; a month's net worth read against zero.
  void theChartsOfThePeriodAndTheirPicture() {
    SmallBook b;
    PeriodForm form(b.store, b.dialogs);
    child<QComboBox>(form, PF::kKind)->setCurrentIndex(PF::Year);
    whenShown(b.dialogs, [&](QDialog& charts) {
      auto* axis = qobject_cast<QCategoryAxis*>(chartOnTab(charts, 2)->axes(Qt::Horizontal)[0]);
      QCOMPARE(axis->categoriesLabels(), (QStringList{"1月", "2月", "3月"}));
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
    // A single month's net worth stands against zero, so the axis's labels differ from each other.
    ChartsForm charts(b.store, b.dialogs,
                      period::buildReport(b.store, period::monthPeriod(2025, 2)));
    auto* y = qobject_cast<QValueAxis*>(chartOnTab(charts, 2)->axes(Qt::Vertical)[0]);
    QVERIFY(y->min() <= 0 && y->max() >= 15500);  // cash 27,500 less the card's 12,000
    QVERIFY2((y->max() - y->min()) / (y->tickCount() - 1) >= 1000,
             qPrintable(QString("%1..%2").arg(y->min()).arg(y->max())));
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
    const QString boxes = toolOutput("pdftotext", {"-bbox", pdf, "-"});
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
    std::vector<double> widths;  // of each picture on paper, in inches: pixels over resolution
    for (const QString& line : toolOutput("pdfimages", {"-list", pdf}).split('\n').mid(2)) {
      const QStringList f = line.simplified().split(' ');
      if (f.size() > 12 && f[2] == "image") widths.push_back(f[3].toDouble() / f[12].toDouble());
    }
    QCOMPARE(widths.size(), size_t(3));
    for (double inches : widths)  // a third of A4's width: 2.76 inches
      QVERIFY2(inches > 210 / 25.4 / 3, qPrintable(QString::number(inches)));
  }
};

QTEST_MAIN(TestReportForms)
#include "tst_reportforms.moc"
