// The database list from the menu: its commands, opening, and a backup brought back.
#include "TestFiles.h"
#include "WindowSteps.h"
#include "backup/BackupForm.h"
#include "book/book.h"
#include "catalogue/OpenForm.h"
#include "catalogue/catalogue.h"
#include "store/booklist.h"

namespace {

// User Test signed in with her books, the first one open.
struct Program : MainWindowBook {
  explicit Program(const QStringList& books) {
    testbooks::signIn(store, "Test", books[0]);
    for (const QString& name : books) QDir().mkpath(store.user().userFolder() + "/" + name);
    if (store::saveDatabaseList(store.user(), books) || book::open(store, 100)) qFatal("no book");
    store.setPanel(book::Workspace::DatabasePanel, "資料庫名稱：" + books[0]);
  }
};

}  // namespace

class TestOpenForm : public QObject {
  Q_OBJECT

 private slots:
  // With a open and changed: the list saves it first, its commands act on the clicked entry,
  // and Enter opens the selected one.
  void theMenusListWindowSavesFirstAndOpensWhatIsChosen() {
    Program p({"a", "b"});
    testbooks::addEntry(p.store, "2003/11/06", "A-現金", "Equity", 7, "x");
    whenShown(p.dialogs, [&](QDialog& form) {
      QCOMPARE(QFileInfo(p.store.user().userFolder() + "/a/Main.dat").size(), 128 + 104);
      auto* list = child<QListWidget>(form, OpenForm::kBooks);
      QCOMPARE(list->currentRow(), 0);
      QVERIFY(child(form, OpenForm::kCancel)->isEnabled());  // cancel: back to the open one
      click(form, OpenForm::kRename);                        // rename a: in use
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                        list->visualItemRect(list->item(1)).center());
      click(form, OpenForm::kUp);  // b up
      QCOMPARE(list->item(0)->text(), QStringLiteral("b"));
      p.dialogs.type(QStringLiteral("b."));  // refused, offered again for correcting
      p.dialogs.cancelInput();
      click(form, OpenForm::kRename);
      p.dialogs.answer(Answer::No);
      click(form, OpenForm::kDelete);         // delete b: not confirmed
      p.dialogs.type(QStringLiteral("abc"));  // b's starting cash: no number, asked again
      p.dialogs.type(QStringLiteral("2500"));
      QTest::keyClick(list, Qt::Key_Return);  // Enter is "開啟(&O)"
      QVERIFY(!form.isVisible());
    });
    p.session.databaseListFromMenu();
    QVERIFY(p.dialogs.allAnswersUsed());
    // In use, a name ending in a dot, the question, a starting cash that is no number.
    QCOMPARE(p.dialogs.messageTexts().size(), 4);
    QCOMPARE(p.dialogs.messageTexts()[2], QStringLiteral("確定刪除這個資料庫嗎？"));
    QCOMPARE(p.dialogs.shown().at(4).defaultText, QStringLiteral("b."));
    QCOMPARE(p.store.panel(book::Workspace::DatabasePanel), QStringLiteral("資料庫名稱：b"));
    QCOMPARE(p.store.tables().entries[1].Amount, 2500);
    QCOMPARE(std::get<QStringList>(store::loadDatabaseList(p.store.user())),
             QStringList({"b", "a"}));
  }

  // 備份與還原: the selected book's backups are listed with what they hold, and one comes back
  // as a new book right after it, selected; the book itself stays as it is.
  void aBackupComesBackAsANewBookAfterItsOwn() {
    Program p({"家計簿", "b"});
    p.store.clock().setNow(QDateTime(QDate(2026, 12, 6), QTime(15, 30, 42)));
    testbooks::addEntry(p.store, "2026/12/06", "A-現金", "Equity", 7, "x");
    QVERIFY(book::save(p.store).saved());  // keeps the opening pair: 1 entry, 2 accounts

    whenShown(p.dialogs, [&](QDialog& form) {
      click(form, OpenForm::kBackups);
      QCOMPARE(child<QListWidget>(form, OpenForm::kBooks)->currentItem()->text(),
               QStringLiteral("家計簿-還原-20261206-153042"));
      click(form, OpenForm::kCancel);
    });
    whenShown(p.dialogs, [&](QDialog& backups) {
      const QTreeWidgetItem* row =
          child<QTreeWidget>(backups, BackupForm::kBackups)->topLevelItem(0);
      QCOMPARE(row->text(0) + "|" + row->text(1) + "|" + row->text(2),
               QStringLiteral("2026/12/06 15:30:42|1|2"));
      click(backups, BackupForm::kRestore);
    });
    p.session.databaseListFromMenu();
    QCOMPARE(p.dialogs.lastMessage(),
             completion(QStringLiteral("已還原成新的資料庫「家計簿-還原-20261206-153042」")));
    QCOMPARE(fileBytes(p.store.user().userFolder() + "/DataBase.lst"),
             QByteArray("\xae\x61\xad\x70\xc3\xaf\r\n\xae\x61\xad\x70\xc3\xaf-\xc1\xd9\xad\xec-"
                        "20261206-153042\r\nb\r\n"));
    QCOMPARE(p.store.tables().entryCount, 3);  // the open book is untouched
  }
};

QTEST_MAIN(TestOpenForm)
#include "tst_openform.moc"
