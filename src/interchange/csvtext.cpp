#include "interchange/csvtext.h"

#include "platform/codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <optional>

namespace csvtext {

std::optional<Text> decode(const QByteArray& bytes) {
  if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
    QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                      : QStringDecoder::Utf16BE);
    QString text = utf16.decode(bytes.mid(2));
    if (utf16.hasError() || text.contains(QChar(0))) return std::nullopt;
    return Text{std::move(text), Encoding::Utf16};
  }
  if (bytes.contains('\0')) return std::nullopt;
  const bool bom = bytes.startsWith("\xEF\xBB\xBF");
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bom ? bytes.mid(3) : bytes);
  if (bom || !utf8.hasError()) return Text{std::move(text), Encoding::Utf8};
  return Text{codepage::decode(bytes), Encoding::Cp950};
}

QChar detectDelimiter(const QString& text) {
  // Judged on the first lines, outside quotes: most fields in the first line, all lines alike.
  const QChar candidates[] = {QLatin1Char(','), QLatin1Char(';'), QLatin1Char('\t')};
  QChar best = candidates[0];
  qint64 bestScore = -1;
  for (const QChar delimiter : candidates) {
    std::vector<int> counts(1, 0);
    bool quoted = false;
    for (qsizetype i = 0; i < text.size() && counts.size() <= 20; ++i) {
      const QChar c = text.at(i);
      if (c == QLatin1Char('"')) {
        quoted = !quoted;
      } else if (!quoted && c == delimiter) {
        ++counts.back();
      } else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r'))) {
        if (counts.back() > 0 || i + 1 < text.size()) counts.push_back(0);
      }
    }
    if (counts.size() > 1 && counts.back() == 0) counts.pop_back();
    int alike = 0;
    for (const int n : counts) alike += n == counts.front() ? 1 : 0;
    const qint64 score = counts.front() == 0 ? 0 : qint64{alike} * 1000 + counts.front();
    if (score > bestScore) {
      bestScore = score;
      best = delimiter;
    }
  }
  return best;
}

std::variant<std::vector<Row>, QString> parse(const QString& text, QChar delimiter) {
  std::vector<Row> rows;
  Row row;
  QString field;
  bool quoted = false;
  bool fieldStarted = false;
  int line = 1;
  int quoteLine = 0;
  auto endRow = [&] {
    if (fieldStarted || !field.isEmpty() || !row.isEmpty()) {
      row << field;
      rows.push_back(std::move(row));
    }
    row = Row{};
    field.clear();
    fieldStarted = false;
  };
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text.at(i);
    if (quoted) {
      if (c == QLatin1Char('"')) {
        if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
          field += c;
          ++i;
        } else {
          quoted = false;
        }
      } else {
        if (c == QLatin1Char('\n')) ++line;
        field += c;
      }
      continue;
    }
    if (c == QLatin1Char('"') && field.trimmed().isEmpty()) {
      field.clear();  // blanks before an opening quote are no part of the field
      quoted = true;
      fieldStarted = true;
      quoteLine = line;
    } else if (c == delimiter) {
      row << field;
      field.clear();
      fieldStarted = true;
    } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
      if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) ++i;
      ++line;
      endRow();
    } else {
      field += c;
    }
  }
  if (quoted) {
    return QStringLiteral("第 %1 行的引號沒有結束，檔案可能不完整").arg(quoteLine);
  }
  endRow();
  return rows;
}

namespace {

// The bytes in the encoding the person chose; a byte order mark is skipped, never shown.
QString decodeAs(const QByteArray& bytes, Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf16: {
      const bool bigEndian = bytes.startsWith("\xFE\xFF");
      const bool mark = bigEndian || bytes.startsWith("\xFF\xFE");
      QStringDecoder utf16(bigEndian ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE);
      return utf16.decode(mark ? bytes.mid(2) : bytes);
    }
    case Encoding::Utf8: {
      QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
      return utf8.decode(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    }
    case Encoding::Cp950:
      break;
  }
  return codepage::decode(bytes);
}

}  // namespace

std::variant<File, QString> readBytes(const QByteArray& bytes, const Reading& reading) {
  auto text = decode(bytes);
  if (!text) return QStringLiteral("這個檔案不是文字檔，無法匯入");
  if (reading.encoding && *reading.encoding != text->encoding) {
    text = Text{decodeAs(bytes, *reading.encoding), *reading.encoding};
    if (text->text.contains(QChar(0))) return QStringLiteral("這個檔案不是這種編碼的文字");
  }
  File file;
  file.bytes = bytes;
  file.encoding = text->encoding;
  file.delimiter = reading.delimiter.value_or(detectDelimiter(text->text));
  auto rows = parse(text->text, file.delimiter);
  if (const QString* error = std::get_if<QString>(&rows)) return *error;
  file.rows = std::move(std::get<std::vector<Row>>(rows));
  if (file.rows.empty()) return QStringLiteral("這個檔案是空的，沒有可以匯入的資料");
  return file;
}

std::variant<File, QString> readFile(const QString& path) {
  const QFileInfo info(path);
  const QString shown = QDir::toNativeSeparators(path);
  if (!info.isFile()) return QStringLiteral("找不到「%1」").arg(shown);
  if (info.size() > kMaxFileBytes) {
    return QStringLiteral("「%1」超過 %2 MB，不像是對帳單，無法匯入")
        .arg(shown)
        .arg(kMaxFileBytes / (1024 * 1024));
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("無法讀取「%1」").arg(shown);
  // Read with the limit again: the file may have grown since it was looked at.
  const QByteArray bytes = file.read(kMaxFileBytes + 1);
  if (file.error() != QFileDevice::NoError) return QStringLiteral("無法讀取「%1」").arg(shown);
  if (bytes.size() > kMaxFileBytes) {
    return QStringLiteral("「%1」超過 %2 MB，不像是對帳單，無法匯入")
        .arg(shown)
        .arg(kMaxFileBytes / (1024 * 1024));
  }
  return readBytes(bytes);
}

}  // namespace csvtext
