// Reports as PDF, read back with pdftotext: the Chinese stays text, every page has its frame,
// and a PDF that cannot be written keeps the earlier file.
#include "TestFiles.h"
#include "WindowSteps.h"
#include "platform/safefile.h"
#include "search/SearchForm.h"
#include "ui/print/pages.h"

namespace {

struct Book {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
  explicit Book(int entries) {
    store.clock().setToday(QDate(2025, 6, 30));
    store.DataBaseName = "家計2025";
    testbooks::addAccounts(store, {"A-現金", "E-醫療保健"});
    for (int i = 1; i <= entries; ++i) {
      testbooks::addEntry(store, "2025/06/01", "E-醫療保健", "A-現金", 1234566 + i,
                          QStringLiteral("牙醫第%1次").arg(i));
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
    for (const char* expected : {"日記帳", "2025/06/30", "E-醫療保健", "1234686", "牙醫第120次"})
      QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    const auto pages = text.count(QRegularExpression("第 \\d+ 頁，共 (\\d+) 頁"));
    QVERIFY(pages >= 3);
    QVERIFY(text.contains(QStringLiteral("第 %1 頁，共 %1 頁").arg(pages)));
    QCOMPARE(text.count(QStringLiteral("家計2025")), pages);  // the book's name on every page
  }

  void aPdfThatCannotBeWrittenKeepsTheEarlierFile() {
    Book b(3);
    const QString path = b.dir.path() + "/journal.pdf";
    {
      QFile earlier(path);
      QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
    }
    {
      safefile::FailAfterBytes fullDisk(100);
      const auto error = printing::journalPdf(b.store, path);
      QVERIFY(error && error->contains(QStringLiteral("journal.pdf")));
    }
    QCOMPARE(fileBytes(path), QByteArray("earlier"));

    // Through the search window's button: the reason, or where it went, is said in a box.
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
    QVERIFY(pdfText(b.dir.path() + "/results.pdf")
                .contains(QStringLiteral("共 3 筆，金額合計 3,703,704")));
  }
};

QTEST_MAIN(PrintTest)
#include "tst_print.moc"
