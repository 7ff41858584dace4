#include "platform/numbers.h"
#include "store/Module1.h"
#include "store/chart.h"
#include "store/ledger.h"
#include "ui/accounts/AccountForm.h"
#include "ui/forms.h"

#include "ScriptedDialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

class TestAccountForm : public QObject {
  Q_OBJECT

  // A new database: cash and Equity, the opening entry; a session with the editor runs the
  // steps against the shown dialog and leaves it with "完成(&D)" unless the steps did.
  struct Program {
    ScriptedDialogs dialogs;
    Module1 store{QStringLiteral("/tmp/none"), dialogs};
    QDialog* form = nullptr;

    Program() {
      store.clock().setToday(QDate(2026, 3, 14));
      store.AccountTable[1] = makeAccount(kCashName, kAsset);
      store.AccountTable[2] = makeAccount(kEquityName, kEquity);
      store.AccountCount = 3;
      store.EntryTable[1] = makeEntry("2026/03/01", "A-現金", "Equity", 1000, "初值");
      store.EntryCount = 2;
    }

    void session(const std::function<void()>& steps) {
      dialogs.onModal([this, steps](QDialog& d) {
        form = &d;
        d.show();
        steps();
        if (d.isVisible()) QTest::mouseClick(button("Cmd5"), Qt::LeftButton);
        form = nullptr;
        return 1;
      });
      openAccountEditor(store, nullptr);
    }

    template <typename T>
    T* find(const char* name) {
      return form->findChild<T*>(QLatin1String(name));
    }
    QPushButton* button(const char* name) { return find<QPushButton>(name); }
    QListWidget* list() { return find<QListWidget>("List1"); }
    QComboBox* nameBox() { return find<QComboBox>("Cob1"); }
    QLineEdit* valueBox() { return find<QLineEdit>("Text4"); }
    QStringList lines() {
      QStringList out;
      for (int i = 0; i < list()->count(); ++i) out << TrimTrailingSpaces(list()->item(i)->text());
      return out;
    }
    void choose(int row) { list()->setCurrentRow(row); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void typeName(const QString& name) { nameBox()->setEditText(name); }
  };

