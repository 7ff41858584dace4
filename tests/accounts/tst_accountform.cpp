#include "Books.h"
#include "WindowSteps.h"
#include "accounts/chart.h"
#include "accounts/AccountForm.h"

#include <QListWidget>
#include <QSignalSpy>

namespace {

class TestAccountForm : public QObject {
  Q_OBJECT

  // A chart of cash, Equity, food and shares; a session runs the steps against the shown
  // editor and leaves it with "完成(&D)" unless the steps closed it.
  struct Program : testbooks::Books {
    QDialog* form = nullptr;

    Program() : Books({kCashName, kEquityName, "E-餐飲費", "A-股票"}) {
      store.clock().setToday(QDate(2026, 3, 14));
      entry("2026/03/01", "A-現金", "Equity", 1000, "初值");
      entry("2026/03/02", "E-餐飲費", "A-現金", 80);
    }
    void session(const std::function<void()>& steps) {
      dialogs.onModal([this, steps](QDialog& d) {
        form = &d;
        d.show();
        steps();
        if (d.isVisible()) click(d, "Cmd5");
        return 1;
      });
      openAccountEditor(store, nullptr);
    }
    QListWidget* list() { return child<QListWidget>(*form, "List1"); }
  };

 private slots:
  void enterCreatesAndStaysOpen() {
    Program p;
    QSignalSpy refills(&p.store, &Module1::accountListsRefilled);
    p.session([&] {
      auto* name = child<QComboBox>(*p.form, "Cob1");
      auto* value = child<QLineEdit>(*p.form, "Text4");
      name->setEditText(QStringLiteral("銀行存款"));
      value->setText(QStringLiteral("5000"));
      QTest::keyClick(value, Qt::Key_Return);
      QCOMPARE(name->currentText(), QString());
      QCOMPARE(value->text(), QStringLiteral("0"));
      name->setEditText(QStringLiteral("基金"));
      QTest::keyClick(name, Qt::Key_Enter);
      QVERIFY(p.form->isVisible());
      QCOMPARE(p.list()->count(), 6);
      p.list()->setCurrentRow(0);
      QTest::keyClick(p.list(), Qt::Key_Escape);  // asks to edit the chosen account
      QVERIFY(p.form->isVisible());
      QCOMPARE(refills.count(), 0);
      QTest::keyClick(p.list(), Qt::Key_Return);  // closes
      QVERIFY(!p.form->isVisible());
    });
    QCOMPARE(p.dialogs.messageTexts(), QStringList{"現金帳戶不能編輯"});
    QCOMPARE(refills.count(), 1);
    QCOMPARE(p.store.AccountTable[6], makeAccount(QStringLiteral("A-基金"), kAsset));
    QCOMPARE(p.store.EntryTable[3], makeEntry("2026/03/14", "A-銀行存款", "Equity", 5000, "初值"));
    QCOMPARE(p.store.EntryTable[4], makeEntry("2026/03/14", "A-基金", "Equity", 0, "初值"));
  }

  void editAsksTheKindOnlyAfterAnAcceptedName() {
    Program p;
    for (const char* answer : {"E-餐飲費", "", "2"}) p.dialogs.type(QString::fromUtf8(answer));
    p.session([&] {
      p.list()->setCurrentRow(3);
      click(*p.form, "Cmd3");  // another's name: refused, no kind asked
      click(*p.form, "Cmd3");  // the name kept, then kind 2
    });
    const auto& shown = p.dialogs.shown();
    QCOMPARE(shown.size(), 5u);  // the editor, name, refusal, name, kind
    QCOMPARE(shown[1].defaultText, QStringLiteral("A-股票"));
    QCOMPARE(shown[2].message.text, QStringLiteral("已有相同名稱的帳戶"));
    QCOMPARE(shown[4].defaultText, QStringLiteral("1"));
    QCOMPARE(p.store.AccountTable[4], makeAccount(QStringLiteral("A-股票"), kLiability));
    QVERIFY(p.dialogs.allAnswersUsed());
  }
};

}  // namespace

QTEST_MAIN(TestAccountForm)
#include "tst_accountform.moc"
