#include "MainWindow.h"
#include "WindowSteps.h"
#include "store/Module1.h"
#include "ui/main/MainForm.h"
#include "ui/main/Session.h"

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

class TestLogin : public QObject {
  Q_OBJECT

 private slots:
  void newUserLogsInSeesTheListAndComesBackToTheLogin() {
    MainWindowBook book;
    auto& [dir, dialogs, store, window, session] = book;
    whenShown(dialogs, [](QDialog& login) {
      click(login, "Cmd1");  // the new-user window, next
      QCOMPARE(child<QLineEdit>(login, "Text2")->displayText(), QStringLiteral("***"));
      click(login, "cmdOK");
    });
    whenShown(dialogs, [&](QDialog& form) {
      typeIn(form, "Text1", QStringLiteral("小明"));
      typeIn(form, "Text2", QStringLiteral("ab"));
      click(form, "Cmd1");
      QVERIFY(form.isVisible());
      QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("密碼格式不正確，請重新輸入")});
      typeIn(form, "Text2", QStringLiteral("abc"));
      QTest::keyClick(child(form, "Text2"), Qt::Key_Return);  // Enter is "確定"
      QVERIFY(!form.isVisible());
    });
    whenShown(dialogs, [&](QDialog& list) {
      QCOMPARE(store.panel(Module1::UserPanel), QStringLiteral("使用者：小明"));
      click(list, "Cmd6");  // log out
    });
    whenShown(dialogs, [&](QDialog& login) {
      QCOMPARE(child<QLineEdit>(login, "Text2")->text(), QString());
      typeIn(login, "Text2", QStringLiteral("abd"));
      click(login, "cmdOK");
      QVERIFY(login.isVisible());
      QCOMPARE(dialogs.lastMessage(), refusal(QStringLiteral("密碼不正確，請重新輸入")));
      QTest::keyClick(&login, Qt::Key_Escape);  // ends the program
    });
    QVERIFY(!session.start());
    QVERIFY(dialogs.allAnswersUsed() && dialogs.unscripted().isEmpty());
    QVERIFY(store.endRequested());
    QCOMPARE(store.panel(Module1::UserPanel), QStringLiteral("使用者："));
  }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
