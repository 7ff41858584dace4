// A month of a household recorded through the main window, the account editor and the entry
// dialog, down to the bytes of the saved entry file.
#include "ScriptedDialogs.h"
#include "store/Module1.h"
#include "store/database.h"
#include "ui/main/MainForm.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QtEndian>

namespace {

// Picker positions once the chart is built.
constexpr int kCash = 0, kFood = 2, kSalary = 3, kBank = 4, kCard = 5;

// One record of the entry file from its parts: ASCII date, names and memo as code page 950
// hex, blank-padded to their widths; the amount little-endian; zero filler unless last.
QByteArray record(const char* date, const char* increase, const char* decrease, qint32 amount,
                  const char* memo, bool last = false) {
  auto field = [](const QByteArray& bytes, int width) {
    return bytes + QByteArray(width - bytes.size(), ' ');
  };
  QByteArray r = field(date, 10) + field(QByteArray::fromHex(increase), 20) +
                 field(QByteArray::fromHex(decrease), 20);
  char le[4];
  qToLittleEndian(amount, le);
  r += QByteArray(le, 4) + field(QByteArray::fromHex(memo), 50);
  return last ? r : r + QByteArray(24, '\0');
}

const char* const kCashHex = "412db27baaf7";          // A-現金
const char* const kEquityHex = "457175697479";        // Equity
const char* const kBankHex = "412dbbc8a6e6a673b4da";  // A-銀行存款
const char* const kCardHex = "4c2dab48a5cea564";      // L-信用卡
const char* const kFoodHex = "452dc05cb6bcb64f";      // E-餐飲費
const char* const kSalaryHex = "492dc17eb8ea";        // I-薪資
const char* const kInitialHex = "aaecadc8";           // 初值

class TestHousehold : public QObject {
  Q_OBJECT

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
  MainForm window{store};

