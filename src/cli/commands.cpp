#include "cli/commands.h"

#include "book/workspace.h"
#include "budget/actuals.h"
#include "budget/budget.h"
#include "budget/budgettext.h"
#include "interchange/exports.h"
#include "interchange/journalexport.h"
#include "interchange/journalrows.h"
#include "platform/dates.h"
#include "platform/safefile.h"
#include "reports/statements/statements.h"
#include "schedules/duetext.h"
#include "store/database.h"
#include "store/ledger.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringBuilder>

#include <functional>
#include <memory>
#include <utility>

namespace cli {
namespace {

const QLatin1String kCrLf("\r\n");

bool isOption(const QString& arg) { return arg.startsWith(QLatin1Char('-')) && arg.size() > 1; }

// Reads "--name VALUE" or "--name=VALUE" at args[i]; advances i past what it used.
std::variant<QString, UsageError> optionValue(const QStringList& args, qsizetype& i,
                                              const QString& name) {
  const QString& arg = args[i];
  if (arg.startsWith(name + QLatin1Char('='))) return arg.mid(name.size() + 1);
  if (i + 1 >= args.size()) return UsageError{QStringLiteral("%1 後面要有值").arg(name)};
  return args[++i];
}

std::variant<Format, UsageError> formatNamed(const QString& name) {
  if (name == QLatin1String("csv")) return Format::Csv;
  if (name == QLatin1String("txt")) return Format::Text;
  if (name == QLatin1String("csv-utf8")) return Format::CsvUtf8;
  if (name == QLatin1String("ledger")) return Format::Journal;
  return UsageError{
      QStringLiteral("不認得的匯出格式「%1」：可用 csv、txt、csv-utf8、ledger").arg(name)};
}

// "--month yyyy/mm" or "--year yyyy": the year and the month (0 for a whole year).
std::variant<std::pair<int, int>, UsageError> budgetSpan(const QString& text, bool month) {
  const QStringList parts = text.split(QLatin1Char('/'));
  bool yearOk = false;
  bool monthOk = !month;
  const int year = parts[0].size() == 4 ? parts[0].toInt(&yearOk) : 0;
  const int m = month && parts.size() == 2 ? parts[1].toInt(&monthOk) : 0;
  if (!yearOk || year < 1900 || parts.size() != (month ? 2 : 1) || !monthOk ||
      (month && (m < 1 || m > 12))) {
    return UsageError{month ? QStringLiteral("「%1」不是月份：請寫成 yyyy/mm").arg(text)
                            : QStringLiteral("「%1」不是年份：請寫成 yyyy").arg(text)};
  }
  return std::pair{year, m};
}

Result refused(const QString& text) { return {1, {}, (text + QLatin1Char('\n')).toUtf8()}; }

QString bookPath(const QString& folder) {
  return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

// The book's folder, read into a fresh store; the refusal in words.
std::variant<std::unique_ptr<book::Workspace>, QString> openBook(const QString& folder,
                                                                 store::BookMemos memos) {
  auto store = std::make_unique<book::Workspace>(QDir::rootPath());
  const QString path = bookPath(folder);
  if (auto error = store::readBookFolderInto(path, store->tables(), memos)) return *error;
  store->user().setDatabaseName(QFileInfo(path).fileName());
  store->user().setUserName(QFileInfo(QFileInfo(path).absolutePath()).fileName());
  return store;
}

// Statements need the chart and the balances only: the entries are summed from their file's
// records, without filling a store.
std::variant<QByteArray, QString> statementsText(const QString& folder, const QString& date,
                                                 store::BookFiles files) {
  // The folder as typed: the system finds it as well, and a refusal names it as the person did.
  const auto read = store::readBookBalances(folder, date, files);
  if (const QString* error = std::get_if<QString>(&read)) return *error;
  const store::BookBalances& book = std::get<store::BookBalances>(read);
  const statements::StatementTexts s =
      statements::buildStatements(book.accounts, book.accountCount, book.balances);
  // Each statement as its copy button gives it, the balance sheet first.
  const QString text = s.assets % kCrLf % s.liabilities % kCrLf % s.netWorthLine % s.income %
                       kCrLf % s.expenses % kCrLf % s.balanceLine % kCrLf;
  return text.toUtf8();
}

QByteArray exportBytes(const book::Workspace& store, Format format) {
  switch (format) {
    case Format::Csv:
      return interchange::csvBytes(interchange::journalRows(store));
    case Format::Text:
      return interchange::textBytes(interchange::journalRows(store));
    case Format::CsvUtf8:
      return interchange::spreadsheetCsvBytes(store);
    case Format::Journal:
      break;
  }
  return interchange::ledgerJournalBytes(store);
}

bool isDate(const QString& text) {
  return text.size() == store::kDateWidth &&
         QDate::fromString(text, QStringLiteral("yyyy/MM/dd")).isValid();
}

// Everything that would stop the program opening the book or makes a balance doubtful.
QStringList findings(const book::Workspace& store) {
  QStringList found;
  QSet<QString> names;
  for (int slot = 1; slot < store.tables().accountCount; ++slot) {
    const store::AccountRecord& a = store.tables().accounts[slot];
    const QString shown = store::trimTrailingSpaces(a.AccountName);
    if (a.AccountKind < store::kEquity || a.AccountKind > store::kExpense) {
      found << QStringLiteral("帳戶 %1「%2」的種類 %3 不是 0 到 4，它的金額都不計入")
                   .arg(slot)
                   .arg(shown)
                   .arg(a.AccountKind);
    }
    if (names.contains(a.AccountName)) {
      found << QStringLiteral("帳戶 %1「%2」與前面的帳戶同名，兩者的餘額無法分開")
                   .arg(slot)
                   .arg(shown);
    }
    names.insert(a.AccountName);
  }
  for (int slot = 1; slot < store.tables().entryCount; ++slot) {
    const store::LedgerEntry& e = store.tables().entries[slot];
    if (!isDate(e.EntryDate)) {
      found << QStringLiteral("資料 %1 的日期「%2」不是日期").arg(slot).arg(e.EntryDate);
    }
    for (const QString* name : {&e.IncreaseAccount, &e.DecreaseAccount}) {
      if (!names.contains(*name)) {
        found << QStringLiteral("資料 %1 的帳戶「%2」不存在，這筆金額不計入")
                     .arg(slot)
                     .arg(store::trimTrailingSpaces(*name));
      }
    }
  }
  return found;
}

// 預算與實際 of a month or of a whole year, as the window shows it.
Result budgetReport(const Request& request, const book::Workspace& store) {
  auto plans = budget::Budget::open(QFileInfo(request.book).absoluteFilePath());
  if (const QString* error = std::get_if<QString>(&plans)) return refused(*error);
  const budget::Budget& book = *std::get<std::unique_ptr<budget::Budget>>(plans);
  const int year = request.date.left(4).toInt();
  const int month = request.date.size() > 4 ? request.date.mid(5).toInt() : 0;
  const budget::YearFigures figures = budget::figuresOfYear(store, year);
  const budget::Report report = budget::buildReport(
      figures.accounts, book.bind(figures.accounts, year), figures.actuals, year,
      month == 0 ? 12 : month, month == 0 ? budget::Span::YearToDate : budget::Span::Month);
  const bool csv = request.format == Format::CsvUtf8;
  return {0, csv ? budget::reportCsv(report) : budget::reportText(report), {}};
}

}  // namespace

QString usageText() {
  return QStringLiteral(
      "用法：\n"
      "  varnix-cli statements BOOK [--date yyyy/mm/dd]   印出資產負債表與收支表\n"
      "  varnix-cli export csv|txt|csv-utf8|ledger BOOK [--output FILE]\n"
      "                                                   匯出日記帳\n"
      "  varnix-cli check BOOK                            檢查資料庫\n"
      "  varnix-cli schedules BOOK --due [--date yyyy/mm/dd]\n"
      "                                                   列出到期的定期記錄（不寫入任何檔案）\n"
      "  varnix-cli budget BOOK --month yyyy/mm | --year yyyy [--csv]\n"
      "                                                   預算與實際\n"
      "  varnix-cli --help | --version\n"
      "BOOK 是資料庫的資料夾（放著 Accounts.dat 與 Main.dat 的那一個）。\n"
      "結束碼：0 完成，1 拒絕（原因寫在標準錯誤），2 用法錯誤。\n");
}

std::variant<Request, UsageError> parseArguments(const QStringList& args) {
  if (args.isEmpty()) return UsageError{QStringLiteral("請指定命令")};
  Request request;
  const QString& command = args.front();
  if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
    if (args.size() > 1) return UsageError{QStringLiteral("--help 後面不接其他參數")};
    return request;
  }
  if (command == QLatin1String("--version")) {
    if (args.size() > 1) return UsageError{QStringLiteral("--version 後面不接其他參數")};
    request.command = Command::Version;
    return request;
  }
  if (command == QLatin1String("statements")) {
    request.command = Command::Statements;
  } else if (command == QLatin1String("export")) {
    request.command = Command::Export;
  } else if (command == QLatin1String("check")) {
    request.command = Command::Check;
  } else if (command == QLatin1String("schedules")) {
    request.command = Command::Schedules;
  } else if (command == QLatin1String("budget")) {
    request.command = Command::Budget;
    request.format = Format::Text;
  } else {
    return UsageError{QStringLiteral("不認得的命令「%1」").arg(command)};
  }

