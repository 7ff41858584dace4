#include "platform/datafolder.h"

#include "platform/safefile.h"
#include "platform/version.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

namespace datafolders {
namespace {

const QString kDataDirOption = QStringLiteral("--data-dir");

// Qt's own options pass through to QApplication untouched (-platform offscreen, -style ...).
const QSet<QString> kQtOptionsWithValue = {
    QStringLiteral("-platform"),        QStringLiteral("-platformpluginpath"),
    QStringLiteral("-platformtheme"),   QStringLiteral("-plugin"),
    QStringLiteral("-qwindowgeometry"), QStringLiteral("-qwindowicon"),
    QStringLiteral("-qwindowtitle"),    QStringLiteral("-style"),
    QStringLiteral("-stylesheet"),      QStringLiteral("-display"),
    QStringLiteral("-geometry"),        QStringLiteral("-session")};
const QSet<QString> kQtFlags = {QStringLiteral("-reverse"), QStringLiteral("-widgetcount"),
                                QStringLiteral("-nograb"), QStringLiteral("-dograb"),
                                QStringLiteral("-sync")};

CommandLine refuse(const QString& why) {
  CommandLine line;
  line.action = CommandLine::Action::Refuse;
  line.error = why;
  return line;
}

QString absolute(const QString& path) {
  return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString inFolder(const QString& folder, const QString& name) {
  return QDir::cleanPath(folder + QLatin1Char('/') + name);
}

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

constexpr QFile::Permissions kOwnerOnlyFolder = QFile::ReadOwner | QFile::WriteOwner |
                                                QFile::ExeOwner | QFile::ReadUser |
                                                QFile::WriteUser | QFile::ExeUser;

// Creates the missing levels of the path, each readable by its owner only: the books and
// password files of a household are nobody else's business on a shared computer.
bool createOwnerOnly(const QString& path) {
  QStringList missing;
  for (QString level = path; !QFileInfo::exists(level); level = QFileInfo(level).path()) {
    missing.prepend(level);
    if (QFileInfo(level).path() == level) break;
  }
  for (const QString& level : std::as_const(missing)) {
    // The permissions are set after mkdir as well: a umask may take bits from the owner too.
    if (!QDir().mkdir(level) || !QFile::setPermissions(level, kOwnerOnlyFolder)) return false;
  }
  return true;
}

// access() says yes to root everywhere and may say yes where a read-only file system says no:
// only a real file tells.
bool canWriteIn(const QString& folder) {
  QTemporaryFile probe(inFolder(folder, QStringLiteral(".varnix-XXXXXX")));
  return probe.open();
}

// Copies a folder that does not exist yet at `to`, files and folders below it.
std::optional<QString> copyFolder(const QString& from, const QString& to) {
  if (!QDir().mkdir(to)) return QStringLiteral("無法建立資料夾「%1」").arg(shown(to));
  const QFileInfoList entries = QDir(from).entryInfoList(
      QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
  for (const QFileInfo& entry : entries) {
    const QString target = inFolder(to, entry.fileName());
    if (entry.isDir()) {
      if (auto error = copyFolder(entry.absoluteFilePath(), target)) return error;
    } else if (auto bytes = safefile::read(entry.absoluteFilePath())) {
      if (auto error = safefile::write(target, *bytes)) return error;
    } else {
      return QStringLiteral("無法讀取「%1」").arg(shown(entry.absoluteFilePath()));
    }
  }
  return std::nullopt;
}

// The settings file and each sample user are laid only where missing. A user is its folder:
// when a folder (or a file) of that name exists, it belongs to someone already.
std::optional<QString> layDefaults(const QString& defaults, const QString& folder) {
  const QString settings = inFolder(folder, QStringLiteral("Varnix.ini"));
  if (!QFileInfo::exists(settings)) {
    const auto bytes = safefile::read(inFolder(defaults, QStringLiteral("Varnix.ini")));
    if (!bytes)
      return QStringLiteral("無法讀取「%1」")
          .arg(shown(inFolder(defaults, QStringLiteral("Varnix.ini"))));
    if (auto error = safefile::write(settings, *bytes)) return error;
  }
  const QString users = inFolder(folder, QStringLiteral("DataBase"));
  if (!QFileInfo::exists(users) && !QDir().mkdir(users)) {
    return QStringLiteral("無法建立資料夾「%1」").arg(shown(users));
  }
  const QString sampleUsers = inFolder(defaults, QStringLiteral("DataBase"));
  for (const QFileInfo& user :
       QDir(sampleUsers).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
    const QString target = inFolder(users, user.fileName());
    if (QFileInfo::exists(target)) continue;
    if (auto error = copyFolder(user.absoluteFilePath(), target)) return error;
  }
  return std::nullopt;
}

}  // namespace

CommandLine parseArguments(const QStringList& arguments) {
  CommandLine line;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
      line.action = CommandLine::Action::Help;
    } else if (argument == QLatin1String("--version")) {
      if (line.action != CommandLine::Action::Help) line.action = CommandLine::Action::Version;
    } else if (argument == kDataDirOption) {
      if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
        return refuse(QStringLiteral("--data-dir 後面需要一個資料夾"));
      }
      line.dataDir = arguments[++i];
    } else if (argument.startsWith(kDataDirOption + QLatin1Char('='))) {
      line.dataDir = argument.mid(kDataDirOption.size() + 1);
      if (line.dataDir.isEmpty()) return refuse(QStringLiteral("--data-dir 後面需要一個資料夾"));
    } else if (kQtOptionsWithValue.contains(argument) && i + 1 < arguments.size()) {
      ++i;
    } else if (!kQtFlags.contains(argument) &&
               !kQtOptionsWithValue.contains(argument.section(QLatin1Char('='), 0, 0))) {
      return refuse(QStringLiteral("不明的選項「%1」").arg(argument));
    }
  }
  return line;
}

