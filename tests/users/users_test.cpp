#include "users/users.h"

#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "catalogue/folders.h"
#include "store/Module1.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Users : ::testing::Test {
  Users() { QDir().mkpath(store.DataBaseFolder); }
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
};

TEST_F(Users, LoginChecksInOrderAndChangesNothingWhenRefused) {
  const char* users[][2] = {
      {"Letters", "006100620063\r\n"}, {"Empty", ""}, {"ListIsFolder", "006100620063\r\n"}};
  for (const auto& [name, bytes] : users) {
    QDir().mkpath(store.DataBaseFolder + name);
    putFile(store.DataBaseFolder + name + "/DataBase.pwd", bytes);
  }
  for (const char* f : {"NoPwd", "ListIsFolder/DataBase.lst"})
    QDir().mkpath(store.DataBaseFolder + f);
  // The name, what is typed, words from the refusal.
  const char* cases[][3] = {
      {"", "839", "使用者名稱不可以是空白"},
      {"Nobody", "839", "沒有這個使用者，請重新輸入"},
      {"NoPwd", "839", "找不到DataBase.pwd檔案，請檢查"},
      {"Empty", "", "是空的"},
      {"Letters", "ABC", "密碼不正確，請重新輸入"},
      {"ListIsFolder", "abc", "無法讀取資料庫清單"},
  };
  for (const auto& [name, typed, message] : cases) {
    const auto refused = LogIn(store, QString::fromUtf8(name), QString::fromUtf8(typed));
    ASSERT_TRUE(refused) << name;
    EXPECT_TRUE(refused->text.contains(QString::fromUtf8(message))) << name;
    EXPECT_EQ(store.UserName, QString());
    EXPECT_FALSE(folders::exists(store.settingsFile()));
  }
}

TEST_F(Users, NewUserWritesItsFilesAndLogsInRememberingTheName) {
  putFile(store.settingsFile(), "[UserName]=Someone\r\nold second line\r\n");
  const char* cases[][4] = {
      // name, password, its file ("<missing>": refused), Varnix.ini
      {"Two", "ab", "<missing>", ""},
      {"Eight", "12345678", "00310032003300340035003600370038\r\n", "[UserName]=Eight\r\n"},
      {"Nine", "123456789", "<missing>", ""},
      {"王", "中中中", "A4A4A4A4A4A4\r\n", "[UserName]=\xa4\xfd\r\n"},
  };
  for (const auto& [n, pwd, pwdFile, iniFile] : cases) {
    const QString name = QString::fromUtf8(n), folder = store.DataBaseFolder + name;
    const auto refused = CreateUser(store, name, QString::fromUtf8(pwd));
    EXPECT_EQ(fileBytes(folder + "/DataBase.pwd"), pwdFile) << n;
    if (refused) continue;
    EXPECT_EQ(fileBytes(folder + "/DataBase.lst"), QByteArray());
    ASSERT_FALSE(LogIn(store, name, QString::fromUtf8(pwd))) << n;
    EXPECT_EQ(fileBytes(store.settingsFile()), iniFile);
  }
  EXPECT_EQ(CreateUser(store, "Eight", "xyz")->text,
            QStringLiteral("使用者已存在，請使用其他名稱"));
}

TEST_F(Users, PasswordChangeChecksTheOldOneAndWritesTheNewOne) {
  ASSERT_FALSE(CreateUser(store, "Test", "839"));
  ASSERT_FALSE(LogIn(store, "Test", "839"));
  const std::pair<QStringList, const char*> steps[] = {
      // the boxes' answers; the message
      {{"839", QStringLiteral("中文字")}, ""},
      {{"839"}, "密碼錯誤"},  // the old one is now the one changed to
      {{QStringLiteral("中文字"), "123456789"}, "密碼格式不正確，請重新輸入"},
  };
  for (const auto& [answers, message] : steps) {
    dialogs.clear();
    for (const QString& a : answers) dialogs.type(a);
    ChangePassword(store);
    EXPECT_EQ(fileBytes(store.DataBaseFolder + "Test/DataBase.pwd"), "A4A4A4E5A672\r\n");
    EXPECT_EQ(dialogs.lastMessage().text, QString::fromUtf8(message));
    EXPECT_TRUE(dialogs.allAnswersUsed());
  }
}

}  // namespace
