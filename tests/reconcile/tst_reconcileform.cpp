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
};

QTEST_MAIN(TestReconcileForm)
#include "tst_reconcileform.moc"
