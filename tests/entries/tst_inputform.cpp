// The entry dialog over the main window, which shows the cash ledger (1000 - 500).
#include "WindowSteps.h"
#include "entries/InputForm.h"

namespace {

constexpr int kCash = 0, kFood = 2, kCard = 4;

struct Program : MainWindowBook {
  InputForm form{store, dialogs, window};
  QTreeWidget* ledger = child<QTreeWidget>(window, MainForm::kLedger);

  Program() {
    store.clock().setToday(QDate(2026, 3, 14));
    testbooks::addAccounts(store, {"A-現金", "Equity", "E-餐飲費", "I-薪資", "L-信用卡"});
    testbooks::addEntry(store, "2026/03/01", "A-現金", "Equity", 1000, "初值");
    testbooks::addEntry(store, "2026/03/02", "E-餐飲費", "A-現金", 500, "聚餐");
    window.show();
    store.refillAccountLists();
  }
  // Runs `steps` against the shown dialog and leaves it with its second button if still open.
  void whileOpen(const std::function<void()>& steps) {
    whenShown(dialogs, [steps](QDialog& d) {
      steps();
      if (d.isVisible()) click(d, InputForm::kClose);
    });
  }
  QLineEdit* amount() { return child<QLineEdit>(form, InputForm::kAmount); }
  // The number and running total of the ledger's selected row.
  QStringList selected() {
    return {ledger->currentItem()->text(5), ledger->currentItem()->text(3)};
  }
};

}  // namespace

class TestInputForm : public QObject {
  Q_OBJECT

 private slots:
  void enterRunsOkOnceAndEscDoesNothing() {
    Program p;
    p.whileOpen([&] {
      QCOMPARE(child<QComboBox>(p.form, InputForm::kDecrease)->currentIndex(), kCash);
      QTest::keyClick(p.amount(), Qt::Key_Return);  // no category yet: refused, still open
      child<QComboBox>(p.form, InputForm::kIncrease)->setCurrentIndex(kFood);
      for (int key : {1, 2, 0}) click(p.form, InputForm::kKeypad[key]);
      auto* memo = child<QPlainTextEdit>(p.form, InputForm::kMemo);
      memo->insertPlainText(QStringLiteral("午餐"));
      QTest::keyClick(memo, Qt::Key_Return, Qt::ControlModifier);  // a line break only
      memo->insertPlainText(QStringLiteral("便當"));
      QTest::keyClick(p.amount(), Qt::Key_Return);
      QTest::keyClick(&p.form, Qt::Key_Escape);
      QVERIFY(p.form.isVisible());
      QTest::keyClick(memo, Qt::Key_Enter);  // everything stays: a second, identical entry
    });
    p.form.openNew();
    QCOMPARE(p.dialogs.messageTexts(), QStringList{"請選擇資產增加欄位"});
    QCOMPARE(p.store.tables().entryCount, 5);
    QCOMPARE(p.store.tables().entries[3],
             store::makeEntry("2026/03/14", "E-餐飲費", "A-現金", 120, "午餐\r\n便當"));
    QCOMPARE(p.store.tables().entries[4], p.store.tables().entries[3]);
    QCOMPARE(p.ledger->topLevelItemCount(), 4);
    QCOMPARE(p.selected(), (QStringList{"4", "260"}));
  }

  // A keypad key reached with Tab takes Enter as its own press; OK runs only from the boxes.
  void editFollowsTheEntryAndKeypadEnterOrCancelStoresNothing() {
    Program p;
    p.whileOpen([&] {
      QCOMPARE(child<QComboBox>(p.form, InputForm::kIncrease)->currentIndex(), kFood);
      child<QComboBox>(p.form, InputForm::kDecrease)->setCurrentIndex(kCard);
      QTest::keyClick(child(p.form, InputForm::kDate), Qt::Key_Return);
      QVERIFY(!p.form.isVisible());
    });
    p.whileOpen([&] {
      p.amount()->clear();
      for (int key : {7, 10, 4}) {
        child(p.form, InputForm::kKeypad[key])->setFocus();
        QTest::keyClick(child(p.form, InputForm::kKeypad[key]), Qt::Key_Return);
      }
      QCOMPARE(p.amount()->text(), QStringLiteral("4"));
      click(p.form, InputForm::kClose);
    });
    p.form.openEdit(2);
    p.form.openEdit(2);
    QCOMPARE(p.store.tables().entries[2],
             store::makeEntry("2026/03/02", "E-餐飲費", "L-信用卡", 500, "聚餐"));
    QCOMPARE(p.window.shownAccountSlot(), 5);
    QCOMPARE(p.selected().first(), QStringLiteral("2"));
  }
};

QTEST_MAIN(TestInputForm)
#include "tst_inputform.moc"
