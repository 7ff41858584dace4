#include "ScriptedDialogs.h"
#include "store/Module1.h"
#include "ui/forms.h"
#include "users/LoginForm.h"
#include "users/NewUserForm.h"
#include "users/users.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

template <class T = QWidget>
T* child(QWidget& window, const char* name) {
  T* found = window.findChild<T*>(QLatin1String(name));
  if (!found) qFatal("no control %s", name);
  return found;
}

void click(QWidget& window, const char* name) {
  QTest::mouseClick(child<QPushButton>(window, name), Qt::LeftButton);
}

void typeInto(QWidget& window, const char* name, const QString& text) {
  auto* box = child<QLineEdit>(window, name);
  box->clear();
  // Chinese text arrives whole from the input method; the test's key table knows ASCII only.
  for (const QChar c : text) {
    if (c.unicode() < 0x80) {
      QTest::keyClicks(box, QString(c));
    } else {
      box->insert(QString(c));
    }
  }
}

// Runs `steps` against the next window shown modally; the window's result is what it returns.
template <class F>
void whenShown(ScriptedDialogs& dialogs, F steps) {
  dialogs.onModal([steps](QDialog& window) {
    window.show();
    steps(window);
    return window.result();
  });
}

}  // namespace

class TestLogin : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir = std::make_unique<QTemporaryDir>();
    dialogs = std::make_unique<ScriptedDialogs>();
    store = std::make_unique<Module1>(dir->path(), *dialogs);
    QDir().mkpath(store->DataBaseFolder);
  }

  void newUserPasswordLengths_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("2 characters") << QStringLiteral("ab") << false;
    QTest::newRow("3 characters") << QStringLiteral("abc") << true;
    QTest::newRow("8 characters") << QStringLiteral("abcdefgh") << true;
    QTest::newRow("9 characters") << QStringLiteral("abcdefghi") << false;
    QTest::newRow("3 two-byte characters") << QStringLiteral("中文字") << true;
  }

  void newUserPasswordLengths() {
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    LoginForm login(*store);
    login.show();
    bool stayedOpen = false;
    whenShown(*dialogs, [&](QDialog& form) {
      QCOMPARE(form.windowTitle(), QStringLiteral("建立新用戶"));
      typeInto(form, "Text1", QStringLiteral("小明"));
      typeInto(form, "Text2", password);
      QCOMPARE(child<QLineEdit>(form, "Text2")->displayText(), QString(password.size(), '*'));
      click(form, "Cmd1");
      stayedOpen = form.isVisible();
      if (stayedOpen) click(form, "Cmd2");
      QVERIFY(!form.isVisible());
    });
    click(login, "Cmd1");
    QVERIFY(dialogs->allAnswersUsed());
    QCOMPARE(stayedOpen, !accepted);
    QCOMPARE(QDir(store->DataBaseFolder + QStringLiteral("小明")).exists(), accepted);
    if (!accepted) {
      QCOMPARE(dialogs->messageTexts(), QStringList{QStringLiteral("密碼格式不正確，請重新輸入")});
      QCOMPARE(child<QLineEdit>(login, "Text1")->text(), QString());
      return;
    }
    // The login window holds the new user, masked; its OK logs the user in.
    QCOMPARE(child<QLineEdit>(login, "Text1")->text(), QStringLiteral("小明"));
    QCOMPARE(child<QLineEdit>(login, "Text2")->text(), password);
    QCOMPARE(child<QLineEdit>(login, "Text2")->displayText(), QString(password.size(), '*'));
    QVERIFY(dialogs->messages().empty());
    click(login, "cmdOK");
    QVERIFY(login.loggedIn());
    QVERIFY(!login.isVisible());
    QCOMPARE(store->panel(Module1::UserPanel), QStringLiteral("使用者：小明"));
  }

  void newUserTakenNameKeepsTheWindowOpen() {
    QVERIFY(!CreateUser(*store, QStringLiteral("Test"), QStringLiteral("839")));
    NewUserForm form(*store);
    form.show();
    typeInto(form, "Text1", QStringLiteral("Test"));
    typeInto(form, "Text2", QStringLiteral("abc"));
    QTest::keyClick(child(form, "Text2"), Qt::Key_Return);  // Enter is "確定"
    QCOMPARE(dialogs->lastMessage().text, QStringLiteral("使用者已存在，請使用其他名稱"));
    QVERIFY(form.isVisible());
    QTest::keyClick(&form, Qt::Key_Escape);  // no cancel binding
    QVERIFY(form.isVisible());
    QVERIFY(!form.created());
  }

  void wrongPasswordKeepsBothBoxes() {
    QVERIFY(!CreateUser(*store, QStringLiteral("Test"), QStringLiteral("839")));
    LoginForm login(*store);
    login.setUserName(QStringLiteral("Test"));
    login.show();
    QCOMPARE(login.focusWidget(), child(login, "Text1"));
    typeInto(login, "Text2", QStringLiteral("938"));
    click(login, "cmdOK");
    QCOMPARE(dialogs->lastMessage(), refusal(QStringLiteral("密碼不正確，請重新輸入")));
    QVERIFY(login.isVisible());
    QVERIFY(!login.loggedIn());
    QCOMPARE(child<QLineEdit>(login, "Text1")->text(), QStringLiteral("Test"));
    QCOMPARE(child<QLineEdit>(login, "Text2")->text(), QStringLiteral("938"));
    QCOMPARE(store->UserName, QString());
    QVERIFY(!QFile::exists(store->settingsFile()));
  }

  void escapeEndsTheProgram() {
    LoginForm login(*store);
    login.show();
    QTest::keyClick(&login, Qt::Key_Escape);
    QVERIFY(store->endRequested());
    QVERIFY(!login.isVisible());
    QVERIFY(!login.loggedIn());
  }

  void loginShowsTheListAndItsLogOutComesBack() {
    QVERIFY(!CreateUser(*store, QStringLiteral("Test"), QStringLiteral("839")));
    whenShown(*dialogs, [&](QDialog& login) {
      QCOMPARE(child<QLineEdit>(login, "Text1")->text(), QStringLiteral("Test"));
      QCOMPARE(child<QLineEdit>(login, "Text2")->text(), QString());
      typeInto(login, "Text2", QStringLiteral("839"));
      click(login, "cmdOK");
    });
    whenShown(*dialogs, [&](QDialog& list) {
      QCOMPARE(list.windowTitle(), QStringLiteral("資料庫選單"));
      QCOMPARE(child<QListWidget>(list, "List1")->count(), 0);
      QCOMPARE(QFile::exists(store->settingsFile()), true);
      click(list, "Cmd6");
    });
    whenShown(*dialogs, [&](QDialog& login) {
      QCOMPARE(child<QLineEdit>(login, "Text1")->text(), QStringLiteral("Test"));
      click(login, "cmdCancel");
    });
    showLogin(*store, QStringLiteral("Test"), nullptr);
    QVERIFY(dialogs->allAnswersUsed());
    QVERIFY(dialogs->unscripted().isEmpty());
    QVERIFY(store->endRequested());
    QCOMPARE(store->panel(Module1::UserPanel), QStringLiteral("使用者："));
  }

 private:
  std::unique_ptr<QTemporaryDir> dir;
  std::unique_ptr<ScriptedDialogs> dialogs;
  std::unique_ptr<Module1> store;
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
