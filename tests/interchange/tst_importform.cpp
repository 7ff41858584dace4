#include "WindowSteps.h"
#include "interchange/ImportForm.h"
#include "interchange/PayeeRulesForm.h"
#include "interchange/statementimport.h"
#include "platform/codepage.h"

using F = ImportForm;

namespace {

// A bank's file in code page 950, as Taiwanese banks write them.
QString bankFile(const QTemporaryDir& dir, const QString& rows) {
  const QString path = dir.filePath("bank.csv");
  QFile f(path);
  f.open(QIODevice::WriteOnly);
  f.write(codepage::encode(QStringLiteral("交易日期,摘要,支出,存入,餘額\r\n") + rows));
  return path;
}

void read(QDialog& form, const QString& path) {
  child<QLineEdit>(form, F::kFilePath)->setText(path);
  click(form, F::kRead);
}

QString cell(QDialog& form, int row, int column) {
  return child<QTableWidget>(form, F::kPreview)->item(row, column)->text();
}

void chooseForRow(QDialog& form, int row, const QString& account) {
  child<QTableWidget>(form, F::kPreview)->selectRow(row);
  auto* box = child<QComboBox>(form, F::kRowAccount);
  box->setCurrentIndex(box->findText(account));
  emit box->activated(box->currentIndex());
}

QString summary(QDialog& form) { return child<QLabel>(form, F::kSummary)->text(); }

}  // namespace

class TestImportForm : public QObject {
  Q_OBJECT

 private slots:
  // A file that cannot be read is refused and Import stays off; a bank's file previews with the
  // row already in the book unticked and the bad date counted; one row moved to another
  // account; imported, the layout remembered.
  void readsPreviewsAndImports() {
    testbooks::Books book({"A-台銀", "E-雜支", "I-薪資", "E-餐費"});
    auto& [dir, dialogs, store, view] = book;
    book.signIn("Test");
    testbooks::addEntry(store, "2023/01/05", "E-雜支", "A-台銀", 120, "ATM");
    const QString csv = bankFile(dir, QStringLiteral("112/01/05,ATM,120,,\"9,880\"\r\n"
                                                     "112/01/06,薪資,,\"52,000\",\"61,880\"\r\n"
                                                     "112/01/07,午餐,\"85\",,\"61,795\"\r\n"
                                                     "112/13/01,錯誤,1,,1\r\n"));
    whenShown(dialogs, [&](QDialog& form) {
      read(form, dir.filePath("none.csv"));
      QCOMPARE(dialogs.lastMessage().title, QStringLiteral("注意"));
      QVERIFY(!child(form, F::kImport)->isEnabled());
      read(form, csv);
      QCOMPARE(cell(form, 0, F::kNote), QStringLiteral("可能重複"));
      QCOMPARE(summary(form), "共 4 列：勾選 2，可能重複 1，無法讀取 1");
      // What was detected, and the person's overrides: the header read as a row, the bytes
      // read as UTF-8; then back to what was found.
      QCOMPARE(child<QComboBox>(form, F::kDateOrder)->currentText(), "民國年/月/日");
      auto* encoding = child<QComboBox>(form, F::kEncoding);
      QCOMPARE(encoding->currentText(), "Big5（950）");
      child<QCheckBox>(form, F::kHeaderRow)->setChecked(false);
      QCOMPARE(summary(form), "共 5 列：勾選 2，可能重複 1，無法讀取 2");
      encoding->setCurrentIndex(encoding->findText("UTF-8"));
      QVERIFY(cell(form, 1, F::kMemo) != QStringLiteral("薪資"));
      encoding->setCurrentIndex(encoding->findText("Big5（950）"));
      QCOMPARE(cell(form, 1, F::kMemo), QStringLiteral("薪資"));
      QVERIFY(child<QCheckBox>(form, F::kHeaderRow)->isChecked());
      chooseForRow(form, 2, QStringLiteral("E-餐費"));
      click(form, F::kImport);
      dialogs.answer(Answer::Yes);  // and reconcile against the statement
    });
    // The reconciliation is offered the statement's last balance.
    const auto offer = openStatementImport(store, dialogs, view, nullptr);
    QVERIFY(dialogs.messageTexts().contains(QStringLiteral("已匯入 2 筆資料")));
    QVERIFY(offer && offer->ending == 61795);
    QCOMPARE(store.tables().entryCount, 4);
    QCOMPARE(store.tables().entries[3],
             store::makeEntry("2023/01/07", "E-餐費", "A-台銀", 85, "午餐"));
    QCOMPARE(view.redraws.size(), 1u);
    QVERIFY(QFileInfo::exists(store.user().userFolder() + "/" + interchange::kLayoutsFile));
  }

