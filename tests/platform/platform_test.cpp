#include "TestFiles.h"
#include "platform/codepage.h"
#include "platform/datafolder.h"
#include "platform/dates.h"
#include "platform/numbers.h"
#include "platform/safefile.h"

#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdint>
#include <tuple>

namespace {

TEST(Codepage, UsesMicrosoftTableAndReportsWhatItCannotHold) {
  // The euro sign is A3 E1 in Microsoft's table; IBM's would give C8 FE.
  EXPECT_EQ(codepage::encode(QStringLiteral("€")), hex("a3e1"));
  bool lossy = false;
  EXPECT_EQ(codepage::encode(QStringLiteral("a😀b"), &lossy), QByteArray("a?b"));
  EXPECT_TRUE(lossy);
}

TEST(Codepage, FixedFieldsCutWithoutSplittingACharacter) {
  // "A" and ten Chinese characters would end on byte 21: the tenth goes, its byte is a blank.
  EXPECT_EQ(codepage::fieldBytes(QStringLiteral("A一二三四五六七八九十"), 20),
            hex("41 a440a447a454a57ca4ada4bba443a44ba445 20"));
  // Foreign bytes, a lead byte last among them, never run past the field.
  const char field[4] = {'a', '\xa4', 'b', '\xa4'};
  EXPECT_EQ(codepage::fieldBytes(codepage::fieldFromBytes(field, 4), 4).size(), 4);
}

// Amounts round halves to even. The initial value ("leading") is read as far as it is a number,
// but a digit group never passes as the smaller number in front of it.
TEST(ParseAmount, RoundsHalvesToEvenAndRefusesWhatIsNoNumber) {
  using enum numbers::AmountError;
  const auto whole = numbers::parseAmount, leading = numbers::parseLeadingAmount;
  const std::tuple<decltype(whole), const char16_t*, numbers::AmountError, qint32> cases[] = {
      // clang-format off
      {whole, u" +12 ", None, 12},  {whole, u"12.5", None, 12}, {whole, u"13.5", None, 14},
      {whole, u"-2.5", None, -2}, {whole, u"2.50001", None, 3},
      {whole, u"-2147483648.5", None, INT32_MIN},  {whole, u"2147483647.5", OutOfRange, 0},
      {whole, u"   ", Empty, 0},  {whole, u"1,000", NotANumber, 0},  {whole, u".", NotANumber, 0},
      {whole, u"１２", NotANumber, 0},
      {leading, u"5000元", None, 5000}, {leading, u"", None, 0},  {leading, u"  ", None, 0},
      {leading, u"abc", None, 0}, {leading, u" -2.5 ", None, -2},   {leading, u"１２", None, 12},
      {leading, u"0.125", None, 0}, {leading, u"5000 元", None, 5000},
      {leading, u"1,000", DigitGroups, 1}, {leading, u"1.000", DigitGroups, 1},
      {leading, u"2 500", DigitGroups, 2}, {leading, u"12.500元", DigitGroups, 12},
      {leading, u"１，０００", DigitGroups, 1}, {leading, u"2147483648元", OutOfRange, 0},
      // clang-format on
  };
  for (const auto& [parse, text, error, value] : cases) {
    const numbers::Amount amount = parse(QString::fromUtf16(text));
    EXPECT_EQ(std::pair(amount.error, amount.value), std::pair(error, value))
        << QString::fromUtf16(text).toStdString();
  }
}

TEST(ParseDate, ReadsYearFirstAndShortFormsAndChecksTheCalendar) {
  const QDate no;
  const std::tuple<const char*, const char16_t*, QDate> cases[] = {
      // clang-format off
      {"C", u" 2003-02-03 ", QDate(2003, 2, 3)}, {"C", u"2024/02/29", QDate(2024, 2, 29)},
      {"C", u"2023/02/29", no},  {"C", u"2003/2-3", no},  {"C", u"03/2/3", no},
      // The locale's short form; a two-digit year is of this century.
      {"en_US", u"12/6/26", QDate(2026, 12, 6)}, {"en_US", u"1/5/99", QDate(2099, 1, 5)},
      {"en_US", u"2/29/01", no}, {"en_US", u"1/5/1999", QDate(1999, 1, 5)},
      {"de_DE", u"06.12.26", QDate(2026, 12, 6)},
      // clang-format on
  };
  for (const auto& [locale, text, expected] : cases) {
    EXPECT_EQ(
        dates::parse(QString::fromUtf16(text), QLocale(locale), QDate(2026, 12, 6)).value_or(no),
        expected)
        << locale << " " << QString::fromUtf16(text).toStdString();
  }
  EXPECT_EQ(dates::format(QDate(999, 1, 2)), QStringLiteral("0999/01/02"));  // four digits
}

using datafolders::CommandLine;
using datafolders::Mode;
using Action = CommandLine::Action;

const QString kAdvice = QStringLiteral("請以 --data-dir 指定一個可以寫入的資料夾。");

mode_t permissions(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return 0;
  return info.st_mode & 07777;
}

void makeFolders(const QString& root, std::initializer_list<const char*> folders) {
  for (const char* folder : folders) QDir().mkpath(root + '/' + folder);
}

// A umask that would give every new file and folder to everyone; restored at the end.
struct OpenUmask {
  const mode_t previous = ::umask(0);
  ~OpenUmask() { ::umask(previous); }
};

TEST(DataFolderTest, CommandLine) {
  const QString needsFolder = QStringLiteral("--data-dir 後面需要一個資料夾");
  const std::tuple<QStringList, Action, QString, QString> cases[] = {
      // clang-format off
      {{}, Action::Start, {}, {}},
      {{"--data-dir", "/srv/books"}, Action::Start, "/srv/books", {}},
      {{"--data-dir=rel/books"}, Action::Start, "rel/books", {}},
      // Qt's own options are QApplication's, with or without a value.
      {{"-platform", "offscreen", "-style=fusion", "-reverse", "--data-dir", "d"},
       Action::Start, "d", {}},
      {{"--version"}, Action::Version, {}, {}},  {{"--version", "-h"}, Action::Help, {}, {}},
      {{"--data-dir"}, Action::Refuse, {}, needsFolder},
      {{"--data-dir", ""}, Action::Refuse, {}, needsFolder},
      {{"--datadir", "x"}, Action::Refuse, {}, QStringLiteral("不明的選項「--datadir」")},
      // clang-format on
  };
  for (const auto& [arguments, action, dataDir, error] : cases) {
    const CommandLine line = datafolders::parseArguments(QStringList{"varnix"} + arguments);
    EXPECT_EQ(std::tie(line.action, line.dataDir, line.error), std::tie(action, dataDir, error))
        << arguments.join(' ').toStdString();
  }
}

// The choice in a tree of its own: <root>/usr/bin holds the program, <root>/home is HOME;
// "@" in a path stands for the root.
TEST(DataFolderTest, ChoosesTheFolder) {
  const char *bin = "usr/bin", *share = "usr/share/varnix", *home = "home/.local/share/Varnix";
  const struct {
    bool systemWide;     // usr/share/varnix exists
    const char* beside;  // what lies beside the program ("x/": a folder)
    datafolders::Surroundings around;
    Mode mode;
    const char *dataFolder, *programFiles;
  } cases[] = {
      {false, "", {}, Mode::Portable, bin, bin},
      {true, "Varnix.ini", {}, Mode::Portable, bin, share},
      {true, "DataBase/", {}, Mode::Portable, bin, share},
      {true, "readme.htm", {}, Mode::Portable, bin, bin},  // a portable folder
      {true, "", {{}, {}, {}, "@/xdg", {}}, Mode::Installed, "xdg/Varnix", share},
      {true, "", {{}, {}, {}, "xdg", {}}, Mode::Installed, home, share},  // relative: ignored
      {false, "DataBase/", {{}, {}, "@/books", {}, {}}, Mode::Chosen, "books", bin},
      {true, "", {{}, "@/mine", "@/books", {}, {}}, Mode::Chosen, "mine", share},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    QTemporaryDir dir;
    const QString root = dir.path() + '/';
    makeFolders(root, {bin, c.systemWide ? share : bin});
    const QString beside = root + bin + '/' + c.beside;  // ends in "/" for a folder, or nothing
    beside.endsWith('/') ? void(QDir().mkpath(beside)) : putFile(beside, "[UserName]=T\r\n");
    datafolders::Surroundings s = c.around;
    for (QString* path : {&s.dataDirArgument, &s.dataDirVariable, &s.xdgDataHome}) {
      if (path->startsWith('@')) *path = root + path->mid(2);
    }
    s.programFolder = root + bin;
    s.home = root + "home";
    const datafolders::Place place = datafolders::choose(s);
    EXPECT_EQ(place.mode, c.mode);
    EXPECT_EQ(place.dataFolder, root + c.dataFolder);
    EXPECT_EQ(place.programFiles, root + c.programFiles);
  }
}

// Defaults as an installation ships them, under <root>/share/defaults.
const std::pair<const char*, QByteArray> kShipped[] = {
    {"Varnix.ini", "[UserName]=Test\r\n"},
    {"DataBase/Test/DataBase.pwd", "003800330039\r\n"},
    {"DataBase/Test/DataBase.lst", ""},
    {"DataBase/Demo/DataBase.pwd", "0031\r\n"}};
QString layShippedDefaults(const QString& root) {
  for (const auto& [file, bytes] : kShipped) putFile(root + "/share/defaults/" + file, bytes);
  return root + "/share";
}

// The first start lays the sample users for the owner only; a later one lays only what is
// missing and leaves a person's files and folder as they are.
TEST(DataFolderTest, LaysTheShippedFilesOnlyWhereMissingForTheOwnerOnly) {
  QTemporaryDir dir;
  const QString home = dir.path() + "/home", data = home + "/.local/share/Varnix";
  QDir().mkdir(home);
  OpenUmask open;
  const datafolders::Place place{Mode::Installed, data, layShippedDefaults(dir.path())};
  ASSERT_EQ(datafolders::prepare(place), std::nullopt);
  EXPECT_EQ(permissions(home + "/.local"), 0700u);
  // What the program writes later is private too; a file it replaces keeps its permissions.
  ASSERT_EQ(safefile::write(data + "/CSV.csv", "a"), std::nullopt);
  EXPECT_EQ(permissions(data + "/CSV.csv"), 0600u);
  QFile::setPermissions(data + "/Varnix.ini",
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
  ASSERT_EQ(safefile::write(data + "/Varnix.ini", "[UserName]=Mary\r\n"), std::nullopt);
  EXPECT_EQ(permissions(data + "/Varnix.ini"), 0640u);

  QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                  QFile::ReadOther | QFile::ExeOther);
  putFile(data + "/DataBase/Test/DataBase.pwd", "0061\r\n");
  QFile::remove(data + "/DataBase/Test/DataBase.lst");
  QDir(data + "/DataBase/Demo").removeRecursively();
  ASSERT_EQ(datafolders::prepare(place), std::nullopt);
  EXPECT_EQ(permissions(data), 0705u);
  EXPECT_EQ(fileBytes(data + "/Varnix.ini"), "[UserName]=Mary\r\n");
  EXPECT_EQ(fileBytes(data + "/DataBase/Test/DataBase.pwd"), "0061\r\n");
  EXPECT_FALSE(QFileInfo::exists(data + "/DataBase/Test/DataBase.lst"));
  EXPECT_EQ(fileBytes(data + "/DataBase/Demo/DataBase.pwd"), "0031\r\n");  // the missing user
}

TEST(DataFolderTest, AFolderThatCannotBeMadeIsRefused) {
  QTemporaryDir dir;
  const QString file = dir.path() + "/books";
  putFile(file, "not a folder");
  const std::pair<QString, QString> cases[] = {
      {file, QStringLiteral("「%1」不是資料夾，無法存放資料。").arg(file)},
      {file + "/Varnix", QStringLiteral("無法建立資料夾「%1/Varnix」。").arg(file)},
  };
  for (const auto& [folder, text] : cases) {
    const auto refused =
        datafolders::prepare({Mode::Chosen, folder, layShippedDefaults(dir.path())});
    EXPECT_EQ(refused, refusal(text + kAdvice));
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
  const QString data = dir.path() + "/Varnix", program = dir.path() + "/bin";
  makeFolders(data, {"DataBase", "../bin"});
  putFile(data + "/Varnix.ini", "[UserName]=Test\r\n");
  EXPECT_EXIT(
      {
        constexpr uid_t kNobody = 65534;
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) std::_Exit(3);
        const bool refused = datafolders::prepare({Mode::Chosen, data, "/nonexistent"}) ==
                             refusal(QStringLiteral("無法寫入資料夾「%1」。").arg(data) + kAdvice);
        const auto place = datafolders::choose({program, {}, {}, {}, "/home/x"});
        std::_Exit(refused && place.mode == Mode::Installed ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(QDir(data).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            (QStringList{"DataBase", "Varnix.ini"}));
}

}  // namespace
