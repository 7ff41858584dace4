#include "TestFiles.h"
#include "WindowSteps.h"
#include "interchange/exports.h"
#include "reports/journal/DiaryForm.h"
#include "reports/journal/journal.h"

class TestDiaryForm : public QObject {
  Q_OBJECT

 private slots:
  // The later date stored first is listed first; each export says where it went and holds the
  // journal the window lists.
  void listsInSlotOrderAndExportsEachWay() {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Module1 store(dir.path(), dialogs);
    store.DataBaseName = QStringLiteral("2003-11");
    testbooks::addEntry(store, "2025/03/01", "A-現金", "Equity", 1500, "初值");
    testbooks::addEntry(store, "2025/01/01", "E-Food", "A-現金", -20, "   ");
    const std::tuple<const char*, const char*, const char*, QByteArray> exports[] = {
        {"Cmd1", "CSV/2003-11.csv", "已存成2003-11.csv檔", csvBytes(journalRows(store))},
        {"Cmd2", "TXT/2003-11.txt", "已存成2003-11.txt檔", textBytes(journalRows(store))},
        {"ExportCsvUtf8", "CSV/2003-11-UTF8.csv", "已存成2003-11-UTF8.csv",
         spreadsheetCsvBytes(store)},
        {"ExportJournal", "TXT/2003-11.journal", "已存成2003-11.journal",
         ledgerJournalBytes(store)}};
    whenShown(dialogs, [&](QDialog& form) {
      const QAbstractItemModel* list = child<QTreeView>(form, "Liv1")->model();
      QCOMPARE(list->rowCount(), 2);
      QCOMPARE(list->index(0, 0).data().toString(), QStringLiteral("2025/03/01"));
      QCOMPARE(list->index(1, 3).data().toString(), QStringLiteral("-20"));
      for (const auto& [control, file, said, bytes] : exports) {
        if (auto* action = form.findChild<QAction*>(control))
          action->trigger();
        else
          click(form, control);
        QCOMPARE(dialogs.lastMessage(), completion(QString::fromUtf8(said)));
        QCOMPARE(fileBytes(dir.filePath(file)), bytes);
      }
      click(form, "Cmd0");
      QVERIFY(!form.isVisible());
    });
    openJournal(store, nullptr);
  }
};

QTEST_MAIN(TestDiaryForm)
#include "tst_diaryform.moc"
