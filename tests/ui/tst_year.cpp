// A household's year through the whole program, as a person goes through it: a first start on
// an empty installation, a new user and a new database, the chart, entries in several months,
// the statements at two dates, the journal export, closing the books at mid-year, deleting a
// month, logging out and in again and finding the book as it was left.
#include "ScriptedDialogs.h"
#include "platform/codepage.h"
#include "store/Module1.h"
#include "ui/main/MainForm.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

namespace {

// Picker positions once the chart is built.
constexpr int kCash = 0, kFood = 2, kSalary = 3, kBank = 4, kCard = 5;

const QString kUser = QStringLiteral("家計");
const QString kPassword = QStringLiteral("1234");

template <class T = QWidget>
T* child(QObject& window, const char* name) {
  T* found = window.findChild<T*>(QLatin1String(name));
  if (!found) qFatal("no control %s", name);
  return found;
}

void click(QWidget& window, const char* name) {
  QTest::mouseClick(child<QAbstractButton>(window, name), Qt::LeftButton);
}

void typeInto(QWidget& window, const char* name, const QString& text) {
  child<QLineEdit>(window, name)->clear();
  QTest::keyClicks(child(window, name), text);
}

struct Entry {
  const char* date;
  int category, account;
  const char *amount, *memo;
};

// The year's entries besides the opening balances, as typed into the entry dialog.
const Entry kYear[] = {
    {"2025/01/25", kSalary, kBank, "50000", "一月薪資"},
    {"2025/2/14", kFood, kCash, "1200", "情人節晚餐"},
    {"2025/03/10", kFood, kCard, "4500", "請客"},
    {"2025-04-05", kCard, kBank, "4500", "繳卡費"},
    {"2025/06/30", kFood, kCash, "800", "半年聚餐"},
    {"2025/07/25", kSalary, kBank, "50000", "七月薪資"},
    {"2025/10/02", kFood, kCard, "2000", "中秋"},
    {"2025/10/31", kFood, kCash, "600", "萬聖節"},
    {"2025/11/20", kCash, kBank, "10000", "提款"},
};

class TestYear : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  ScriptedDialogs dialogs_;
  Module1 store_{dir_.path(), dialogs_};
  MainForm main_{store_};

  // Steps to run against the next window shown modally.
  void whenShown(std::function<void(QDialog&)> steps) {
    dialogs_.onModal([steps](QDialog& d) {
      d.show();
      steps(d);
      return d.result();
    });
  }

  QTreeWidget* ledger() { return child<QTreeWidget>(main_, "Liv1"); }
  QStringList ledgerColumn(int column) {
    QStringList out;
    for (int i = 0; i < ledger()->topLevelItemCount(); ++i) {
      out << ledger()->topLevelItem(i)->text(column);
    }
    return out;
  }
  std::vector<LedgerEntry> entries() const {
    std::vector<LedgerEntry> out;
    for (int i = 1; i < store_.EntryCount; ++i) out.push_back(store_.EntryTable[i]);
    return out;
  }

  // The net worth and balance lines of the statements at `date` (today when empty).
  QString statements(const QString& date = QString()) {
    QString lines;
    whenShown([&](QDialog& d) {
      if (!date.isEmpty()) {
        typeInto(d, "Text7", date);
        click(d, "Cmd4");
      }
      lines = child<QLineEdit>(d, "Text5")->text().trimmed() + " / " +
              child<QLineEdit>(d, "Text6")->text();
      click(d, "Cmd1");
    });
    click(main_, "Cmd4");
    return lines;
  }

 private slots:
  void aYearOfAHousehold();
};

