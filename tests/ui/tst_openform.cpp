#include "Books.h"
#include "MainWindow.h"
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
};

QTEST_MAIN(TestOpenForm)
#include "tst_openform.moc"
