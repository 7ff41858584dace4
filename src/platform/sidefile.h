#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <utility>
#include <variant>
#include <vector>

// The one form of every side file the program keeps beside the legacy ones (import rules,
// budgets, schedules, reconciliations, recovery). Two computers' copies merge record by record,
// so nothing is ever removed: a deletion is a change like any other, with its time.
//
//   varnix-payee-rules 1\n
//   <id>\t<changed>\t<live|deleted>[\t<key>=<value>]...\n
//
// - UTF-8, lines ended by LF alone, the last one too (a missing end means a cut file).
// - The first line is the kind and the version, one blank between them.
// - id: 1 to 64 of [0-9a-z-] (newId() gives a UUID without braces), unique in the file.
// - changed: UTC, "yyyy-MM-ddTHH:mm:ss.zzzZ", exactly that form.
// - key: [a-z][a-z0-9_-]* up to 64 characters, once per record; the order is kept.
// - value: any text; backslash, tab, LF and CR are written \\ \t \n \r, other control
//   characters \xHH (two hex digits). No other backslash sequence is read.
// - A line holds at most kMaxLineBytes, a file at most kMaxFileBytes.
// Fields the program does not know are kept as they are, so a record that a newer version
// wrote survives being written back by an older one.
namespace sidefile {

struct Record {
  QString id;
  QDateTime changed;  // UTC, milliseconds
  bool deleted = false;
  std::vector<std::pair<QString, QString>> fields;

  std::optional<QString> field(const QString& key) const;
  // Replaces the value of the key in place, or adds the key at the end.
  void set(const QString& key, const QString& value);
  bool operator==(const Record&) const = default;
};

struct Contents {
  int version = 0;
  std::vector<Record> records;
};

inline constexpr qsizetype kMaxLineBytes = 64 * 1024;
inline constexpr qsizetype kMaxFileBytes = 32 * 1024 * 1024;

// A fresh record id: a random UUID without braces.
QString newId();
// The present moment as a change time: UTC, cut to whole milliseconds.
QDateTime now();

// Reads the bytes of a side file of the given kind written by this program's version or an
// earlier one. The reason in words when the bytes are not such a file: nothing is guessed.
std::variant<Contents, QString> parse(const QByteArray& bytes, const QString& kind,
                                      int newestVersion);

// The bytes of the file; the reason in words when a record could not be read back (a bad id,
// a bad key, the same id twice), so the program never writes what it would refuse to read.
std::variant<QByteArray, QString> serialize(const QString& kind, int version,
                                            const std::vector<Record>& records);

// The file at the path: no file at all is an empty one (nothing was ever kept); a file that
// cannot be read or parsed gives the reason with the file's name.
std::variant<Contents, QString> read(const QString& path, const QString& kind, int newestVersion);

// Writes the whole file safely (see safefile); the reason in words when it failed.
std::optional<QString> write(const QString& path, const QString& kind, int version,
                             const std::vector<Record>& records);

// Both copies record by record: for each id the later change wins, a deletion included. On the
// same time a deletion wins, and between two live records the greater line, so that
// merge(a, b) == merge(b, a). The result is ordered by id.
std::vector<Record> merge(const std::vector<Record>& ours, const std::vector<Record>& theirs);

}  // namespace sidefile