  QTreeWidget* ledger() { return window.findChild<QTreeWidget*>(QStringLiteral("Liv1")); }
  QListWidget* selector() { return window.findChild<QListWidget*>(QStringLiteral("Cob1")); }
  void click(QWidget* parent, const char* name) {
    QTest::mouseClick(parent->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
  }

  // Column `column` of every ledger row, top to bottom.
  QStringList column(int column) {
    QStringList out;
    for (int i = 0; i < ledger()->topLevelItemCount(); ++i) {
      out << ledger()->topLevelItem(i)->text(column);
    }
    return out;
  }
  // Steps to run against the next window shown modally.
  void modal(std::function<void(QDialog&)> steps) {
    dialogs.onModal([steps](QDialog& d) {
      d.show();
      steps(d);
      return 1;
    });
  }
  int selectedSlot() {
    const auto items = ledger()->selectedItems();
    return items.isEmpty() ? 0 : items.first()->text(5).toInt();
  }

  // Fills the entry dialog and runs OK with Enter in the amount box.
  static void enter(QDialog& d, int category, int account, const QString& date, const char* amount,
                    const QString& memo) {
    d.findChild<QComboBox*>(QStringLiteral("Cob2"))->setCurrentIndex(category);
    d.findChild<QComboBox*>(QStringLiteral("Cob3"))->setCurrentIndex(account);
    if (!date.isEmpty()) d.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(date);
    d.findChild<QPlainTextEdit*>(QStringLiteral("Text3"))->setPlainText(memo);
    auto* amountBox = d.findChild<QLineEdit*>(QStringLiteral("Text2"));
    amountBox->setText(QLatin1String(amount));
    QTest::keyClick(amountBox, Qt::Key_Return);
  }

 private slots:
  void aMonthOfAHousehold() {
    store.clock().setToday(QDate(2026, 3, 14));
    store.UserName = QStringLiteral("user1");
    store.DataBaseName = QStringLiteral("2026");
    QVERIFY(QDir().mkpath(store.databaseFolder()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    dialogs.type(QStringLiteral("20000"));  // the starting cash
    QVERIFY(!LoadDatabase(store));
    store.FillAccountLists();

    // The chart: an expense, an income, a bank account with 50000 and a credit card.
    modal([&](QDialog& d) {
      struct New {
        const char* option;
        QString name;
        const char* value;
      };
      for (const New& n : {New{"Option4", QStringLiteral("餐飲費"), "0"},
                           New{"Option3", QStringLiteral("薪資"), "0"},
                           New{"Option1", QStringLiteral("銀行存款"), "50000"},
                           New{"Option2", QStringLiteral("信用卡"), "0"}}) {
        d.findChild<QRadioButton*>(QLatin1String(n.option))->setChecked(true);
        d.findChild<QComboBox*>(QStringLiteral("Cob1"))->setEditText(n.name);
        auto* value = d.findChild<QLineEdit*>(QStringLiteral("Text4"));
        value->setText(QLatin1String(n.value));
        QTest::keyClick(n.option[6] <= '2' ? static_cast<QWidget*>(value)
                                           : d.findChild<QComboBox*>(QStringLiteral("Cob1")),
                        Qt::Key_Return);
      }
      click(&d, "Cmd5");
    });
    click(&window, "Cmd0");
    QCOMPARE(selector()->count(), 6);
    QCOMPARE(selector()->currentRow(), 0);
    QCOMPARE(store.panel(Module1::AccountsPanel), QStringLiteral("帳戶數量：6"));
    QCOMPARE(store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：3"));

    // Two meals paid in cash: the cash ledger grows row by row while the dialog stays.
    modal([&](QDialog& d) {
      enter(d, kFood, kCash, {}, "350", QStringLiteral("午餐"));
      QCOMPARE(column(3).last(), QStringLiteral("19650"));
      enter(d, kFood, kCash, QStringLiteral("2026/3/2"), "1200", QStringLiteral("晚餐"));
      QCOMPARE(column(2).last(), QStringLiteral("-1200"));
      QCOMPARE(column(3).last(), QStringLiteral("18450"));
      QVERIFY(d.isVisible());
      click(&d, "Cmd2");
    });
    click(&window, "Cmd1");

    // The salary into the bank, the card paid from the bank, a meal on the card.
    modal([&](QDialog& d) {
      enter(d, kSalary, kBank, {}, "42000", QStringLiteral("三月薪資"));
      QCOMPARE(selector()->currentRow(), kBank);
      enter(d, kCard, kBank, {}, "3000", QStringLiteral("繳卡費"));
      QCOMPARE(column(2), (QStringList{"50000", "42000", "-3000"}));
      QCOMPARE(column(3), (QStringList{" 50000", " 92000", "89000"}));  // the last one appended
      enter(d, kFood, kCard, {}, "800", QStringLiteral("聚餐"));
      QCOMPARE(selector()->currentRow(), kCard);
      click(&d, "Cmd2");
    });
    click(&window, "Cmd1");
    QCOMPARE(store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：8"));

    // The dinner was paid by card after all: edit it from the cash ledger.
    selector()->setCurrentRow(kCash);
    QCOMPARE(column(5), (QStringList{"1", "4", "5"}));
    QTreeWidgetItem* dinner = ledger()->topLevelItem(2);
    ledger()->setCurrentItem(dinner);
    modal([&](QDialog& d) {
      QCOMPARE(d.windowTitle(), QStringLiteral("編輯資料"));
      QCOMPARE(d.findChild<QLineEdit*>(QStringLiteral("Text2"))->text(), QStringLiteral("1200"));
      d.findChild<QComboBox*>(QStringLiteral("Cob3"))->setCurrentIndex(kCard);
      click(&d, "Cmd1");
      QVERIFY(!d.isVisible());
    });
    const QPoint inDinner = ledger()->visualItemRect(dinner).center();
    QTest::mouseClick(ledger()->viewport(), Qt::LeftButton, {}, inDinner);
    QTest::mouseDClick(ledger()->viewport(), Qt::LeftButton, {}, inDinner);
    QCOMPARE(selector()->currentRow(), kCard);
    QCOMPARE(column(5), (QStringList{"3", "5", "7", "8"}));
    QCOMPARE(column(3), (QStringList{" 0", " 1200", "-1800", "-1000"}));
    QCOMPARE(selectedSlot(), 5);

    // Both meals on the card go: tick them and delete.
    ledger()->topLevelItem(1)->setCheckState(0, Qt::Checked);
    ledger()->topLevelItem(3)->setCheckState(0, Qt::Checked);
    dialogs.answer(Answer::Yes);
    click(&window, "Cmd3");
    QCOMPARE(column(5), (QStringList{"3", "6"}));
    QCOMPARE(column(3), (QStringList{" 0", "-3000"}));
    QCOMPARE(store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：6"));
    selector()->setCurrentRow(kCash);
    QCOMPARE(column(3), (QStringList{" 20000", " 19650"}));
    selector()->setCurrentRow(kBank);
    QCOMPARE(column(3), (QStringList{" 50000", " 92000", " 89000"}));

    QVERIFY(window.close());
    QFile saved(store.databaseFolder() + QStringLiteral("/Main.dat"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray expected =
        record("2026/03/14", kCashHex, kEquityHex, 20000, kInitialHex) +
        record("2026/03/14", kBankHex, kEquityHex, 50000, kInitialHex) +
        record("2026/03/14", kCardHex, kEquityHex, 0, kInitialHex) +
        record("2026/03/14", kFoodHex, kCashHex, 350, "a4c8c05c") +              // 午餐
        record("2026/03/14", kSalaryHex, kBankHex, 42000, "a454a4ebc17eb8ea") +  // 三月薪資
        record("2026/03/14", kCardHex, kBankHex, 3000, "c3baa564b64f", true);    // 繳卡費
    QCOMPARE(saved.readAll().toHex(' '), expected.toHex(' '));
    QVERIFY(dialogs.unscripted().isEmpty());
    QCOMPARE(dialogs.messageTexts(), QStringList{"確定刪除資料嗎？"});
  }
};

}  // namespace

QTEST_MAIN(TestHousehold)
#include "tst_household.moc"
