#include "store/startup.h"

#include "ScriptedDialogs.h"
#include "platform/codepage.h"
#include "store/Module1.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(Startup, ReadsTheLastUserFromTheSettingsLine) {
  struct Case {
    QByteArray bytes;  // the file as stored: code page 950, CR LF
    QString name;
  };
  const Case cases[] = {
      {"[UserName]=user1\r\n", "user1"},
      {"[UserName]=\r\n", ""},
      {"[UserName]=user1", "user1"},
      {"[UserName]=a=b\r\n", "a"},
      {"[UserName]=user1,extra=x\r\n", "user1"},
      {"[UserName]=user1\r\n[UserName]=other\r\n", "user1"},
      {"no equals sign\r\n", ""},
      {"", ""},
      {codepage::encode(QStringLiteral("[UserName]=王小明")) + "\r\n", QStringLiteral("王小明")},
  };
  for (const Case& c : cases) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Varnix.ini"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.bytes);
    file.close();
    EXPECT_EQ(lastUserName(path), c.name) << c.bytes.toStdString();
  }
}

TEST(Startup, MissingSettingsFileGivesNoName) {
  QTemporaryDir dir;
  EXPECT_EQ(lastUserName(dir.filePath(QStringLiteral("Varnix.ini"))), QString());
}

TEST(Startup, CreatesTheDataBaseFolderOnce) {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store(dir.path(), dialogs);
  EXPECT_FALSE(QDir(store.DataBaseFolder).exists());
  EXPECT_TRUE(prepareDataBaseFolder(store));
  EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("DataBase"))).exists());
  EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("CSV"))).exists());
  // An existing folder is kept with what it holds.
  QFile marker(store.DataBaseFolder + QStringLiteral("keep"));
  ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
  marker.close();
  EXPECT_TRUE(prepareDataBaseFolder(store));
  EXPECT_TRUE(marker.exists());
}

}  // namespace
