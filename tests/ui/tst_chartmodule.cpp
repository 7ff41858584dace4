// The charts and the printer as the program meets them: a module loaded from its file the first
// time it is wanted. This program links none of that code; it exports its own symbols to the
// module, as the program does, and finds the module beside it in the build folder.
#include "WindowSteps.h"
#include "platform/safefile.h"
#include "reports/period/ChartsForm.h"
#include "reports/period/document.h"
#include "reports/period/period.h"
#include "ui/print/loadable.h"

namespace {

struct PeriodBook : MainWindowBook {
  PeriodBook() {
    testbooks::signIn(store, "Test", "家計簿");
    testbooks::addAccounts(store, {"A-現金", "E-伙食", "E-交通", "I-薪資"});
    testbooks::addEntry(store, "2014/03/02", "E-伙食", "A-現金", 180);
    testbooks::addEntry(store, "2014/03/25", "A-現金", "I-薪資", 32000);
    testbooks::addEntry(store, "2014/04/09", "E-交通", "A-現金", 1250);
  }
  period::Report report() const { return period::buildReport(store, period::yearPeriod(2014)); }
};

}  // namespace

class ChartModuleTest : public QObject {
  Q_OBJECT

 private slots:
  // Runs first: once loaded, the module stays for the rest of the session.
  void aMissingModuleIsNamedAndThePageSaysWhy() {
    PeriodBook b;
    loadable::useModuleFile(b.dir.filePath("varnix-charts.so"));
    loadable::openCharts(b.store, b.dialogs, b.report(), &b.window);
    QCOMPARE(b.dialogs.messageTexts(),
             QStringList{"找不到圖表與列印元件「varnix-charts.so」，請重新安裝本程式"});
    const QString pdf = b.dir.filePath("收支分析.pdf");
    QVERIFY(!printing::savePdf(printing::periodDocument(b.store, b.report()), pdf));
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains("1,250") && text.contains("圖表無法繪製：找不到圖表與列印元件"),
             qPrintable(text));
  }

  void aLibraryThatIsNotTheModuleIsRefused() {
    PeriodBook b;
    // A sound shared library, but not ours: it loads and registers nothing.
    const QString foreign = QLibraryInfo::path(QLibraryInfo::LibrariesPath) + "/libQt6Charts.so.6";
    QVERIFY(QFile::exists(foreign));
    loadable::useModuleFile(foreign);
    loadable::openCharts(b.store, b.dialogs, b.report(), &b.window);
    QCOMPARE(b.dialogs.messageTexts(),
             QStringList{"圖表與列印元件無法載入：「" + foreign + "」不是本程式的元件"});
  }

  void theModuleOpensTheChartsAndDrawsThemOnThePage() {
    PeriodBook b;
    loadable::useModuleFile(VARNIX_CHART_MODULE);
    int tabs = 0;
    whenShown(b.dialogs, [&tabs](QDialog& charts) {
      tabs = child<QTabWidget>(charts, ChartsForm::kTabs)->count();
      charts.close();
    });
    loadable::openCharts(b.store, b.dialogs, b.report(), &b.window);
    QVERIFY2(b.dialogs.messages().empty(), qPrintable(b.dialogs.messageTexts().join('\n')));
    QVERIFY(b.dialogs.allAnswersUsed());
    QCOMPARE(tabs, 3);
    // The period's page carries the charts the module draws, as pictures.
    const printing::Document page = printing::periodDocument(b.store, b.report());
    const auto pictures = std::count_if(
        page.blocks.begin(), page.blocks.end(),
        [](const auto& block) { return std::holds_alternative<printing::Picture>(block); });
    QVERIFY(pictures >= 2);
  }
};

QTEST_MAIN(ChartModuleTest)
#include "tst_chartmodule.moc"
