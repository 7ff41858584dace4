#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "platform/codepage.h"
#include "platform/datafolder.h"
#include "platform/dates.h"
#include "platform/numbers.h"
#include "platform/safefile.h"
#include "platform/sidefile.h"

#include <QScopeGuard>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdint>
#include <random>
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
    for (const char* folder : {bin, c.systemWide ? share : bin}) QDir().mkpath(root + folder);
    const QString beside = root + bin + '/' + c.beside;  // ends in "/" for a folder, or nothing
    beside.endsWith('/') ? void(QDir().mkpath(beside)) : putFile(beside, "[UserName]=T\r\n");
    datafolders::Surroundings s = c.around;
    for (QString* path : {&s.dataDirArgument, &s.dataDirVariable, &s.xdgDataHome}) {
      if (path->startsWith('@')) *path = root + path->mid(2);
    }
    s.programFolder = root + bin;
    s.home = root + "home";
    const datafolders::Place place = datafolders::choose(s);
    EXPECT_EQ(std::tie(place.mode, place.dataFolder, place.programFiles),
              std::tuple(c.mode, root + c.dataFolder, root + c.programFiles));
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
  // A umask that would give every new file and folder to everyone; restored at the end.
  const auto restoreUmask = qScopeGuard([previous = ::umask(0)] { ::umask(previous); });
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

