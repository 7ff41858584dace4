#include "ScriptedDialogs.h"
#include "catalogue/catalogue.h"
#include "platform/safefile.h"
#include "platform/textfile.h"
#include "reports/journal/journal.h"
#include "states.h"
#include "users/settings.h"
#include "users/users.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

// Faults that real file systems give even to root: a folder where a file belongs, a path that
// runs through a plain file, a name longer than a folder name may be, a disk that fills up in
// the middle of a write. Whether the database is saved or a list, password, settings or export
// file is written, nothing on disk changes, nothing in memory, and the person is told why.
namespace {

using reliability::filesOf;
using reliability::treeOf;

void block(const QString& path, bool withFolder) {  // a folder or a plain file takes the place
  QDir(path).removeRecursively();
  QFile file(path);
  ASSERT_TRUE(withFolder ? file.remove() && QDir().mkpath(path)
                         : file.open(QIODevice::WriteOnly) && file.write("plain") == 5);
}

// A session: its user with list, password and settings, and the tables of a database.
struct Session {
  Session() {
    store.UserName = QStringLiteral("Test");
    store.DataBaseName = QStringLiteral("2003-11");
    store.PasswordLine = QStringLiteral("839");
    EXPECT_TRUE(QDir().mkpath(store.databaseFolder()));
    reliability::put(userFile("DataBase.pwd"), "003800330039\r\n");
    reliability::put(userFile("DataBase.lst"), "2003-11\r\n");
    reliability::put(store.settingsFile(), "[UserName]=Test\r\n");
    reliability::fillState(store, 0);
  }
  QString userFile(const char* name) const { return store.userFolder() + "/" + name; }

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
  Catalogue catalogue{store};
};

TEST(SaveFaultTest, FailedSaveKeepsTheEarlierFilesAndTheTables) {
  Session sizes;
  reliability::fillState(sizes.store, 1);
  const qint64 accounts = filesOf(sizes.store).accounts.size();
  const qint64 entries = filesOf(sizes.store).entries.size();
  const struct {
    const char* what;
    std::function<void(Module1&)> fault;
    qint64 cut = -1;  // bytes the disk takes before it is full; -1: room enough
  } faults[] = {
      {"folder for Accounts.dat",
       [](Module1& s) { block(s.databaseFolder() + "/Accounts.dat", true); }},
      {"folder for Main.dat", [](Module1& s) { block(s.databaseFolder() + "/Main.dat", true); }},
      {"database folder a plain file", [](Module1& s) { block(s.databaseFolder(), false); }},
      {"database name too long", [](Module1& s) { s.DataBaseName = QString(100, QChar(0x4e2d)); }},
      {"user name too long", [](Module1& s) { s.UserName = QString(256, QLatin1Char('x')); }},
      {"disk full in Accounts.dat", {}, accounts - 1},
      {"disk full after Accounts.dat", {}, accounts},
      {"disk full in Main.dat", {}, accounts + entries / 2},
      {"disk full at the last byte", {}, accounts + entries - 1},
  };
  for (const auto& fault : faults) {
    SCOPED_TRACE(fault.what);
    Session s;
    Module1& store = s.store;
    ASSERT_EQ(SaveDatabase(store), std::nullopt);
    reliability::fillState(store, 1);  // the changes of a session, not yet saved
    const auto changed = filesOf(store);
    if (fault.fault) fault.fault(store);
    const auto before = treeOf(s.dir.path());
    std::optional<safefile::FailAfterBytes> full;
    if (fault.cut >= 0) full.emplace(fault.cut);
    const auto refusal = SaveDatabase(store);
    full.reset();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->title, QStringLiteral("注意"));
    EXPECT_TRUE(refusal->text.startsWith(QStringLiteral("資料庫沒有存好：")))
        << refusal->text.toStdString();
    EXPECT_EQ(treeOf(s.dir.path()), before);
    EXPECT_EQ(filesOf(store), changed);
    EXPECT_TRUE(s.dialogs.shown().empty());
  }
}

