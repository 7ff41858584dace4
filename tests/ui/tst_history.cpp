// Undo and redo from the main window: the 編輯 menu, its keys, and what the window shows after.
#include "WindowSteps.h"
#include "accounts/chart.h"

namespace {

// A small open book shown on its meals account, with a meal on the 5th and 20th of three months.
struct Program : MainWindowBook {
  QTreeWidget* ledger = child<QTreeWidget>(window, "Liv1");
  QListWidget* selector = child<QListWidget>(window, "Cob1");
  QAction* undo = child<QAction>(window, "Undo");
  QAction* redo = child<QAction>(window, "Redo");

  Program() {
    testbooks::addAccounts(store, {"A-現金", "Equity", "E-交通", "E-餐飲", "I-薪水"});
    for (const char* date :
         {"2025/01/05", "2025/01/20", "2025/02/05", "2025/02/20", "2025/03/05", "2025/03/20"})
      testbooks::addEntry(store, date, "E-餐飲", "A-現金", 100, "飯");
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
  void keysUndoAndRedoADeletionInTheLedger() {
    Program p;
    const QStringList all{"1", "2", "3", "4", "5", "6"}, kept{"1", "2"};
    QVERIFY(!p.undo->isEnabled() && !p.redo->isEnabled());
    for (int row = 2; row < 6; ++row) p.ledger->topLevelItem(row)->setCheckState(0, Qt::Checked);
    p.dialogs.answer(Answer::Yes);
    click(p.window, "Cmd3");
    QCOMPARE(p.numbers(), kept);
    QCOMPARE(p.undo->text(), QStringLiteral("復原 刪除記錄(&U)"));

    p.press(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(p.numbers(), all);
    QCOMPARE(p.selector->currentRow(), 3);
    QCOMPARE(p.store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：6"));
    QVERIFY(!p.undo->isEnabled() && p.redo->isEnabled());
    QCOMPARE(p.redo->text(), QStringLiteral("重做 刪除記錄(&R)"));

    p.press(Qt::CTRL | Qt::Key_Y);
    QCOMPARE(p.numbers(), kept);
    p.press(Qt::CTRL | Qt::Key_Z);
    p.press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    QCOMPARE(p.numbers(), kept);
    QCOMPARE(p.store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：2"));
  }

  // Undoing the deletion of the account above it moves meals down a slot: it stays shown.
  void theShownAccountStaysShownWhereverItMoves() {
    Program p;
    QVERIFY(!deleteAccount(p.store, 3));
    p.store.FillAccountLists();
    p.selector->setCurrentRow(2);
    const QStringList meals = p.numbers();
    p.undo->trigger();
    QCOMPARE(p.selector->currentRow(), 3);
    QCOMPARE(p.numbers(), meals);
    QCOMPARE(p.store.panel(Module1::AccountsPanel), QStringLiteral("帳戶數量：5"));
  }
};

QTEST_MAIN(HistoryWindowTest)
#include "tst_history.moc"
