#include "ScriptedDialogs.h"
#include "catalogue/catalogue.h"
#include "platform/safefile.h"
#include "reports/journal/journal.h"
#include "states.h"
#include "store/Module1.h"
#include "users/password.h"
#include "users/settings.h"
#include "users/users.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

// The other files a session writes (password, database list, settings, journal exports) under
// the same faults: the earlier file whole, nothing in memory changed, the reason in words and
// no box saying it was done.
namespace {

QByteArray bytesOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void put(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

enum class Fault { DiskFull, FolderInPlace };

class TextWriteFaultTest : public ::testing::TestWithParam<Fault> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    store.UserName = QStringLiteral("Test");
    store.DataBaseName = QStringLiteral("2003-11");
    store.PasswordLine = QStringLiteral("839");
    ASSERT_TRUE(QDir().mkpath(store.databaseFolder()));
    put(userFile(QStringLiteral("DataBase.pwd")), "003800330039\r\n");
    put(userFile(QStringLiteral("DataBase.lst")), "2003-11\r\n");
    put(store.settingsFile(), "[UserName]=Test\r\n");
    reliability::fillState(store, 0);
  }
  QString userFile(const QString& name) const {
    return store.userFolder() + QLatin1Char('/') + name;
  }

  // Runs the write under the fault; `path` is the file it must leave as it was.
  void underFault(const QString& path, const std::function<void()>& write) {
    const QByteArray before = QFile::exists(path) ? bytesOf(path) : QByteArray();
    if (GetParam() == Fault::DiskFull) {
      safefile::FailAfterBytes full(4);
      write();
      EXPECT_EQ(bytesOf(path), before);
    } else {
      QFile::remove(path);
      ASSERT_TRUE(QDir().mkpath(path));
      write();
      EXPECT_TRUE(QFileInfo(path).isDir());
    }
    for (const Message& shown : dialogs.messages()) {
      EXPECT_NE(shown.title, QStringLiteral("完成")) << shown.text.toStdString();
    }
  }
  void expectRefusedWith(const QString& start) {
    const Message last = dialogs.lastMessage();
    EXPECT_EQ(last.title, QStringLiteral("注意"));
    EXPECT_TRUE(last.text.startsWith(start)) << last.text.toStdString();
  }

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
};

TEST_P(TextWriteFaultTest, PasswordChangeKeepsTheOldPassword) {
  underFault(userFile(QStringLiteral("DataBase.pwd")), [&] {
    dialogs.type(QStringLiteral("839"));
    dialogs.type(QStringLiteral("abcd"));
    ChangePassword(store);
  });
  expectRefusedWith(QStringLiteral("密碼沒有變更："));
  EXPECT_EQ(store.PasswordLine, QStringLiteral("839"));
}

TEST_P(TextWriteFaultTest, DatabaseListKeepsItsLinesAndTheWindowStays) {
  Catalogue catalogue(store);
  ASSERT_EQ(catalogue.load(), std::nullopt);
  dialogs.type(QStringLiteral("2003-12"));
  catalogue.addNew();
  ASSERT_EQ(catalogue.entries(),
            (QStringList{QStringLiteral("2003-11"), QStringLiteral("2003-12")}));
  store.OpenedFromMenu = true;
  underFault(userFile(QStringLiteral("DataBase.lst")),
             [&] { EXPECT_EQ(catalogue.cancel(), Catalogue::Result::Stay); });
  expectRefusedWith(QStringLiteral("資料庫清單沒有存好："));
  EXPECT_EQ(catalogue.entries().size(), 2);  // still there to be saved once there is room
}

TEST_P(TextWriteFaultTest, SettingsThatCannotBeWrittenAreReported) {
  underFault(store.settingsFile(), [&] {
    const auto error = settings::writeLastUser(store.settingsFile(), QStringLiteral("Mary"));
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->startsWith(QStringLiteral("無法寫入"))) << error->toStdString();
  });
}

TEST_P(TextWriteFaultTest, JournalExportKeepsTheEarlierExport) {
  const auto rows = journalRows(store);
  ASSERT_EQ(exportJournal(store, rows, ExportKind::Csv).title, QStringLiteral("完成"));
  reliability::fillState(store, 1);
  underFault(exportPath(store, ExportKind::Csv), [&] {
    const Message shown = exportJournal(store, journalRows(store), ExportKind::Csv);
    EXPECT_EQ(shown.title, QStringLiteral("注意"));
    EXPECT_TRUE(shown.text.startsWith(QStringLiteral("沒有存成2003-11.csv檔")))
        << shown.text.toStdString();
  });
}

INSTANTIATE_TEST_SUITE_P(Faults, TextWriteFaultTest,
                         ::testing::Values(Fault::DiskFull, Fault::FolderInPlace),
                         [](const auto& info) {
                           return info.param == Fault::DiskFull ? std::string("DiskFull")
                                                                : std::string("FolderInPlace");
                         });

TEST(ExportFaultTest, ExportFolderThatIsAPlainFileIsReported) {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store(dir.path(), dialogs);
  store.DataBaseName = QStringLiteral("2003-11");
  reliability::fillState(store, 0);
  put(dir.filePath(QStringLiteral("TXT")), "a plain file");
  const Message shown = exportJournal(store, journalRows(store), ExportKind::Text);
  EXPECT_EQ(shown.title, QStringLiteral("注意"));
  EXPECT_TRUE(shown.text.contains(QStringLiteral("無法建立資料夾"))) << shown.text.toStdString();
  EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("TXT"))), QByteArray("a plain file"));
}

}  // namespace
