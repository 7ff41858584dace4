// A month of a household recorded through the main window, the account editor and the entry
// dialog, down to the bytes of the saved entry file.
#include "WindowSteps.h"
#include "store/Module1.h"
#include "store/database.h"
#include "ui/main/MainForm.h"
#include "ui/main/Session.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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
  Session session{store, window};

  // Opens a window with the main window's `button`, runs `steps` in it and closes it.
  void modal(const char* button, const char* close, std::function<void(QDialog&)> steps) {
    whenShown(dialogs, [close, steps](QDialog& d) { steps(d), click(d, close); });
    click(window, button);
  }

 private slots:
  void aMonthOfAHousehold() {
    store.clock().setToday(QDate(2026, 3, 14));
    store.UserName = QStringLiteral("user1");
    store.DataBaseName = QStringLiteral("2026");
    QVERIFY(QDir().mkpath(store.databaseFolder()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!LoadDatabase(store, 20000));
    store.FillAccountLists();

    // The chart: an expense, an income, a bank account with 50000 and a credit card.
    modal("Cmd0", "Cmd5", [](QDialog& d) {
      addAccounts(d, {{"Option4", "餐飲費", "0"},
                      {"Option3", "薪資", "0"},
                      {"Option1", "銀行存款", "50000"},
                      {"Option2", "信用卡", "0"}});
    });
    // Entries with Enter in the amount box, the dialog staying open.
    modal("Cmd1", "Cmd2", [](QDialog& d) {
      typeEntries(d, {{kFood, kCash, "350", "午餐"},
                      {kSalary, kBank, "42000", "三月薪資"},
                      {kCard, kBank, "3000", "繳卡費"}});
    });

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
    QVERIFY(dialogs.unscripted().isEmpty() && dialogs.messages().empty());
  }
};

}  // namespace

QTEST_MAIN(TestHousehold)
#include "tst_household.moc"
