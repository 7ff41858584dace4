#include "WindowSteps.h"
#include "store/Module1.h"
#include "store/records.h"
#include "ui/main/MainForm.h"
#include "users/users.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

QString rowText(const QTreeWidget& ledger, int row) {
  QStringList cells;
  for (int c = 0; c < ledger.columnCount(); ++c) cells << ledger.topLevelItem(row)->text(c);
  return cells.join(QLatin1Char('|'));
}

// The login of the sample user, as a person types it.
void logInAsTest(ScriptedDialogs& dialogs) {
  whenShown(dialogs, [](QDialog& login) {
    QCOMPARE(child<QLineEdit>(login, "Text1")->text(), QStringLiteral("Test"));
    QTest::keyClicks(child(login, "Text2"), QStringLiteral("839"));
    click(login, "cmdOK");
  });
}

}  // namespace

class TestRoad : public QObject {
  Q_OBJECT

 private slots:
  void newDatabaseSurvivesLogOutAndLogIn() {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Module1 store(dir.path(), dialogs);
    store.clock().setToday(QDate(2003, 11, 5));
    // An installation with the sample user, who logged in last.
    QDir().mkpath(store.DataBaseFolder);
    QVERIFY(!CreateUser(store, QStringLiteral("Test"), QStringLiteral("839")));
    QFile ini(store.settingsFile());
    QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write("[UserName]=Test\r\n") > 0);
    ini.close();

    MainForm main(store);
    logInAsTest(dialogs);
    whenShown(dialogs, [&](QDialog& list) {
      QCOMPARE(child<QListWidget>(list, "List1")->count(), 0);
      dialogs.type(QStringLiteral("2003-11"));
      click(list, "Cmd5");
      dialogs.type(QStringLiteral("1500"));  // the starting cash
      click(list, "Cmd1");
    });
    QVERIFY(main.start());
    QCOMPARE(store.panel(Module1::UserPanel), QStringLiteral("使用者：Test"));
    QCOMPARE(store.panel(Module1::DatabasePanel), QStringLiteral("資料庫名稱：2003-11"));
    auto* ledger = child<QTreeWidget>(main, "Liv1");
    QCOMPARE(ledger->topLevelItemCount(), 1);
    QVERIFY(rowText(*ledger, 0).contains(QStringLiteral("1500")));

    // An entry made in the main window, then a log-out and a new login.
    store.EntryTable[store.EntryCount++] =
        makeEntry(QStringLiteral("2003/11/06"), QStringLiteral("A-現金"), QStringLiteral("Equity"),
                  250, QStringLiteral("加值"));
    main.redrawLedger(true);
    QCOMPARE(ledger->topLevelItemCount(), 2);
    logInAsTest(dialogs);
    whenShown(dialogs, [&](QDialog& list) {
      QCOMPARE(child<QListWidget>(list, "List1")->item(0)->text(), QStringLiteral("2003-11"));
      QVERIFY(!child<QPushButton>(list, "Cmd0")->isEnabled());
      click(list, "Cmd1");
    });
    child<QAction>(main, "Menu_Logout")->trigger();

    QCOMPARE(store.EntryCount, 3);
    QCOMPARE(store.EntryTable[2].Amount, 250);
    QCOMPARE(ledger->topLevelItemCount(), 2);
    QVERIFY(rowText(*ledger, 1).contains(QStringLiteral("加值")));
    QVERIFY(dialogs.allAnswersUsed());
    QVERIFY(dialogs.unscripted().isEmpty() && dialogs.messages().empty());
  }
};

QTEST_MAIN(TestRoad)
#include "tst_road.moc"
