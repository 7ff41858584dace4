#include "ScriptedDialogs.h"
#include "catalogue/OpenForm.h"
#include "catalogue/catalogue.h"
#include "store/Module1.h"
#include "store/database.h"
#include "ui/forms.h"
#include "users/users.h"

#include <QDir>
#include <QFile>
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

QStringList listed(QWidget& window) {
  auto* list = child<QListWidget>(window, "List1");
  QStringList names;
  for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
  return names;
}

// The buttons that are enabled, in the window's column order.
QStringList enabledButtons(QWidget& window) {
  QStringList names;
  for (const char* name :
       {"Cmd1", "Cmd5", "Cmd2", "Cmd3", "Cmd4", "Cmd8", "Cmd9", "Cmd0", "Cmd6"}) {
    if (child<QPushButton>(window, name)->isEnabled()) names << QLatin1String(name);
  }
  return names;
}

template <class F>
void whenShown(ScriptedDialogs& dialogs, F steps) {
  dialogs.onModal([steps](QDialog& window) {
    window.show();
    steps(window);
    return window.result();
  });
}

}  // namespace

class TestOpenForm : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir = std::make_unique<QTemporaryDir>();
    dialogs = std::make_unique<ScriptedDialogs>();
    store = std::make_unique<Module1>(dir->path(), *dialogs);
    store->clock().setToday(QDate(2003, 11, 5));
    QDir().mkpath(store->DataBaseFolder);
    QVERIFY(!CreateUser(*store, QStringLiteral("Test"), QStringLiteral("839")));
    QVERIFY(!LogIn(*store, QStringLiteral("Test"), QStringLiteral("839")));
  }

  void buttonsFollowTheList() {
    OpenForm form(*store);
    QVERIFY(!form.load());
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("資料庫選單"));
    // A new user's first visit: only new, the moves and log-out act.
    QCOMPARE(enabledButtons(form), QStringList({"Cmd5", "Cmd8", "Cmd9", "Cmd6"}));
    click(form, "Cmd1");
    click(form, "Cmd0");
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(form.isVisible());
    QCOMPARE(dialogs->messages().size(), 0u);

    dialogs->type(QStringLiteral("2003-11"));
    click(form, "Cmd5");
    QCOMPARE(listed(form), QStringList({"2003-11"}));
    QCOMPARE(child<QListWidget>(form, "List1")->currentRow(), 0);
    QCOMPARE(enabledButtons(form),
             QStringList({"Cmd1", "Cmd5", "Cmd2", "Cmd3", "Cmd4", "Cmd8", "Cmd9", "Cmd6"}));
    QVERIFY(QDir(UserFolder(*store) + QStringLiteral("/2003-11")).isEmpty());

    dialogs->answer(Answer::Yes);
    click(form, "Cmd3");
    QCOMPARE(listed(form), QStringList());
    QCOMPARE(enabledButtons(form), QStringList({"Cmd5", "Cmd8", "Cmd9", "Cmd6"}));
    QVERIFY(dialogs->allAnswersUsed());
  }

  void clickedSelectionDrivesTheCommands() {
    for (const char* name : {"a", "b", "c"}) QDir().mkpath(UserFolder(*store) + "/" + name);
    QVERIFY(!SaveDatabaseList(*store, {"a", "b", "c"}));
    OpenForm form(*store);
    QVERIFY(!form.load());
    form.show();
    auto* list = child<QListWidget>(form, "List1");
    QCOMPARE(list->currentRow(), 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(2)).center());
    click(form, "Cmd8");  // up
    QCOMPARE(listed(form), QStringList({"a", "c", "b"}));
    QCOMPARE(list->currentRow(), 1);
    dialogs->type(QStringLiteral("c2"));
    click(form, "Cmd2");  // rename acts on the clicked entry
    QCOMPARE(listed(form), QStringList({"a", "c2", "b"}));
  }

  void openFromTheListClosesIt() {
    QDir().mkpath(UserFolder(*store) + QStringLiteral("/2003-11"));
    QVERIFY(!SaveDatabaseList(*store, {"2003-11"}));
    whenShown(*dialogs, [&](QDialog& form) {
      dialogs->type(QStringLiteral("2500"));
      QTest::keyClick(child(form, "List1"), Qt::Key_Return);  // Enter is "開啟(&O)"
      QVERIFY(!form.isVisible());
    });
    QCOMPARE(showDatabaseList(*store, nullptr), Catalogue::Result::Opened);
    QCOMPARE(store->panel(Module1::DatabasePanel), QStringLiteral("資料庫名稱：2003-11"));
    QCOMPARE(store->EntryTable[1].Amount, 2500);
    QVERIFY(dialogs->allAnswersUsed());
  }

  void refusedLoadKeepsTheWindowOpen() {
    const QString folder = UserFolder(*store) + QStringLiteral("/Broken");
    QDir().mkpath(folder);
    QFile accounts(folder + QStringLiteral("/Accounts.dat"));
    QVERIFY(accounts.open(QIODevice::WriteOnly));
    accounts.write("cut short");
    accounts.close();
    QVERIFY(!SaveDatabaseList(*store, {"Broken"}));
    OpenForm form(*store);
    QVERIFY(!form.load());
    form.show();
    click(form, "Cmd1");
    QVERIFY(form.isVisible());
    QCOMPARE(dialogs->messages().size(), 1u);
    QCOMPARE(store->DataBaseName, QString());
    QCOMPARE(store->panel(Module1::DatabasePanel), QString());
  }

  void menuSavesFirstAndCancelKeepsTheDatabase() {
    QDir().mkpath(UserFolder(*store) + QStringLiteral("/2003-11"));
    QVERIFY(!SaveDatabaseList(*store, {"2003-11"}));
    store->DataBaseName = QStringLiteral("2003-11");
    dialogs->type(QStringLiteral("100"));
    QVERIFY(!LoadDatabase(*store));
    store->EntryTable[store->EntryCount++] =
        makeEntry(QStringLiteral("2003/11/06"), QStringLiteral("A-現金"), QStringLiteral("Equity"),
                  7, QStringLiteral("later"));
    store->setPanel(Module1::DatabasePanel, QStringLiteral("資料庫名稱：2003-11"));
    whenShown(*dialogs, [&](QDialog& form) {
      QVERIFY(child<QPushButton>(form, "Cmd0")->isEnabled());
      // The entry made before the list was opened is already on disk.
      QCOMPARE(QFileInfo(UserFolder(*store) + QStringLiteral("/2003-11/Main.dat")).size(),
               128 + 104);
      click(form, "Cmd2");  // rename: in use
      click(form, "Cmd8");
      click(form, "Cmd0");
      QVERIFY(!form.isVisible());
    });
    showDatabaseListFromMenu(*store, nullptr);
    QCOMPARE(dialogs->messageTexts(), QStringList{QStringLiteral("這個資料庫正在使用中")});
    QVERIFY(store->OpenedFromMenu);
    QCOMPARE(store->DataBaseName, QStringLiteral("2003-11"));
    QVERIFY(dialogs->allAnswersUsed());
  }

 private:
  std::unique_ptr<QTemporaryDir> dir;
  std::unique_ptr<ScriptedDialogs> dialogs;
  std::unique_ptr<Module1> store;
};

QTEST_MAIN(TestOpenForm)
#include "tst_openform.moc"
