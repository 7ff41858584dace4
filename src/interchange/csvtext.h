#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>
#include <vector>

// Reading a bank's or card issuer's CSV file: its encoding, its delimiter and its fields.
namespace csvtext {

// Statements are small; a file beyond this is refused before it is read.
inline constexpr qint64 kMaxFileBytes = qint64{100} * 1024 * 1024;

enum class Encoding { Utf8, Utf16, Cp950 };

struct Text {
  QString text;
  Encoding encoding = Encoding::Utf8;
};

// UTF-8 with or without a byte order mark, UTF-16 with one (as spreadsheets save "Unicode
// text"), else code page 950. Nothing when the bytes are no text at all (NUL bytes outside
// UTF-16).
std::optional<Text> decode(const QByteArray& bytes);

// Comma, semicolon or tab: the one that splits the first lines into the most equal, widest rows.
QChar detectDelimiter(const QString& text);

using Row = QStringList;

// RFC 4180: fields in double quotes may hold the delimiter, line breaks and doubled quotes.
// Lines end in CR LF, LF or CR; empty lines are skipped. The refusal in words for a quote that
// never ends.
std::variant<std::vector<Row>, QString> parse(const QString& text, QChar delimiter);

// A file's rows, or the refusal in words (too large, unreadable, no text, an open quote).
struct File {
  QByteArray bytes;  // as read, to be read again another way
  std::vector<Row> rows;
  QChar delimiter = QLatin1Char(',');
  Encoding encoding = Encoding::Utf8;
};
std::variant<File, QString> readFile(const QString& path);
// What the person says the file is, where the guess was wrong; nothing: the guess.
struct Reading {
  std::optional<Encoding> encoding;
  std::optional<QChar> delimiter;
};
std::variant<File, QString> readBytes(const QByteArray& bytes, const Reading& reading = {});

}  // namespace csvtext
