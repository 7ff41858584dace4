// The login window: a new user, a wrong password, and the sample user of a fresh installation.
#include "WindowSteps.h"
#include "platform/datafolder.h"

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
      QCOMPARE(dialogs.messageTexts(), QStringList{QStringLiteral("密碼格式不正確，請重新輸入")});
      typeIn(form, "Text2", QStringLiteral("abc"));
      QTest::keyClick(child(form, "Text2"), Qt::Key_Return);  // Enter is "確定"
    });
    whenShown(dialogs, [&](QDialog& list) { click(list, "Cmd6"); });  // log out
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

  // Installed under /usr, started from /usr/bin by a person with a home of their own.
  void firstStartInTheHomeLogsInAsTest() {
    QTemporaryDir dir;
    const QString root = dir.path(), shipped = VARNIX_SOURCE_DIR "/resources/defaults";
    for (const auto& [from, to] :
         {std::pair{"/data", "/usr/share/varnix/defaults"}, {"/program", "/usr/share/varnix"}}) {
      const QString source = shipped + from;
      QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) {
        const QString target = root + to + it.next().mid(source.size());
        QVERIFY(QDir().mkpath(QFileInfo(target).path()) && QFile::copy(it.filePath(), target));
      }
    }
    QDir().mkpath(root + "/usr/bin");
    const datafolder::Place place =
        datafolder::choose({root + "/usr/bin", {}, {}, {}, root + "/home"});
    QVERIFY(!datafolder::prepare(place));

    ScriptedDialogs dialogs;
    Module1 store(place.dataFolder, dialogs, place.programFiles);
    MainForm window(store);
    Session session(store, window);
    whenShown(dialogs, [&](QDialog& login) {
      QCOMPARE(child<QLineEdit>(login, "Text1")->text(), QStringLiteral("Test"));
      QTest::keyClicks(child(login, "Text2"), QStringLiteral("839"));
      click(login, "cmdOK");
    });
    whenShown(dialogs, [](QDialog& list) { click(list, "Cmd6"); });
    whenShown(dialogs, [](QDialog& login) { click(login, "cmdCancel"); });
    QVERIFY(!session.start());
    QVERIFY(dialogs.allAnswersUsed() && dialogs.unscripted().isEmpty());
    QCOMPARE(store.helpPage(), root + "/usr/share/varnix/readme.htm");
    QVERIFY(QFileInfo(store.helpPage()).isFile());
  }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
