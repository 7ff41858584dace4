#include "WindowSteps.h"
#include "accounts/AccountForm.h"
#include "accounts/chart.h"

class TestAccountForm : public QObject {
  Q_OBJECT

  // A chart of cash, Equity, food and shares; the steps run against the shown editor, which is
  // left with "完成(&D)" unless they closed it.
  struct Program : testbooks::Books {
    Program() : Books({store::kCashName, store::kEquityName, "E-餐飲費", "A-股票"}) {}
    void session(const std::function<void(QDialog&, QListWidget*)>& steps) {
      whenShown(dialogs, [steps](QDialog& d) {
        steps(d, child<QListWidget>(d, AccountForm::kChart));
        if (d.isVisible()) click(d, AccountForm::kDone);
      });
      openAccountEditor(store, dialogs, nullptr);
    }
  };

 private slots:
  void enterCreatesAndStaysOpen() {
    Program p;
    QSignalSpy refills(&p.store, &book::Workspace::accountListsRefilled);
    p.session([&](QDialog& form, QListWidget* list) {
      auto* name = child<QComboBox>(form, AccountForm::kName);
      auto* value = child<QLineEdit>(form, AccountForm::kInitialValue);
      name->setEditText(QStringLiteral("銀行存款"));
      value->setText(QStringLiteral("5000"));
      QTest::keyClick(value, Qt::Key_Return);
      QCOMPARE(name->currentText() + value->text(), QStringLiteral("0"));
      name->setEditText(QStringLiteral("基金"));
      QTest::keyClick(name, Qt::Key_Enter);
      QCOMPARE(list->count(), 6);
      list->setCurrentRow(0);
      QTest::keyClick(list, Qt::Key_Escape);  // asks to edit the chosen account
      QVERIFY(form.isVisible());
      QCOMPARE(refills.count(), 0);
      QTest::keyClick(list, Qt::Key_Return);  // closes
      QVERIFY(!form.isVisible());
    });
    QCOMPARE(p.dialogs.messageTexts(), QStringList{"現金帳戶不能編輯"});
    QCOMPARE(refills.count(), 1);
    QCOMPARE(p.store.tables().accounts[6],
             store::makeAccount(QStringLiteral("A-基金"), store::kAsset));
  }

  void editAsksTheKindOnlyAfterAnAcceptedName() {
    Program p;
    for (const char* answer : {"E-餐飲費", "", "2"}) p.dialogs.type(QString::fromUtf8(answer));
    p.session([&](QDialog& form, QListWidget* list) {
      list->setCurrentRow(3);
      click(form, AccountForm::kEdit);  // another's name: refused, no kind asked
      click(form, AccountForm::kEdit);  // the name kept, then kind 2
    });
    QStringList asked;  // the editor, name, refusal, name, kind
    for (const auto& box : p.dialogs.shown()) asked << box.defaultText + box.message.text;
    QCOMPARE(asked, (QStringList{"", "A-股票", "已有相同名稱的帳戶", "A-股票", "1"}));
    QCOMPARE(p.store.tables().accounts[4],
             store::makeAccount(QStringLiteral("A-股票"), store::kLiability));
    QVERIFY(p.dialogs.allAnswersUsed());
  }
};

QTEST_MAIN(TestAccountForm)
#include "tst_accountform.moc"
