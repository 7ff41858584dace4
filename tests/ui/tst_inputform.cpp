#include "store/LedgerView.h"
#include "store/Module1.h"
#include "store/entrycommands.h"
#include "ui/entry/InputForm.h"

#include "ScriptedDialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

// The main window's ledger as the entry dialog sees it: rows built by the store, and a log.
class FakeLedger : public LedgerView {
 public:
  explicit FakeLedger(const Module1& store) : store_(store) {}
  int shownAccountSlot() const override { return shown; }
  void showAccount(int slot) override {
    calls << QStringLiteral("show %1").arg(shown = slot);
    rows = ShowLedger(store_, slot);
  }
  void redrawLedger(bool) override { calls << QStringLiteral("redraw"); }
  void appendRow(const LedgerRow& row) override {
    calls << QStringLiteral("append %1").arg(row.slot);
    rows.push_back(row);
  }
  void selectEntry(int slot) override { calls << QStringLiteral("select %1").arg(slot); }
  qint64 lastRunningTotal() const override { return rows.empty() ? 0 : rows.back().runningTotal; }
  int rowCount() const override { return static_cast<int>(rows.size()); }
  int shown = 1;
  std::vector<LedgerRow> rows;
  QStringList calls;

 private:
  const Module1& store_;
};

constexpr int kCash = 0, kEquityPos = 1, kFood = 2, kSalary = 3, kCard = 4;

class TestInputForm : public QObject {
  Q_OBJECT

  // A chart of cash, Equity, food, salary and a card; the cash ledger shown.
  struct Program {
    ScriptedDialogs dialogs;
    Module1 store{QStringLiteral("/tmp/none"), dialogs};
    FakeLedger ledger{store};
    InputForm form{store, ledger};

    Program() {
      store.clock().setToday(QDate(2026, 3, 14));
      const QStringList names = {"A-現金", "Equity", "E-餐飲費", "I-薪資", "L-信用卡"};
      const int kinds[] = {kAsset, kEquity, kExpense, kIncome, kLiability};
      for (int i = 0; i < 5; ++i) store.AccountTable[i + 1] = makeAccount(names[i], kinds[i]);
      store.AccountCount = 6;
      store.EntryTable[1] = makeEntry("2026/03/01", "A-現金", "Equity", 1000, "初值");
      store.EntryTable[2] = makeEntry("2026/03/02", "E-餐飲費", "A-現金", 500, "聚餐");
      store.EntryCount = 3;
      store.FillAccountLists();
      ledger.showAccount(1);
      ledger.calls.clear();
    }
    template <typename T = QPushButton>
    T* find(const char* name) {
      return form.findChild<T*>(QLatin1String(name));
    }
    QComboBox* cob(const char* name) { return find<QComboBox>(name); }
    QLineEdit* text(const char* name) { return find<QLineEdit>(name); }
    void click(const char* name) { QTest::mouseClick(find(name), Qt::LeftButton); }
    // Runs `steps` against the shown dialog and leaves it with its second button if still open.
    void whileOpen(const std::function<void()>& steps) {
      dialogs.onModal([this, steps](QDialog& d) {
        d.show();
        steps();
        if (d.isVisible()) click("Cmd2");
        return 0;
      });
    }
  };

 private slots:
  void enterRunsOkOnceAndEscDoesNothing() {
    Program p;
    p.whileOpen([&] {
      QCOMPARE(p.text("Text1")->text(), QStringLiteral("2026/03/14"));
      QCOMPARE(p.cob("Cob3")->currentIndex(), kCash);
      QTest::keyClick(p.text("Text2"), Qt::Key_Return);  // no category yet: refused, still open
      p.cob("Cob2")->setCurrentIndex(kFood);
      for (const char* key : {"CmdNum1", "CmdNum2", "CmdNum0"}) p.click(key);
      auto* memo = p.find<QPlainTextEdit>("Text3");
      memo->insertPlainText(QStringLiteral("午餐"));
      QTest::keyClick(memo, Qt::Key_Return, Qt::ControlModifier);  // a line break only
      memo->insertPlainText(QStringLiteral("便當"));
      QTest::keyClick(p.text("Text2"), Qt::Key_Return);
      QTest::keyClick(&p.form, Qt::Key_Escape);
      QVERIFY(p.form.isVisible());
      QCOMPARE(p.store.EntryCount, 4);
      QTest::keyClick(memo, Qt::Key_Enter);  // everything stays: a second, identical entry
    });
    p.form.openNew();
    QCOMPARE(p.dialogs.messageTexts(), QStringList{"請選擇資產增加欄位"});
    QCOMPARE(p.store.EntryCount, 5);
    QCOMPARE(p.store.EntryTable[3],
             makeEntry("2026/03/14", "E-餐飲費", "A-現金", 120, "午餐\r\n便當"));
    QCOMPARE(p.store.EntryTable[4], p.store.EntryTable[3]);
    QCOMPARE(p.ledger.calls, (QStringList{"append 3", "append 4"}));
    QCOMPARE(p.ledger.rows.back().total, QStringLiteral("260"));  // 1000 - 500 - 120 - 120
  }

  void editFollowsTheEntryAndCancelStoresNothing() {
    Program p;
    p.whileOpen([&] {
      QCOMPARE(p.text("Text2")->text(), QStringLiteral("500"));
      QCOMPARE(p.cob("Cob2")->currentIndex(), kFood);
      p.cob("Cob3")->setCurrentIndex(kCard);
      QTest::keyClick(p.text("Text1"), Qt::Key_Return);
      QVERIFY(!p.form.isVisible());
    });
    p.whileOpen([&] {
      p.text("Text2")->setText(QStringLiteral("1"));
      p.click("Cmd2");
    });
    p.form.openEdit(2);
    p.form.openEdit(2);
    QCOMPARE(p.store.EntryTable[2], makeEntry("2026/03/02", "E-餐飲費", "L-信用卡", 500, "聚餐"));
    QCOMPARE(p.ledger.calls, (QStringList{"show 5", "select 2"}));
    QCOMPARE(p.store.EntryCount, 3);
  }

  void pickersRefuseOnceAndMoveOn() {
    Program p;
    p.whileOpen([&] {
      p.cob("Cob2")->setCurrentIndex(kEquityPos);
      QCOMPARE(p.cob("Cob2")->currentIndex(), -1);
      p.cob("Cob3")->setCurrentIndex(kSalary);
      QCOMPARE(p.cob("Cob3")->currentIndex(), kCash);
    });
    p.form.openNew();
    // A chart whose first account is an expense: past it to Equity, not back in a loop.
    SwapValues(p.store.AccountTable[1], p.store.AccountTable[3]);
    p.store.FillAccountLists();
    p.whileOpen([&] { p.cob("Cob3")->setCurrentIndex(0); });
    p.form.openNew();
    QCOMPARE(p.cob("Cob3")->currentIndex(), 1);
    QCOMPARE(p.dialogs.messageTexts(),
             (QStringList{"這個欄位不能是Equity", "這個欄位不能是收入(I)或支出(E)",
                          "這個欄位不能是收入(I)或支出(E)"}));
  }

  void fullTableOpensNoDialog() {
    Program p;
    p.store.EntryCount = kMaxEntries + 1;
    p.form.openNew();
    QCOMPARE(p.dialogs.messageTexts(), QStringList{kEntryLimitText});
    QCOMPARE(p.dialogs.shown().size(), 1u);
  }
};

}  // namespace

QTEST_MAIN(TestInputForm)
#include "tst_inputform.moc"
