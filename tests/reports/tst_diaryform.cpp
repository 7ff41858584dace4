#include "TestFiles.h"
#include "WindowSteps.h"
#include "interchange/exports.h"
#include "interchange/journalexport.h"
#include "interchange/journalrows.h"
#include "platform/safefile.h"
#include "reports/journal/DiaryForm.h"

class TestDiaryForm : public QObject {
  Q_OBJECT

 private slots:
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
    QTemporaryDir dir;
    b.store.user().setDatabaseName("家計2025");
    for (int i = 1; i <= 120; ++i)  // enough for several pages
      b.entry("2025/06/01", "E-子女教育補習費用", "A-中華郵政儲金帳戶甲", 1234566 + i,
              QStringLiteral("牙醫第%1次").arg(i));
    const QString path = dir.filePath("journal.pdf");
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
};

QTEST_MAIN(TestDiaryForm)
#include "tst_diaryform.moc"
