#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <variant>

// varnix-cli: reading a book without a window. The arguments are read here and the commands
// run here, so that tests and the fuzzer drive exactly what the program does.
namespace cli {

enum class Command { Help, Version, Statements, Export, Check, Schedules, Budget };
enum class Format { Csv, Text, CsvUtf8, Journal };

struct Request {
  Command command = Command::Help;
  QString book;  // the book's folder
  // statements, schedules: "yyyy/mm/dd", empty for today; budget: "yyyy/mm" or "yyyy"
  QString date;
  Format format = Format::Csv;  // budget: Text, or CsvUtf8 with --csv
  QString output;               // export: the file to write, empty for standard output

  bool operator==(const Request&) const = default;
};

// A usage error: the one line to print before the usage text.
struct UsageError {
  QString text;
};

// The arguments after the program's name.
std::variant<Request, UsageError> parseArguments(const QStringList& args);

QString usageText();

// What a run gives back: the exit code (0 done, 1 refused, 2 usage) and the bytes for the
// two output streams.
struct Result {
  int exitCode = 0;
  QByteArray out;
  QByteArray err;
};

// Runs the arguments. Never writes a book; --output is written safely.
Result run(const QStringList& args, const QDate& today, const QString& version);

// The same for the program itself, which ends right after: today's date is asked for only when
// a command needs it, and a book's files are left for the process's end to close.
Result runAndExit(const QStringList& args, const QString& version);

}  // namespace cli
