#include "users/users.h"

#include "Books.h"
#include "TestFiles.h"
#include "backup/folders.h"
#include "catalogue/catalogue.h"

namespace {

struct Users : ::testing::Test, testbooks::Books {
  Users() { QDir().mkpath(store.user().usersFolder()); }
};

TEST_F(Users, LoginChecksInOrderAndChangesNothingWhenRefused) {
  for (const char* folder : {"Letters", "Empty", "NoPwd", "ListIsFolder/DataBase.lst"})
    QDir().mkpath(store.user().usersFolder() + folder);
  putFile(store.user().usersFolder() + "Letters/DataBase.pwd", "006100620063\r\n");
  putFile(store.user().usersFolder() + "ListIsFolder/DataBase.pwd", "006100620063\r\n");
  putFile(store.user().usersFolder() + "Empty/DataBase.pwd", "");
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
    const users::LoginOutcome login =
        users::logIn(store, QString::fromUtf8(name), QString::fromUtf8(typed));
    EXPECT_FALSE(login.loggedIn) << name;
    EXPECT_TRUE(login.message && login.message->text.contains(QString::fromUtf8(message))) << name;
    EXPECT_EQ(store.user().userName(), QString());
    EXPECT_FALSE(folders::exists(store.user().settingsFile()));
  }
}

TEST_F(Users, NewUserWritesItsFilesAndLogsInRememberingTheName) {
  putFile(store.user().settingsFile(), "[UserName]=Someone\r\nold second line\r\n");
  const char* cases[][4] = {
      // name, password, its file ("<missing>": refused), Varnix.ini
      {"Two", "ab", "<missing>", ""},
      {"Eight", "12345678", "00310032003300340035003600370038\r\n", "[UserName]=Eight\r\n"},
      {"Nine", "123456789", "<missing>", ""},
      {"王", "中中中", "A4A4A4A4A4A4\r\n", "[UserName]=\xa4\xfd\r\n"},
  };
  for (const auto& [n, pwd, pwdFile, iniFile] : cases) {
    const QString name = QString::fromUtf8(n), folder = store.user().usersFolder() + name;
    const auto refused = users::createUser(store, name, QString::fromUtf8(pwd));
    EXPECT_EQ(fileBytes(folder + "/DataBase.pwd"), pwdFile) << n;
    if (refused) continue;
    EXPECT_EQ(fileBytes(folder + "/DataBase.lst"), QByteArray());
    const users::LoginOutcome login = users::logIn(store, name, QString::fromUtf8(pwd));
    ASSERT_TRUE(login.loggedIn && !login.message) << n;
    EXPECT_EQ(fileBytes(store.user().settingsFile()), iniFile);
  }
  EXPECT_EQ(users::createUser(store, "Eight", "xyz")->text, "使用者已存在，請使用其他名稱");
  // A settings file that cannot be written lets the user in, with a warning.
  QFile::remove(store.user().settingsFile());
  QDir().mkpath(store.user().settingsFile());
  const users::LoginOutcome login = users::logIn(store, "Eight", "12345678");
  EXPECT_TRUE(login.loggedIn);
  EXPECT_TRUE(warns(login.message, QStringLiteral("無法記住這次登入的使用者：")));
}

TEST_F(Users, PasswordChangeChecksTheOldOneAndWritesTheNewOne) {
  ASSERT_FALSE(users::createUser(store, "Test", "839"));
  ASSERT_TRUE(users::logIn(store, "Test", "839").loggedIn);
  const struct {
    const char *old, *fresh, *refusal;  // "": changed
  } steps[] = {
      {"839", "中文字", ""},
      {"839", "abcd", "密碼錯誤"},  // the old one is now the one changed to
      {"中文字", "123456789", "密碼格式不正確，請重新輸入"},
      {"中文字", "年😀年", "密碼含有無法儲存的字元「😀」，請改用其他字元"},
  };
  for (const auto& step : steps) {
    const auto refused =
        users::setPassword(store, QString::fromUtf8(step.old), QString::fromUtf8(step.fresh));
    EXPECT_EQ(refused ? refused->text : QString(), QString::fromUtf8(step.refusal)) << step.fresh;
    EXPECT_EQ(fileBytes(store.user().usersFolder() + "Test/DataBase.pwd"), "A4A4A4E5A672\r\n");
    EXPECT_EQ(store.user().passwordLine(), QStringLiteral("中文字"));
  }
}

// Log-out and the menu's database list save the open database first; one that cannot be saved
// keeps the user where they are.
TEST_F(Users, LeavingAnOpenDatabaseThatCannotBeSavedIsRefused) {
  signIn("Test");
  store.user().setDatabaseName("2003-11");
  putFile(store.user().databaseFolder(), "plain");  // a file where the database folder belongs
  const auto loggingOut = users::saveAndLogOut(store).refusal;
  EXPECT_TRUE(warns(loggingOut, QStringLiteral("資料庫沒有存好：")));
  EXPECT_EQ(store.user().databaseName(), QStringLiteral("2003-11"));
  EXPECT_EQ(catalogue::saveBeforeList(store).refusal, loggingOut);
}

}  // namespace
