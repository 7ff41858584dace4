// Two computers on one book, through the session's own road: the conflict window at the end,
// a sync tool's copy found at opening, and a book whose lock another computer holds.
#include "WindowSteps.h"
#include "backup/backups.h"
#include "book/recovery.h"
#include "catalogue/LockedForm.h"
#include "catalogue/OpenForm.h"
#include "merge/MergeForm.h"
#include "store/booklist.h"
#include "users/LoginForm.h"

namespace {

void putFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("cannot write");
}

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Main.dat with the lunch at this amount, and the meals named.
QByteArray entries(qint32 lunch, const QStringList& more = {}) {
  store::BookTables b;
  b.entries[b.entryCount++] = store::makeEntry("2024/01/10", "E-餐飲", "A-現金", lunch, "午餐");
  for (const QString& meal : more)
    b.entries[b.entryCount++] = store::makeEntry("2024/02/01", "E-餐飲", "A-現金", 80, meal);
  return store::entriesFileBytes(b.entries, b.entryCount);
}

// The user "Test" (password 839) with the book "家計簿": cash, food and a lunch of 100.
struct SharedBook : MainWindowBook {
  QTemporaryDir state;
  QByteArray stateBefore = qgetenv("XDG_STATE_HOME");
  QString bookFolder;
  SharedBook() {
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    store.user().setUserName("Test");
    store.user().setDatabaseName("家計簿");
    bookFolder = store.user().databaseFolder();
    QDir().mkpath(folder());
    putFile(store.user().userFolder() + "/DataBase.pwd", "003800330039\r\n");
    if (store::saveDatabaseList(store.user(), {"家計簿"})) qFatal("cannot list the book");
    testbooks::addAccounts(store, {"A-現金", "E-餐飲"});
    testbooks::addEntry(store, "2024/01/10", "E-餐飲", "A-現金", 100, "午餐");
    putFile(folder() + "/Accounts.dat",
            store::accountsFileBytes(store.tables().accounts, store.tables().accountCount));
    putFile(folder() + "/Main.dat", entries(100));
    store.tables().accountCount = store.tables().entryCount = 1;
    store.user().setUserName({});
    store.user().setDatabaseName({});
  }
  ~SharedBook() { qputenv("XDG_STATE_HOME", stateBefore); }
  QString folder() const { return bookFolder; }
  bool open(const std::function<void(QDialog&)>& locked = {}) {
    whenShown(dialogs, [](QDialog& login) {
      typeIn(login, LoginForm::kUserName, "Test");
      typeIn(login, LoginForm::kPassword, "839");
      click(login, LoginForm::kOk);
    });
    whenShown(dialogs, [](QDialog& list) { click(list, OpenForm::kOpen); });
    if (locked) whenShown(dialogs, locked);
    return session.start();
  }
};

}  // namespace

class TestMergeSession : public QObject {
  Q_OBJECT

 private slots:
  // Both changed the lunch: the window asks, and 保留對方的 gives the other computer's.
  void aConflictAtTheEndIsAskedInTheWindow() {
    SharedBook book;
    QVERIFY(book.open());
    book.store.tables().entries[1].Amount = 120;
    putFile(book.folder() + "/Main.dat", entries(150));
    QString asked;
    whenShown(book.dialogs, [&](QDialog& window) {
      asked = child<QLabel>(window, MergeForm::kTitleName)->text();
      click(window, MergeForm::kKeepTheirsName);
    });
    QVERIFY(book.session.end(true));
    QVERIFY2(!asked.isEmpty(), "no conflict window");
    QCOMPARE(fileBytes(book.folder() + "/Main.dat"), entries(150));
    QVERIFY2(book.dialogs.lastMessage().text.contains("合併後存檔"),
             qPrintable(book.dialogs.lastMessage().text));
    QCOMPARE(std::get<QStringList>(store::loadDatabaseList(book.store.user())),
             QStringList({"家計簿"}));
  }