  QStringList positional;
  bool dateGiven = false;
  bool outputGiven = false;
  bool dueGiven = false;
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == QLatin1String("--")) {
      positional += args.mid(i + 1);
      break;
    }
    if (!isOption(arg)) {
      positional << arg;
      continue;
    }
    const bool date = arg == QLatin1String("--date") || arg.startsWith(QLatin1String("--date="));
    const bool span = arg == QLatin1String("--month") ||
                      arg.startsWith(QLatin1String("--month=")) || arg == QLatin1String("--year") ||
                      arg.startsWith(QLatin1String("--year="));
    const bool output = arg == QLatin1String("--output") || arg == QLatin1String("-o") ||
                        arg.startsWith(QLatin1String("--output="));
    if (arg == QLatin1String("--due") && request.command == Command::Schedules && !dueGiven) {
      dueGiven = true;
    } else if (date && !dateGiven &&
               (request.command == Command::Statements || request.command == Command::Schedules)) {
      auto value = optionValue(args, i, QStringLiteral("--date"));
      if (auto* error = std::get_if<UsageError>(&value)) return *error;
      const auto normal = dates::normalise(std::get<QString>(value));
      if (!normal) {
        return UsageError{
            QStringLiteral("「%1」不是日期：請寫成 yyyy/mm/dd").arg(std::get<QString>(value))};
      }
      request.date = *normal;
      dateGiven = true;
    } else if (span && request.command == Command::Budget && request.date.isEmpty()) {
      const bool month = arg.startsWith(QLatin1String("--month"));
      auto value =
          optionValue(args, i, month ? QStringLiteral("--month") : QStringLiteral("--year"));
      if (auto* error = std::get_if<UsageError>(&value)) return *error;
      auto read = budgetSpan(std::get<QString>(value), month);
      if (auto* error = std::get_if<UsageError>(&read)) return *error;
      const auto [year, m] = std::get<std::pair<int, int>>(read);
      request.date = m == 0 ? QString::number(year)
                            : QStringLiteral("%1/%2").arg(year).arg(m, 2, 10, QLatin1Char('0'));
    } else if (arg == QLatin1String("--csv") && request.command == Command::Budget &&
               request.format != Format::CsvUtf8) {
      request.format = Format::CsvUtf8;
    } else if (output && request.command == Command::Export && !outputGiven) {
      auto value = optionValue(
          args, i, arg == QLatin1String("-o") ? QStringLiteral("-o") : QStringLiteral("--output"));
      if (auto* error = std::get_if<UsageError>(&value)) return *error;
      request.output = std::get<QString>(value);
      if (request.output.isEmpty()) return UsageError{QStringLiteral("--output 後面要有檔名")};
      outputGiven = true;
    } else {
      return UsageError{QStringLiteral("「%1」不適用於 %2").arg(arg, command)};
    }
  }

  const qsizetype wanted = request.command == Command::Export ? 2 : 1;
  if (positional.size() < wanted) {
    return UsageError{request.command == Command::Export && positional.isEmpty()
                          ? QStringLiteral("請指定匯出格式與資料庫資料夾")
                          : QStringLiteral("請指定資料庫資料夾")};
  }
  if (positional.size() > wanted) {
    return UsageError{QStringLiteral("多出的參數「%1」").arg(positional[wanted])};
  }
  if (request.command == Command::Export) {
    auto format = formatNamed(positional.front());
    if (auto* error = std::get_if<UsageError>(&format)) return *error;
    request.format = std::get<Format>(format);
  }
  if (request.command == Command::Schedules && !dueGiven)
    return UsageError{QStringLiteral("schedules 需要 --due")};
  request.book = positional.back();
  if (request.book.isEmpty()) return UsageError{QStringLiteral("請指定資料庫資料夾")};
  if (request.command == Command::Budget && request.date.isEmpty()) {
    return UsageError{QStringLiteral("請用 --month yyyy/mm 或 --year yyyy 指定期間")};
  }
  return request;
}

