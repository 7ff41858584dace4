#include "users/users.h"
#include "ScriptedDialogs.h"
#include "catalogue/folders.h"
#include "platform/safefile.h"
#include "store/Module1.h"
#include "store/database.h"
#include "users/password.h"
#include "users/settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void putFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

class Users : public ::testing::Test {
 protected:
  Users() : store(dir.path(), dialogs) { QDir().mkpath(store.DataBaseFolder); }

  // A user folder as the new-user command leaves it, with a password file of this text.
  void addUser(const QString& name, const QByteArray& passwordFileBytes) {
    QDir().mkpath(store.DataBaseFolder + name);
    putFile(store.DataBaseFolder + name + "/DataBase.pwd", passwordFileBytes);
  }
  QStringList rootEntries() const {
    return QDir(store.DataBaseFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  }

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store;
};

TEST(Password, EncodesFourUpperCaseDigitsPerCharacter) {
  const struct {
    const char* text;
    const char* encoded;
  } cases[] = {
      {"abc", "006100620063"}, {"中", "A4A4"}, {"a中Z", "0061A4A4005A"}, {"", ""},
      {"839", "003800330039"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(password::EncodePassword(QString::fromUtf8(c.text)), QString::fromUtf8(c.encoded))
        << c.text;
  }
}

TEST(Password, DecodesGroupsAndRefusesWhatIsNoHexadecimal) {
  const struct {
    const char* line;
    const char* text;  // nullptr: refused
  } cases[] = {
      {"006100620063", "abc"}, {"A4A4", "中"},    {"a4a4", "中"},    {"0061A4A4", "a中"},
      {"006141", "aA"},  // a short last group is one character
      {"00G1", nullptr},       {"+061", nullptr}, {" 061", nullptr}, {"0061中", nullptr},
  };
  for (const auto& c : cases) {
    const auto decoded = password::DecodePassword(QString::fromUtf8(c.line));
    if (!c.text) {
      EXPECT_FALSE(decoded.has_value()) << c.line;
      continue;
    }
    ASSERT_TRUE(decoded.has_value()) << c.line;
    EXPECT_EQ(*decoded, QString::fromUtf8(c.text)) << c.line;
  }
  EXPECT_EQ(password::DecodePassword("00610"), QStringLiteral("a") + QChar(0));
}

TEST(Settings, FileIsOneCp950LineWithCrLf) {
  EXPECT_EQ(settings::settingsBytes("Test").toHex().toUpper(),
            QByteArray("5B557365724E616D655D3D546573740D0A"));
  EXPECT_EQ(settings::settingsBytes(QStringLiteral("王")).toHex().toUpper(),
            QByteArray("5B557365724E616D655D3DA4FD0D0A"));
}

TEST(Settings, ReadsTheNameAfterTheFirstEquals) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Varnix.ini");
  EXPECT_EQ(settings::readLastUser(path), QString());  // missing file
  const struct {
    QByteArray bytes;
    QString name;
  } cases[] = {
      {"[UserName]=user1\r\n", "user1"},
      {"[UserName]=\r\n", ""},
      {"[UserName]=a,b\r\n", "a"},
      {"[UserName]=a=b\r\n", "a"},
      {"no equals\r\n", ""},
      {"", ""},
      {QByteArray("[UserName]=\xa4\xfd\r\nsecond=x\r\n"), QStringLiteral("王")},
  };
  for (const auto& c : cases) {
    putFile(path, c.bytes);
    EXPECT_EQ(settings::readLastUser(path), c.name) << c.bytes.constData();
  }
}

TEST_F(Users, LoginChecksInOrderAndChangesNothingWhenRefused) {
  addUser("Test", "003800330039\r\n");
  addUser("Letters", "006100620063\r\n");
  addUser("Empty", "");
  addUser("Damaged", "00ZZ\r\n");
  QDir().mkpath(store.DataBaseFolder + "NoPwd");
  putFile(store.DataBaseFolder + "Plain", "x");
  QDir().mkpath(store.DataBaseFolder + "ListIsFolder/DataBase.lst");
  putFile(store.DataBaseFolder + "ListIsFolder/DataBase.pwd", "006100620063\r\n");
  const struct {
    const char* name;
    const char* typed;
    const char* message;  // contained in the refusal
  } cases[] = {
      {"Nobody", "839", "沒有這個使用者，請重新輸入"},
      {"Plain", "839", "找不到DataBase.pwd檔案，請檢查"},
      {"NoPwd", "839", "找不到DataBase.pwd檔案，請檢查"},
      {"Test", "838", "密碼不正確，請重新輸入"},
      {"Test", "", "密碼不正確，請重新輸入"},
      {"Letters", "ABC", "密碼不正確，請重新輸入"},
      {"Empty", "", "是空的"},
      {"Damaged", "a", "已損壞"},
      {"ListIsFolder", "abc", "無法讀取資料庫清單"},
      {"", "839", "使用者名稱不可以是空白"},
      {"..", "839", "「.」或「..」"},
      {"Test/", "839", "不可以含有下列字元"},
  };
  for (const auto& c : cases) {
    const auto refused = LogIn(store, QString::fromUtf8(c.name), QString::fromUtf8(c.typed));
    ASSERT_TRUE(refused) << c.name;
    EXPECT_TRUE(refused->text.contains(QString::fromUtf8(c.message)))
        << refused->text.toStdString();
    EXPECT_EQ(refused->title, QStringLiteral("注意"));
    EXPECT_EQ(store.UserName, QString());
    EXPECT_EQ(store.panel(Module1::UserPanel), QString());
    EXPECT_FALSE(folders::exists(store.settingsFile()));
  }
}

TEST_F(Users, SuccessfulLoginRemembersTheUser) {
  addUser("Letters", "006100620063\r\n");  // no DataBase.lst: a user without databases
  putFile(store.settingsFile(), "[UserName]=Someone\r\nold second line\r\n");
  store.CatalogueChanged = true;
  EXPECT_FALSE(LogIn(store, "Letters", "abc"));
  EXPECT_EQ(store.UserName, QStringLiteral("Letters"));
  EXPECT_EQ(store.PasswordLine, QStringLiteral("abc"));
  EXPECT_EQ(store.panel(Module1::UserPanel), QStringLiteral("使用者：Letters"));
  EXPECT_FALSE(store.CatalogueChanged);
  EXPECT_EQ(fileBytes(store.settingsFile()), QByteArray("[UserName]=Letters\r\n"));
  EXPECT_TRUE(dialogs.messages().empty());

  // A settings file that cannot be written is reported; the user is in all the same.
  QFile::remove(store.settingsFile());
  QDir().mkpath(store.settingsFile());
  store.UserName.clear();
  EXPECT_FALSE(LogIn(store, "Letters", "abc"));
  EXPECT_EQ(store.UserName, QStringLiteral("Letters"));
  EXPECT_TRUE(dialogs.lastMessage().text.contains(QStringLiteral("無法記住")));
}

TEST_F(Users, NewUserGetsFolderEmptyListAndPasswordFile) {
  const struct {
    const char* name;
    const char* pwd;
    const char* pwdHex;  // nullptr: refused for its format
  } cases[] = {
      {"Three", "abc", "3030363130303632303036330D0A"},
      {"Eight", "12345678", "30303331303033323030333330303334303033353030333630303337303033380D0A"},
      {"Emoji", "a😀b", nullptr},
      {"王小明", "中中中",
       "413441344134413441344134"
       "0D0A"},
  };
  for (const auto& c : cases) {
    const QString name = QString::fromUtf8(c.name);
    const auto refused = CreateUser(store, name, QString::fromUtf8(c.pwd));
    if (!c.pwdHex) {
      ASSERT_TRUE(refused) << c.name;
      EXPECT_TRUE(refused->text.contains(QStringLiteral("😀"))) << refused->text.toStdString();
      EXPECT_FALSE(folders::exists(store.DataBaseFolder + name));
      continue;
    }
    ASSERT_FALSE(refused) << c.name;
    const QString folder = store.DataBaseFolder + name;
    EXPECT_EQ(fileBytes(folder + "/DataBase.lst"), QByteArray());
    EXPECT_EQ(fileBytes(folder + "/DataBase.pwd").toHex().toUpper(), QByteArray(c.pwdHex));
    EXPECT_FALSE(LogIn(store, name, QString::fromUtf8(c.pwd)));
  }
}

TEST_F(Users, NewUserRefusesTakenAndImpossibleNamesCreatingNothing) {
  addUser("Test", "003800330039\r\n");
  putFile(store.DataBaseFolder + "Plain", "x");
  const QStringList before = rootEntries();
  const QString taken = QStringLiteral("使用者已存在，請使用其他名稱");
  EXPECT_EQ(CreateUser(store, "Test", "abc")->text, taken);
  EXPECT_EQ(CreateUser(store, "Plain", "abc")->text, taken);
  const QStringList impossible = {
      "",     ".",    "..",   "a/b",     "a\\b", "C:x",  "a\tb",
      "a\nb", "abc.", "abc ", "a<b",     "a>b",  "a\"b", "a|b",
      "a?b",  "a*b",  "CON",  "nul.txt", "com1", "LPT9", QStringLiteral("餐😀")};
  for (const QString& name : impossible) {
    const auto refused = CreateUser(store, name, "abc");
    ASSERT_TRUE(refused) << name.toStdString();
    EXPECT_TRUE(refused->text.contains(QStringLiteral("使用者名稱")) ||
                refused->text.contains(QStringLiteral("保留")))
        << refused->text.toStdString();
  }
  EXPECT_EQ(rootEntries(), before);
  // A name that is a fine folder name elsewhere is allowed.
  EXPECT_FALSE(CreateUser(store, "a.b c,d", "abc"));
}

TEST_F(Users, NewUserReportsAFolderThatCannotBeMade) {
  // The file system takes no name of 300 letters; nothing may remain of the attempt.
  const auto refused = CreateUser(store, QString(300, QLatin1Char('u')), "abc");
  ASSERT_TRUE(refused);
  EXPECT_TRUE(refused->text.contains(QStringLiteral("無法建立資料夾")));
  EXPECT_TRUE(rootEntries().isEmpty());
  // The user root itself a plain file: also refused, and the file is left alone.
  QDir(store.DataBaseFolder).removeRecursively();
  putFile(dir.filePath("DataBase"), "not a folder");
  EXPECT_TRUE(CreateUser(store, "Someone", "abc"));
  EXPECT_EQ(fileBytes(dir.filePath("DataBase")), QByteArray("not a folder"));
}

TEST_F(Users, PasswordChangeChecksTheOldOneAndWritesTheNewOne) {
  ASSERT_FALSE(CreateUser(store, "Test", "839"));
  ASSERT_FALSE(LogIn(store, "Test", "839"));
  const QString pwdFile = store.DataBaseFolder + "Test/DataBase.pwd";

  dialogs.type("839");
  dialogs.type("first");
  ChangePassword(store);
  dialogs.type("first");  // the second change in the same login checks against the first
  dialogs.type(QStringLiteral("中文字"));
  ChangePassword(store);
  EXPECT_TRUE(dialogs.messages().empty());
  EXPECT_EQ(fileBytes(pwdFile), QByteArray("A4A4A4E5A672\r\n"));
  ASSERT_EQ(dialogs.shown().size(), 4u);
  EXPECT_EQ(dialogs.shown()[0].prompt, QStringLiteral("輸入舊密碼"));
  EXPECT_EQ(dialogs.shown()[1].prompt, QStringLiteral("輸入新密碼(3-8個字元)"));
  EXPECT_EQ(dialogs.shown()[1].title, QStringLiteral("輸入"));
  EXPECT_EQ(dialogs.shown()[1].defaultText, QString());

  const QByteArray kept = fileBytes(pwdFile);
  const struct {
    QStringList answers;  // empty text: the box cancelled
    const char* message;  // nullptr: none
  } refusals[] = {
      {{"839"}, "密碼錯誤"},
      {{""}, nullptr},
      {{QStringLiteral("中文字"), ""}, nullptr},
      {{QStringLiteral("中文字"), "ab"}, "密碼格式不正確，請重新輸入"},
      {{QStringLiteral("中文字"), "123456789"}, "密碼格式不正確，請重新輸入"},
  };
  for (const auto& r : refusals) {
    dialogs.clear();
    for (const QString& a : r.answers) dialogs.type(a);
    ChangePassword(store);
    EXPECT_EQ(fileBytes(pwdFile), kept);
    EXPECT_EQ(store.PasswordLine, QStringLiteral("中文字"));
    EXPECT_EQ(dialogs.lastMessage().text, r.message ? QString::fromUtf8(r.message) : QString());
    EXPECT_TRUE(dialogs.allAnswersUsed());
  }
}
}  // namespace

