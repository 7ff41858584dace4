// The main window driven as a person would: the ledger of the chosen account, ticking and
// deleting ticked entries, undo and redo, and ending the program. Opening a book after a crash,
// through the session's road from the login: the question with the time the changes were
// written, and the changes back. The about box: its links lead only where something is (the
// installed help page, a mail address named at build time), and only OK (Enter) leaves it.
// And a household's year through the whole program.
#include "TestFiles.h"
#include "WindowSteps.h"
#include "accounts/AccountForm.h"
#include "accounts/chart.h"
#include "book/book.h"
#include "book/recovery.h"
#include "catalogue/OpenForm.h"
#include "entries/InputForm.h"
#include "platform/safefile.h"
#include "reports/statements/BSForm.h"
#include "schedules/schedulefile.h"
#include "store/ledger.h"
#include "ui/main/AboutForm.h"
#include "users/LoginForm.h"
#include "users/NewUserForm.h"

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

// Picker positions once the year's chart is built.
constexpr int kCash = 0, kFood = 2, kSalary = 3, kBank = 4, kCard = 5;

const QDateTime kWritten(QDate(2026, 12, 7), QTime(7, 5, 9), Qt::UTC);

// The user "Test" with the book "2003-11", its files as last saved, and a recovery file that
// holds one entry more.
struct CrashedBook : MainWindowBook {
  QByteArray changed;
  CrashedBook() {
    book::Workspace crashed{dir.path()};  // the run that left the recovery file behind
    testbooks::signIn(crashed, "Test", "2003-11");
    const QString user = crashed.user().userFolder(), folder = crashed.user().databaseFolder();
    testbooks::addAccounts(crashed, {"A-現金", "E-餐費"});
    testbooks::addEntry(crashed, "2003/11/01", "E-餐費", "A-現金", 120, "早餐");
    if (!testbooks::writeBook(crashed, folder) ||
        safefile::write(user + "/DataBase.pwd", "003800330039\r\n") ||
        safefile::write(user + "/DataBase.lst", "2003-11\r\n"))
      qFatal("cannot write the book");
    testbooks::addEntry(crashed, "2003/11/02", "E-餐費", "A-現金", 250, "午餐");
    changed = testbooks::bookBytes(crashed);
    recovery::Snapshot snapshot = recovery::snapshotOf(crashed);
    snapshot.written = kWritten;
    recovery::write(folder, snapshot);
  }
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

