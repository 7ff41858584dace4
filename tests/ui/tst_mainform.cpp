// The main window driven as a person would: the ledger of the chosen account, ticking and
// deleting ticked entries, undo and redo, and ending the program. Opening a book after a crash,
// through the session's road from the login: the question with the time the changes were
// written, and the changes back. The about box: its links lead only where something is (the
// installed help page, a mail address named at build time), and only OK (Enter) leaves it.
#include "TestFiles.h"
#include "WindowSteps.h"
#include "accounts/chart.h"
#include "book/book.h"
#include "book/recovery.h"
#include "catalogue/OpenForm.h"
#include "platform/safefile.h"
#include "schedules/schedulefile.h"
#include "store/ledger.h"
#include "ui/main/AboutForm.h"
#include "users/LoginForm.h"

namespace {

// A small open book shown on cash: four entries, the last naming cash on both sides.
struct Program : MainWindowBook {
  QTreeWidget* ledger = child<QTreeWidget>(window, MainForm::kLedger);
  QListWidget* selector = child<QListWidget>(window, MainForm::kAccountSelector);
  QAction* undo = child<QAction>(window, MainForm::kUndo);
  QAction* redo = child<QAction>(window, MainForm::kRedo);

  Program() {
    testbooks::signIn(store, "user1", "2025");
    testbooks::addAccounts(store, {"A-現金", "Equity", "E-交通", "E-餐飲", "I-薪水"});
    testbooks::addEntry(store, "2025/01/01", "A-現金", "Equity", 1000, "初值");
    testbooks::addEntry(store, "2025/01/02", "E-餐飲", "A-現金", 1500, "聚餐");
    testbooks::addEntry(store, "2025/01/03", "I-薪水", "A-現金", 200);
    testbooks::addEntry(store, "2025/01/04", "A-現金", "A-現金", 70, "對轉");
    store.showEntryCount();
    window.show();
    store.refillAccountLists();
  }
  QStringList row(int i) const {
    QStringList texts;
    for (int c = 0; c < 6; ++c) texts.append(ledger->topLevelItem(i)->text(c));
    return texts;
  }
  QStringList numbers() const {
    QStringList shown;
    for (int i = 0; i < ledger->topLevelItemCount(); ++i) shown << ledger->topLevelItem(i)->text(5);
    return shown;
  }
  // A click on the tick box at the start of the row's 日期, as a person ticks it.
  void tick(int i) {
    const QRect cell = ledger->visualItemRect(ledger->topLevelItem(i));
    QTest::mouseClick(ledger->viewport(), Qt::LeftButton, {}, {cell.left() + 8, cell.center().y()});
  }
  QString entriesPanel() { return child<QLabel>(window, MainForm::kPanels[3])->text(); }
  QByteArray mainDat() { return fileBytes(store.user().databaseFolder() + "/Main.dat"); }
  QByteArray inMemory() {
    return store::entriesFileBytes(store.tables().entries, store.tables().entryCount);
  }
  // Saved, then the meal deleted in memory only; returns the saved bytes.
  QByteArray savedThenChanged() {
    if (!book::save(store).saved()) qFatal("cannot save the book");
    store::markDeleted(store.tables(), 2);
    store::compactEntries(store.tables());
    return mainDat();
  }
};

enum Way { TitleBar, QuitMenu, AskedWithSaving, AskedWithoutSaving };

const QDateTime kWritten(QDate(2026, 12, 7), QTime(7, 5, 9), Qt::UTC);

// The user "Test" with the book "2003-11", its files as last saved, and a recovery file that
// holds one entry more.
struct CrashedBook : MainWindowBook {
  QByteArray changed;
  CrashedBook() {
    testbooks::signIn(store, "Test", "2003-11");
    const QString user = store.user().userFolder();
    testbooks::addAccounts(store, {"A-現金", "E-餐費"});
    testbooks::addEntry(store, "2003/11/01", "E-餐費", "A-現金", 120, "早餐");
    if (!testbooks::writeBook(store, store.user().databaseFolder()) ||
        safefile::write(user + "/DataBase.pwd", "003800330039\r\n") ||
        safefile::write(user + "/DataBase.lst", "2003-11\r\n"))
      qFatal("cannot write the book");
    testbooks::addEntry(store, "2003/11/02", "E-餐費", "A-現金", 250, "午餐");
    changed = testbooks::bookBytes(store);
    recovery::Snapshot snapshot = recovery::snapshotOf(store);
    snapshot.written = kWritten;
    recovery::write(store.user().databaseFolder(), snapshot);
    store.tables().accounts.clear();
    store.tables().entries.clear();
    store.tables().accountCount = store.tables().entryCount = 1;
    store.user().setUserName({});
    store.user().setDatabaseName({});
  }
  // Logs in and opens the book; the question's answer, if any, is queued first.
  bool open() {
    queueSignInAndOpen(dialogs);
    return session.start();
  }
  QString file() const { return recovery::pathIn(store.user().databaseFolder()); }
};

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