 private slots:
  void createsWithEnterAndStaysOpen() {
    Program p;
    QSignalSpy refills(&p.store, &Module1::accountListsRefilled);
    p.session([&] {
      QCOMPARE(p.form->focusWidget(), p.list());
      QCOMPARE(p.nameBox()->currentText(), QString());
      QCOMPARE(p.valueBox()->text(), QStringLiteral("0"));
      QCOMPARE(p.nameBox()->itemText(0), QStringLiteral("銀行存款"));

      p.typeName(QStringLiteral("銀行存款"));
      p.valueBox()->setText(QStringLiteral("5000"));
      QTest::keyClick(p.valueBox(), Qt::Key_Return);
      QVERIFY(p.form->isVisible());
      QCOMPARE(p.lines(), (QStringList{"A-現金", "Equity", "A-銀行存款"}));
      QCOMPARE(p.nameBox()->currentText(), QString());
      QCOMPARE(p.valueBox()->text(), QStringLiteral("0"));
      QCOMPARE(p.store.panel(Module1::AccountsPanel), QStringLiteral("帳戶數量：3"));
      QCOMPARE(p.store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：2"));

      // Enter in the name box creates too; the kind option stays chosen.
      p.typeName(QStringLiteral("股票"));
      QTest::keyClick(p.nameBox(), Qt::Key_Enter);
      QVERIFY(p.form->isVisible());
      QCOMPARE(p.lines().last(), QStringLiteral("A-股票"));
      QVERIFY(p.find<QRadioButton>("Option1")->isChecked());

      // Esc asks to edit the chosen account rather than closing.
      p.choose(0);
      QTest::keyClick(p.list(), Qt::Key_Escape);
      QVERIFY(p.form->isVisible());
      QCOMPARE(p.dialogs.lastMessage().text, QStringLiteral("現金帳戶不能編輯"));
      QCOMPARE(refills.count(), 0);

      // Enter in the list closes.
      QTest::keyClick(p.list(), Qt::Key_Return);
      QVERIFY(!p.form->isVisible());
    });
    QCOMPARE(refills.count(), 1);
    QCOMPARE(p.store.EntryCount, 4);
    QCOMPARE(p.store.EntryTable[3].Amount, 0);
    QCOMPARE(p.store.EntryTable[2].Amount, 5000);
    QVERIFY(p.dialogs.unscripted().isEmpty());
  }

  void kindOptionsOfferTheirNames_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("initialValue");
    QTest::newRow("asset") << "Option1"
                           << "銀行存款" << 2 << true;
    QTest::newRow("liability") << "Option2"
                               << "信用卡" << 2 << true;
    QTest::newRow("income") << "Option3"
                            << "薪資" << 5 << false;
    QTest::newRow("expense") << "Option4"
                             << "餐飲費" << 9 << false;
  }
  void kindOptionsOfferTheirNames() {
    QFETCH(QString, option);
    QFETCH(QString, first);
    QFETCH(int, count);
    QFETCH(bool, initialValue);
    Program p;
    p.session([&] {
      const char* other = option == QLatin1String("Option4") ? "Option1" : "Option4";
      p.find<QRadioButton>(other)->setChecked(true);
      p.typeName(QStringLiteral("typed"));
      QTest::mouseClick(p.find<QRadioButton>(qPrintable(option)), Qt::LeftButton);
      QCOMPARE(p.nameBox()->count(), count);
      QCOMPARE(p.nameBox()->itemText(0), first);
      QCOMPARE(p.nameBox()->currentText(), QString());
      QCOMPARE(p.valueBox()->isVisible(), initialValue);
      QCOMPARE(p.find<QLabel>("Label1")->isVisible(), initialValue);

      // Choosing a suggestion and creating gives the prefixed name, an entry only with a value.
      p.nameBox()->setCurrentIndex(0);
      p.valueBox()->setText(QStringLiteral("12"));
      p.click("Cmd0");
      QCOMPARE(p.lines().last(), kindPrefix(option.right(1).toInt()) + first);
    });
    QCOMPARE(p.store.EntryCount, initialValue ? 3 : 2);
  }

  void refusalsShowTheirMessageAndChangeNothing() {
    Program p;
    p.session([&] {
      p.typeName(QString());
      p.click("Cmd0");
      p.typeName(QStringLiteral("Equity"));
      p.click("Cmd0");
      p.typeName(QStringLiteral("現金"));
      p.click("Cmd0");
      p.typeName(QStringLiteral("股票"));
      p.valueBox()->setText(QStringLiteral("1e3"));
      p.click("Cmd0");
      QCOMPARE(p.lines(), (QStringList{"A-現金", "Equity"}));
      QCOMPARE(p.nameBox()->currentText(), QStringLiteral("股票"));  // kept for mending

      p.choose(1);
      p.click("Cmd3");
      p.click("Cmd4");
      p.choose(0);
      p.click("Cmd4");
    });
    QCOMPARE(p.dialogs.messageTexts(),
             (QStringList{"帳戶名稱尚未輸入", "已有相同名稱的帳戶", "已有相同名稱的帳戶",
                          "初值：" + numbers::amountErrorText(numbers::AmountError::NotANumber),
                          "Equity帳戶不能編輯", "Equity帳戶不能刪除", "現金帳戶不能刪除"}));
    for (const Message& m : p.dialogs.messages()) QCOMPARE(m.title, QStringLiteral("注意"));
    QCOMPARE(p.store.AccountCount, 3);
    QCOMPARE(p.store.EntryCount, 2);
  }

