#include "ScriptedDialogs.h"
#include "platform/safefile.h"
#include "platform/textfile.h"
#include "states.h"
#include "store/Module1.h"
#include "store/database.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

// Faults that real file systems give even to root: a folder where a file belongs, a path that
// runs through a plain file, a name longer than a folder name may be, a disk that fills up in
// the middle of a write. Whatever fails, the earlier files stay whole, the tables in memory
// stay as they were and the person is told in words.
namespace {

using reliability::Files;
using reliability::filesOf;
using reliability::fillState;

QByteArray bytesOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void replaceByFolder(const QString& path) {
  ASSERT_TRUE(QFile::remove(path));
  ASSERT_TRUE(QDir().mkpath(path));
}

void replaceByFile(const QString& path) {
  ASSERT_TRUE(QDir(path).removeRecursively());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("a plain file");
}

// Names of the files in a folder, so that no temporary is left behind.
QStringList entriesOf(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

class SaveFaultTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    prepare();
  }
  // A saved database (the earlier files) and the changed tables of a session.
  void prepare() {
    QDir(store.DataBaseFolder).removeRecursively();
    store.UserName = QStringLiteral("Test");
    store.DataBaseName = QStringLiteral("2003-11");
    ASSERT_TRUE(QDir().mkpath(store.databaseFolder()));
    fillState(store, 0);
    ASSERT_EQ(SaveDatabase(store), std::nullopt);
    earlier = filesOf(store);
    fillState(store, 1);  // the changes of a session, not yet saved
    changed = filesOf(store);
  }
  QString accountsPath() const { return store.databaseFolder() + QStringLiteral("/Accounts.dat"); }
  QString entriesPath() const { return store.databaseFolder() + QStringLiteral("/Main.dat"); }

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
  Files earlier;
  Files changed;
};

TEST_F(SaveFaultTest, FailedSaveKeepsTheEarlierFilesAndTheTables) {
  struct Fault {
    const char* what;
    std::function<void(SaveFaultTest&)> make;
  };
  const Fault faults[] = {
      {"folder in the place of Accounts.dat",
       [](SaveFaultTest& t) { replaceByFolder(t.accountsPath()); }},
      {"folder in the place of Main.dat",
       [](SaveFaultTest& t) { replaceByFolder(t.entriesPath()); }},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.what);
    prepare();
    fault.make(*this);
    const QStringList before = entriesOf(store.databaseFolder());
    const auto refusal = SaveDatabase(store);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->title, QStringLiteral("注意"));
    EXPECT_TRUE(refusal->text.startsWith(QStringLiteral("資料庫沒有存好：")))
        << refusal->text.toStdString();
    // What still is a file keeps its earlier bytes.
    if (QFileInfo(accountsPath()).isFile()) {
      EXPECT_EQ(bytesOf(accountsPath()), earlier.accounts);
    }
    if (QFileInfo(entriesPath()).isFile()) {
      EXPECT_EQ(bytesOf(entriesPath()), earlier.entries);
    }
    EXPECT_EQ(filesOf(store).accounts, changed.accounts);
    EXPECT_EQ(filesOf(store).entries, changed.entries);
    EXPECT_EQ(entriesOf(store.databaseFolder()), before);
    EXPECT_TRUE(dialogs.shown().empty());
  }
}

TEST_F(SaveFaultTest, DiskFullInTheMiddleOfEitherFileKeepsBothEarlierFiles) {
  // Cut the accounts file, or let it pass and cut the entries file.
  for (const qint64 cut : {qint64(0), qint64(1), qint64(127), qint64(changed.accounts.size() - 1),
                           qint64(changed.accounts.size()), qint64(changed.entries.size() / 2),
                           qint64(changed.entries.size() - 1)}) {
    SCOPED_TRACE(cut);
    std::optional<Message> refusal;
    {
      safefile::FailAfterBytes full(cut);
      refusal = SaveDatabase(store);
    }
    ASSERT_TRUE(refusal);
    EXPECT_TRUE(refusal->text.contains(QStringLiteral("磁碟已滿")));
    EXPECT_EQ(bytesOf(accountsPath()), earlier.accounts);
    EXPECT_EQ(bytesOf(entriesPath()), earlier.entries);
    EXPECT_EQ(filesOf(store).entries, changed.entries);
    EXPECT_EQ(entriesOf(store.databaseFolder()),
              (QStringList{QStringLiteral("Accounts.dat"), QStringLiteral("Main.dat")}));
  }
  // Once there is room again, the same tables are saved whole.
  ASSERT_EQ(SaveDatabase(store), std::nullopt);
  EXPECT_EQ(bytesOf(accountsPath()), changed.accounts);
  EXPECT_EQ(bytesOf(entriesPath()), changed.entries);
}