  // Syncthing's copy of the other computer's version, found at opening: merged over the last
  // version both had (a backup), saved, and set aside.
  void aSyncToolsCopyIsMergedInWhenWanted() {
    SharedBook book;
    putFile(book.folder() + "/Main.dat", entries(100, {"早餐"}));
    QVERIFY(!backup::keep(book.folder(), fileBytes(book.folder() + "/Accounts.dat"), entries(100),
                          QDateTime(QDate(2024, 2, 1), QTime(8, 0), Qt::UTC)));
    const QString copy = book.folder() + "/Main.sync-conflict-20240201-093000-ABCDEFG.dat";
    putFile(copy, entries(100, {"晚餐"}));
    book.dialogs.answer(Answer::Yes);
    QVERIFY(book.open());
    QCOMPARE(fileBytes(book.folder() + "/Main.dat"), entries(100, {"早餐", "晚餐"}));
    const QString said = book.dialogs.lastMessage().text;
    QVERIFY2(said.contains(".merged") && said.contains("合併的基準是兩份帳本最後共同的版本") &&
                 !said.contains("這台電腦沒有上次讀寫時的內容"),
             qPrintable(said));
    QVERIFY(!QFile::exists(copy));
    QVERIFY(QFile::exists(copy + ".merged"));
  }

  // A book locked by another computer, opened from a search's result, offers the database
  // list's choice: 取消 keeps the open book, 唯讀開啟 opens the other one to be looked at only.
  // Nothing changes it, and nothing of it is written: neither its files, nor a copy, nor a
  // recovery file; the other computer's recovery file is left alone.
  void aBookLockedElsewhereOpensReadOnly() {
    SharedBook book;
    QVERIFY(book.open());
    const QString trip = book.store.user().userFolder() + "/旅行";
    QVERIFY(QDir().mkpath(trip));
    for (const char* file : {"/Accounts.dat", "/Main.dat"})
      putFile(trip + file, fileBytes(book.folder() + file));
    const QByteArray lock("4194000\nvarnix\nsome-other-computer\n");
    putFile(trip + "/Varnix.lock", lock);
    putFile(recovery::pathIn(trip), "the other computer's session");
    QVERIFY(!store::saveDatabaseList(book.store.user(), {"家計簿", "旅行"}));
    whenShown(book.dialogs, [](QDialog& window) { click(window, LockedForm::kCancelName); });
    QVERIFY(!book.session.openBook("旅行"));
    QCOMPARE(book.store.user().databaseName(), "家計簿");
    QString said;
    whenShown(book.dialogs, [&](QDialog& window) {
      said = child<QLabel>(window, "lockedText")->text();
      click(window, LockedForm::kReadOnlyName);
    });
    QVERIFY(book.session.openBook("旅行"));
    QVERIFY2(said.contains("some-other-computer"), qPrintable(said));
    QVERIFY(book.store.readOnly() && !book.store.lock().held());
    for (const char* name : {MainForm::kNew, MainForm::kDelete, MainForm::kBulkDelete,
                             MainForm::kCloseBooks, MainForm::kEditAccounts})
      QVERIFY2(!child(book.window, name)->isEnabled(), name);
    for (const char* name : {MainForm::kImportStatement, MainForm::kBudgetPlan,
                             MainForm::kSchedulesMenu, MainForm::kReconcileMenu})
      QVERIFY2(!child<QAction>(book.window, name)->isEnabled(), name);
    QVERIFY(child(book.window, MainForm::kStatements)->isEnabled());
    auto* ledger = child<QTreeWidget>(book.window, MainForm::kLedger);
    QVERIFY(ledger->topLevelItemCount() > 0);
    ledger->setCurrentItem(ledger->topLevelItem(0));
    emit ledger->itemDoubleClicked(ledger->topLevelItem(0), 0);
    QCOMPARE(book.dialogs.lastMessage().text, "這個資料庫是唯讀開啟的，不能修改。");

    book.store.tables().entries[1].Amount = 120;  // a change that came in nonetheless
    QVERIFY(book.session.end(true));
    QVERIFY2(book.dialogs.lastMessage().text.contains("這次的變更沒有存檔"),
             qPrintable(book.dialogs.lastMessage().text));
    QCOMPARE(fileBytes(trip + "/Main.dat"), entries(100));
    QCOMPARE(fileBytes(trip + "/Varnix.lock"), lock);
    QCOMPARE(std::get<QStringList>(store::loadDatabaseList(book.store.user())).size(), 2);
    QCOMPARE(fileBytes(recovery::pathIn(trip)), "the other computer's session");
    QVERIFY(book.dialogs.allAnswersUsed());
  }
};

QTEST_MAIN(TestMergeSession)
#include "tst_mergesession.moc"
