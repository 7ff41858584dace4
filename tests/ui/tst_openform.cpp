#include "Books.h"
#include "MainWindow.h"
#include "TestFiles.h"
#include "WindowSteps.h"
#include "catalogue/catalogue.h"
#include "store/Module1.h"
#include "store/database.h"
#include "store/records.h"
#include "ui/main/MainForm.h"
#include "ui/main/Session.h"
#include "users/users.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

class TestOpenForm : public QObject {
  Q_OBJECT

 private slots:
  // From the menu, with database a open and changed: the list window's commands act on the
  // clicked entry, and Enter opens the selected database.
  void theMenusListWindowSavesFirstAndOpensWhatIsChosen() {
    MainWindowBook book;
    auto& [dir, dialogs, store, window, session] = book;
    store.clock().setToday(QDate(2003, 11, 5));
    QDir().mkpath(store.DataBaseFolder);
    QVERIFY(!CreateUser(store, QStringLiteral("Test"), QStringLiteral("839")));
    QVERIFY(LogIn(store, QStringLiteral("Test"), QStringLiteral("839")).loggedIn);
    for (const char* name : {"a", "b"}) QDir().mkpath(store.userFolder() + "/" + name);
    QVERIFY(!SaveDatabaseList(store, {"a", "b"}));
    store.DataBaseName = QStringLiteral("a");
    QVERIFY(!LoadDatabase(store, 100));
    testbooks::addEntry(store, "2003/11/06", "A-現金", "Equity", 7, "x");
    store.setPanel(Module1::DatabasePanel, QStringLiteral("資料庫名稱：a"));

    whenShown(dialogs, [&](QDialog& form) {
      QCOMPARE(QFileInfo(store.userFolder() + "/a/Main.dat").size(), 128 + 104);
      auto* list = child<QListWidget>(form, "List1");
      QCOMPARE(list->currentRow(), 0);
      QVERIFY(child<QPushButton>(form, "Cmd0")->isEnabled());  // cancel: back to the open one
      click(form, "Cmd2");                                     // rename a: in use
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                        list->visualItemRect(list->item(1)).center());
      click(form, "Cmd8");  // b up
      QCOMPARE(list->item(0)->text(), QStringLiteral("b"));
      dialogs.type(QStringLiteral("b."));  // refused, offered again for correcting
      dialogs.cancelInput();
      click(form, "Cmd2");
      dialogs.answer(Answer::No);
      click(form, "Cmd3");  // delete b: not confirmed
      QCOMPARE(list->currentRow(), 0);
      dialogs.type(QStringLiteral("abc"));  // b's starting cash: no number, asked again
      dialogs.type(QStringLiteral("2500"));
      QTest::keyClick(list, Qt::Key_Return);  // Enter is "開啟(&O)"
      QVERIFY(!form.isVisible());
    });
    session.databaseListFromMenu();
    QVERIFY(dialogs.allAnswersUsed());
    QCOMPARE(dialogs.messageTexts(),
             QStringList({QStringLiteral("這個資料庫正在使用中"),
                          QStringLiteral("資料庫名稱的最後一個字不可以是句點或空白"),
                          QStringLiteral("確定刪除這個資料庫嗎？"),
                          QStringLiteral("金額必須是數字，不可含有逗號、符號或文字")}));
    QCOMPARE(dialogs.shown().at(4).defaultText, QStringLiteral("b."));
    QVERIFY(QDir(store.userFolder() + "/b").exists());
    QCOMPARE(store.panel(Module1::DatabasePanel), QStringLiteral("資料庫名稱：b"));
    QCOMPARE(store.EntryTable[1].Amount, 2500);
    QCOMPARE(std::get<QStringList>(LoadDatabaseList(store)), QStringList({"b", "a"}));
  }

  // 備份與還原: the selected book's backups are listed with what they hold, and one comes back
  // as a new book right after it, selected; the book itself stays as it is.
  void aBackupComesBackAsANewBookAfterItsOwn() {
    MainWindowBook book;
    auto& [dir, dialogs, store, window, session] = book;
    store.clock().setNow(QDateTime(QDate(2026, 12, 6), QTime(15, 30)));
    QDir().mkpath(store.DataBaseFolder);
    QVERIFY(!CreateUser(store, QStringLiteral("Test"), QStringLiteral("839")));
    QVERIFY(LogIn(store, QStringLiteral("Test"), QStringLiteral("839")).loggedIn);
    QDir().mkpath(store.userFolder() + "/家計簿");
    QDir().mkpath(store.userFolder() + "/b");
    QVERIFY(!SaveDatabaseList(store, {"家計簿", "b"}));
    store.DataBaseName = QStringLiteral("家計簿");
    QVERIFY(!LoadDatabase(store, 100));
    store.setPanel(Module1::DatabasePanel, QStringLiteral("資料庫名稱：家計簿"));
    testbooks::addEntry(store, "2026/12/06", "A-現金", "Equity", 7, "x");
    QVERIFY(SaveDatabase(store).saved());  // keeps the opening pair: 1 entry, 2 accounts

    whenShown(dialogs, [&](QDialog& form) {
      click(form, "Backups");
      auto* list = child<QListWidget>(form, "List1");
      QCOMPARE(list->item(1)->text(), QStringLiteral("家計簿-還原-20261206-1530"));
      QCOMPARE(list->currentRow(), 1);
      click(form, "Cmd0");
    });
    whenShown(dialogs, [&](QDialog& backups) {
      auto* rows = child<QTreeWidget>(backups, "Backups");
      QCOMPARE(rows->topLevelItemCount(), 1);
      QCOMPARE(rows->topLevelItem(0)->text(0), QStringLiteral("2026/12/06 15:30:00"));
      QCOMPARE(rows->topLevelItem(0)->text(1), QStringLiteral("1"));
      QCOMPARE(rows->topLevelItem(0)->text(2), QStringLiteral("2"));
      click(backups, "Restore");
      QVERIFY(!backups.isVisible());
    });
    session.databaseListFromMenu();
    QCOMPARE(dialogs.lastMessage(),
             completion(QStringLiteral("已還原成新的資料庫「家計簿-還原-20261206-1530」")));
    QCOMPARE(fileBytes(store.userFolder() + "/DataBase.lst"),
             QByteArray("\xae\x61\xad\x70\xc3\xaf\r\n\xae\x61\xad\x70\xc3\xaf-\xc1\xd9\xad\xec-"
                        "20261206-1530\r\nb\r\n"));
    QCOMPARE(QFileInfo(store.userFolder() + "/家計簿-還原-20261206-1530/Main.dat").size(), 104);
    QCOMPARE(store.EntryCount, 3);  // the open book is untouched
  }
};

QTEST_MAIN(TestOpenForm)
#include "tst_openform.moc"