  void editRenamesThenAsksTheKind() {
    Program p;
    p.store.AccountTable[3] = makeAccount(QStringLiteral("E-餐飲費"), kExpense);
    p.store.AccountTable[4] = makeAccount(QStringLiteral("A-股票"), kAsset);
    p.store.AccountCount = 5;
    p.store.EntryTable[2] = makeEntry("2026/03/02", "E-餐飲費", "A-現金", 80, "");
    p.store.EntryCount = 3;
    p.dialogs.type(QStringLiteral("E-伙食費"));
    p.dialogs.cancelInput();                     // kind unchanged
    p.dialogs.type(QStringLiteral("E-伙食費"));  // A-股票 renamed to another's name: refused
    p.dialogs.cancelInput();                     // A-股票: name unchanged
    p.dialogs.type(QStringLiteral("2"));         // kind 2
    p.session([&] {
      p.click("Cmd3");  // nothing chosen: nothing asked
      p.choose(2);
      p.click("Cmd3");
      QCOMPARE(p.lines()[2], QStringLiteral("E-伙食費"));
      p.choose(3);
      p.click("Cmd3");
      p.click("Cmd3");
      QCOMPARE(p.lines()[3], QStringLiteral("A-股票"));
    });
    const auto& shown = p.dialogs.shown();
    QCOMPARE(shown[1].prompt, QStringLiteral("修改帳戶名稱"));
    QCOMPARE(shown[1].title, QStringLiteral("編輯"));
    QCOMPARE(shown[1].defaultText, QStringLiteral("E-餐飲費"));
    QCOMPARE(shown[2].prompt, kindPrompt());
    QCOMPARE(shown[2].defaultText, QStringLiteral("4"));
    QCOMPARE(p.dialogs.messageTexts(), QStringList{"已有相同名稱的帳戶"});
    QCOMPARE(p.store.EntryTable[2].IncreaseAccount, nameField("E-伙食費"));
    QCOMPARE(p.store.AccountTable[4].AccountKind, kLiability);
    QVERIFY(p.dialogs.allAnswersUsed());
  }

  void deleteAndMoveKeepListAndChartTogether() {
    Program p;
    p.session([&] {
      p.find<QRadioButton>("Option3")->setChecked(true);
      for (const char* name : {"薪資", "獎金"}) {
        p.typeName(QString::fromUtf8(name));
        p.click("Cmd0");
      }
      p.click("Cmd1");  // nothing chosen
      p.choose(0);
      p.click("Cmd1");  // first: stays
      p.choose(3);
      p.click("Cmd2");  // last: stays
      QCOMPARE(p.lines(), (QStringList{"A-現金", "Equity", "I-薪資", "I-獎金"}));
      p.click("Cmd1");
      QCOMPARE(p.list()->currentRow(), 2);
      p.click("Cmd1");
      p.click("Cmd1");
      QCOMPARE(p.lines(), (QStringList{"I-獎金", "A-現金", "Equity", "I-薪資"}));
      QCOMPARE(p.list()->currentRow(), 0);
      p.choose(3);
      p.click("Cmd4");
      QCOMPARE(p.lines(), (QStringList{"I-獎金", "A-現金", "Equity"}));
      QCOMPARE(p.store.panel(Module1::AccountsPanel), QStringLiteral("帳戶數量：3"));
    });
    QCOMPARE(accountListNames(p.store).first(), nameField("I-獎金"));
    QCOMPARE(p.store.AccountTable[1].AccountKind, kIncome);
    QVERIFY(p.dialogs.messages().empty());
  }

  void controlsStandWhereAPersonExpectsThem() {
    Program p;
    p.session([&] {
      QCOMPARE(p.form->windowTitle(), QStringLiteral("編輯帳戶"));
      QCOMPARE(p.form->size(), QSize(382, 208));
      QVERIFY(p.button("Cmd5")->isDefault());
      const QStringList order = {"List1",   "Cmd1",    "Cmd2",  "Cmd3",    "Cmd4",
                                 "Cmd5",    "Cmd0",    "Text4", "Option4", "Option3",
                                 "Option2", "Option1", "Cob1"};
      QWidget* w = p.list();
      for (const QString& next : order.mid(1)) {
        w = w->nextInFocusChain();
        while (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")) ||
               !(w->focusPolicy() & Qt::TabFocus)) {
          w = w->nextInFocusChain();
        }
        QCOMPARE(w->objectName(), next);
      }
    });
  }
};

}  // namespace

QTEST_MAIN(TestAccountForm)
#include "tst_accountform.moc"
