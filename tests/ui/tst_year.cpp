// A household's year through the whole program, as a person goes through it: a first start on
// an empty installation, a new user and a new database, the chart, entries in several months,
// the statements at two dates, closing the books at mid-year, logging out and in again and
// finding the book as it was left.
#include "WindowSteps.h"
#include "accounts/AccountForm.h"
#include "catalogue/OpenForm.h"
#include "entries/InputForm.h"
#include "reports/statements/BSForm.h"
#include "users/LoginForm.h"
#include "users/NewUserForm.h"

// Picker positions once the chart is built.
constexpr int kCash = 0, kFood = 2, kSalary = 3, kBank = 4, kCard = 5;

class TestYear : public QObject {
  Q_OBJECT

 private slots:
  void aYearOfAHousehold();
};

void TestYear::aYearOfAHousehold() {
  MainWindowBook book;
  auto& [dir, dialogs, store, main, session] = book;
  const QString user = QStringLiteral("家計"), password = QStringLiteral("1234");
  // The net worth and balance lines of the statements at `date`.
  const auto statements = [&](const QString& date) {
    QString lines;
    whenShown(dialogs, [&](QDialog& d) {
      typeIn(d, BSForm::kDate, date);
      click(d, BSForm::kShow);
      lines = child<QLineEdit>(d, BSForm::kNetWorth)->text().trimmed() + " / " +
              child<QLineEdit>(d, BSForm::kBalance)->text();
      click(d, BSForm::kOk);
    });
    click(main, MainForm::kStatements);
    return lines;
  };
  store.clock().setToday(QDate(2025, 1, 1));

  // First start: no user yet. One is created from the login window, logs in and creates the
  // year's database with 30000 in cash.
  whenShown(dialogs, [](QDialog& login) {
    click(login, LoginForm::kCreate);
    click(login, LoginForm::kOk);
  });
  whenShown(dialogs, [&](QDialog& newUser) {
    child<QLineEdit>(newUser, NewUserForm::kUserName)
        ->insert(user);  // as an input method commits it
    typeIn(newUser, NewUserForm::kPassword, password);
    click(newUser, NewUserForm::kOk);
  });
  whenShown(dialogs, [&](QDialog& list) {
    dialogs.type(QStringLiteral("2025"));
    click(list, OpenForm::kAdd);
    dialogs.type(QStringLiteral("30000"));
    click(list, OpenForm::kOpen);
  });
  QVERIFY(session.start());
  QCOMPARE(store.panel(book::Workspace::DatabasePanel), QStringLiteral("資料庫名稱：2025"));

  // The chart, then the year's entries typed with their dates in one sitting of the dialog.
  whenShown(dialogs, [](QDialog& d) {  // each account with Enter in its name box
    for (const auto& [kind, name, value] : {std::tuple{AccountForm::kKinds[3], "餐飲費", "0"},
                                            {AccountForm::kKinds[2], "薪資", "0"},
                                            {AccountForm::kKinds[0], "銀行存款", "100000"},
                                            {AccountForm::kKinds[1], "信用卡", "0"}}) {
      child<QRadioButton>(d, kind)->setChecked(true);
      child<QComboBox>(d, AccountForm::kName)->setEditText(QString::fromUtf8(name));
      child<QLineEdit>(d, AccountForm::kInitialValue)->setText(value);
      QTest::keyClick(child(d, AccountForm::kName), Qt::Key_Return);
    }
    click(d, AccountForm::kDone);
  });
  click(main, MainForm::kEditAccounts);
  whenShown(dialogs, [](QDialog& d) {  // each entry with Enter in the amount box
    for (const auto& [category, account, amount, memo, date] :
         {std::tuple{kSalary, kBank, "50000", "一月薪資", "2025/01/25"},
          {kFood, kCash, "1200", "情人節晚餐", "2025/2/14"},
          {kFood, kCard, "4500", "請客", "2025/03/10"},
          {kCard, kBank, "4500", "繳卡費", "2025-04-05"},
          {kFood, kCash, "800", "半年聚餐", "2025/06/30"},
          {kSalary, kBank, "50000", "七月薪資", "2025/07/25"},
          {kFood, kCard, "2000", "中秋", "2025/10/02"},
          {kFood, kCash, "600", "萬聖節", "2025/10/31"},
          {kCash, kBank, "10000", "提款", "2025/11/20"}}) {
      child<QComboBox>(d, InputForm::kIncrease)->setCurrentIndex(category);
      child<QComboBox>(d, InputForm::kDecrease)->setCurrentIndex(account);
      typeIn(d, InputForm::kDate, date);
      child<QPlainTextEdit>(d, InputForm::kMemo)->setPlainText(QString::fromUtf8(memo));
      child<QLineEdit>(d, InputForm::kAmount)->setText(amount);
      QTest::keyClick(child(d, InputForm::kAmount), Qt::Key_Return);
    }
    QVERIFY(d.isVisible());
    click(d, InputForm::kClose);
  });
  click(main, MainForm::kNew);
  QCOMPARE(store.panel(book::Workspace::EntriesPanel), QStringLiteral("資料筆數：12"));

  // The statements at the year's end and at mid-year.
  QCOMPARE(statements("2025/12/31"), QStringLiteral("財產淨值  220900 / 結餘  90900"));
  QCOMPARE(statements("2025/6/30"), QStringLiteral("財產淨值  173500 / 結餘  43500"));

  // Closing the books at mid-year, the date asked with today's offered: a cancelled box or a
  // date that is none changes nothing. The entry of 06/30 goes into the carried balances, the net
  // worth stays, the income statement starts again.
  dialogs.clear();
  for (const char* date : {"", "abc", "2025/6/30"}) {
    dialogs.type(QString::fromUtf8(date));
    click(main, MainForm::kCloseBooks);
  }
  QCOMPARE(dialogs.shown().at(0).defaultText, QStringLiteral("2025/01/01"));
  QCOMPARE(dialogs.messages(), (std::vector{refusal(QStringLiteral("不是正確的日期格式")),
                                            completion(QStringLiteral("資料結帳完成"))}));
  QCOMPARE(store.panel(book::Workspace::EntriesPanel), QStringLiteral("資料筆數：7"));
  QVERIFY(child<QTreeWidget>(main, MainForm::kLedger)->selectedItems().isEmpty());
  QCOMPARE(statements("2025/12/31"), QStringLiteral("財產淨值  220900 / 結餘  47400"));

  // Log out (which saves), log in again and reopen the year: the book is as it was left.
  const QByteArray before =
      store::entriesFileBytes(store.tables().entries, store.tables().entryCount);
  whenShown(dialogs, [&](QDialog& login) {
    store.tables().entryCount = 1;  // saved by now: what comes back must come from the files
    QCOMPARE(child<QLineEdit>(login, LoginForm::kUserName)->text(), user);
    QTest::keyClicks(child(login, LoginForm::kPassword), password);
    click(login, LoginForm::kOk);
  });
  whenShown(dialogs, [](QDialog& list) {
    QVERIFY(!child(list, OpenForm::kCancel)->isEnabled());
    click(list, OpenForm::kOpen);
  });
  child<QAction>(main, MainForm::kLogOut)->trigger();
  QCOMPARE(store::entriesFileBytes(store.tables().entries, store.tables().entryCount), before);
  QCOMPARE(statements("2025/12/31"), QStringLiteral("財產淨值  220900 / 結餘  47400"));
  QVERIFY(dialogs.allAnswersUsed() && dialogs.unscripted().isEmpty());
}

QTEST_MAIN(TestYear)
#include "tst_year.moc"