// The writer of the list, password and settings files, on paths no file system takes.
TEST(TextFileFaultTest, ImpossiblePathsAreRefusedInWords) {
  QTemporaryDir dir;
  const QString list = dir.filePath(QStringLiteral("DataBase.lst"));
  ASSERT_EQ(textfile::writeLines(list, {QStringLiteral("2003-11")}), std::nullopt);
  const auto before = treeOf(dir.path());
  for (const QString& path :
       {list + "/DataBase.lst", dir.filePath(QString(256, QLatin1Char('n')))}) {
    SCOPED_TRACE(path.toStdString());
    const auto error = textfile::writeLines(path, {QStringLiteral("家計")});
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->startsWith(QStringLiteral("無法寫入"))) << error->toStdString();
    EXPECT_EQ(treeOf(dir.path()), before);
  }
}

// A full disk and a folder in the place of the file, for the other files a session writes.
TEST(TextWriteFaultTest, FailedWritesChangeNothingAndSayWhy) {
  const struct {
    const char* what;
    std::function<QString(Session&)> prepare;  // the file the write replaces
    std::function<QString(Session&)> write;    // what the person is told
    QString refusal;
  } writes[] = {
      {"password", [](Session& s) { return s.userFile("DataBase.pwd"); },
       [](Session& s) {
         s.dialogs.type(QStringLiteral("839"));
         s.dialogs.type(QStringLiteral("abcd"));
         ChangePassword(s.store);
         EXPECT_EQ(s.store.PasswordLine, QStringLiteral("839"));
         return s.dialogs.lastMessage().text;
       },
       QStringLiteral("密碼沒有變更：")},
      {"database list",
       [](Session& s) {
         EXPECT_EQ(s.catalogue.load(), std::nullopt);
         s.dialogs.type(QStringLiteral("2003-12"));
         s.catalogue.addNew();
         s.store.OpenedFromMenu = true;
         return s.userFile("DataBase.lst");
       },
       [](Session& s) {
         EXPECT_EQ(s.catalogue.cancel(), Catalogue::Result::Stay);
         EXPECT_EQ(s.catalogue.entries().size(), 2);  // kept, to be saved once there is room
         return s.dialogs.lastMessage().text;
       },
       QStringLiteral("資料庫清單沒有存好：")},
      {"settings", [](Session& s) { return s.store.settingsFile(); },
       [](Session& s) {
         return settings::writeLastUser(s.store.settingsFile(), QStringLiteral("Mary"))
             .value_or(QStringLiteral("written"));
       },
       QStringLiteral("無法寫入")},
      {"CSV export",
       [](Session& s) {
         EXPECT_EQ(exportJournal(s.store, journalRows(s.store), ExportKind::Csv).title,
                   QStringLiteral("完成"));
         reliability::fillState(s.store, 1);
         return exportPath(s.store, ExportKind::Csv);
       },
       [](Session& s) {
         const Message told = exportJournal(s.store, journalRows(s.store), ExportKind::Csv);
         EXPECT_EQ(told.title, QStringLiteral("注意"));
         return told.text;
       },
       QStringLiteral("沒有存成2003-11.csv檔")},
  };
  for (const auto& write : writes) {
    for (const bool diskFull : {true, false}) {
      SCOPED_TRACE(testing::Message() << write.what << (diskFull ? ", disk full" : ", folder"));
      Session s;
      const QString file = write.prepare(s);
      if (!diskFull) {
        ASSERT_TRUE(QFile::remove(file) && QDir().mkpath(file));
      }
      const auto before = treeOf(s.dir.path());
      s.dialogs.clear();
      std::optional<safefile::FailAfterBytes> full;
      if (diskFull) full.emplace(4);
      const QString told = write.write(s);
      full.reset();
      EXPECT_TRUE(told.startsWith(write.refusal)) << told.toStdString();
      EXPECT_EQ(treeOf(s.dir.path()), before);
      for (const Message& shown : s.dialogs.messages()) {
        EXPECT_EQ(shown.title, QStringLiteral("注意"));
      }
    }
  }
}

}  // namespace
