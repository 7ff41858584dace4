#include "WindowSteps.h"
#include "interchange/ImportForm.h"
#include "interchange/statementimport.h"
#include "platform/codepage.h"

class TestImportForm : public QObject {
  Q_OBJECT

 private slots:
  // A reading cancelled brings nothing in. A file that cannot be read is refused and Import
  // stays off; a bank's file previews with the row already in the book unticked and the bad
  // date explained; one row moved to another account; imported, the layout remembered.
  void readsPreviewsAndImports() {
    testbooks::Books book({"A-台銀", "E-雜支", "I-薪資", "E-餐費"});
    auto& [dir, dialogs, store, view] = book;
    store.UserName = QStringLiteral("Test");
    QDir().mkpath(store.userFolder());
    testbooks::addEntry(store, "2023/01/05", "E-雜支", "A-台銀", 120, "ATM");
    const QString csv = dir.filePath("bank.csv");
    QFile f(csv);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(
        codepage::encode(QStringLiteral("交易日期,摘要,支出,存入,餘額\r\n"
                                        "112/01/05,ATM,120,,\"9,880\"\r\n"
                                        "112/01/06,薪資,,\"52,000\",\"61,880\"\r\n"
                                        "112/01/07,午餐,\"85\",,\"61,795\"\r\n"
                                        "112/13/01,錯誤,1,,1\r\n")));
    f.close();
    whenShown(dialogs, [&](QDialog& form) {
      child<QLineEdit>(form, "FilePath")->setText(csv);
      click(form, "Read");
      click(form, "Cancel");
    });
    openStatementImport(store, view, nullptr);
    QCOMPARE(store.EntryCount, 2);

    whenShown(dialogs, [&](QDialog& form) {
      child<QLineEdit>(form, "FilePath")->setText(dir.filePath("none.csv"));
      click(form, "Read");
      QCOMPARE(dialogs.lastMessage().title, QStringLiteral("注意"));
      QVERIFY(!child(form, "Import")->isEnabled());
      child<QLineEdit>(form, "FilePath")->setText(csv);
      click(form, "Read");
      auto* table = child<QTableWidget>(form, "Preview");
      QCOMPARE(table->item(0, 0)->checkState(), Qt::Unchecked);
      QCOMPARE(table->item(0, 6)->text(), QStringLiteral("可能重複"));
      QCOMPARE(table->item(3, 6)->text(), QStringLiteral("「112/13/01」不是日期"));
      QCOMPARE(child<QLabel>(form, "Summary")->text(), "共 4 列：勾選 2，可能重複 1，無法讀取 1");
      table->selectRow(2);
      auto* rowAccount = child<QComboBox>(form, "RowAccount");
      rowAccount->setCurrentIndex(rowAccount->findText(QStringLiteral("E-餐費")));
      emit rowAccount->activated(rowAccount->currentIndex());
      click(form, "Import");
    });
    openStatementImport(store, view, nullptr);
    QCOMPARE(dialogs.lastMessage(), completion(QStringLiteral("已匯入 2 筆資料")));
    QCOMPARE(store.EntryCount, 4);
    QCOMPARE(store.EntryTable[2], makeEntry("2023/01/06", "I-薪資", "A-台銀", 52000, "薪資"));
    QCOMPARE(store.EntryTable[3], makeEntry("2023/01/07", "E-餐費", "A-台銀", 85, "午餐"));
    QCOMPARE(view.redraws.size(), 1u);  // not on the cancelled reading
    QVERIFY(QFileInfo::exists(store.userFolder() + "/" + kLayoutsFile));
  }
};

QTEST_MAIN(TestImportForm)
#include "tst_importform.moc"
