// The reconciliation wizard: ticks bring the difference to 0 and 完成 keeps the reconciliation;
// an adjustment, once confirmed, lets it finish too.
#include "WindowSteps.h"
#include "reconcile/ReconcileForm.h"

using namespace reconcile;

namespace {

struct January : testbooks::Books {
  std::vector<Reconciliation> all;
  January() : Books({"A-銀行", "I-薪水", "E-餐費", "E-手續費", "Equity"}) {
    store.clock().setToday(QDate(2025, 2, 3));
    entry("2025/01/01", "A-銀行", "Equity", 1000, "初值");
    entry("2025/01/05", "I-薪水", "A-銀行", 500);
    entry("2025/01/10", "E-餐費", "A-銀行", 300);
    entry("2025/02/02", "E-餐費", "A-銀行", 99);  // after the statement
  }
};

void start(QDialog& d, const char* ending) {
  typeIn(d, "StatementDateBox", "2025/01/31");
  typeIn(d, "EndingBox", ending);
  click(d, "StartButton");
}

void tick(QDialog& d, int row) {
  child<QTableWidget>(d, "Lines")->item(row, 0)->setCheckState(Qt::Checked);
}

QString differenceText(QDialog& d) { return child<QLabel>(d, "DifferenceLabel")->text(); }

}  // namespace

class TestReconcileForm : public QObject {
  Q_OBJECT

 private slots:
  void ticksReachZeroAndFinish() {
    January b;
    whenShown(b.dialogs, [&](QDialog& d) {
      start(d, "1200");
      QCOMPARE(child<QTableWidget>(d, "Lines")->rowCount(), 3);
      QVERIFY(!child<QPushButton>(d, "FinishButton")->isEnabled());
      tick(d, 0);
      tick(d, 1);
      QCOMPARE(differenceText(d), QStringLiteral("差額：-300"));
      QVERIFY(child<QLabel>(d, "HintsLabel")->text().contains(QStringLiteral("漏勾")));
      tick(d, 2);
      QCOMPARE(differenceText(d), QStringLiteral("差額：0"));
      click(d, "FinishButton");
    });
    openReconcile(b.store, b.dialogs, b.all, nullptr);
    QCOMPARE(b.dialogs.messageTexts(), QStringList{QStringLiteral("對帳完成")});
    QCOMPARE(b.all.size(), 1u);
    QVERIFY(b.all[0].finished);
    QCOMPARE(b.all[0].ticked.size(), 3u);
    QCOMPARE(b.all[0].ending, 1200);
  }

  void aConfirmedAdjustmentLetsItFinish() {
    January b;
    whenShown(b.dialogs, [&](QDialog& d) {
      start(d, "1185");  // the bank took a fee of 15
      for (int row = 0; row < 3; ++row) tick(d, row);
      child<QComboBox>(d, "AdjustAccountPicker")->setCurrentIndex(3);  // E-手續費
      b.dialogs.answer(Answer::No);
      click(d, "AdjustButton");
      QCOMPARE(differenceText(d), QStringLiteral("差額：-15"));
      b.dialogs.answer(Answer::Yes);
      click(d, "AdjustButton");
      QCOMPARE(differenceText(d), QStringLiteral("差額：0"));
      click(d, "FinishButton");
    });
    openReconcile(b.store, b.dialogs, b.all, nullptr);
    QVERIFY(b.dialogs.allAnswersUsed());
    QCOMPARE(b.entries().back(),
             store::makeEntry("2025/01/31", "E-手續費", "A-銀行", 15, QStringLiteral("對帳調整")));
    QCOMPARE(b.all[0].ticked.size(), 4u);
  }

  // The import's offer ticks the statement's entries (after 開始 when it had no balance); the
  // finished reconciliation is then saved as a PDF that reads as it should.
  void anImportedStatementStartsTickedAndItsReconciliationPrints() {
    January b;
    ReconcileForm form(b.store, b.dialogs, b.all);
    form.show();
    form.offerStatement(1, QDate(2025, 1, 31), std::nullopt, {2, 3});
    auto* lines = child<QTableWidget>(form, "Lines");
    QCOMPARE(lines->rowCount(), 0);
    typeIn(form, "EndingBox", "1200");
    click(form, "StartButton");
    QCOMPARE(lines->item(0, 0)->checkState(), Qt::Unchecked);
    QCOMPARE(lines->item(1, 0)->checkState(), Qt::Checked);
    QCOMPARE(differenceText(form), QStringLiteral("差額：1000"));
    form.offerStatement(1, QDate(2025, 1, 31), 1200, {1, 2, 3});
    QCOMPARE(differenceText(form), QStringLiteral("差額：0"));
    QVERIFY(!child<QPushButton>(form, "PdfButton")->isEnabled());
    click(form, "FinishButton");
    const QString pdf = b.dir.filePath("january.pdf");
    b.dialogs.type(pdf);
    click(form, "PdfButton");
    const QString text = pdfText(pdf);
    for (const char* expected : {"A-銀行", "2025/01/31 的對帳", "對帳單餘額 1,200", "I-薪水",
                                 "初值", "勾選 3 筆，合計 1,200；差額 0"})
      QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("2025/02/02")));
  }
};

QTEST_MAIN(TestReconcileForm)
#include "tst_reconcileform.moc"