QString helpText(const QString& program) {
  return QStringLiteral(
             "用法：%1 [--data-dir 資料夾]\n"
             "\n"
             "Varnix 家庭記帳本 %2\n"
             "\n"
             "選項：\n"
             "  --data-dir 資料夾  資料（Varnix.ini、DataBase、CSV、TXT）放在這個資料夾\n"
             "  -h, --help         顯示這段說明\n"
             "  --version          顯示版本\n"
             "\n"
             "資料夾依下列先後決定：\n"
             "  1. --data-dir 指定的資料夾；\n"
             "  2. 環境變數 VARNIX_DATA_DIR 指定的資料夾；\n"
             "  3. 程式所在的資料夾（可攜模式）：其中已有 Varnix.ini 或 DataBase，\n"
             "     或者可以寫入，而程式不是裝在系統中（<prefix>/bin 與 <prefix>/share/varnix）；\n"
             "  4. 其餘情形是 $XDG_DATA_HOME/Varnix（通常是 ~/.local/share/Varnix）。\n"
             "第一次使用時，資料夾中會放入範例用戶 Test（密碼 839）與 Varnix.ini；\n"
             "已有的檔案一律不會被覆蓋。\n")
      .arg(program, QStringLiteral(VARNIX_VERSION));
}

QString versionText(const QString& program) {
  return QStringLiteral("%1 %2\n").arg(program, QStringLiteral(VARNIX_VERSION));
}

Surroundings fromProcess(const QString& programFolder, const QString& dataDirArgument) {
  return {programFolder, dataDirArgument, qEnvironmentVariable("VARNIX_DATA_DIR"),
          qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()};
}

Place choose(const Surroundings& s) {
  const QString program = absolute(s.programFolder);
  const QString shared = inFolder(program, QStringLiteral("../share/varnix"));
  // A system-wide installation keeps its own files under share/varnix, nothing beside the
  // program; a portable folder has its help page beside it.
  const bool systemWide = !QFileInfo::exists(inFolder(program, QStringLiteral("readme.htm"))) &&
                          QFileInfo(shared).isDir();
  const QString programFiles = systemWide ? shared : program;

  if (!s.dataDirArgument.isEmpty())
    return {Mode::Chosen, absolute(s.dataDirArgument), programFiles};
  if (!s.dataDirVariable.isEmpty())
    return {Mode::Chosen, absolute(s.dataDirVariable), programFiles};

  const bool holdsData = QFileInfo::exists(inFolder(program, QStringLiteral("Varnix.ini"))) ||
                         QFileInfo::exists(inFolder(program, QStringLiteral("DataBase")));
  if (holdsData || (!systemWide && QFileInfo(program).isWritable())) {
    return {Mode::Portable, program, programFiles};
  }
  // A relative XDG_DATA_HOME is to be ignored, as the base-directory rules say.
  const QString dataHome = QDir::isAbsolutePath(s.xdgDataHome)
                               ? s.xdgDataHome
                               : inFolder(s.home, QStringLiteral(".local/share"));
  return {Mode::Installed, inFolder(dataHome, QStringLiteral("Varnix")), programFiles};
}

std::optional<Message> prepare(const Place& place) {
  const QString folder = place.dataFolder;
  const QString advice = QStringLiteral("請以 --data-dir 指定一個可以寫入的資料夾。");
  const QFileInfo info(folder);
  if (info.exists() && !info.isDir()) {
    return refusal(QStringLiteral("「%1」不是資料夾，無法存放資料。%2").arg(shown(folder), advice));
  }
  if (!info.exists() && !createOwnerOnly(folder)) {
    return refusal(QStringLiteral("無法建立資料夾「%1」。%2").arg(shown(folder), advice));
  }
  if (!canWriteIn(folder)) {
    return refusal(QStringLiteral("無法寫入資料夾「%1」。%2").arg(shown(folder), advice));
  }
  const QString defaults = inFolder(place.programFiles, QStringLiteral("defaults"));
  if (QFileInfo(defaults).isDir()) {
    if (auto error = layDefaults(defaults, folder))
      return refusal(*error + QLatin1Char('\n') + advice);
  }
  return std::nullopt;
}

}  // namespace datafolders