  QList<QUrl> opened_;
  const QStringList schemes_{"file", "https", "http", "mailto"};

 public slots:
  // Takes the addresses handed to the system instead of a browser or mail program.
  void open(const QUrl& url) { opened_.append(url); }

 private slots:
  void init() {
    opened_.clear();
    for (const QString& scheme : schemes_) QDesktopServices::setUrlHandler(scheme, this, "open");
  }
  void cleanup() {
    for (const QString& scheme : schemes_) QDesktopServices::unsetUrlHandler(scheme);
  }

  void ledgerShowsRowsRedTextsAndSelectsTheLast() {
    Program p;
    QCOMPARE(p.row(4), (QStringList{"2025/01/04", "A-現金", "-70", "-300", "對轉", "4"}));
    // Red: a negative amount or total; a positive amount beside a negative total is not.
    const auto red = [&](int i, int column) {
      return p.ledger->topLevelItem(i)->foreground(column).color() == QColor(254, 54, 60);
    };
    QVERIFY(red(1, 2) && red(1, 3) && red(2, 3));
    QVERIFY(!red(2, 2) && !red(0, 2) && !red(0, 3));
    QVERIFY(p.ledger->topLevelItem(4)->isSelected() && !p.ledger->topLevelItem(5));
  }

  void tickingSelectsAndDeletionRemovesTheTickedEntriesAfterAYes() {
    Program p;
    click(p.window, MainForm::kDelete);
    QCOMPARE(p.dialogs.lastMessage(), refusal(QStringLiteral("請先勾選要刪除的記錄")));
    // Ticking or unticking a row selects it (a double click then edits it).
    for (int i : {4, 3, 2, 1}) p.tick(i);
    QVERIFY(p.ledger->topLevelItem(1)->isSelected());
    p.ledger->topLevelItem(2)->setCheckState(0, Qt::Unchecked);
    QVERIFY(p.ledger->topLevelItem(2)->isSelected());

    // The meal and both rows of the transfer ticked: No keeps the entries and the ticks.
    p.dialogs.answer(Answer::No);
    click(p.window, MainForm::kDelete);
    QCOMPARE(p.dialogs.lastMessage(), confirmDelete(QStringLiteral("確定刪除資料嗎？")));
    QCOMPARE(p.store.tables().entryCount, 5);
    QCOMPARE(p.window.tickedSlots(), (std::vector<int>{2, 4, 4}));

    // Yes: two entries go; the salary moves to slot 2 and is shown selected.
    p.dialogs.answer(Answer::Yes);
    click(p.window, MainForm::kDelete);
    QCOMPARE(p.row(1), (QStringList{"2025/01/03", "I-薪水", "200", " 1200", "", "2"}));
    QVERIFY(p.ledger->topLevelItem(1)->isSelected() && p.window.tickedSlots().empty());
    QCOMPARE(p.entriesPanel(), QStringLiteral("資料筆數：2"));
  }

