#include "platform/dates.h"
#include "platform/numbers.h"
#include "store/LedgerView.h"
#include "store/Module1.h"
#include "store/entrycommands.h"
#include "ui/entry/InputForm.h"

#include "ScriptedDialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

// The main window's ledger as far as the entry dialog sees it: rows built by the store and a
// log of what the dialog asked for.
class FakeLedger : public LedgerView {
 public:
  explicit FakeLedger(const Module1& store) : store_(store) {}

  int shownAccountSlot() const override { return shown; }
  void showAccount(int slot) override {
    calls << QStringLiteral("show %1").arg(slot);
    shown = slot;
    rows = ShowLedger(store_, slot);
    selected = rows.empty() ? 0 : rows.back().slot;
  }
  void redrawLedger(bool selectLastRow) override {
    calls << QStringLiteral("redraw");
    rows = ShowLedger(store_, shown);
    if (selectLastRow && !rows.empty()) selected = rows.back().slot;
  }
  void appendRow(const LedgerRow& row) override {
    calls << QStringLiteral("append %1").arg(row.slot);
    rows.push_back(row);
    selected = row.slot;
  }
  void selectEntry(int slot) override {
    calls << QStringLiteral("select %1").arg(slot);
    selected = slot;
  }
  qint64 lastRunningTotal() const override { return rows.empty() ? 0 : rows.back().runningTotal; }
  int rowCount() const override { return static_cast<int>(rows.size()); }

  int shown = 0;
  int selected = 0;
  std::vector<LedgerRow> rows;
  QStringList calls;

 private:
  const Module1& store_;
};

// Picker positions of the chart below.
constexpr int kCash = 0, kEquityPos = 1, kFood = 2, kSalary = 3, kCard = 4;

class TestInputForm : public QObject {
  Q_OBJECT

 private:
  struct Program {
    ScriptedDialogs dialogs;
    Module1 store{QStringLiteral("/tmp/none"), dialogs};
    FakeLedger ledger{store};
    InputForm form{store, ledger};

    Program() {
      store.clock().setToday(QDate(2026, 3, 14));
      store.AccountTable[1] = makeAccount(QStringLiteral("A-現金"), kAsset);
      store.AccountTable[2] = makeAccount(QStringLiteral("Equity"), kEquity);
      store.AccountTable[3] = makeAccount(QStringLiteral("E-餐飲費"), kExpense);
      store.AccountTable[4] = makeAccount(QStringLiteral("I-薪資"), kIncome);
      store.AccountTable[5] = makeAccount(QStringLiteral("L-信用卡"), kLiability);
      store.AccountCount = 6;
      store.EntryTable[1] = makeEntry("2026/03/01", "A-現金", "Equity", 1000, "初值");
      store.EntryTable[2] = makeEntry("2026/03/02", "E-餐飲費", "A-現金", 500, "聚餐");
      store.EntryCount = 3;
      store.FillAccountLists();
      ledger.showAccount(1);
      ledger.calls.clear();
    }

    template <typename T>
    T* find(const char* name) {
      return form.findChild<T*>(QLatin1String(name));
    }
    QComboBox* cob2() { return find<QComboBox>("Cob2"); }
    QComboBox* cob3() { return find<QComboBox>("Cob3"); }
    QLineEdit* text1() { return find<QLineEdit>("Text1"); }
    QLineEdit* text2() { return find<QLineEdit>("Text2"); }
    QPlainTextEdit* text3() { return find<QPlainTextEdit>("Text3"); }
    QPushButton* button(const char* name) { return find<QPushButton>(name); }
    QString label(const char* name) { return find<QLabel>(name)->text(); }

    // Runs `steps` against the shown dialog; the steps leave it open or closed.
    void whileOpen(const std::function<void()>& steps) {
      dialogs.onModal([this, steps](QDialog& d) {
        d.show();
        steps();
        const bool open = d.isVisible();
        if (open) QTest::mouseClick(button("Cmd2"), Qt::LeftButton);
        return open ? 1 : 0;
      });
    }
  };