TEST(DataFolderTest, AFolderThatCannotBeMadeOrWrittenIsRefused) {
  QTemporaryDir dir;
  const QString file = dir.path() + "/books";
  putFile(file, "not a folder");
  const std::pair<QString, QString> cases[] = {
      {file, QStringLiteral("「%1」不是資料夾，無法存放資料。").arg(file)},
      {file + "/Varnix", QStringLiteral("無法建立資料夾「%1/Varnix」。").arg(file)},
      {"/proc", QStringLiteral("無法寫入資料夾「/proc」。")},  // not even root adds files there
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

// A program folder its user cannot write sends the data home; root, who writes anywhere, asks
// as another account.
TEST(DataFolderTest, AProgramFolderThatCannotBeWrittenSendsTheDataHome) {
  QTemporaryDir dir;
  QFile::setPermissions(dir.path(),
                        QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
  EXPECT_EXIT(
      {
        constexpr uid_t kNobody = 65534;
        if (::getuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) std::_Exit(3);
        const auto place = datafolders::choose({dir.path(), {}, {}, {}, "/home/x"});
        std::_Exit(place.mode == Mode::Installed ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

using sidefile::Record;

const QString kKind = QStringLiteral("varnix-test-notes");

TEST(SideFile, WritesTheDocumentedBytes) {
  const std::vector<Record> records = {
      {"0a1b",
       QDateTime::fromString("2026-12-07T13:05:09.042Z", Qt::ISODateWithMs),
       false,
       {{"memo", "午餐\t7-11\\門市\n二樓\r"}, {"account", ""}, {"bell", "\x07"}}},
      {"ff-2", QDateTime::fromString("1999-01-02T03:04:05.000Z", Qt::ISODateWithMs), true, {}},
  };
  const QByteArray expected =
      "varnix-test-notes 3\n"
      "0a1b\t2026-12-07T13:05:09.042Z\tlive\tmemo=\xe5\x8d\x88\xe9\xa4\x90\\t7-11\\\\"
      "\xe9\x96\x80\xe5\xb8\x82\\n\xe4\xba\x8c\xe6\xa8\x93\\r\taccount=\tbell=\\x07\n"
      "ff-2\t1999-01-02T03:04:05.000Z\tdeleted\n";
  EXPECT_EQ(std::get<QByteArray>(sidefile::serialize(kKind, 3, records)), expected);
  const auto back = sidefile::parse(expected, kKind, 3);
  ASSERT_TRUE(std::holds_alternative<sidefile::Contents>(back));
  EXPECT_EQ(std::get<sidefile::Contents>(back).records, records);
}

TEST(SideFile, KeepsFieldsItDoesNotKnowAndAcceptsEarlierVersions) {
  const QByteArray newer = "varnix-test-notes 1\nabc\t2026-01-01T00:00:00.000Z\tlive\tz-later=1\n";
  auto contents = std::get<sidefile::Contents>(sidefile::parse(newer, kKind, 2));
  EXPECT_EQ(contents.version, 1);
  contents.records[0].set(QStringLiteral("memo"), QStringLiteral("x"));
  EXPECT_EQ(std::get<QByteArray>(sidefile::serialize(kKind, 2, contents.records)),
            "varnix-test-notes 2\nabc\t2026-01-01T00:00:00.000Z\tlive\tz-later=1\tmemo=x\n");
}

// Every damaged or foreign file is refused in words; reading it changes nothing on disk.
TEST(SideFile, RefusesDamagedAndForeignFiles) {
  const QByteArray head = "varnix-test-notes 1\n";
  const QByteArray good = "a1\t2026-01-01T00:00:00.000Z\tlive\tk=v\n";
  const QByteArray live = head + "a1\t2026-01-01T00:00:00.000Z\tlive\t";
  std::vector<std::pair<QByteArray, QString>> cases = {
      {"", QStringLiteral("檔案是空的")},
      {"varnix-other 1\n", QStringLiteral("這不是「varnix-test-notes」檔案")},
      {"\xef\xbb\xbfvarnix-test-notes 1\n", QStringLiteral("這不是「varnix-test-notes」檔案")},
      {"varnix-test-notes 7\n",
       QStringLiteral("檔案由較新版本的程式寫成（第 7 版），請先更新程式")},
      {head + good.chopped(1), QStringLiteral("檔案結尾不完整，可能在寫入時中斷")},
      {head + good + good, QStringLiteral("第 3 行的代號「a1」與前面重複")},
      {live + "k=\xa4\xa4\n", QStringLiteral("第 2 行含有無法辨識的位元組")},
      {live + "k=" + QByteArray(sidefile::kMaxLineBytes, 'x') + "\n",
       QStringLiteral("第 2 行過長")},
  };
  // An id in capitals, a time without milliseconds, not in UTC, of no real day or hour, of
  // year 0 or in full-width digits, a key twice, an unknown or needless escape, a carriage return.
  for (const char* line :
       {"\n", "A1\t2026-01-01T00:00:00.000Z\tlive\n", "a1\t2026-01-01T00:00:00Z\tlive\n",
        "a1\t2026-01-01T00:00:00.000+08\tlive\n", "a1\t2026-02-30T00:00:00.000Z\tlive\n",
        "a1\t2026-01-01T24:00:00.000Z\tlive\n", "a1\t0000-01-01T00:00:00.000Z\tlive\n",
        "a1\t\xef\xbc\x92"
        "026-01-01T00:00:00.000Z\tlive\n"})
    cases.emplace_back(head + line, QStringLiteral("第 2 行已損壞"));
  for (const char* field : {"k=1\tk=2\n", "k=a\\q\n", "k=\\x41\n", "k=\r\n"})
    cases.emplace_back(live + field, QStringLiteral("第 2 行已損壞"));
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("notes.txt"));
  for (const auto& [bytes, reason] : cases) {
    putFile(path, bytes);
    const auto read = sidefile::read(path, kKind, 2);
    ASSERT_TRUE(std::holds_alternative<QString>(read)) << bytes.left(80).toStdString();
    EXPECT_EQ(std::get<QString>(read), QStringLiteral("無法讀取「%1」：%2").arg(path, reason));
    EXPECT_EQ(fileBytes(path), bytes);
  }
}

// Random copies of the same ids: each id keeps its latest change (a deletion winning a tie),
// whatever the order of the copies, and merging again changes nothing.
TEST(SideFileMerge, IsSymmetricIdempotentAndAssociative) {
  std::mt19937 random(19);
  const auto copy = [&] {
    std::vector<Record> records;
    for (int id = 0; id < 6; ++id) {
      // Few distinct times, so that ties between a deletion and an edit happen often.
      if (random() % 3 != 0)
        records.push_back({QString::number(id),
                           QDateTime::fromMSecsSinceEpoch(random() % 3, Qt::UTC),
                           random() % 2 == 0,
                           {{QStringLiteral("v"), QString::number(random() % 3)}}});
    }
    return records;
  };
  const auto rank = [](const Record& x) { return std::pair(x.changed, x.deleted); };
  for (int round = 0; round < 200; ++round) {
    const auto a = copy(), b = copy(), c = copy();
    const auto ab = sidefile::merge(a, b);
    ASSERT_EQ(ab, sidefile::merge(b, a));
    for (const Record& kept : ab)
      for (const auto* copy : {&a, &b})
        for (const Record& r : *copy) ASSERT_TRUE(r.id != kept.id || rank(r) <= rank(kept));
    ASSERT_EQ(sidefile::merge(ab, ab), ab);
    ASSERT_EQ(sidefile::merge(ab, c), sidefile::merge(a, sidefile::merge(b, c)));
  }
}

// A file dialog starts in the folder chosen last while it exists, else in the desktop's
// documents folder (named by its user-dirs file), else at home.
TEST(FileDialogFolder, StartsInTheLastFolderElseDocumentsElseHome) {
  QTemporaryDir home;
  const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
  qputenv("HOME", home.path().toUtf8());
  qputenv("XDG_CONFIG_HOME", home.filePath(".config").toUtf8());
  putFile(home.filePath(".config/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"$HOME/文件\"\n");
  QDir().mkpath(home.filePath("文件"));
  ScriptedDialogs dialogs;
  dialogs.type(home.filePath("statements/may.csv"));
  dialogs.cancelInput();
  dialogs.cancelInput();
  const FileRequest save{FileRequest::Purpose::Save, "存成PDF", "帳本.pdf", "PDF (*.pdf)"};
  EXPECT_EQ(dialogs.chooseFile(save), home.filePath("statements/may.csv"));
  EXPECT_EQ(dialogs.chooseFile(save), QString());  // the last folder does not exist
  QDir().mkpath(home.filePath("statements"));
  dialogs.chooseFile({FileRequest::Purpose::Open, "選擇對帳單", {}, {}});
  QStringList starts;
  for (const ScriptedDialogs::Shown& shown : dialogs.shown()) starts << shown.defaultText;
  EXPECT_EQ(starts, (QStringList{home.filePath("文件/帳本.pdf"), home.filePath("文件/帳本.pdf"),
                                 home.filePath("statements")}));
  QDir(home.filePath("文件")).removeRecursively();
  EXPECT_EQ(fileDialogFolder(home.filePath("gone")), home.path());
  qputenv("HOME", oldHome);
  qputenv("XDG_CONFIG_HOME", oldConfig);
}

}  // namespace
