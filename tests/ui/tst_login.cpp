#include "WindowSteps.h"
#include "store/Module1.h"
#include "ui/main/MainForm.h"
#include "ui/main/Session.h"

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

// Chinese text arrives whole from the input method; the test's key table knows ASCII only.
void typeInto(QWidget& window, const char* name, const QString& text) {
  auto* box = child<QLineEdit>(window, name);
  box->clear();
  for (const QChar c : text)
    c.unicode() < 0x80 ? QTest::keyClicks(box, QString(c)) : box->insert(QString(c));
}

}  // namespace

class TestLogin : public QObject {
  Q_OBJECT

 private slots:
  void newUserLogsInSeesTheListAndComesBackToTheLogin() {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Module1 store(dir.path(), dialogs);
    MainForm window(store);
    Session session(store, window);
    whenShown(dialogs, [](QDialog& login) {
      click(login, "Cmd1");  // the new-user window, next
      QCOMPARE(child<QLineEdit>(login, "Text2")->displayText(), QStringLiteral("***"));
      click(login, "cmdOK");
    });
    whenShown(dialogs, [&](QDialog& form) {
      typeInto(form, "Text1", QStringLiteral("小明"));
      typeInto(form, "Text2", QStringLiteral("ab"));
      click(form, "Cmd1");
      QVERIFY(form.isVisible());
      QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("密碼格式不正確，請重新輸入")});
      typeInto(form, "Text2", QStringLiteral("abc"));
      QTest::keyClick(child(form, "Text2"), Qt::Key_Return);  // Enter is "確定"
      QVERIFY(!form.isVisible());
    });
    whenShown(dialogs, [&](QDialog& list) {
      QCOMPARE(store.panel(Module1::UserPanel), QStringLiteral("使用者：小明"));
      click(list, "Cmd6");  // log out
    });
    whenShown(dialogs, [&](QDialog& login) {
      QCOMPARE(child<QLineEdit>(login, "Text2")->text(), QString());
      typeInto(login, "Text2", QStringLiteral("abd"));
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
