// Undo and redo from the main window: the 編輯 menu, its keys, and what the window shows after.
#include "WindowSteps.h"
#include "store/Module1.h"
#include "accounts/chart.h"
#include "ui/main/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

// A small open book shown on its meals account.
struct Program {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
  MainForm window{store};
  QTreeWidget* ledger = child<QTreeWidget>(window, "Liv1");
  QListWidget* selector = child<QListWidget>(window, "Cob1");
  QAction* undo = child<QAction>(window, "Undo");
  QAction* redo = child<QAction>(window, "Redo");

  Program() {
    const std::pair<const char*, qint16> accounts[] = {{"A-現金", kAsset},
                                                       {"Equity", kEquity},
                                                       {"E-交通", kExpense},
                                                       {"E-餐飲", kExpense},
                                                       {"I-薪水", kIncome}};
    for (auto [name, kind] : accounts)
      store.AccountTable[store.AccountCount++] = makeAccount(name, kind);
    store.EntryTable[store.EntryCount++] =
        makeEntry("2025/01/01", "A-現金", "Equity", 1000, "初值");
    for (int month = 1; month <= 3; ++month) {
      for (int day : {5, 20}) {
        store.EntryTable[store.EntryCount++] =
            makeEntry(QStringLiteral("2025/%1/%2")
                          .arg(month, 2, 10, QLatin1Char('0'))
                          .arg(day, 2, 10, QLatin1Char('0')),
                      "E-餐飲", "A-現金", 100 * month + day, "飯");
      }
    }
    store.showEntryCount();
    window.show();
    store.FillAccountLists();
    selector->setCurrentRow(3);
    QApplication::setActiveWindow(&window);
  }
  QStringList numbers() const {
    QStringList shown;
    for (int i = 0; i < ledger->topLevelItemCount(); ++i)
      shown.append(ledger->topLevelItem(i)->text(5));
    return shown;
  }
  void press(QKeyCombination keys) { QTest::keySequence(&window, QKeySequence(keys)); }
};

}  // namespace

class HistoryWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void keysUndoAndRedoABulkDeleteInTheLedger() {
    Program p;
    const QStringList all{"2", "3", "4", "5", "6", "7"};
    QCOMPARE(p.numbers(), all);
    QVERIFY(!p.undo->isEnabled() && !p.redo->isEnabled());
    QCOMPARE(p.undo->text(), QStringLiteral("復原(&U)"));

    // February and March go through the bulk delete window.
    whenShown(p.dialogs, [](QDialog& d) {
      click(d, "Option3");
      child<QLineEdit>(d, "Text1")->setText("2025/02/01");
      child<QLineEdit>(d, "Text2")->setText("2025/03/31");
      click(d, "Cmd1");
      click(d, "Cmd0");
    });
    click(p.window, "Cmd5");
    const QStringList kept{"2", "3"};
    QCOMPARE(p.numbers(), kept);
    QVERIFY(p.undo->isEnabled() && !p.redo->isEnabled());
    QCOMPARE(p.undo->text(), QStringLiteral("復原 多筆刪除(&U)"));

    p.press(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(p.numbers(), all);
    QCOMPARE(p.selector->currentRow(), 3);
    QCOMPARE(p.store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：7"));
    QVERIFY(!p.undo->isEnabled() && p.redo->isEnabled());
    QCOMPARE(p.redo->text(), QStringLiteral("重做 多筆刪除(&R)"));

    p.press(Qt::CTRL | Qt::Key_Y);
    QCOMPARE(p.numbers(), kept);
    QCOMPARE(p.store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：3"));
    p.press(Qt::CTRL | Qt::Key_Z);
    p.press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    QCOMPARE(p.numbers(), kept);
    QVERIFY(p.dialogs.unscripted().isEmpty());
  }

  // Undoing the deletion of the account above it moves the meals account down a slot: the
  // window still shows meals.
  void theShownAccountStaysShownWhereverItMoves() {
    Program p;
    QVERIFY(!deleteAccount(p.store, 3));
    p.store.FillAccountLists();
    p.selector->setCurrentRow(2);
    QCOMPARE(p.selector->currentItem()->text().trimmed(), QStringLiteral("E-餐飲"));
    const QStringList meals = p.numbers();

    p.undo->trigger();
    QCOMPARE(p.selector->count(), 5);
    QCOMPARE(p.selector->currentRow(), 3);
    QCOMPARE(p.numbers(), meals);
    QCOMPARE(p.store.panel(Module1::AccountsPanel), QStringLiteral("帳戶數量：5"));
  }
};

QTEST_MAIN(HistoryWindowTest)
#include "tst_history.moc"
