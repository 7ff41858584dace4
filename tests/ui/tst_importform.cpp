#include "WindowSteps.h"
#include "interchange/ImportForm.h"
#include "interchange/statementimport.h"
#include "platform/codepage.h"
#include "store/LedgerView.h"
#include "store/Module1.h"
#include "store/records.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

class RedrawCount : public LedgerView {
 public:
  int redraws = 0;
  int shownAccountSlot() const override { return 1; }
  void showAccount(int) override {}
  void redrawLedger(bool) override { ++redraws; }
  void appendRow(const LedgerRow&) override {}
  void selectEntry(int) override {}
  qint64 lastRunningTotal() const override { return 0; }
  int rowCount() const override { return 0; }
};

}  // namespace

class TestImportForm : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
  RedrawCount view;
  QString csv;

 private slots:
  void init() {
    dialogs.clear();
    view.redraws = 0;
    store.UserName = QStringLiteral("Test");
    QDir().mkpath(store.userFolder());
    store.AccountCount = store.EntryCount = 1;
    for (const auto& [name, kind] : {std::pair{"A-台銀", kAsset},
                                     {"E-雜支", kExpense},
                                     {"I-薪資", kIncome},
                                     {"E-餐費", kExpense}}) {
      store.AccountTable[store.AccountCount++] = makeAccount(name, qint16(kind));
    }
    store.EntryTable[store.EntryCount++] = makeEntry("2023/01/05", "E-雜支", "A-台銀", 120, "ATM");
    csv = dir.path() + "/bank.csv";
    QFile f(csv);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(
        codepage::encode(QStringLiteral("交易日期,摘要,支出,存入,餘額\r\n"
                                        "112/01/05,ATM,120,,\"9,880\"\r\n"
                                        "112/01/06,薪資,,\"52,000\",\"61,880\"\r\n"
                                        "112/01/07,午餐,\"85\",,\"61,795\"\r\n"
                                        "112/13/01,錯誤,1,,1\r\n")));
  }

  // File, preview with the duplicate unticked and the bad row explained, one row moved to
  // another account, import: the entries arrive and the layout is remembered.
  void readsPreviewsAndImports() {
    whenShown(dialogs, [&](QDialog& form) {
      child<QLineEdit>(form, "FilePath")->setText(csv);
      click(form, "Read");
      auto* table = child<QTableWidget>(form, "Preview");
      QCOMPARE(table->rowCount(), 4);
      QCOMPARE(table->item(0, 0)->checkState(), Qt::Unchecked);
      QCOMPARE(table->item(0, 6)->text(), QStringLiteral("可能重複"));
      QCOMPARE(table->item(3, 6)->text(), QStringLiteral("「112/13/01」不是日期"));
      QCOMPARE(child<QLabel>(form, "Summary")->text(),
               QStringLiteral("共 4 列：勾選 2，可能重複 1，無法讀取 1"));
      table->selectRow(2);
      auto* rowAccount = child<QComboBox>(form, "RowAccount");
      rowAccount->setCurrentIndex(rowAccount->findText(QStringLiteral("E-餐費")));
      emit rowAccount->activated(rowAccount->currentIndex());
      QCOMPARE(table->item(2, 5)->text(), QStringLiteral("E-餐費"));
      click(form, "Import");
    });
    openStatementImport(store, view, nullptr);
    QCOMPARE(dialogs.lastMessage(), completion(QStringLiteral("已匯入 2 筆資料")));
    QCOMPARE(store.EntryCount, 4);
    QCOMPARE(store.EntryTable[2], makeEntry("2023/01/06", "I-薪資", "A-台銀", 52000, "薪資"));
    QCOMPARE(store.EntryTable[3], makeEntry("2023/01/07", "E-餐費", "A-台銀", 85, "午餐"));
    QCOMPARE(view.redraws, 1);
    QVERIFY(QFileInfo::exists(store.userFolder() + "/" + kLayoutsFile));
  }

  // A file that cannot be read is refused in words and the window stays; cancel changes nothing.
  void refusesAMissingFileAndCancels() {
    whenShown(dialogs, [&](QDialog& form) {
      child<QLineEdit>(form, "FilePath")->setText(dir.path() + "/none.csv");
      click(form, "Read");
      QCOMPARE(dialogs.lastMessage().title, QStringLiteral("注意"));
      QVERIFY(form.isVisible());
      QVERIFY(!child<QPushButton>(form, "Import")->isEnabled());
      click(form, "Cancel");
    });
    openStatementImport(store, view, nullptr);
    QCOMPARE(store.EntryCount, 2);
    QCOMPARE(view.redraws, 0);
  }
};

QTEST_MAIN(TestImportForm)
#include "tst_importform.moc"