void TestYear::aYearOfAHousehold() {
  store_.clock().setToday(QDate(2025, 1, 1));

  // First start: no user yet. One is created from the login window, logs in and creates the
  // year's database with 30000 in cash.
  whenShown([](QDialog& login) {
    QCOMPARE(child<QLineEdit>(login, "Text1")->text(), QString());
    click(login, "Cmd1");
    click(login, "cmdOK");
  });
  whenShown([](QDialog& newUser) {
    child<QLineEdit>(newUser, "Text1")->insert(kUser);  // as an input method commits it
    typeInto(newUser, "Text2", kPassword);
    click(newUser, "Cmd1");
  });
  whenShown([&](QDialog& list) {
    QCOMPARE(child<QListWidget>(list, "List1")->count(), 0);
    dialogs_.type(QStringLiteral("2025"));
    click(list, "Cmd5");
    dialogs_.type(QStringLiteral("30000"));
    click(list, "Cmd1");
  });
  QVERIFY(main_.start());
  QCOMPARE(store_.panel(Module1::UserPanel), QStringLiteral("使用者：") + kUser);
  QCOMPARE(store_.panel(Module1::DatabasePanel), QStringLiteral("資料庫名稱：2025"));
  QCOMPARE(ledgerColumn(3), QStringList{" 30000"});

  // The chart: an expense, an income, a bank account with 100000 and a credit card.
  whenShown([](QDialog& d) {
    struct New {
      const char *option, *name, *value;
    };
    for (const New& n : {New{"Option4", "餐飲費", "0"}, New{"Option3", "薪資", "0"},
                         New{"Option1", "銀行存款", "100000"}, New{"Option2", "信用卡", "0"}}) {
      click(d, n.option);
      child<QComboBox>(d, "Cob1")->setEditText(QString::fromUtf8(n.name));
      child<QLineEdit>(d, "Text4")->setText(QLatin1String(n.value));
      click(d, "Cmd0");
    }
    click(d, "Cmd5");
  });
  click(main_, "Cmd0");
  QCOMPARE(child<QListWidget>(main_, "Cob1")->count(), 6);
  QCOMPARE(store_.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：3"));

  // The year's entries, typed with their dates in one sitting of the entry dialog.
  whenShown([](QDialog& d) {
    for (const Entry& e : kYear) {
      child<QComboBox>(d, "Cob2")->setCurrentIndex(e.category);
      child<QComboBox>(d, "Cob3")->setCurrentIndex(e.account);
      typeInto(d, "Text1", QString::fromUtf8(e.date));
      child<QPlainTextEdit>(d, "Text3")->setPlainText(QString::fromUtf8(e.memo));
      typeInto(d, "Text2", QLatin1String(e.amount));
      QTest::keyClick(child(d, "Text2"), Qt::Key_Return);
    }
    QVERIFY(d.isVisible());
    click(d, "Cmd2");
  });
  click(main_, "Cmd1");
  QCOMPARE(store_.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：12"));
  QVERIFY2(dialogs_.messages().empty(), qPrintable(dialogs_.messageTexts().join(", ")));

  // The statements at the year's end (today) and at mid-year.
  store_.clock().setToday(QDate(2025, 12, 31));
  QCOMPARE(statements(), QStringLiteral("財產淨值  220900 / 結餘  90900"));
  QCOMPARE(statements("2025/6/30"), QStringLiteral("財產淨值  173500 / 結餘  43500"));

  // The journal as a comma-separated file.
  whenShown([](QDialog& d) {
    QCOMPARE(child<QTreeView>(d, "Liv1")->model()->rowCount(), 12);
    click(d, "Cmd1");
    click(d, "Cmd0");
  });
  click(main_, "Cmd6");
  QCOMPARE(dialogs_.lastMessage(), done(QStringLiteral("已存成2025.csv檔")));
  QFile csv(store_.CsvFolder + QStringLiteral("2025.csv"));
  QVERIFY(csv.open(QIODevice::ReadOnly));
  const QStringList csvLines = codepage::decode(csv.readAll()).split(QStringLiteral("\r\n"));
  QCOMPARE(csvLines.size(), 13);  // the last line ends too
  QCOMPARE(csvLines[0], QStringLiteral("2025/01/01,A-現金,Equity,30000,初值"));
  QCOMPARE(csvLines[6], QStringLiteral("2025/04/05,L-信用卡,A-銀行存款,4500,繳卡費"));

  // Closing the books at mid-year: the entry of 06/30 goes into the carried balances, the
  // net worth stays, the income statement starts again.
  dialogs_.type(QStringLiteral("2025/6/30"));
  click(main_, "Cmd7");
  QCOMPARE(dialogs_.lastMessage(), done(QStringLiteral("資料結帳完成")));
  QCOMPARE(store_.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：7"));
  QVERIFY(ledger()->selectedItems().isEmpty());
  QCOMPARE(statements(), QStringLiteral("財產淨值  220900 / 結餘  47400"));
  QCOMPARE(statements("2025/06/30"), QStringLiteral("財產淨值  173500 / 結餘  0"));

  // October goes, the range typed the other way round.
  whenShown([](QDialog& d) {
    click(d, "Option3");
    typeInto(d, "Text1", QStringLiteral("2025/10/31"));
    typeInto(d, "Text2", QStringLiteral("2025/10/1"));
    click(d, "Cmd1");
    QCOMPARE(child<QLineEdit>(d, "Text2")->text(), QStringLiteral("2025/10/01"));
    click(d, "Cmd0");
  });
  click(main_, "Cmd5");
  QCOMPARE(dialogs_.lastMessage(), done(QStringLiteral("資料刪除完成")));
  QCOMPARE(store_.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：5"));
  child<QListWidget>(main_, "Cob1")->setCurrentRow(kCash);
  QCOMPARE(ledgerColumn(0), (QStringList{"2025/11/20", "2025/06/30"}));
  QCOMPARE(ledgerColumn(3), (QStringList{" 10000", " 38000"}));
  QCOMPARE(ledger()->selectedItems().size(), 1);

  // Log out (which saves), log in again and reopen the year: the book is as it was left.
  const std::vector<LedgerEntry> before = entries();
  whenShown([this](QDialog& login) {
    // Saved by now: what comes back must come from the files.
    store_.EntryTable.clear();
    store_.EntryCount = 1;
    QCOMPARE(child<QLineEdit>(login, "Text1")->text(), kUser);
    QTest::keyClicks(child(login, "Text2"), kPassword);
    click(login, "cmdOK");
  });
  whenShown([](QDialog& list) {
    QCOMPARE(child<QListWidget>(list, "List1")->count(), 1);
    QCOMPARE(child<QListWidget>(list, "List1")->item(0)->text(), QStringLiteral("2025"));
    QVERIFY(!child(list, "Cmd0")->isEnabled());
    click(list, "Cmd1");
  });
  child<QAction>(main_, "Menu_Logout")->trigger();
  QCOMPARE(store_.panel(Module1::DatabasePanel), QStringLiteral("資料庫名稱：2025"));
  QCOMPARE(entries(), before);
  QCOMPARE(entries().back().Memo.trimmed(), QStringLiteral("初值"));
  QCOMPARE(ledgerColumn(3), (QStringList{" 10000", " 38000"}));
  QCOMPARE(statements(), QStringLiteral("財產淨值  223500 / 結餘  50000"));

  // Ending the program writes the same five entries once more.
  QVERIFY(main_.close());
  QCOMPARE(QFileInfo(store_.databaseFolder() + QStringLiteral("/Main.dat")).size(), 4 * 128 + 104);
  QFile ini(store_.settingsFile());
  QVERIFY(ini.open(QIODevice::ReadOnly));
  QCOMPARE(codepage::decode(ini.readAll()), QStringLiteral("[UserName]=") + kUser + "\r\n");
  QVERIFY(dialogs_.allAnswersUsed());
  QVERIFY2(dialogs_.unscripted().isEmpty(), qPrintable(dialogs_.unscripted().join(", ")));
}

}  // namespace

QTEST_MAIN(TestYear)
#include "tst_year.moc"
