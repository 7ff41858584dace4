#include "platform/datafolder.h"
#include "platform/safefile.h"

#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>

namespace {

using datafolder::CommandLine;
using datafolder::Mode;
using Action = CommandLine::Action;

const QString kAdvice = QStringLiteral("請以 --data-dir 指定一個可以寫入的資料夾。");

mode_t permissions(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return 0;
  return info.st_mode & 07777;
}

void makeFolders(const QString& root, std::initializer_list<const char*> folders) {
  for (const char* folder : folders) QDir().mkpath(root + QLatin1Char('/') + QLatin1String(folder));
}

// A umask that would give every new file and folder to everyone; restored at the end.
class OpenUmask {
 public:
  OpenUmask() : previous_(::umask(0)) {}
  ~OpenUmask() { ::umask(previous_); }
  OpenUmask(const OpenUmask&) = delete;
  OpenUmask& operator=(const OpenUmask&) = delete;

 private:
  mode_t previous_;
};

struct ParseCase {
  QStringList arguments;
  Action action;
  QString dataDir;
  QString error;
};

TEST(DataFolderTest, CommandLine) {
  const QString needsFolder = QStringLiteral("--data-dir 後面需要一個資料夾");
  const std::vector<ParseCase> cases = {
      {{}, Action::Start, {}, {}},
      {{"--data-dir", "/srv/books"}, Action::Start, "/srv/books", {}},
      {{"--data-dir=rel/books"}, Action::Start, "rel/books", {}},
      // Qt's own options are QApplication's, with or without a value.
      {{"-platform", "offscreen", "-style=fusion", "-reverse", "--data-dir", "d"},
       Action::Start,
       "d",
       {}},
      {{"--version"}, Action::Version, {}, {}},
      {{"--version", "-h"}, Action::Help, {}, {}},
      {{"--data-dir"}, Action::Refuse, {}, needsFolder},
      {{"--data-dir="}, Action::Refuse, {}, needsFolder},
      {{"--data-dir", ""}, Action::Refuse, {}, needsFolder},
      {{"--datadir", "x"}, Action::Refuse, {}, QStringLiteral("不明的選項「--datadir」")},
      {{"2003-11"}, Action::Refuse, {}, QStringLiteral("不明的選項「2003-11」")},
  };
  for (const ParseCase& expected : cases) {
    SCOPED_TRACE(expected.arguments.join(QLatin1Char(' ')).toStdString());
    const CommandLine line =
        datafolder::parseArguments(QStringList{QStringLiteral("varnix")} + expected.arguments);
    EXPECT_EQ(line.action, expected.action);
    EXPECT_EQ(line.dataDir, expected.dataDir);
    EXPECT_EQ(line.error, expected.error);
  }
}

// The choice in a tree of its own: <root>/usr/bin holds the program, <root>/home is HOME.
struct ChoiceCase {
  const char* name;
  std::function<void(const QString& root)> lay;
  datafolder::Surroundings surroundings;  // paths relative to the root
  Mode mode;
  const char* dataFolder;
  const char* programFiles;
};

TEST(DataFolderTest, ChoosesTheFolder) {
  const auto systemWide = [](const QString& root) {
    makeFolders(root, {"usr/bin", "usr/share/varnix"});
  };
  const std::vector<ChoiceCase> cases = {
      {"a writable folder without data is portable",
       [](const QString& root) { makeFolders(root, {"usr/bin"}); },
       {},
       Mode::Portable,
       "usr/bin",
       "usr/bin"},
      {"a system-wide program keeps data in the home",
       systemWide,
       {},
       Mode::Installed,
       "home/.local/share/Varnix",
       "usr/share/varnix"},
      {"settings beside the program keep it portable",
       [&](const QString& root) {
         systemWide(root);
         putFile(root + QStringLiteral("/usr/bin/Varnix.ini"), "[UserName]=Test\r\n");
       },
       {},
       Mode::Portable,
       "usr/bin",
       "usr/share/varnix"},
      {"a DataBase folder beside the program keeps it portable",
       [&](const QString& root) {
         systemWide(root);
         makeFolders(root, {"usr/bin/DataBase"});
       },
       {},
       Mode::Portable,
       "usr/bin",
       "usr/share/varnix"},
      {"a help page beside the program is a portable folder",
       [&](const QString& root) {
         systemWide(root);
         putFile(root + QStringLiteral("/usr/bin/readme.htm"), "<html/>");
       },
       {},
       Mode::Portable,
       "usr/bin",
       "usr/bin"},
      {"XDG_DATA_HOME",
       systemWide,
       {{}, {}, {}, "@/xdg", {}},
       Mode::Installed,
       "xdg/Varnix",
       "usr/share/varnix"},
      {"a relative XDG_DATA_HOME is ignored",
       systemWide,
       {{}, {}, {}, "xdg", {}},
       Mode::Installed,
       "home/.local/share/Varnix",
       "usr/share/varnix"},
      {"VARNIX_DATA_DIR before the program's folder",
       [](const QString& root) { makeFolders(root, {"usr/bin/DataBase"}); },
       {{}, {}, "@/books", {}, {}},
       Mode::Chosen,
       "books",
       "usr/bin"},
      {"--data-dir before VARNIX_DATA_DIR",
       systemWide,
       {{}, "@/mine", "@/books", {}, {}},
       Mode::Chosen,
       "mine",
       "usr/share/varnix"},
  };
  for (const ChoiceCase& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    const QString root = dir.path();
    c.lay(root);
    const auto rooted = [&](const QString& path) {
      return path.startsWith(QLatin1Char('@')) ? root + path.mid(1) : path;
    };
    datafolder::Surroundings s = c.surroundings;
    s.programFolder = root + QStringLiteral("/usr/bin");
    s.home = root + QStringLiteral("/home");
    s.dataDirArgument = rooted(s.dataDirArgument);
    s.dataDirVariable = rooted(s.dataDirVariable);
    s.xdgDataHome = rooted(s.xdgDataHome);
    const datafolder::Place place = datafolder::choose(s);
    EXPECT_EQ(place.mode, c.mode);
    EXPECT_EQ(place.dataFolder, root + QLatin1Char('/') + QLatin1String(c.dataFolder));
    EXPECT_EQ(place.programFiles, root + QLatin1Char('/') + QLatin1String(c.programFiles));
  }
}

// Defaults as an installation ships them, under <root>/share/defaults.
QString layShippedDefaults(const QString& root) {
  const QString defaults = root + QStringLiteral("/share/defaults");
  makeFolders(defaults, {"DataBase/Test", "DataBase/Demo"});
  putFile(defaults + QStringLiteral("/Varnix.ini"), "[UserName]=Test\r\n");
  putFile(defaults + QStringLiteral("/DataBase/Test/DataBase.pwd"), "003800330039\r\n");
  putFile(defaults + QStringLiteral("/DataBase/Test/DataBase.lst"), "");
  putFile(defaults + QStringLiteral("/DataBase/Demo/DataBase.pwd"), "0031\r\n");
  return root + QStringLiteral("/share");
}

TEST(DataFolderTest, FirstStartLaysTheSampleUserForTheOwnerOnly) {
  QTemporaryDir dir;
  const QString home = dir.path() + QStringLiteral("/home");
  const QString data = home + QStringLiteral("/.local/share/Varnix");
  QDir().mkdir(home);
  OpenUmask open;
  ASSERT_EQ(datafolder::prepare({Mode::Installed, data, layShippedDefaults(dir.path())}),
            std::nullopt);
  for (const QString& created : {home + QStringLiteral("/.local"), data}) {
    EXPECT_EQ(permissions(created), 0700u) << created.toStdString();
  }
  EXPECT_EQ(fileBytes(data + QStringLiteral("/Varnix.ini")).toHex(),
            "5b557365724e616d655d3d546573740d0a");
  EXPECT_EQ(fileBytes(data + QStringLiteral("/DataBase/Test/DataBase.pwd")).toHex(),
            "3030333830303333303033390d0a");
  EXPECT_EQ(fileBytes(data + QStringLiteral("/DataBase/Test/DataBase.lst")), QByteArray());
  for (const char* file :
       {"Varnix.ini", "DataBase/Test/DataBase.pwd", "DataBase/Demo/DataBase.pwd"}) {
    EXPECT_EQ(permissions(data + QLatin1Char('/') + QLatin1String(file)), 0600u) << file;
  }
  // What the program writes later is private too; a file it replaces keeps its permissions.
  ASSERT_EQ(safefile::write(data + QStringLiteral("/CSV.csv"), "a"), std::nullopt);
  EXPECT_EQ(permissions(data + QStringLiteral("/CSV.csv")), 0600u);
  QFile::setPermissions(data + QStringLiteral("/Varnix.ini"),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
  ASSERT_EQ(safefile::write(data + QStringLiteral("/Varnix.ini"), "[UserName]=Mary\r\n"),
            std::nullopt);
  EXPECT_EQ(permissions(data + QStringLiteral("/Varnix.ini")), 0640u);
}

TEST(DataFolderTest, APersonsDataAndFolderStayAsTheyAre) {
  QTemporaryDir dir;
  const QString data = dir.path() + QStringLiteral("/Varnix");
  makeFolders(data, {"DataBase/Test"});
  QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                  QFile::ReadOther | QFile::ExeOther);
  putFile(data + QStringLiteral("/Varnix.ini"), "[UserName]=Mary\r\n");
  putFile(data + QStringLiteral("/DataBase/Test/DataBase.pwd"), "0061\r\n");
  ASSERT_EQ(datafolder::prepare({Mode::Portable, data, layShippedDefaults(dir.path())}),
            std::nullopt);
  EXPECT_EQ(permissions(data), 0705u);
  EXPECT_EQ(fileBytes(data + QStringLiteral("/Varnix.ini")), "[UserName]=Mary\r\n");
  EXPECT_EQ(fileBytes(data + QStringLiteral("/DataBase/Test/DataBase.pwd")), "0061\r\n");
  EXPECT_FALSE(QFileInfo::exists(data + QStringLiteral("/DataBase/Test/DataBase.lst")));
  // Only the user who was missing arrives.
  EXPECT_EQ(fileBytes(data + QStringLiteral("/DataBase/Demo/DataBase.pwd")), "0031\r\n");
}

TEST(DataFolderTest, AFolderThatCannotBeMadeIsRefused) {
  QTemporaryDir dir;
  const QString file = dir.path() + QStringLiteral("/books");
  putFile(file, "not a folder");
  const struct {
    QString folder;
    QString text;
  } cases[] = {
      {file, QStringLiteral("「%1」不是資料夾，無法存放資料。").arg(file) + kAdvice},
      {file + QStringLiteral("/Varnix"),
       QStringLiteral("無法建立資料夾「%1/Varnix」。").arg(file) + kAdvice},
  };
  for (const auto& c : cases) {
    const auto refusal =
        datafolder::prepare({Mode::Chosen, c.folder, layShippedDefaults(dir.path())});
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->text, c.text);
    EXPECT_EQ(refusal->title, QStringLiteral("注意"));
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            (QStringList{"books", "share"}));
  EXPECT_EQ(fileBytes(file), "not a folder");
}

