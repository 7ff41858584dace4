// The login window: a new user, a wrong password, and the sample user of a fresh installation.
#include "WindowSteps.h"
#include "backup/folders.h"
#include "catalogue/OpenForm.h"
#include "platform/datafolder.h"
#include "users/LoginForm.h"
#include "users/NewUserForm.h"
#include "users/password.h"

class TestLogin : public QObject {
  Q_OBJECT

 private slots:
  void newUserLogsInSeesTheListAndComesBackToTheLogin() {
    MainWindowBook book;
    auto& [dir, dialogs, store, window, session] = book;
    whenShown(dialogs, [](QDialog& login) {
      click(login, LoginForm::kCreate);  // the new-user window, next
      QCOMPARE(child<QLineEdit>(login, LoginForm::kPassword)->displayText(), QStringLiteral("***"));
      click(login, LoginForm::kOk);
    });
    whenShown(dialogs, [&](QDialog& form) {
      typeIn(form, NewUserForm::kUserName, QStringLiteral("小明"));
      typeIn(form, NewUserForm::kPassword, QStringLiteral("ab"));
      click(form, NewUserForm::kOk);
      QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("密碼格式不正確，請重新輸入")});
      typeIn(form, NewUserForm::kPassword, QStringLiteral("abc"));
      QTest::keyClick(child(form, NewUserForm::kPassword), Qt::Key_Return);  // Enter is "確定"
    });
    whenShown(dialogs, [&](QDialog& list) { click(list, OpenForm::kLogOut); });  // log out
    whenShown(dialogs, [&](QDialog& login) {
      QCOMPARE(child<QLineEdit>(login, LoginForm::kPassword)->text(), QString());
      typeIn(login, LoginForm::kPassword, QStringLiteral("abd"));
      click(login, LoginForm::kOk);
      QVERIFY(login.isVisible());
      QCOMPARE(dialogs.lastMessage(), refusal(QStringLiteral("密碼不正確，請重新輸入")));
      QTest::keyClick(&login, Qt::Key_Escape);  // ends the program
    });
    QVERIFY(!session.start());
    QVERIFY(dialogs.allAnswersUsed() && dialogs.unscripted().isEmpty());
    QVERIFY(store.endRequested());
    QCOMPARE(store.panel(book::Workspace::UserPanel), QStringLiteral("使用者："));
  }

  // Installed under /usr, started from /usr/bin by a person with a home of their own: the
  // login appears alone, and the main window is built behind it once the login is drawn.
  void firstStartInTheHomeLogsInAsTest() {
    QTemporaryDir dir;
    const QString root = dir.path(), shipped = VARNIX_SOURCE_DIR "/resources/defaults";
    QVERIFY(QDir().mkpath(root + "/usr/bin") && QDir().mkpath(root + "/usr/share"));
    QVERIFY(!folders::copy(shipped + "/program", root + "/usr/share/varnix"));
    QVERIFY(!folders::copy(shipped + "/data", root + "/usr/share/varnix/defaults"));
    const datafolders::Place place =
        datafolders::choose({root + "/usr/bin", {}, {}, {}, root + "/home"});
    QVERIFY(!datafolders::prepare(place));

    ScriptedDialogs dialogs;
    book::Workspace store(place.dataFolder, place.programFiles);
    MainForm window(store, dialogs, MainForm::Building::Later);
    Session session(store, dialogs, window);
    whenShown(dialogs, [&](QDialog& login) {
      QVERIFY(!window.isVisible() && !window.findChild<QWidget*>(MainForm::kLedger));
      QTRY_VERIFY(window.isVisible() && window.findChild<QWidget*>(MainForm::kLedger));
      QCOMPARE(QApplication::activeModalWidget(), &login);
      QCOMPARE(child<QLineEdit>(login, LoginForm::kUserName)->text(), QStringLiteral("Test"));
      QTest::keyClicks(child(login, LoginForm::kPassword), QStringLiteral("839"));
      click(login, LoginForm::kOk);
    });
    whenShown(dialogs, [](QDialog& list) { click(list, OpenForm::kLogOut); });
    whenShown(dialogs, [](QDialog& login) { click(login, LoginForm::kEnd); });
    QVERIFY(!session.start());
    QVERIFY(dialogs.allAnswersUsed() && dialogs.unscripted().isEmpty());
    QCOMPARE(store.user().helpPage(), root + "/usr/share/varnix/readme.htm");
    QVERIFY(QFileInfo(store.user().helpPage()).isFile());
  }

  // The hint names the sample user only while it waits as a first start lays it out.
  void theSampleUserHintShowsOnlyWhereThatUserWaits_data() {
    QTest::addColumn<QString>("password");  // of a user folder "Test"; none when empty
    QTest::addColumn<bool>("hinted");
    QTest::newRow("a data folder without the defaults") << QString() << false;
    QTest::newRow("the sample user as laid out") << QStringLiteral("839") << true;
    QTest::newRow("the sample's password changed") << QStringLiteral("5678") << false;
  }
  void theSampleUserHintShowsOnlyWhereThatUserWaits() {
    QFETCH(QString, password);
    QFETCH(bool, hinted);
    testbooks::Books b;
    const QString sample = b.store.user().usersFolder() + QStringLiteral("Test");
    if (!password.isEmpty()) {
      QVERIFY(QDir().mkpath(sample));
      QVERIFY(!password::writePasswordFile(sample + "/" + password::kPasswordFile, password));
    }
    LoginForm login(b.store, b.dialogs);
    login.show();
    QCOMPARE(child(login, LoginForm::kSampleUserHint)->isVisible(), hinted);
  }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
