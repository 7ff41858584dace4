// The reconciliation wizard: ticks or a confirmed adjustment bring the difference to 0 and 完成
// keeps the reconciliation, whose entries are then protected.
#include "WindowSteps.h"
#include "entries/InputForm.h"
#include "maintenance/DelForm.h"
#include "reconcile/ReconcileForm.h"
#include "ui/main/LedgerItems.h"

using namespace reconcile;

namespace {

void start(QDialog& d, const char* ending, const char* statementDate = "2025/01/31") {
  typeIn(d, ReconcileForm::kStatementDateBox, statementDate);
  typeIn(d, ReconcileForm::kEndingBox, ending);
  click(d, ReconcileForm::kStartButton);
}

void tick(QDialog& d, int row) {
  child<QTableWidget>(d, ReconcileForm::kLines)->item(row, 0)->setCheckState(Qt::Checked);
}

// January's book in the main window, shown on the bank; `all` for a wizard of its own.
struct January : MainWindowBook {
  std::vector<Reconciliation> all;
  January() {
    testbooks::signIn(store, "user1", "2025");
    testbooks::addAccounts(store, {"A-銀行", "I-薪水", "E-餐費", "E-手續費", "Equity"});
    testbooks::addEntry(store, "2025/01/01", "A-銀行", "Equity", 1000, "初值");
    testbooks::addEntry(store, "2025/01/05", "I-薪水", "A-銀行", 500);
    testbooks::addEntry(store, "2025/01/10", "E-餐費", "A-銀行", 300);
    testbooks::addEntry(store, "2025/02/02", "E-餐費", "A-銀行", 99);  // after the statement
    window.show();
    store.refillAccountLists();
  }
  void trigger(const char* action) { child<QAction>(window, action)->trigger(); }
  // The bank's wizard started on February: the messages it showed.
  QStringList wizardSays() {
    const auto before = static_cast<qsizetype>(dialogs.messages().size());
    whenShown(dialogs, [](QDialog& d) {
      start(d, "1200", "2025/02/28");
      click(d, ReconcileForm::kCloseButton);
    });
    trigger(MainForm::kReconcileMenu);
    return dialogs.messageTexts().mid(before);
  }
};

const QString kDeletedNote =
    QStringLiteral("2025/01/31 的對帳已經不平衡：其中已對帳的記錄被刪除了");
const QString kChangedNote =
    QStringLiteral("2025/01/31 的對帳已經不平衡：其中已對帳的記錄被變更了");

QString differenceText(QDialog& d) {
  return child<QLabel>(d, ReconcileForm::kDifferenceLabel)->text();
}

}  // namespace

class TestReconcileForm : public QObject {
  Q_OBJECT