  // A new default for money out, or another date order, rebuilds the preview: the row moved by
  // hand and the row unticked stay as the person left them, the others follow. Dates abroad
  // read day first until told otherwise; one impossible month first is refused. The summary
  // follows every tick at once; a cancelled import brings nothing in.
  void keepsChoicesWhenTheDefaultsOrTheDateOrderChange() {
    testbooks::Books book({"A-台銀", "E-雜支", "E-餐費", "E-交通", "I-薪資"});
    auto& [dir, dialogs, store, view] = book;
    const QString csv = bankFile(dir, QStringLiteral("01/03/2019,早餐,60,,1\r\n"
                                                     "02/03/2019,捷運,30,,1\r\n"
                                                     "13/03/2019,午餐,90,,1\r\n"));
    whenShown(dialogs, [&](QDialog& form) {
      read(form, csv);
      auto* order = child<QComboBox>(form, F::kDateOrder);
      QCOMPARE(order->currentText(), "日/月/年");
      chooseForRow(form, 1, QStringLiteral("E-交通"));
      child<QTableWidget>(form, F::kPreview)->item(0, F::kTick)->setCheckState(Qt::Unchecked);
      QCOMPARE(summary(form), "共 3 列：勾選 2，可能重複 0，無法讀取 0");
      auto* out = child<QComboBox>(form, F::kOutAccount);
      out->setCurrentIndex(out->findText(QStringLiteral("E-餐費")));
      order->setCurrentIndex(order->findText("月/日/年"));
      QCOMPARE(cell(form, 1, F::kOther), QStringLiteral("E-交通"));
      QCOMPARE(cell(form, 1, F::kSource), QStringLiteral("手動"));
      QCOMPARE(child<QTableWidget>(form, F::kPreview)->item(0, F::kTick)->checkState(),
               Qt::Unchecked);
      QCOMPARE(cell(form, 2, F::kNote), QStringLiteral("「13/03/2019」不是月/日/年的日期"));
      QCOMPARE(summary(form), "共 3 列：勾選 1，可能重複 0，無法讀取 1");
      order->setCurrentIndex(order->findText("日/月/年"));
      QCOMPARE(cell(form, 2, F::kOther), QStringLiteral("E-餐費"));
      QCOMPARE(cell(form, 2, F::kSource), QStringLiteral("預設"));
      QCOMPARE(summary(form), "共 3 列：勾選 2，可能重複 0，無法讀取 0");
      click(form, F::kCancel);
    });
    openStatementImport(store, dialogs, view, nullptr);
    QCOMPARE(store.tables().entryCount, 1);
    QVERIFY(view.redraws.empty());
  }

  // What one import chose, the next one proposes as a rule; rows repeated within the file are
  // marked but stay ticked; a deleted rule gives the default back.
  void learnsPayeeRulesThatCanBeDeleted() {
    testbooks::Books book({"A-台銀", "E-雜支", "E-日用品", "I-薪資", "I-利息"});
    auto& [dir, dialogs, store, view] = book;
    book.signIn("Test");
    const QString csv = bankFile(dir, QStringLiteral("2018/05/02,全聯 信義店,350,,1\r\n"));
    whenShown(dialogs, [&](QDialog& form) {
      read(form, csv);
      chooseForRow(form, 0, QStringLiteral("E-日用品"));
      click(form, F::kImport);
      dialogs.answer(Answer::No);  // no reconciling this time
    });
    QVERIFY(!openStatementImport(store, dialogs, view, nullptr));
    const QString next = bankFile(dir, QStringLiteral("2018/06/02,全聯　信義店,410,,1\r\n"
                                                      "2018/06/30,利息,,3,1\r\n"
                                                      "2018/06/30,利息,,3,1\r\n"));
    whenShown(dialogs, [&](QDialog& form) {
      read(form, next);
      QCOMPARE(cell(form, 0, F::kOther), QStringLiteral("E-日用品"));
      QCOMPARE(cell(form, 0, F::kSource), QStringLiteral("規則"));
      QCOMPARE(cell(form, 2, F::kNote), QStringLiteral("同檔重複"));
      QCOMPARE(child<QTableWidget>(form, F::kPreview)->item(2, F::kTick)->checkState(),
               Qt::Checked);
      dialogs.answer(Answer::Yes);
      whenShown(dialogs, [&](QDialog& rules) {
        auto* list = child<QTableWidget>(rules, PayeeRulesForm::kList);
        QCOMPARE(list->rowCount(), 1);
        list->selectRow(0);
        click(rules, PayeeRulesForm::kDelete);
        QCOMPARE(list->rowCount(), 0);
        click(rules, PayeeRulesForm::kClose);
      });
      click(form, F::kRules);
      QCOMPARE(cell(form, 0, F::kOther), QStringLiteral("E-雜支"));
      QCOMPARE(cell(form, 0, F::kSource), QStringLiteral("預設"));
      click(form, F::kCancel);
    });
    openStatementImport(store, dialogs, view, nullptr);
    QVERIFY(dialogs.unscripted().isEmpty());
  }
};

QTEST_MAIN(TestImportForm)
#include "tst_importform.moc"
