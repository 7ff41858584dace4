// Reports as PDF, read back with pdftotext: the Chinese stays text, every page has its frame,
// and a PDF that cannot be written keeps the earlier file.
#include "Books.h"
#include "WindowSteps.h"
#include "platform/safefile.h"
#include "search/SearchForm.h"
#include "store/Module1.h"
#include "ui/print/pages.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

QString pdfText(const QString& path) {
  QProcess tool;
  tool.start("pdftotext", {"-layout", "-enc", "UTF-8", path, "-"});
  if (!tool.waitForFinished(30000) || tool.exitCode() != 0) return "<pdftotext failed>";
  return QString::fromUtf8(tool.readAllStandardOutput());
}

struct Book {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
  explicit Book(int entries) {
    store.clock().setToday(QDate(2025, 6, 30));
    store.DataBaseName = "家計2025";
    testbooks::addAccounts(store, {"A-現金", "E-醫療保健"});
    for (int i = 0; i < entries; ++i) {
      testbooks::addEntry(store, "2025/06/01", "E-醫療保健", "A-現金", 1234567 + i,
                          QStringLiteral("牙醫第%1次").arg(i + 1));
    }
  }
};

}  // namespace

class PrintTest : public QObject {
  Q_OBJECT

 private slots:
  void theJournalAsPdfReadsBackAsText() {
    Book b(120);  // enough for several pages
    const QString path = b.dir.path() + "/journal.pdf";
    QCOMPARE(printing::journalPdf(b.store, path), std::nullopt);
    const QString text = pdfText(path);
    for (const char* expected : {"日記帳", "家計2025", "2025/06/30", "A-現金", "E-醫療保健",
                                 "1234567", "1234686", "牙醫第120次"}) {
      QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    }
    const auto pages = text.count(QRegularExpression("第 \\d+ 頁，共 (\\d+) 頁"));
    QVERIFY(pages >= 3);
    QVERIFY(text.contains(QStringLiteral("第 %1 頁，共 %1 頁").arg(pages)));
    QCOMPARE(text.count(QStringLiteral("家計2025")), pages);  // the book's name on every page
  }

  void aPdfThatCannotBeWrittenKeepsTheEarlierFile() {
    Book b(3);
    const QString path = b.dir.path() + "/journal.pdf";
    QFile earlier(path);
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();
    {
      safefile::FailAfterBytes fullDisk(100);
      const auto error = printing::journalPdf(b.store, path);
      QVERIFY(error.has_value());
      QVERIFY2(error->contains(QStringLiteral("journal.pdf")), qPrintable(*error));
    }
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("earlier"));

    // Through the search window's button: the reason is said in a box.
    whenShown(b.dialogs, [&](QDialog& form) {
      typeIn(child(form, "MemoText"), QStringLiteral("牙醫"));
      b.dialogs.type(b.dir.path() + "/no such folder/results.pdf");
      click(form, "SavePdf");
      b.dialogs.type(b.dir.path() + "/results.pdf");
      click(form, "SavePdf");
      click(form, "Close");
    });
    openSearch(b.store, nullptr);
    const auto messages = b.dialogs.messages();
    QCOMPARE(messages.size(), size_t(2));
    QVERIFY(messages[0].text.startsWith(QStringLiteral("PDF檔沒有存好：")));
    QCOMPARE(messages[1],
             completion(QStringLiteral("已存成「%1」")
                            .arg(QDir::toNativeSeparators(b.dir.path() + "/results.pdf"))));
    const QString text = pdfText(b.dir.path() + "/results.pdf");
    QVERIFY(text.contains(QStringLiteral("尋找結果")));
    QVERIFY(text.contains(QStringLiteral("牙醫第3次")));
    QVERIFY(text.contains(QStringLiteral("共 3 筆，金額合計 3,703,704")));
  }
};

QTEST_MAIN(PrintTest)
#include "tst_print.moc"
