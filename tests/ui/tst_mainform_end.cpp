// Starting and ending the program from its main window: the DataBase folder, saving on exit
// by the menu or the title bar, and a save that fails.
#include "ScriptedDialogs.h"
#include "platform/safefile.h"
#include "store/Module1.h"
#include "store/database.h"
#include "store/ledger.h"
#include "ui/main/MainForm.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray bytesOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program with database "2025" of user1 open and saved, shown in its main window.
struct Program {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
  MainForm window{store};

  explicit Program(bool open = true) {
    window.show();
    if (!open) return;
    store.UserName = QStringLiteral("user1");
    store.DataBaseName = QStringLiteral("2025");
    QDir().mkpath(store.databaseFolder());
    store.AccountTable[1] = makeAccount(QStringLiteral("A-現金"), kAsset);
    store.AccountTable[2] = makeAccount(QStringLiteral("Equity"), kEquity);
    store.AccountCount = 3;
    for (qint32 amount : {1000, 20, 30}) {
      store.EntryTable[store.EntryCount] =
          makeEntry(QStringLiteral("2025/01/01"), QStringLiteral("A-現金"),
                    QStringLiteral("Equity"), amount, QString());
      ++store.EntryCount;
    }
    if (SaveDatabase(store)) qFatal("cannot prepare the database");
    store.FillAccountLists();
  }

  QString entriesFile() const { return store.databaseFolder() + QStringLiteral("/Main.dat"); }
  QString accountsFile() const { return store.databaseFolder() + QStringLiteral("/Accounts.dat"); }

  // A change in memory only, as every command makes.
  void deleteSecondEntry() {
    markDeleted(store, 2);
    CompactEntries(store);
  }
};

}  // namespace

class MainFormEndTest : public QObject {
  Q_OBJECT

 private slots:
  void startShowsTheLoginWithTheLastUser_data() {
    QTest::addColumn<QByteArray>("settings");  // nothing: no settings file
    QTest::addColumn<QString>("name");
    QTest::newRow("last user") << QByteArray("[UserName]=user1\r\n") << QStringLiteral("user1");
    QTest::newRow("no user yet") << QByteArray("[UserName]=\r\n") << QString();
    QTest::newRow("no settings file") << QByteArray() << QString();
  }
  void startShowsTheLoginWithTheLastUser() {
    QFETCH(QByteArray, settings);
    QFETCH(QString, name);
    Program p(false);
    p.window.hide();
    if (!settings.isEmpty()) {
      QFile file(p.dir.filePath(QStringLiteral("Varnix.ini")));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(settings);
    }
    p.store.OpenedFromMenu = true;
    QString shownName;
    bool windowBehind = false;
    p.dialogs.onModal([&](QDialog& login) {
      shownName = login.findChild<QLineEdit*>(QStringLiteral("Text1"))->text();
      windowBehind =
          p.window.isVisible() && QDir(p.store.DataBaseFolder).exists() && !p.store.OpenedFromMenu;
      // The login's own exit ends the program before any database is open.
      QTest::mouseClick(login.findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
      return login.result();
    });
    QVERIFY(!p.window.start());
    QCOMPARE(shownName, name);
    QVERIFY(windowBehind);
    QVERIFY(!p.window.isVisible());
    QVERIFY(QDir(p.dir.filePath(QStringLiteral("DataBase"))).exists());
    QVERIFY(p.dialogs.unscripted().isEmpty());
  }

  void endingSaves_data() {
    QTest::addColumn<bool>("byMenu");
    QTest::newRow("title bar") << false;
    QTest::newRow("結束(&Q)") << true;
  }
  void endingSaves() {
    QFETCH(bool, byMenu);
    Program p;
    p.deleteSecondEntry();
    if (byMenu) {
      p.window.findChild<QAction*>(QStringLiteral("Quit"))->trigger();
    } else {
      QVERIFY(p.window.close());
    }
    QVERIFY(!p.window.isVisible());
    QCOMPARE(bytesOf(p.entriesFile()), entriesFileBytes(p.store.EntryTable, 3));
    QCOMPARE(bytesOf(p.entriesFile()).size(), 128 + 104);
    QVERIFY(p.dialogs.shown().empty());
  }

  void aFailedSaveKeepsTheWindowOpen() {
    Program p;
    const QByteArray before = bytesOf(p.entriesFile());
    const QByteArray accountsBefore = bytesOf(p.accountsFile());
    p.deleteSecondEntry();
    {
      safefile::FailAfterBytes full(0);
      QVERIFY(!p.window.close());
    }
    QVERIFY(p.window.isVisible());
    QCOMPARE(p.dialogs.messages().size(), size_t(1));
    QVERIFY(p.dialogs.lastMessage().text.startsWith(QStringLiteral("資料庫沒有存好：")));
    QCOMPARE(p.dialogs.lastMessage().title, QStringLiteral("注意"));
    QCOMPARE(bytesOf(p.entriesFile()), before);
    QCOMPARE(bytesOf(p.accountsFile()), accountsBefore);
    QCOMPARE(p.store.EntryCount, 3);  // the change is still there to be saved

    // With room on the disk again, the same exit saves and ends.
    QVERIFY(p.window.close());
    QCOMPARE(bytesOf(p.entriesFile()), entriesFileBytes(p.store.EntryTable, 3));
  }

  void withoutADatabaseThereIsNothingToSave() {
    Program p(false);
    QVERIFY(p.window.close());
    QVERIFY(p.dialogs.shown().empty());
    QCOMPARE(QDir(p.dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
  }

  void anEndRequestedElsewhereSavesOnlyWhenAsked_data() {
    QTest::addColumn<bool>("save");
    QTest::newRow("login's exit") << false;
    QTest::newRow("with saving") << true;
  }
  void anEndRequestedElsewhereSavesOnlyWhenAsked() {
    QFETCH(bool, save);
    Program p;
    const QByteArray before = bytesOf(p.entriesFile());
    p.deleteSecondEntry();
    p.store.requestEnd(save);
    QVERIFY(!p.window.isVisible());
    QCOMPARE(bytesOf(p.entriesFile()), save ? entriesFileBytes(p.store.EntryTable, 3) : before);
    QVERIFY(p.dialogs.shown().empty());
  }
};

QTEST_MAIN(MainFormEndTest)
#include "tst_mainform_end.moc"