  // 復原 and 重做 by their keys, named after the step; the ledger redrawn each time.
  void keysUndoAndRedoADeletionInTheLedger() {
    Program p;
    QApplication::setActiveWindow(&p.window);
    const auto press = [&](QKeyCombination keys) { QTest::keySequence(&p.window, keys); };
    const QStringList all{"1", "2", "3", "4", "4"}, kept{"1", "2", "2"};
    QVERIFY(!p.undo->isEnabled() && !p.redo->isEnabled());
    p.tick(1);
    p.tick(2);
    p.dialogs.answer(Answer::Yes);
    click(p.window, MainForm::kDelete);
    QCOMPARE(p.numbers(), kept);
    QCOMPARE(p.undo->text(), QStringLiteral("復原 刪除記錄(&U)"));
    press(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(p.numbers(), all);
    QCOMPARE(p.entriesPanel(), QStringLiteral("資料筆數：4"));
    QVERIFY(!p.undo->isEnabled() && p.redo->isEnabled());
    QCOMPARE(p.redo->text(), QStringLiteral("重做 刪除記錄(&R)"));
    press(Qt::CTRL | Qt::Key_Y);
    QCOMPARE(p.numbers(), kept);
    press(Qt::CTRL | Qt::Key_Z);
    press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    QCOMPARE(p.numbers(), kept);
  }

  // Undoing the deletion of the account above it moves meals down a slot: it stays shown.
  void theShownAccountStaysShownWhereverItMoves() {
    Program p;
    QVERIFY(!accounts::deleteAccount(p.store, 3));
    p.store.refillAccountLists();
    p.selector->setCurrentRow(2);
    const QStringList meals = p.numbers();
    p.undo->trigger();
    QCOMPARE(p.selector->currentRow(), 3);
    QCOMPARE(p.numbers(), meals);
    QCOMPARE(p.store.panel(book::Workspace::AccountsPanel), QStringLiteral("帳戶數量：5"));
  }

  void endingSavesUnlessToldNotTo_data() {
    QTest::addColumn<int>("way");
    int way = TitleBar;
    for (const char* name : {"title bar", "結束(&Q)", "asked with saving", "asked without"})
      QTest::newRow(name) << way++;
  }
  void endingSavesUnlessToldNotTo() {
    QFETCH(int, way);
    Program p;
    const QByteArray saved = p.savedThenChanged();
    if (way == TitleBar) QVERIFY(p.window.close());
    if (way == QuitMenu) child<QAction>(p.window, MainForm::kQuit)->trigger();
    if (way >= AskedWithSaving) p.store.requestEnd(way == AskedWithSaving);
    QVERIFY(!p.window.isVisible());
    QCOMPARE(p.mainDat(), way == AskedWithoutSaving ? saved : p.inMemory());
    QVERIFY(p.dialogs.shown().empty());
  }

  void aFailedSaveKeepsTheWindowOpenAndTheFilesWhole() {
    Program p;
    const QByteArray saved = p.savedThenChanged();
    {
      safefile::FailAfterBytes full(0);
      QVERIFY(!p.window.close());
    }
    QVERIFY(p.window.isVisible());
    QVERIFY(p.dialogs.lastMessage().text.startsWith(QStringLiteral("資料庫沒有存好：")));
    QCOMPARE(p.mainDat(), saved);
    // With room on the disk again, the same exit saves the change kept in memory, and ends.
    QVERIFY(p.window.close());
    QCOMPARE(p.mainDat(), p.inMemory());
  }

  void theQuestionSaysWhenAndYesBringsTheChangesBack() {
    CrashedBook book;
    book.dialogs.answer(Answer::Yes);
    QVERIFY(book.open());
    const Message asked = book.dialogs.lastMessage();
    QCOMPARE(asked.buttons, MessageButtons::YesNo);  // Yes is the default button
    QVERIFY2(asked.text.contains(recovery::timeInWords(kWritten)), qPrintable(asked.text));
    QCOMPARE(testbooks::bookBytes(book.store), book.changed);
    QCOMPARE(book.store.panel(book::Workspace::EntriesPanel), QStringLiteral("資料筆數：2"));
    QVERIFY(QFile::exists(book.file()));  // until the book is left
    QVERIFY(book.session.end(true));
    QVERIFY(!QFile::exists(book.file()));
    QCOMPARE(fileBytes(book.store.user().databaseFolder() + "/Main.dat"),
             book.changed.mid(book.changed.indexOf('|') + 1));
  }

  // What is due is listed only once the crash's changes were offered back, so that the list
  // works on the book as it will stay.
  void theDueListWaitsForTheRecoveryQuestion() {
    CrashedBook book;
    schedules::Schedule rent;
    rent.id = QStringLiteral("rent");
    rent.changed = kWritten;
    rent.increase = QStringLiteral("E-餐費");
    rent.decrease = QStringLiteral("A-現金");
    rent.amount = 100;
    rent.rule.first = QDate(2003, 11, 3);
    rent.rule.dayOfMonth = 3;
    rent.rule.count = 1;
    QVERIFY(std::holds_alternative<schedules::ScheduleBook>(
        schedules::writeSchedules(book.dir.filePath("DataBase/Test/2003-11"), {{rent}, {}})));
    book.dialogs.answer(Answer::Yes);
    QVERIFY(book.open());
    std::vector<ScriptedDialogs::Shown::Kind> kinds;
    for (const auto& shown : book.dialogs.shown()) kinds.push_back(shown.kind);
    using K = ScriptedDialogs::Shown;
    QCOMPARE(kinds, (std::vector{K::Modal, K::Modal, K::MessageBox, K::Modal}));
    QCOMPARE(testbooks::bookBytes(book.store), book.changed);
  }

  // The links open their places, and show only where they lead; only OK leaves.
  void aboutLinksOpenOnlyWhatIsThereAndOnlyOkLeaves() {
    QTemporaryDir dir;
    QVERIFY(QFile(dir.filePath("readme.htm")).open(QIODevice::WriteOnly));
    AboutForm form(dir.filePath("readme.htm"), QStringLiteral(" kassa@example.com "));
    form.show();
    for (const char* name : {AboutForm::kHelpLink, AboutForm::kMailLink,
                             AboutForm::kProgram})  // the last one is no link
      QTest::mouseClick(child(form, name), Qt::LeftButton);
    QCOMPARE(opened_, (QList<QUrl>{QUrl::fromLocalFile(dir.filePath("readme.htm")),
                                   QUrl("mailto:kassa@example.com")}));
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(!form.close() && form.isVisible());  // nor the title bar
    QTest::keyClick(&form, Qt::Key_Return);
    QVERIFY(!form.isVisible() && form.result() == QDialog::Accepted);
    AboutForm bare(dir.filePath("none.htm"), QString());  // no help page, no address
    bare.show();
    QVERIFY(!child(bare, AboutForm::kHelpLink)->isVisible() &&
            !child(bare, AboutForm::kMailLink)->isVisible());
  }
};

QTEST_MAIN(MainFormTest)
#include "tst_mainform.moc"