 private slots:
  // The import's offer ticks the statement's entries (after 開始 when it had no balance); an
  // adjustment, once confirmed, lets it finish, and the reconciliation is then saved as a PDF
  // that reads as it should.
  void anImportedStatementStartsTickedIsAdjustedAndPrints() {
    January b;
    ReconcileForm form(b.store, b.dialogs, b.all);
    form.show();
    form.offerStatement(1, QDate(2025, 1, 31), std::nullopt, {2, 3});
    auto* lines = child<QTableWidget>(form, ReconcileForm::kLines);
    QCOMPARE(lines->rowCount(), 0);
    typeIn(form, ReconcileForm::kEndingBox, "1200");
    click(form, ReconcileForm::kStartButton);
    QCOMPARE(lines->item(0, 0)->checkState(), Qt::Unchecked);
    QCOMPARE(lines->item(1, 0)->checkState(), Qt::Checked);
    QCOMPARE(differenceText(form), QStringLiteral("差額：1000"));
    form.offerStatement(1, QDate(2025, 1, 31), 1185, {1, 2, 3});  // the bank took a fee of 15
    child<QComboBox>(form, ReconcileForm::kAdjustAccountPicker)->setCurrentIndex(3);  // E-手續費
    b.dialogs.answer(Answer::No);
    click(form, ReconcileForm::kAdjustButton);
    QCOMPARE(differenceText(form), QStringLiteral("差額：-15"));
    b.dialogs.answer(Answer::Yes);
    click(form, ReconcileForm::kAdjustButton);
    QCOMPARE(differenceText(form), QStringLiteral("差額：0"));
    QVERIFY(!child<QPushButton>(form, ReconcileForm::kPdfButton)->isEnabled());
    click(form, ReconcileForm::kFinishButton);
    QCOMPARE(b.store.tables().entries[5],
             store::makeEntry("2025/01/31", "E-手續費", "A-銀行", 15, QStringLiteral("對帳調整")));
    QCOMPARE(b.all[0].ticked.size(), 4u);
    const QString pdf = b.dir.filePath("january.pdf");
    b.dialogs.type(pdf);
    click(form, ReconcileForm::kPdfButton);
    const QString text = pdfText(pdf);
    for (const char* expected : {"A-銀行", "2025/01/31 的對帳", "對帳單餘額 1,185", "I-薪水",
                                 "初值", "勾選 4 筆，合計 1,185；差額 0"})
      QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("2025/02/02")));
  }

  // The wizard on the main window's bank: ticks bring the difference to 0 and 完成 keeps the
  // reconciliation. Deleting a reconciled entry then asks one question, which names the
  // reconciliation; the wizard then says it no longer balances, and 復原 and 重做 of the deletion
  // (or of a change in the entry dialog, or of a 多筆刪除) take that back and forth with the entry.
  void aReconciledEntryGoesAfterOneQuestionAndUndoMendsItsReconciliation() {
    January p;
    whenShown(p.dialogs, [&](QDialog& d) {
      start(d, "1200");
      QVERIFY(!child<QPushButton>(d, ReconcileForm::kFinishButton)->isEnabled());
      tick(d, 0);
      tick(d, 1);
      QCOMPARE(differenceText(d), QStringLiteral("差額：-300"));
      QVERIFY(
          child<QLabel>(d, ReconcileForm::kHintsLabel)->text().contains(QStringLiteral("漏勾")));
      tick(d, 2);
      QCOMPARE(differenceText(d), QStringLiteral("差額：0"));
      click(d, ReconcileForm::kFinishButton);
    });
    p.trigger(MainForm::kReconcileMenu);
    QCOMPARE(p.dialogs.messageTexts(), QStringList{QStringLiteral("對帳完成")});
    auto* ledger = child<QTreeWidget>(p.window, MainForm::kLedger);
    ledger->topLevelItem(1)->setCheckState(DateColumn, Qt::Checked);
    const auto asked = p.dialogs.messages().size();
    p.dialogs.answer(Answer::Yes);
    click(p.window, MainForm::kDelete);
    QCOMPARE(p.dialogs.messages().size(), asked + 1);
    QCOMPARE(p.dialogs.lastMessage(),
             confirmDelete(QStringLiteral("這筆記錄已經在「2025/01/31 的對帳（A-銀行）」中對過帳。"
                                          "刪除之後，那次對帳就不再平衡。確定刪除資料嗎？")));
    QCOMPARE(p.store.tables().entriesInUse(), 3);
    QCOMPARE(p.wizardSays(), QStringList{kDeletedNote});
    p.trigger(MainForm::kUndo);
    QCOMPARE(p.wizardSays(), QStringList{});
    p.trigger(MainForm::kRedo);
    QCOMPARE(p.wizardSays(), QStringList{kDeletedNote});
    p.trigger(MainForm::kUndo);

    whenShown(p.dialogs, [&](QDialog& d) {
      typeIn(d, InputForm::kAmount, "600");
      p.dialogs.answer(Answer::Yes);
      click(d, InputForm::kOk);
    });
    ledger->setCurrentItem(ledger->topLevelItem(1));
    emit ledger->itemDoubleClicked(ledger->topLevelItem(1), DateColumn);
    QCOMPARE(p.store.tables().entries[2].Amount, 600);
    QCOMPARE(p.wizardSays(), QStringList{kChangedNote});
    p.trigger(MainForm::kUndo);
    QCOMPARE(p.wizardSays(), QStringList{});

    // 多筆刪除 of the two January entries: one question, and one 復原 mends it all again.
    whenShown(p.dialogs, [&](QDialog& d) {
      click(d, DelForm::kWithin);
      typeIn(d, DelForm::kFromDate, "2025/01/05");
      typeIn(d, DelForm::kToDate, "2025/01/10");
      p.dialogs.answer(Answer::Yes);
      click(d, DelForm::kDelete);
      click(d, DelForm::kCancel);
    });
    click(p.window, MainForm::kBulkDelete);
    QCOMPARE(p.store.tables().entriesInUse(), 2);
    QCOMPARE(p.wizardSays(), QStringList{kDeletedNote});
    p.trigger(MainForm::kUndo);
    QCOMPARE(p.wizardSays(), QStringList{});
    QVERIFY(p.dialogs.allAnswersUsed());
  }
};

QTEST_MAIN(TestReconcileForm)
#include "tst_reconcileform.moc"
