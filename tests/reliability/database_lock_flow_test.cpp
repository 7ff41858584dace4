#include "ScriptedDialogs.h"
#include "catalogue/catalogue.h"
#include "store/Module1.h"
#include "store/dblock.h"
#include "users/users.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// Two windows on one installation: each is a store with its own catalogue, as two copies of
// the program would be.
namespace {

const QString kInUseElsewhere = QStringLiteral("這個資料庫正在其他視窗使用中");

struct Window {
  Window(const QString& install) : store(install, dialogs), catalogue(store) {
    store.UserName = QStringLiteral("Test");
    store.clock().setToday(QDate(2003, 11, 5));
  }
  // Opens the listed database at `row`; a new one answers the starting-cash question.
  Catalogue::Result open(int row) {
    dialogs.clear();
    EXPECT_EQ(catalogue.load(), std::nullopt);
    catalogue.select(row);
    const QString entries = UserFolder(store) + QLatin1Char('/') + catalogue.entries().at(row) +
                            QStringLiteral("/Main.dat");
    if (!QFile::exists(entries)) dialogs.type(QStringLiteral("1000"));
    return catalogue.open();
  }

  ScriptedDialogs dialogs;
  Module1 store;
  Catalogue catalogue;
};

class DatabaseLockFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    Window setup(dir.path());
    ASSERT_TRUE(QDir().mkpath(folder(QStringLiteral("2003-11"))));
    ASSERT_TRUE(QDir().mkpath(folder(QStringLiteral("2003-12"))));
    ASSERT_EQ(SaveDatabaseList(setup.store, {QStringLiteral("2003-11"), QStringLiteral("2003-12")}),
              std::nullopt);
    first = std::make_unique<Window>(dir.path());
    second = std::make_unique<Window>(dir.path());
  }
  QString folder(const QString& name) const {
    return dir.path() + QStringLiteral("/DataBase/Test/") + name;
  }
  QString lock(const QString& name) const { return folder(name) + QStringLiteral("/Varnix.lock"); }

  QTemporaryDir dir;
  std::unique_ptr<Window> first;
  std::unique_ptr<Window> second;
};

TEST_F(DatabaseLockFlowTest, SecondWindowIsToldAndOpensNothing) {
  ASSERT_EQ(first->open(0), Catalogue::Result::Opened);
  EXPECT_TRUE(QFile::exists(lock(QStringLiteral("2003-11"))));

  EXPECT_EQ(second->open(0), Catalogue::Result::Stay);
  EXPECT_EQ(second->dialogs.lastMessage().text, kInUseElsewhere);
  EXPECT_EQ(second->store.DataBaseName, QString());
  EXPECT_EQ(second->store.AccountCount, 1);
  EXPECT_EQ(second->store.panel(Module1::DatabasePanel), QString());

  // Opening the same database again in its own window is no conflict.
  EXPECT_EQ(first->open(0), Catalogue::Result::Opened);

  // The first window moves on: its earlier database is free.
  ASSERT_EQ(first->open(1), Catalogue::Result::Opened);
  EXPECT_FALSE(QFile::exists(lock(QStringLiteral("2003-11"))));
  EXPECT_EQ(second->open(0), Catalogue::Result::Opened);
  EXPECT_EQ(second->open(1), Catalogue::Result::Stay);
  EXPECT_EQ(second->store.DataBaseName, QStringLiteral("2003-11"));  // still the one it had
  EXPECT_TRUE(QFile::exists(lock(QStringLiteral("2003-11"))));
}

TEST_F(DatabaseLockFlowTest, LogOutAndEndReleaseTheLock) {
  ASSERT_EQ(first->open(0), Catalogue::Result::Opened);
  EXPECT_EQ(first->catalogue.logOut(), Catalogue::Result::LoggedOut);
  EXPECT_FALSE(QFile::exists(lock(QStringLiteral("2003-11"))));

  ASSERT_EQ(first->open(0), Catalogue::Result::Opened);
  EXPECT_EQ(LogOutFromMenu(first->store), std::nullopt);
  EXPECT_FALSE(QFile::exists(lock(QStringLiteral("2003-11"))));

  ASSERT_EQ(first->open(0), Catalogue::Result::Opened);
  first.reset();  // the program ends
  EXPECT_FALSE(QFile::exists(lock(QStringLiteral("2003-11"))));
  EXPECT_EQ(second->open(0), Catalogue::Result::Opened);
}

TEST_F(DatabaseLockFlowTest, LockOfACrashedWindowIsTakenOver) {
  // A window on this machine died without letting go: its process no longer runs.
  QFile stale(lock(QStringLiteral("2003-11")));
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  stale.write(dblock::ownerBytes({999999999, dblock::thisProcess().host}));
  stale.close();
  EXPECT_EQ(first->open(0), Catalogue::Result::Opened);
  EXPECT_TRUE(first->store.Lock.holds(folder(QStringLiteral("2003-11"))));
}

TEST_F(DatabaseLockFlowTest, CopyLeavesTheLockBehindAndOpenDatabasesStayPut) {
  ASSERT_EQ(first->open(0), Catalogue::Result::Opened);
  ASSERT_EQ(second->catalogue.load(), std::nullopt);
  second->catalogue.select(0);
  second->catalogue.copy();
  const QString copy = folder(QStringLiteral("2003-11-Copy"));
  EXPECT_EQ(QDir(copy).entryList(QDir::Files),
            (QStringList{QStringLiteral("Accounts.dat"), QStringLiteral("Main.dat")}));
  EXPECT_FALSE(dblock::inUse(copy));

  // Renaming or deleting a database another window has open would pull it away from it.
  second->dialogs.type(QStringLiteral("2003-11-b"));
  second->catalogue.rename();
  EXPECT_EQ(second->dialogs.lastMessage().text, kInUseElsewhere);
  second->catalogue.remove();
  EXPECT_EQ(second->dialogs.lastMessage().text, kInUseElsewhere);
  EXPECT_TRUE(second->dialogs.unscripted().isEmpty()) << "told before being asked to confirm";
  EXPECT_TRUE(QFile::exists(folder(QStringLiteral("2003-11")) + QStringLiteral("/Main.dat")));
  EXPECT_EQ(second->catalogue.entries().first(), QStringLiteral("2003-11"));
}

// Names that pass every character rule but no file system takes: too long for one folder name.
TEST_F(DatabaseLockFlowTest, NamesTooLongForAFolderAreRefusedAndChangeNothing) {
  const QString names[] = {
      QString(256, QLatin1Char('n')),
      QString(86, QChar(0x5bb6)),  // 258 bytes in UTF-8
      QStringLiteral("2003-") + QString(251, QLatin1Char('x')),
  };
  for (const QString& name : names) {
    SCOPED_TRACE(name.size());
    ASSERT_EQ(first->catalogue.load(), std::nullopt);
    const QStringList before = first->catalogue.entries();
    first->dialogs.type(name);
    first->catalogue.addNew();
    EXPECT_EQ(first->dialogs.lastMessage().title, QStringLiteral("注意"));
    EXPECT_FALSE(first->dialogs.lastMessage().text.isEmpty());
    EXPECT_EQ(first->catalogue.entries(), before);

    const auto refused = CreateUser(first->store, name, QStringLiteral("839"));
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->title, QStringLiteral("注意"));
  }
  EXPECT_EQ(QDir(dir.path() + QStringLiteral("/DataBase"))
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("Test")});
  EXPECT_EQ(QDir(folder(QString())).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
            (QStringList{QStringLiteral("2003-11"), QStringLiteral("2003-12")}));
}

}  // namespace