namespace {

TEST_F(Users, LeavingForTheLoginSavesFirstAndStaysWhenTheSaveFails) {
  ASSERT_FALSE(CreateUser(store, "Test", "839"));
  ASSERT_FALSE(LogIn(store, "Test", "839"));
  QDir().mkpath(store.DataBaseFolder + "Test/2003-11");
  store.DataBaseName = "2003-11";
  dialogs.type("10");
  ASSERT_FALSE(LoadDatabase(store));
  store.EntryTable[store.EntryCount++] =
      makeEntry("2003/11/06", QStringLiteral("A-現金"), "Equity", 5, QStringLiteral("午餐"));
  const QString entries = store.databaseFolder() + "/Main.dat";
  store.OpenedFromMenu = true;
  {
    safefile::FailAfterBytes fullDisk(0);
    const auto refused = LogOutFromMenu(store);
    ASSERT_TRUE(refused);
    EXPECT_TRUE(refused->text.contains(QStringLiteral("沒有存好")));
  }
  EXPECT_TRUE(store.OpenedFromMenu);
  EXPECT_EQ(fileBytes(entries).size(), 104);
  EXPECT_FALSE(LogOutFromMenu(store));
  EXPECT_FALSE(store.OpenedFromMenu);
  EXPECT_EQ(fileBytes(entries).size(), 128 + 104);
}

}  // namespace
