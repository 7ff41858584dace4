#include "users/users.h"

#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "catalogue/folders.h"
#include "store/Module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class Users : public ::testing::Test {
 protected:
  Users() : store(dir.path(), dialogs) { QDir().mkpath(store.DataBaseFolder); }

  // A user folder with a password file of these bytes.
  void addUser(const QString& name, const QByteArray& passwordFileBytes) {
    QDir().mkpath(store.DataBaseFolder + name);
    putFile(store.DataBaseFolder + name + "/DataBase.pwd", passwordFileBytes);
  }

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store;
};

TEST_F(Users, LoginChecksInOrderAndChangesNothingWhenRefused) {
  addUser("Test", "003800330039\r\n");
  addUser("Letters", "006100620063\r\n");
  addUser("Empty", "");
  addUser("Damaged", "00ZZ\r\n");
  QDir().mkpath(store.DataBaseFolder + "NoPwd");
  addUser("ListIsFolder", "006100620063\r\n");
  QDir().mkpath(store.DataBaseFolder + "ListIsFolder/DataBase.lst");
  const struct {
    const char* name;
    const char* typed;
    const char* message;  // contained in the refusal
  } cases[] = {
      {"", "839", "使用者名稱不可以是空白"},
      {"Nobody", "839", "沒有這個使用者，請重新輸入"},
      {"NoPwd", "839", "找不到DataBase.pwd檔案，請檢查"},
      {"Empty", "", "是空的"},
      {"Damaged", "a", "已損壞"},
      {"Test", "838", "密碼不正確，請重新輸入"},
      {"Letters", "ABC", "密碼不正確，請重新輸入"},
      {"ListIsFolder", "abc", "無法讀取資料庫清單"},
  };
  for (const auto& c : cases) {
    const auto refused = LogIn(store, QString::fromUtf8(c.name), QString::fromUtf8(c.typed));
    ASSERT_TRUE(refused) << c.name;
    EXPECT_TRUE(refused->text.contains(QString::fromUtf8(c.message)))
        << refused->text.toStdString();
    EXPECT_EQ(refused->title, QStringLiteral("注意"));
    EXPECT_EQ(store.UserName, QString());
    EXPECT_FALSE(folders::exists(store.settingsFile()));
  }
}

TEST_F(Users, NewUserWritesItsFilesAndLogsInRememberingTheName) {
  putFile(store.settingsFile(), "[UserName]=Someone\r\nold second line\r\n");
  const struct {
    const char* name;
    const char* pwd;
    QByteArray pwdFile;  // empty: refused, nothing made
    QByteArray iniFile;
  } cases[] = {
      {"Two", "ab", {}, {}},
      {"Three", "abc", "006100620063\r\n", "[UserName]=Three\r\n"},
      {"Eight", "12345678", "00310032003300340035003600370038\r\n", "[UserName]=Eight\r\n"},
      {"Nine", "123456789", {}, {}},
      {"王", "中中中", "A4A4A4A4A4A4\r\n", "[UserName]=\xa4\xfd\r\n"},
      {"Emoji", "a😀b", {}, {}},
  };
  for (const auto& c : cases) {
    const QString name = QString::fromUtf8(c.name);
    const QString folder = store.DataBaseFolder + name;
    const auto refused = CreateUser(store, name, QString::fromUtf8(c.pwd));
    EXPECT_EQ(refused.has_value(), c.pwdFile.isEmpty()) << c.name;
    if (refused) {
      EXPECT_TRUE(refused->text.startsWith(QStringLiteral("密碼"))) << refused->text.toStdString();
      EXPECT_FALSE(folders::exists(folder));
      continue;
    }
    EXPECT_EQ(fileBytes(folder + "/DataBase.lst"), QByteArray());
    EXPECT_EQ(fileBytes(folder + "/DataBase.pwd"), c.pwdFile);
    ASSERT_FALSE(LogIn(store, name, QString::fromUtf8(c.pwd))) << c.name;
    EXPECT_EQ(store.panel(Module1::UserPanel), QStringLiteral("使用者：") + name);
    EXPECT_EQ(fileBytes(store.settingsFile()), c.iniFile);
  }
  EXPECT_EQ(CreateUser(store, "Three", "xyz")->text,
            QStringLiteral("使用者已存在，請使用其他名稱"));
  // A folder the file system cannot make leaves nothing behind.
  EXPECT_TRUE(CreateUser(store, QString(300, QLatin1Char('u')), "abc")
                  ->text.contains(QStringLiteral("無法建立資料夾")));
  EXPECT_TRUE(dialogs.messages().empty());

  // A settings file that cannot be written is reported; the user is in all the same.
  QFile::remove(store.settingsFile());
  QDir().mkpath(store.settingsFile());
  EXPECT_FALSE(LogIn(store, "Three", "abc"));
  EXPECT_EQ(store.UserName, QStringLiteral("Three"));
  EXPECT_TRUE(dialogs.lastMessage().text.contains(QStringLiteral("無法記住")));
}

TEST_F(Users, PasswordChangeChecksTheOldOneAndWritesTheNewOne) {
  ASSERT_FALSE(CreateUser(store, "Test", "839"));
  ASSERT_FALSE(LogIn(store, "Test", "839"));
  const struct {
    QStringList answers;  // in turn; empty text: the box cancelled
    const char* message;  // nullptr: none
  } steps[] = {
      {{"839", QStringLiteral("中文字")}, nullptr},
      {{"839"}, "密碼錯誤"},  // the old one is now the one changed to
      {{""}, nullptr},
      {{QStringLiteral("中文字"), "123456789"}, "密碼格式不正確，請重新輸入"},
  };
  for (const auto& step : steps) {
    dialogs.clear();
    for (const QString& a : step.answers) dialogs.type(a);
    ChangePassword(store);
    EXPECT_EQ(fileBytes(store.DataBaseFolder + "Test/DataBase.pwd"), "A4A4A4E5A672\r\n");
    EXPECT_EQ(dialogs.lastMessage().text, QString::fromUtf8(step.message));
    EXPECT_TRUE(dialogs.allAnswersUsed());
  }
}

}  // namespace