  // Ticking selects, deleting asks first; then 復原 and 重做 by their keys, named after the
  // step, the ledger redrawn each time.
  void deletesTheTickedEntriesAfterAYesAndTheKeysUndoAndRedoIt() {
    Program p;
    QApplication::setActiveWindow(&p.window);
    const auto press = [&](QKeyCombination keys) { QTest::keySequence(&p.window, keys); };
    QVERIFY(!p.undo->isEnabled() && !p.redo->isEnabled());
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

    const QStringList kept{"1", "2"};
    QCOMPARE(p.undo->text(), QStringLiteral("復原 刪除記錄(&U)"));
    press(Qt::CTRL | Qt::Key_Z);
    QCOMPARE(p.numbers(), (QStringList{"1", "2", "3", "4", "4"}));
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

  // Yes brings the changes back; what is due is listed only once they were offered back, so
  // that the list works on the book as it will stay.
  void theQuestionSaysWhenAndYesBringsTheChangesBackBeforeTheDueList() {
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
    queueSignInAndOpen(book.dialogs);
    QVERIFY(book.session.start());
    std::vector<ScriptedDialogs::Shown::Kind> kinds;
    for (const auto& shown : book.dialogs.shown()) kinds.push_back(shown.kind);
    using K = ScriptedDialogs::Shown;
    QCOMPARE(kinds, (std::vector{K::Modal, K::Modal, K::MessageBox, K::Modal}));
    const Message asked = book.dialogs.lastMessage();
    QCOMPARE(asked.buttons, MessageButtons::YesNo);  // Yes is the default button
    QVERIFY2(asked.text.contains(recovery::timeInWords(kWritten)), qPrintable(asked.text));
    QCOMPARE(testbooks::bookBytes(book.store), book.changed);
    QCOMPARE(book.store.panel(book::Workspace::EntriesPanel), QStringLiteral("資料筆數：2"));
    const QString file = recovery::pathIn(book.store.user().databaseFolder());
    QVERIFY(QFile::exists(file));  // until the book is left
    QVERIFY(book.session.end(true));
    QVERIFY(!QFile::exists(file));
    QCOMPARE(fileBytes(book.store.user().databaseFolder() + "/Main.dat"),
             book.changed.mid(book.changed.indexOf('|') + 1));
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

  // A household's year as a person goes through it: a first start on an empty installation, a
  // new user and a new database, the chart, entries in several months, the statements at two
  // dates, closing the books at mid-year, logging out and in again and finding the book as it
  // was left.
  void aYearOfAHousehold() {
    MainWindowBook book;
    auto& [dir, dialogs, store, main, session] = book;
    const QString user = QStringLiteral("家計"), password = QStringLiteral("1234");
    // The net worth and balance lines of the statements at `date`.
    const auto statements = [&](const QString& date) {
      QString lines;
      whenShown(dialogs, [&](QDialog& d) {
        typeIn(d, BSForm::kDate, date);
        click(d, BSForm::kShow);
        lines = child<QLineEdit>(d, BSForm::kNetWorth)->text().trimmed() + " / " +
                child<QLineEdit>(d, BSForm::kBalance)->text();
        click(d, BSForm::kOk);
      });
      click(main, MainForm::kStatements);
      return lines;
    };
    store.clock().setToday(QDate(2025, 1, 1));

    // First start: no user yet. One is created from the login window, logs in and creates the
    // year's database with 30000 in cash.
    whenShown(dialogs, [](QDialog& login) {
      click(login, LoginForm::kCreate);
      click(login, LoginForm::kOk);
    });
    whenShown(dialogs, [&](QDialog& newUser) {
      child<QLineEdit>(newUser, NewUserForm::kUserName)
          ->insert(user);  // as an input method commits it
      typeIn(newUser, NewUserForm::kPassword, password);
      click(newUser, NewUserForm::kOk);
    });
    whenShown(dialogs, [&](QDialog& list) {
      dialogs.type(QStringLiteral("2025"));
      click(list, OpenForm::kAdd);
      dialogs.type(QStringLiteral("30000"));
      click(list, OpenForm::kOpen);
    });
    QVERIFY(session.start());
    QCOMPARE(store.panel(book::Workspace::DatabasePanel), QStringLiteral("資料庫名稱：2025"));

    // The chart, then the year's entries typed with their dates in one sitting of the dialog.
    whenShown(dialogs, [](QDialog& d) {  // each account with Enter in its name box
      for (const auto& [kind, name, value] : {std::tuple{AccountForm::kKinds[3], "餐飲費", "0"},
                                              {AccountForm::kKinds[2], "薪資", "0"},
                                              {AccountForm::kKinds[0], "銀行存款", "100000"},
                                              {AccountForm::kKinds[1], "信用卡", "0"}}) {
        child<QRadioButton>(d, kind)->setChecked(true);
        child<QComboBox>(d, AccountForm::kName)->setEditText(QString::fromUtf8(name));
        child<QLineEdit>(d, AccountForm::kInitialValue)->setText(value);
        QTest::keyClick(child(d, AccountForm::kName), Qt::Key_Return);
      }
      click(d, AccountForm::kDone);
    });
    click(main, MainForm::kEditAccounts);
    whenShown(dialogs, [](QDialog& d) {  // each entry with Enter in the amount box
      for (const auto& [category, account, amount, memo, date] :
           {std::tuple{kSalary, kBank, "50000", "一月薪資", "2025/01/25"},
            {kFood, kCash, "1200", "情人節晚餐", "2025/2/14"},
            {kFood, kCard, "4500", "請客", "2025/03/10"},
            {kCard, kBank, "4500", "繳卡費", "2025-04-05"},
            {kFood, kCash, "800", "半年聚餐", "2025/06/30"},
            {kSalary, kBank, "50000", "七月薪資", "2025/07/25"},
            {kFood, kCard, "2000", "中秋", "2025/10/02"},
            {kFood, kCash, "600", "萬聖節", "2025/10/31"},
            {kCash, kBank, "10000", "提款", "2025/11/20"}}) {
        child<QComboBox>(d, InputForm::kIncrease)->setCurrentIndex(category);
        child<QComboBox>(d, InputForm::kDecrease)->setCurrentIndex(account);
        typeIn(d, InputForm::kDate, date);
        child<QPlainTextEdit>(d, InputForm::kMemo)->setPlainText(QString::fromUtf8(memo));
        child<QLineEdit>(d, InputForm::kAmount)->setText(amount);
        QTest::keyClick(child(d, InputForm::kAmount), Qt::Key_Return);
      }
      QVERIFY(d.isVisible());
      click(d, InputForm::kClose);
    });
    click(main, MainForm::kNew);
    QCOMPARE(store.panel(book::Workspace::EntriesPanel), QStringLiteral("資料筆數：12"));

    // The statements at the year's end and at mid-year.
    QCOMPARE(statements("2025/12/31"), QStringLiteral("財產淨值  220900 / 結餘  90900"));
    QCOMPARE(statements("2025/6/30"), QStringLiteral("財產淨值  173500 / 結餘  43500"));

    // Closing the books at mid-year, the date asked with today's offered: a cancelled box or a
    // date that is none changes nothing. The entry of 06/30 goes into the carried balances, the net
    // worth stays, the income statement starts again.
    dialogs.clear();
    for (const char* date : {"", "abc", "2025/6/30"}) {
      dialogs.type(QString::fromUtf8(date));
      click(main, MainForm::kCloseBooks);
    }
    QCOMPARE(dialogs.shown().at(0).defaultText, QStringLiteral("2025/01/01"));
    QCOMPARE(dialogs.messages(), (std::vector{refusal(QStringLiteral("不是正確的日期格式")),
                                              completion(QStringLiteral("資料結帳完成"))}));
    QCOMPARE(store.panel(book::Workspace::EntriesPanel), QStringLiteral("資料筆數：7"));
    QVERIFY(child<QTreeWidget>(main, MainForm::kLedger)->selectedItems().isEmpty());
    QCOMPARE(statements("2025/12/31"), QStringLiteral("財產淨值  220900 / 結餘  47400"));

    // Log out (which saves), log in again and reopen the year: the book is as it was left.
    const QByteArray before =
        store::entriesFileBytes(store.tables().entries, store.tables().entryCount);
    whenShown(dialogs, [&](QDialog& login) {
      store.tables().entryCount = 1;  // saved by now: what comes back must come from the files
      QCOMPARE(child<QLineEdit>(login, LoginForm::kUserName)->text(), user);
      QTest::keyClicks(child(login, LoginForm::kPassword), password);
      click(login, LoginForm::kOk);
    });
    whenShown(dialogs, [](QDialog& list) {
      QVERIFY(!child(list, OpenForm::kCancel)->isEnabled());
      click(list, OpenForm::kOpen);
    });
    child<QAction>(main, MainForm::kLogOut)->trigger();
    QCOMPARE(store::entriesFileBytes(store.tables().entries, store.tables().entryCount), before);
    QCOMPARE(statements("2025/12/31"), QStringLiteral("財產淨值  220900 / 結餘  47400"));
    QVERIFY(dialogs.allAnswersUsed() && dialogs.unscripted().isEmpty());
  }
};

QTEST_MAIN(MainFormTest)
#include "tst_mainform.moc"
