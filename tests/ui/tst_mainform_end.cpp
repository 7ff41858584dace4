// Ending the program from its main window: saving on the way out, whichever way it is asked,
// and a save that fails.
#include "Books.h"
#include "MainWindow.h"
#include "WindowSteps.h"
#include "platform/safefile.h"
#include "store/Module1.h"
#include "store/database.h"
#include "store/ledger.h"
#include "ui/main/MainForm.h"
#include "ui/main/Session.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Database "2025" of user1 saved with three entries, then the second deleted in memory only.
struct Program : MainWindowBook {
  QByteArray savedEntries, savedAccounts;

  Program() {
    window.show();
    store.UserName = QStringLiteral("user1");
    store.DataBaseName = QStringLiteral("2025");
    QDir().mkpath(store.databaseFolder());
    testbooks::addAccounts(store, {"A-現金", "Equity"});
    for (qint32 amount : {1000, 20, 30})
      testbooks::addEntry(store, "2025/01/01", "A-現金", "Equity", amount);
    if (!SaveDatabase(store).saved()) qFatal("cannot prepare the database");
    savedEntries = bytes("Main.dat");
    savedAccounts = bytes("Accounts.dat");
    markDeleted(store, 2);
    CompactEntries(store);
  }
  QByteArray bytes(const char* name) const {
    QFile file(store.databaseFolder() + QLatin1Char('/') + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QByteArray entriesInMemory() const { return entriesFileBytes(store.EntryTable, 3); }
};

enum Way { TitleBar, QuitMenu, AskedWithSaving, AskedWithoutSaving };

}  // namespace

class MainFormEndTest : public QObject {
  Q_OBJECT

 private slots:
  void endingSavesUnlessToldNotTo_data() {
    QTest::addColumn<int>("way");
    QTest::newRow("title bar") << int(TitleBar);
    QTest::newRow("結束(&Q)") << int(QuitMenu);
    QTest::newRow("asked with saving") << int(AskedWithSaving);
    QTest::newRow("asked without (the login's exit)") << int(AskedWithoutSaving);
  }
  void endingSavesUnlessToldNotTo() {
    QFETCH(int, way);
    Program p;
    if (way == TitleBar) QVERIFY(p.window.close());
    if (way == QuitMenu) child<QAction>(p.window, "Quit")->trigger();
    if (way >= AskedWithSaving) p.store.requestEnd(way == AskedWithSaving);
    QVERIFY(!p.window.isVisible());
    QCOMPARE(p.bytes("Main.dat"), way == AskedWithoutSaving ? p.savedEntries : p.entriesInMemory());
    QVERIFY(p.dialogs.shown().empty());
  }

  void aFailedSaveKeepsTheWindowOpenAndTheFilesWhole() {
    Program p;
    {
      safefile::FailAfterBytes full(0);
      QVERIFY(!p.window.close());
    }
    QVERIFY(p.window.isVisible());
    QVERIFY(p.dialogs.lastMessage().text.startsWith(QStringLiteral("資料庫沒有存好：")));
    QCOMPARE(p.bytes("Main.dat"), p.savedEntries);
    QCOMPARE(p.bytes("Accounts.dat"), p.savedAccounts);
    // With room on the disk again, the same exit saves the change kept in memory, and ends.
    QVERIFY(p.window.close());
    QVERIFY(!p.window.isVisible());
    QCOMPARE(p.bytes("Main.dat"), p.entriesInMemory());
  }
};

QTEST_MAIN(MainFormEndTest)
#include "tst_mainform_end.moc"