TEST_F(SaveFaultTest, DatabaseThatIsNoFolderIsRefusedOnSaveAndLoad) {
  struct Place {
    const char* what;
    QString userName;
    QString databaseName;
  };
  const QString tooLong(300, QLatin1Char('x'));
  const QString tooLongChinese(100, QChar(0x4e2d));  // 300 bytes as UTF-8
  const Place places[] = {
      {"database folder is a plain file", QStringLiteral("Test"), QStringLiteral("2003-11")},
      {"user folder is a plain file", QStringLiteral("Test"), QStringLiteral("2003-11")},
      {"database name too long", QStringLiteral("Test"), tooLong},
      {"database name too long in Chinese", QStringLiteral("Test"), tooLongChinese},
      {"user name too long", tooLong, QStringLiteral("2003-11")},
  };
  replaceByFile(store.databaseFolder());
  for (const Place& place : places) {
    SCOPED_TRACE(place.what);
    if (QString(place.what) == QLatin1String("user folder is a plain file")) {
      QFile::remove(store.databaseFolder());
      replaceByFile(store.userFolder());
    }
    store.UserName = place.userName;
    store.DataBaseName = place.databaseName;
    const auto saved = SaveDatabase(store);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->title, QStringLiteral("注意"));
    EXPECT_EQ(filesOf(store).entries, changed.entries);

    const auto loaded = LoadDatabase(store);
    ASSERT_TRUE(loaded);
    EXPECT_FALSE(loaded->text.isEmpty());
    EXPECT_EQ(filesOf(store).accounts, changed.accounts);
    EXPECT_EQ(filesOf(store).entries, changed.entries);
    EXPECT_TRUE(dialogs.shown().empty()) << "no starting-cash question for a folder that is none";
  }
  EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("DataBase/Test"))), QByteArray("a plain file"));
}

TEST_F(SaveFaultTest, UnreadableFileOnLoadChangesNothing) {
  // Both files exist but one of them is a folder: the open tables stay.
  for (const bool accounts : {true, false}) {
    SCOPED_TRACE(accounts ? "Accounts.dat" : "Main.dat");
    prepare();
    replaceByFolder(accounts ? accountsPath() : entriesPath());
    const auto loaded = LoadDatabase(store);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->text.contains(QStringLiteral("無法讀取"))) << loaded->text.toStdString();
    EXPECT_EQ(filesOf(store).accounts, changed.accounts);
    EXPECT_EQ(filesOf(store).entries, changed.entries);
    EXPECT_TRUE(dialogs.shown().empty());
  }
}

TEST_F(SaveFaultTest, NewDatabaseGetsBothFilesOrNeither) {
  // The entries file of a new database cannot be written (a folder lies where its temporary
  // goes): the accounts file is not left behind alone.
  store.DataBaseName = QStringLiteral("2003-12");
  ASSERT_TRUE(QDir().mkpath(store.databaseFolder() + QStringLiteral("/Main.dat.new")));
  dialogs.type(QStringLiteral("500"));
  const auto refused = LoadDatabase(store);
  ASSERT_TRUE(refused);
  EXPECT_EQ(entriesOf(store.databaseFolder()), QStringList{QStringLiteral("Main.dat.new")});
  EXPECT_EQ(filesOf(store).accounts, changed.accounts);

  // Once the obstacle is gone the database opens, asking for the starting cash again.
  ASSERT_TRUE(QDir(store.databaseFolder() + QStringLiteral("/Main.dat.new")).removeRecursively());
  dialogs.type(QStringLiteral("500"));
  ASSERT_EQ(LoadDatabase(store), std::nullopt);
  EXPECT_EQ(store.EntryTable[1].Amount, 500);
  EXPECT_EQ(entriesOf(store.databaseFolder()),
            (QStringList{QStringLiteral("Accounts.dat"), QStringLiteral("Main.dat")}));
}

// The text files (lists, password, settings) share the safe writer: each fault keeps the
// earlier file and says why.
TEST(TextFileFaultTest, FailedWritesKeepTheEarlierFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString list = dir.filePath(QStringLiteral("DataBase.lst"));
  const QStringList earlier{QStringLiteral("2003-11"), QStringLiteral("2003-12")};
  ASSERT_EQ(textfile::writeLines(list, earlier), std::nullopt);
  const QStringList later{QStringLiteral("2003-11"), QStringLiteral("2003-12"),
                          QStringLiteral("家計")};

  struct Fault {
    const char* what;
    QString path;
    qint64 failAfter;  // -1: the disk has room
  };
  const QString folder = dir.filePath(QStringLiteral("folder"));
  ASSERT_TRUE(QDir().mkpath(folder));
  const Fault faults[] = {
      {"folder in the place of the file", folder, -1},
      {"path through a plain file", list + QStringLiteral("/DataBase.lst"), -1},
      {"name too long", dir.filePath(QString(256, QLatin1Char('n'))), -1},
      {"disk full at the first byte", list, 0},
      {"disk full in the middle", list, 12},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.what);
    std::optional<QString> error;
    if (fault.failAfter >= 0) {
      safefile::FailAfterBytes full(fault.failAfter);
      error = textfile::writeLines(fault.path, later);
    } else {
      error = textfile::writeLines(fault.path, later);
    }
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->startsWith(QStringLiteral("無法寫入"))) << error->toStdString();
    EXPECT_EQ(textfile::readLines(list), earlier);
  }
  EXPECT_EQ(entriesOf(dir.path()),
            (QStringList{QStringLiteral("DataBase.lst"), QStringLiteral("folder")}));
  EXPECT_TRUE(entriesOf(folder).isEmpty());
}

}  // namespace
