// Opening a book after a crash, through the session's own road from the login to the open
// book: the question with the time the changes were written, and the changes back.
#include "TestFiles.h"
#include "WindowSteps.h"
#include "book/recovery.h"
#include "catalogue/OpenForm.h"
#include "platform/safefile.h"
#include "users/LoginForm.h"

namespace {

const QDateTime kWritten(QDate(2026, 12, 7), QTime(7, 5, 9), Qt::UTC);

// The user "Test" with the book "2003-11", its files as last saved, and a recovery file that
// holds one entry more.
struct CrashedBook : MainWindowBook {
  QByteArray changed;
  CrashedBook() {
    store.user().setUserName("Test");
    store.user().setDatabaseName("2003-11");
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
    whenShown(dialogs, [](QDialog& login) {
      typeIn(login, LoginForm::kUserName, "Test");
      typeIn(login, LoginForm::kPassword, "839");
      click(login, LoginForm::kOk);
    });
    whenShown(dialogs, [](QDialog& list) { click(list, OpenForm::kOpen); });
    return session.start();
  }
  QString file() const { return recovery::pathIn(store.user().databaseFolder()); }
};

}  // namespace

class TestRecovery : public QObject {
  Q_OBJECT

 private slots:
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
};

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