 private slots:
  void newEntryOnTheShownAccountAddsOneRowPerEnter() {
    Program p;
    p.whileOpen([&] {
      QCOMPARE(p.form.windowTitle(), QStringLiteral("新增資料"));
      QCOMPARE(p.text1()->text(), QStringLiteral("2026/03/14"));
      QCOMPARE(p.text2()->text(), QStringLiteral("0"));
      QCOMPARE(p.cob2()->currentIndex(), -1);
      QCOMPARE(p.cob3()->currentIndex(), kCash);
      QCOMPARE(p.button("Cmd1")->text(), QStringLiteral("新增(&N)"));
      QCOMPARE(p.button("Cmd2")->text(), QStringLiteral("完成(&D)"));

      p.cob2()->setCurrentIndex(kFood);
      QCOMPARE(p.label("Label2"), QStringLiteral("支付給"));
      QCOMPARE(p.label("Label3"), QStringLiteral("從帳戶"));
      for (const char* key : {"CmdNum1", "CmdNum2", "CmdNum0"}) {
        QTest::mouseClick(p.button(key), Qt::LeftButton);
      }
      QCOMPARE(p.text2()->text(), QStringLiteral("120"));
      p.text3()->insertPlainText(QStringLiteral("午餐"));
      QTest::keyClick(p.text3(), Qt::Key_Return, Qt::ControlModifier);  // a line break only
      p.text3()->insertPlainText(QStringLiteral("便當"));
      QCOMPARE(p.store.EntryCount, 3);

      // Enter in the amount box stores once, and the dialog stays for the next entry.
      QTest::keyClick(p.text2(), Qt::Key_Return);
      QCOMPARE(p.store.EntryCount, 4);
      QVERIFY(p.form.isVisible());
      QCOMPARE(p.ledger.calls, QStringList{"append 3"});
      const LedgerRow& row = p.ledger.rows.back();
      QCOMPARE(row.amount, QStringLiteral("-120"));
      QCOMPARE(row.total, QStringLiteral("380"));  // 1000 - 500 - 120, no leading blank
      QCOMPARE(row.other, QStringLiteral("E-餐飲費"));
      QCOMPARE(row.memo, QStringLiteral("午餐\r\n便當"));
      QCOMPARE(p.store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：3"));

      // Everything stays, so Enter in the memo stores an identical second entry.
      QTest::keyClick(p.text3(), Qt::Key_Enter);
      QCOMPARE(p.store.EntryCount, 5);
      QCOMPARE(p.store.EntryTable[4], p.store.EntryTable[3]);
      QCOMPARE(p.ledger.rows.back().total, QStringLiteral("260"));

      // Esc does nothing: no cancel button.
      QTest::keyClick(&p.form, Qt::Key_Escape);
      QVERIFY(p.form.isVisible());
    });
    p.form.openNew();
    QCOMPARE(p.dialogs.messages().size(), 0u);
    QVERIFY(p.dialogs.unscripted().isEmpty());
    QCOMPARE(p.store.EntryTable[3].Memo.left(6), QStringLiteral("午餐\r\n便當"));
  }

  void newEntryForAnotherAccountShowsThatLedger() {
    Program p;
    p.ledger.showAccount(3);  // the food ledger: the account picker keeps its choice
    p.cob3()->setCurrentIndex(kCard);
    p.ledger.calls.clear();
    p.whileOpen([&] {
      QCOMPARE(p.cob3()->currentIndex(), kCard);
      p.cob2()->setCurrentIndex(kFood);
      p.text2()->setText(QStringLiteral("300"));
      QTest::mouseClick(p.button("Cmd1"), Qt::LeftButton);
      QVERIFY(p.form.isVisible());
    });
    p.form.openNew();
    QCOMPARE(p.ledger.calls, QStringList{"show 5"});
    QCOMPARE(p.ledger.rows.back().amount, QStringLiteral("300"));  // the card's debt grows

    // From an asset's ledger the account picker follows the ledger.
    p.ledger.showAccount(1);
    p.whileOpen([&] { QCOMPARE(p.cob3()->currentIndex(), kCash); });
    p.form.openNew();
  }

  void editPrefillsAndFollowsTheEntry() {
    Program p;
    p.ledger.selected = 2;
    p.whileOpen([&] {
      QCOMPARE(p.form.windowTitle(), QStringLiteral("編輯資料"));
      QCOMPARE(p.store.EditIndex, 2);
      QCOMPARE(p.text1()->text(), QStringLiteral("2026/03/02"));
      QCOMPARE(p.text2()->text(), QStringLiteral("500"));
      QCOMPARE(p.text3()->toPlainText(), QStringLiteral("聚餐"));
      QCOMPARE(p.cob2()->currentIndex(), kFood);
      QCOMPARE(p.cob3()->currentIndex(), kCash);
      QCOMPARE(p.label("Label2"), QStringLiteral("支付給"));
      QCOMPARE(p.button("Cmd1")->text(), QStringLiteral("變更(&E)"));
      QCOMPARE(p.button("Cmd2")->text(), QStringLiteral("取消"));
      p.cob3()->setCurrentIndex(kCard);
      QTest::keyClick(p.text1(), Qt::Key_Return);
      QVERIFY(!p.form.isVisible());
    });
    p.form.openEdit(2);
    QCOMPARE(p.store.EntryCount, 3);
    QCOMPARE(p.store.EntryTable[2].DecreaseAccount.trimmed(), QStringLiteral("L-信用卡"));
    QCOMPARE(p.ledger.calls, (QStringList{"show 5", "select 2"}));
    QCOMPARE(p.ledger.selected, 2);

    // Changed within the shown ledger: rebuilt, the row selected, the dialog gone.
    p.ledger.calls.clear();
    p.whileOpen([&] {
      QCOMPARE(p.label("Label2"), QStringLiteral("支付給"));
      p.text2()->setText(QStringLiteral("450"));
      QTest::mouseClick(p.button("Cmd1"), Qt::LeftButton);
      QVERIFY(!p.form.isVisible());
    });
    p.form.openEdit(2);
    QCOMPARE(p.ledger.calls, (QStringList{"redraw", "select 2"}));
    QCOMPARE(p.ledger.rows.back().amount, QStringLiteral("450"));

    // Cancelling stores nothing.
    p.whileOpen([&] {
      p.text2()->setText(QStringLiteral("1"));
      QTest::mouseClick(p.button("Cmd2"), Qt::LeftButton);
    });
    p.form.openEdit(2);
    QCOMPARE(p.store.EntryTable[2].Amount, 450);
  }

  void refusalsKeepTheDialogOpenAndChangeNothing_data() {
    QTest::addColumn<int>("increase");
    QTest::addColumn<int>("decrease");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("message");
    QTest::newRow("no category") << -1 << kCash << "2026/3/1"
                                 << ""
                                 << "請選擇資產增加欄位";
    QTest::newRow("date") << kFood << kCash << "2026/13/01"
                          << "1"
                          << "不是正確的日期格式";
    QTest::newRow("separators") << kSalary << kCash << "2026/3/1"
                                << "3,000"
                                << numbers::amountErrorText(numbers::AmountError::NotANumber);
    QTest::newRow("beyond 32 bits")
        << kSalary << kCash << "2026/3/1"
        << "9999999999" << numbers::amountErrorText(numbers::AmountError::OutOfRange);
  }
  void refusalsKeepTheDialogOpenAndChangeNothing() {
    QFETCH(int, increase);
    QFETCH(int, decrease);
    QFETCH(QString, date);
    QFETCH(QString, amount);
    QFETCH(QString, message);
    Program p;
    p.whileOpen([&] {
      p.cob2()->setCurrentIndex(increase);
      p.cob3()->setCurrentIndex(decrease);
      p.text1()->setText(date);
      p.text2()->setText(amount);
      QTest::keyClick(p.text2(), Qt::Key_Return);
      QVERIFY(p.form.isVisible());
    });
    p.form.openNew();
    QCOMPARE(p.dialogs.messageTexts(), QStringList{message});
    QCOMPARE(p.dialogs.lastMessage().title, QStringLiteral("注意"));
    QCOMPARE(p.store.EntryCount, 3);
    QVERIFY(p.ledger.calls.isEmpty());
  }

  void pickersRefuseAndMoveOnOnce() {
    Program p;
    p.whileOpen([&] {
      p.cob2()->setCurrentIndex(kSalary);
      p.cob2()->setCurrentIndex(kEquityPos);
      QCOMPARE(p.cob2()->currentIndex(), -1);                 // never rests on Equity
      QCOMPARE(p.label("Label2"), QStringLiteral("進帳從"));  // labels untouched
      p.cob3()->setCurrentIndex(kSalary);
      QCOMPARE(p.cob3()->currentIndex(), kCash);
    });
    p.form.openNew();
    QCOMPARE(p.dialogs.messageTexts(),
             (QStringList{"這個欄位不能是Equity", "這個欄位不能是收入(I)或支出(E)"}));

    // A chart whose first account is an expense: the picker goes to the first paying account
    // with one message, not back to the expense in a loop.
    SwapValues(p.store.AccountTable[1], p.store.AccountTable[3]);  // E-餐飲費, Equity, A-現金
    p.store.FillAccountLists();
    QCOMPARE(p.cob3()->currentIndex(), 1);  // refilled on the first paying account, silently
    QCOMPARE(p.cob2()->currentIndex(), -1);
    QCOMPARE(p.cob2()->itemText(0), QStringLiteral("E-餐飲費") + QString(15, u' '));
    p.dialogs.clear();
    p.whileOpen([&] { p.cob3()->setCurrentIndex(0); });
    p.form.openNew();
    QCOMPARE(p.dialogs.messageTexts(), QStringList{"這個欄位不能是收入(I)或支出(E)"});
    QCOMPARE(p.cob3()->currentIndex(), 1);
  }

  void fullTableRefusesNewAndChanged() {
    Program p;
    p.store.EntryCount = kMaxEntries + 1;
    p.form.openNew();
    QCOMPARE(p.dialogs.messageTexts(), QStringList{kEntryLimitText});
    QCOMPARE(p.dialogs.shown().size(), 1u);  // no dialog shown

    p.dialogs.clear();
    const LedgerEntry before = p.store.EntryTable[2];
    p.whileOpen([&] {
      p.text2()->setText(QStringLiteral("1"));
      QTest::mouseClick(p.button("Cmd1"), Qt::LeftButton);
      QVERIFY(p.form.isVisible());
    });
    p.form.openEdit(2);
    QCOMPARE(p.dialogs.messageTexts(), QStringList{kEntryLimitText});
    QCOMPARE(p.store.EntryTable[2], before);
  }

  void keypadTodayAndClear() {
    Program p;
    p.whileOpen([&] {
      auto press = [&](int n) {
        QTest::mouseClick(p.button(qPrintable(QStringLiteral("CmdNum%1").arg(n))), Qt::LeftButton);
      };
      press(5);
      QCOMPARE(p.text2()->text(), QStringLiteral("5"));  // the 0 goes first
      press(10);
      QCOMPARE(p.text2()->text(), QString());
      press(10);
      QCOMPARE(p.text2()->text(), QString());
      press(1), press(2), press(10);
      QCOMPARE(p.text2()->text(), QStringLiteral("1"));
      p.text2()->setText(QStringLiteral("0"));
      press(10);
      QCOMPARE(p.text2()->text(), QString());

      p.text1()->clear();
      QTest::mouseClick(p.button("Cmd4"), Qt::LeftButton);
      QCOMPARE(p.text1()->text(), dates::formatShort(QDate(2026, 3, 14)));

      p.cob2()->setCurrentIndex(kFood);
      p.text3()->setPlainText(QStringLiteral("x"));
      QTest::mouseClick(p.button("Cmd3"), Qt::LeftButton);
      QCOMPARE(p.text2()->text(), QStringLiteral("0"));
      QCOMPARE(p.text3()->toPlainText(), QString());
      QCOMPARE(p.cob2()->currentIndex(), -1);
      QCOMPARE(p.label("Label2"), QStringLiteral("支付給"));
      QCOMPARE(p.cob3()->currentIndex(), kCash);
      QCOMPARE(p.text1()->text(), dates::formatShort(QDate(2026, 3, 14)));
    });
    p.form.openNew();
    QCOMPARE(p.store.EntryCount, 3);
  }

  void controlsStandWhereAPersonExpectsThem() {
    Program p;
    const QStringList names = {"Text1", "Cmd4", "Cob2", "Cob3", "Text2",
                               "Text3", "Cmd1", "Cmd2", "Cmd3", "CmdNum0"};
    QWidget* w = p.form.findChild<QWidget*>(names.first());
    for (const QString& next : names.mid(1)) {
      w = w->nextInFocusChain();
      while (!(w->focusPolicy() & Qt::TabFocus)) w = w->nextInFocusChain();
      QCOMPARE(w->objectName(), next);
    }
    QCOMPARE(p.form.size(), QSize(383, 247));
    QCOMPARE(p.button("CmdNum7")->geometry(), QRect(208, 48, 25, 25));
    QCOMPARE(p.button("CmdNum0")->geometry(), QRect(208, 120, 49, 25));
    QCOMPARE(p.button("CmdNum10")->text(), QStringLiteral("←"));
    QVERIFY(p.button("Cmd1")->isDefault());
  }
};

}  // namespace

QTEST_MAIN(TestInputForm)
#include "tst_inputform.moc"
