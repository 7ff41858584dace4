#include "users/password.h"

#include "platform/codepage.h"
#include "platform/textfile.h"

#include <QDir>

namespace password {

QString encodePassword(const QString& text) {
  QString out;
  const auto codePoints = text.toUcs4();
  for (const char32_t c : codePoints) {
    const QByteArray bytes = codepage::encode(QString::fromUcs4(&c, 1));
    int code = 0;
    for (const char b : bytes) code = code * 256 + static_cast<unsigned char>(b);
    out += QStringLiteral("%1").arg(code & 0xFFFF, 4, 16, QLatin1Char('0')).toUpper();
  }
  return out;
}

std::optional<QString> decodePassword(const QString& line) {
  QString text;
  for (qsizetype at = 0; at < line.size(); at += 4) {
    const QString group = line.mid(at, 4);
    uint code = 0;
    for (const QChar c : group) {
      const char16_t u = c.unicode();
      int digit = -1;
      if (u >= u'0' && u <= u'9') digit = u - u'0';
      if (u >= u'A' && u <= u'F') digit = u - u'A' + 10;
      if (u >= u'a' && u <= u'f') digit = u - u'a' + 10;
      if (digit < 0) return std::nullopt;
      code = code * 16 + static_cast<uint>(digit);
    }
    // Each group is one character: a two-byte code is decoded on its own so that it cannot
    // pair with the byte of the next group.
    QByteArray bytes;
    if (code > 0xFF) bytes.append(static_cast<char>(code >> 8));
    bytes.append(static_cast<char>(code & 0xFF));
    text += codepage::decode(bytes);
  }
  return text;
}

std::optional<QString> passwordProblem(const QString& text) {
  const qsizetype length = text.toUcs4().size();
  if (length < 3 || length > 8) return QStringLiteral("密碼格式不正確，請重新輸入");
  if (!codepage::canEncode(text)) {
    return QStringLiteral("密碼含有無法儲存的字元「%1」，請改用其他字元")
        .arg(codepage::firstUnencodable(text));
  }
  return std::nullopt;
}

FileRead readPasswordFile(const QString& path) {
  const QString shown = QDir::toNativeSeparators(path);
  const auto lines = textfile::readLines(path);
  if (!lines) return {{}, QStringLiteral("無法讀取「%1」，請檢查").arg(shown)};
  if (lines->isEmpty() || lines->first().isEmpty()) {
    return {{}, QStringLiteral("密碼檔案「%1」是空的，請檢查").arg(shown)};
  }
  const auto decoded = decodePassword(lines->first());
  if (!decoded) return {{}, QStringLiteral("密碼檔案「%1」已損壞，請檢查").arg(shown)};
  return {*decoded, std::nullopt};
}

std::optional<QString> writePasswordFile(const QString& path, const QString& text) {
  return textfile::writeLines(path, {encodePassword(text)});
}

}  // namespace password
