// The main window driven as a person would: the ledger of the chosen account, ticking and
// deleting ticked entries.
#include "Books.h"
#include "MainWindow.h"
#include "WindowSteps.h"
#include "store/Module1.h"
#include "store/ledger.h"
#include "ui/main/MainForm.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

const QColor kRed(254, 54, 60);

// A small open book shown on cash: four entries, the last naming cash on both sides.
struct Program : MainWindowBook {
  QTreeWidget* ledger = child<QTreeWidget>(window, "Liv1");

  Program() {
    testbooks::addAccounts(store, {"A-現金", "Equity", "E-餐飲", "I-薪水"});
    testbooks::addEntry(store, "2025/01/01", "A-現金", "Equity", 1000, "初值");
    testbooks::addEntry(store, "2025/01/02", "E-餐飲", "A-現金", 1500, "聚餐");
    testbooks::addEntry(store, "2025/01/03", "I-薪水", "A-現金", 200);
    testbooks::addEntry(store, "2025/01/04", "A-現金", "A-現金", 70, "對轉");
    store.showEntryCount();
    window.show();
    store.FillAccountLists();
  }
  QStringList row(int i) const {
    QStringList texts;
    for (int c = 0; c < 6; ++c) texts.append(ledger->topLevelItem(i)->text(c));
    return texts;
  }
  void tick(int i, Qt::CheckState to = Qt::Checked) {
    ledger->topLevelItem(i)->setCheckState(0, to);
  }
};

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

 private slots:
  void ledgerShowsRowsRedTextsAndSelectsTheLast() {
    Program p;
    QCOMPARE(p.ledger->topLevelItemCount(), 5);
    QCOMPARE(p.row(0), (QStringList{"2025/01/01", "Equity", "1000", " 1000", "初值", "1"}));
    QCOMPARE(p.row(1), (QStringList{"2025/01/02", "E-餐飲", "-1500", "-500", "聚餐", "2"}));
    QCOMPARE(p.row(2), (QStringList{"2025/01/03", "I-薪水", "200", "-300", "", "3"}));
    QCOMPARE(p.row(3), (QStringList{"2025/01/04", "A-現金", "70", "-230", "對轉", "4"}));
    QCOMPARE(p.row(4), (QStringList{"2025/01/04", "A-現金", "-70", "-300", "對轉", "4"}));
    // Red: a negative amount or total; a positive amount beside a negative total is not.
    auto red = [&](int i, int column) {
      return p.ledger->topLevelItem(i)->foreground(column).color() == kRed;
    };
    QVERIFY(red(1, 2) && red(1, 3) && red(2, 3));
    QVERIFY(!red(2, 2) && !red(0, 2) && !red(0, 3));
    QCOMPARE(p.ledger->currentItem(), p.ledger->topLevelItem(4));
    QVERIFY(p.ledger->topLevelItem(4)->isSelected());
  }

  void tickingSelectsAndDeletionRemovesTheTickedEntriesAfterAYes() {
    Program p;
    click(p.window, "Cmd3");
    QCOMPARE(p.dialogs.lastMessage(), refusal(QStringLiteral("請先勾選要刪除的記錄")));

    // Ticking or unticking a row selects it (a double click then edits it); a tick it already
    // has moves nothing.
    for (int i : {4, 3, 2, 1}) p.tick(i);
    QCOMPARE(p.ledger->currentItem(), p.ledger->topLevelItem(1));
    p.tick(2, Qt::Unchecked);
    p.tick(0, Qt::Unchecked);
    QCOMPARE(p.ledger->currentItem(), p.ledger->topLevelItem(2));
    QVERIFY(p.ledger->topLevelItem(2)->isSelected());

    // The meal and both rows of the transfer ticked: No keeps the entries and the ticks.
    p.dialogs.answer(Answer::No);
    click(p.window, "Cmd3");
    QCOMPARE(p.dialogs.lastMessage(), confirmDelete(QStringLiteral("確定刪除資料嗎？")));
    QCOMPARE(p.store.EntryCount, 5);
    QCOMPARE(p.window.tickedSlots(), (std::vector<int>{2, 4, 4}));

    // Yes: two entries go, the transfer once; the salary moves to slot 2 and shows it.
    p.dialogs.answer(Answer::Yes);
    click(p.window, "Cmd3");
    QCOMPARE(p.store.EntryCount, 3);
    QCOMPARE(p.ledger->topLevelItemCount(), 2);
    QCOMPARE(p.row(1), (QStringList{"2025/01/03", "I-薪水", "200", " 1200", "", "2"}));
    QCOMPARE(p.ledger->currentItem(), p.ledger->topLevelItem(1));
    QVERIFY(p.window.tickedSlots().empty());
    QCOMPARE(child<QLabel>(p.window, "Panel4")->text(), QStringLiteral("資料筆數：2"));
    QCOMPARE(p.dialogs.messages().size(), size_t(3));
    QVERIFY(p.dialogs.unscripted().isEmpty());
  }

  // 結帳(&C) asks for the date (today's offered); a cancelled box or a date that is none
  // changes nothing.
  void closingTheBooksAsksForTheDate() {
    Program p;
    p.store.clock().setToday(QDate(2025, 1, 3));
    p.dialogs.cancelInput();
    click(p.window, "Cmd7");
    p.dialogs.type(QStringLiteral("abc"));
    click(p.window, "Cmd7");
    QCOMPARE(p.store.EntryCount, 5);
    p.dialogs.type(QStringLiteral("2025/01/02"));
    click(p.window, "Cmd7");
    QCOMPARE(p.dialogs.shown().at(0).defaultText, QStringLiteral("2025/01/03"));
    QCOMPARE(p.dialogs.messages(),
             (std::vector<Message>{refusal(QStringLiteral("不是正確的日期格式")),
                                   completion(QStringLiteral("資料結帳完成"))}));
    // The salary and the transfer stay; cash carries its -500 of the second.
    QCOMPARE(p.store.EntryCount, 4);
    QCOMPARE(p.row(0), (QStringList{"2025/01/03", "I-薪水", "200", " 200", "", "1"}));
    QCOMPARE(p.row(3), (QStringList{"2025/01/02", "Equity", "-500", "-300", "初值", "3"}));
    QCOMPARE(child<QLabel>(p.window, "Panel4")->text(), QStringLiteral("資料筆數：3"));
  }
};

QTEST_MAIN(MainFormTest)
#include "tst_mainform.moc"
