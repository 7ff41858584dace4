// Two computers on one book, through the windows: the merge's questions as a person answers them
// (one at a time, both sides shown, 兩者都留 only where both can stay, back to change an answer,
// 取消 leaving with none); and the session's own road: the conflict window at the end, a sync
// tool's copy found at opening, and a book whose lock another computer holds.
#include "MergeBooks.h"
#include "SharedBook.h"
#include "TestFiles.h"
#include "WindowSteps.h"
#include "backup/backups.h"
#include "book/recovery.h"
#include "catalogue/LockedForm.h"
#include "merge/MergeForm.h"
#include "store/booklist.h"

namespace {

using namespace mergebooks;
using sharedbook::replace;

// Main.dat with the lunch at this amount, and the meals named.
QByteArray entries(qint32 lunch, const QStringList& more = {}) {
  std::vector<Row> rows{{kLunch.date, kFood, kCash, lunch, kLunch.memo}};
  for (const QString& meal : more) rows.push_back({"2024/02/01", kFood, kCash, 80, meal});
  return entriesOf(bookOf({}, rows));
}

// The shared book with a lunch of 100, and this computer's state folder of its own.
struct SharedBook : MainWindowBook {
  OwnState state;
  QString folder =
      sharedbook::make(dir.path(), store::makeEntry(kLunch.date, kFood, kCash, 100, kLunch.memo));
  bool open() {
    queueSignInAndOpen(dialogs);
    return session.start();
  }
};

const std::vector<merge::Conflict> kConflicts{
    {merge::ConflictKind::AccountChangedBoth, "兩邊都改了帳戶「E-餐飲」", "E-吃飯（支出）",
     "E-伙食（支出）", false},
    {merge::ConflictKind::EntryChangedBoth, "兩邊都改了同一筆記錄",
     "2024/01/10　E-餐飲 ← A-現金　120　午餐", "2024/01/10　E-餐飲 ← A-現金　150　午餐", true},
    {merge::ConflictKind::EntryChangedDeleted, "一邊改了這筆記錄，另一邊刪除了它",
     "2024/08/01　E-餐飲 ← A-現金　55　晚餐", "（已刪除）", false},
};

}  // namespace

class TestMergeSession : public QObject {
  Q_OBJECT

 private slots:
  // 上一個 goes back to change an earlier answer; Esc leaves with none.
  void eachQuestionShowsBothSidesAndTakesItsAnswer() {
    MergeForm form(kConflicts);
    form.show();
    QVERIFY(!child<QPushButton>(form, MergeForm::kPreviousName)->isEnabled());
    click(form, MergeForm::kKeepTheirsName);  // changed to 保留我的 below
    click(form, MergeForm::kPreviousName);
    for (size_t i = 0; i < kConflicts.size(); ++i) {
      QCOMPARE(child<QLabel>(form, MergeForm::kTitleName)->text(), kConflicts[i].title);
      QCOMPARE(child<QLabel>(form, MergeForm::kStepName)->text(),
               QStringLiteral("第 %1 個，共 3 個要決定").arg(i + 1));
      QCOMPARE(child<QPlainTextEdit>(form, MergeForm::kMineName)->toPlainText(),
               kConflicts[i].mine);
      QCOMPARE(child<QPlainTextEdit>(form, MergeForm::kTheirsName)->toPlainText(),
               kConflicts[i].theirs);
      QCOMPARE(child<QPushButton>(form, MergeForm::kKeepBothName)->isEnabled(),
               kConflicts[i].allowsBoth);
      QCOMPARE(form.result(), int(QDialog::Rejected));  // nothing decided before the last answer
      click(form, i == 0 ? MergeForm::kKeepMineName
                         : (i == 1 ? MergeForm::kKeepBothName : MergeForm::kKeepTheirsName));
    }
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QVERIFY(!form.isVisible());
    QCOMPARE(form.answers(), (std::vector<merge::Choice>{merge::Choice::Mine, merge::Choice::Both,
                                                         merge::Choice::Theirs}));

    MergeForm cancelled(kConflicts);
    cancelled.show();
    click(cancelled, MergeForm::kKeepMineName);
    QTest::keyClick(&cancelled, Qt::Key_Escape);
    QCOMPARE(cancelled.result(), int(QDialog::Rejected));
    QVERIFY(!cancelled.isVisible());
    QVERIFY(cancelled.answers().empty());
  }

  // Both changed the lunch: the window asks, and 保留對方的 gives the other computer's.
  void aConflictAtTheEndIsAskedInTheWindow() {
    SharedBook book;
    QVERIFY(book.open());
    book.store.tables().entries[1].Amount = 120;
    replace(book.folder + "/Main.dat", entries(150));
    whenShown(book.dialogs, [](QDialog& window) { click(window, MergeForm::kKeepTheirsName); });
    QVERIFY(book.session.end(true));
    QVERIFY(book.dialogs.allAnswersUsed());
    QCOMPARE(fileBytes(book.folder + "/Main.dat"), entries(150));
    QVERIFY2(book.dialogs.lastMessage().text.contains("合併後存檔"),
             qPrintable(book.dialogs.lastMessage().text));
    QCOMPARE(std::get<QStringList>(store::loadDatabaseList(book.store.user())),
             QStringList({"家計簿"}));
  }

  // Syncthing's copy of the other computer's version, found at opening: merged over the last
  // version both had (a backup), saved, and set aside.
  void aSyncToolsCopyIsMergedInWhenWanted() {
    SharedBook book;
    replace(book.folder + "/Main.dat", entries(100, {"早餐"}));
    QVERIFY(!backup::keep(book.folder, fileBytes(book.folder + "/Accounts.dat"), entries(100),
                          QDateTime(QDate(2024, 2, 1), QTime(8, 0), Qt::UTC)));
    const QString copy = book.folder + "/Main.sync-conflict-20240201-093000-ABCDEFG.dat";
    replace(copy, entries(100, {"晚餐"}));
    book.dialogs.answer(Answer::Yes);
    QVERIFY(book.open());
    QCOMPARE(fileBytes(book.folder + "/Main.dat"), entries(100, {"早餐", "晚餐"}));
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
      replace(trip + file, fileBytes(book.folder + file));
    const QByteArray lock("4194000\nvarnix\nsome-other-computer\n");
    replace(trip + "/Varnix.lock", lock);
    replace(recovery::pathIn(trip), "the other computer's session");
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
