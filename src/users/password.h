#pragma once

#include <QString>

#include <optional>

// The password file "DataBase.pwd": one line of four upper-case hexadecimal digits per
// character, each group the character's code in code page 950 (one-byte characters as
// 00xx, two-byte ones as lead byte * 256 + trail byte).
namespace password {

inline const QString kPasswordFile = QStringLiteral("DataBase.pwd");

// "abc" -> "006100620063", "中" -> "A4A4". Characters code page 950 cannot hold must be refused
// before (passwordProblem); they would come back as "?".
QString encodePassword(const QString& text);

// Groups of four digits from the start, the last one possibly shorter. Nothing when a group
// is not hexadecimal.
std::optional<QString> decodePassword(const QString& line);

// The refusal text for a password that is not 3 to 8 characters long or holds a character
// the file cannot keep; nothing when it is acceptable.
std::optional<QString> passwordProblem(const QString& text);

// Reads the first line of the file and decodes it; the reason in words when the file is
// missing, unreadable, empty or damaged.
struct FileRead {
  QString password;
  std::optional<QString> error;
};
FileRead readPasswordFile(const QString& path);

// Writes the encoded password and CR LF safely; the reason in words on failure.
std::optional<QString> writePasswordFile(const QString& path, const QString& text);

}  // namespace password