namespace {

Result runWith(const QStringList& args, const std::function<QDate()>& today, const QString& version,
               store::BookFiles files) {
  const auto parsed = parseArguments(args);
  if (const auto* error = std::get_if<UsageError>(&parsed)) {
    return {
        2,
        {},
        (QStringLiteral("varnix-cli：") + error->text + QLatin1Char('\n') + usageText()).toUtf8()};
  }
  const Request& request = std::get<Request>(parsed);
  if (request.command == Command::Help) return {0, usageText().toUtf8(), {}};
  if (request.command == Command::Version) {
    return {0, (QStringLiteral("varnix-cli ") + version + QLatin1Char('\n')).toUtf8(), {}};
  }

  if (request.command == Command::Statements) {
    auto text = statementsText(
        request.book, request.date.isEmpty() ? dates::format(today()) : request.date, files);
    if (const QString* error = std::get_if<QString>(&text)) return refused(*error);
    return {0, std::get<QByteArray>(text), {}};
  }

  if (request.command == Command::Schedules) {
    auto text = schedules::dueText(request.book,
                                   request.date.isEmpty() ? today() : *dates::parse(request.date));
    if (const QString* error = std::get_if<QString>(&text)) return refused(*error);
    return {0, std::get<QByteArray>(text), {}};
  }

  // The check never looks at a memo.
  auto opened = openBook(request.book, request.command == Command::Export ? store::BookMemos::Read
                                                                          : store::BookMemos::Skip);
  if (const QString* error = std::get_if<QString>(&opened)) return refused(*error);
  const book::Workspace& store = *std::get<std::unique_ptr<book::Workspace>>(opened);

  switch (request.command) {
    case Command::Budget:
      return budgetReport(request, store);
    case Command::Check: {
      const QStringList found = findings(store);
      if (found.isEmpty()) return {0, QStringLiteral("沒有發現問題\n").toUtf8(), {}};
      return {1, (found.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8(),
              QStringLiteral("發現 %1 個問題\n").arg(found.size()).toUtf8()};
    }
    case Command::Export:
      break;
    default:
      return {};
  }
  const QByteArray bytes = exportBytes(store, request.format);
  if (request.output.isEmpty()) return {0, bytes, {}};
  const QFileInfo output(request.output);
  // The book's folder holds only the book: an export never lands beside (or over) its files.
  if (QDir::cleanPath(output.absolutePath()) ==
      QDir::cleanPath(QFileInfo(request.book).absoluteFilePath())) {
    return refused(QStringLiteral("不能把匯出的檔案寫進資料庫的資料夾"));
  }
  if (auto error = safefile::write(output.absoluteFilePath(), bytes)) return refused(*error);
  return {};
}

}  // namespace

Result run(const QStringList& args, const QDate& today, const QString& version) {
  return runWith(
      args, [&today] { return today; }, version, store::BookFiles::Close);
}

Result runAndExit(const QStringList& args, const QString& version) {
  return runWith(args, &QDate::currentDate, version, store::BookFiles::LeaveOpen);
}

}  // namespace cli