// Another account on the computer: a folder it may read but not write is refused, and a
// program folder it cannot write sends its data home.
TEST(DataFolderTest, AnotherUserCannotWriteHere) {
  if (::getuid() != 0) GTEST_SKIP() << "needs root to become another user";
  QTemporaryDir dir;
  QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadOther | QFile::ExeOther);
  const QString data = dir.path() + QStringLiteral("/Varnix");
  makeFolders(data, {"DataBase"});
  putFile(data + QStringLiteral("/Varnix.ini"), "[UserName]=Test\r\n");
  const QString program = dir.path() + QStringLiteral("/bin");
  makeFolders(program, {});
  EXPECT_EXIT(
      {
        constexpr uid_t kNobody = 65534;
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) std::_Exit(3);
        const auto refusal = datafolder::prepare(
            {Mode::Chosen, data, layShippedDefaults(QStringLiteral("/nonexistent"))});
        const bool refused =
            refusal &&
            refusal->text == QStringLiteral("無法寫入資料夾「%1」。").arg(data) + kAdvice;
        const auto place = datafolder::choose({program, {}, {}, {}, QStringLiteral("/home/x")});
        std::_Exit(refused && place.mode == Mode::Installed ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(QDir(data).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            (QStringList{"DataBase", "Varnix.ini"}));
}

}  // namespace
