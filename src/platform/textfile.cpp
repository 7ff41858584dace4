#include "platform/textfile.h"

#include "platform/codepage.h"
#include "platform/safefile.h"

namespace textfile {

std::optional<QStringList> readLines(const QString& path) {
  const auto bytes = safefile::read(path);
  if (!bytes) return std::nullopt;
  QStringList lines;
  qsizetype start = 0;
  while (start < bytes->size()) {
    qsizetype end = bytes->indexOf('\n', start);
    const qsizetype next = end < 0 ? bytes->size() : end + 1;
    if (end < 0) end = bytes->size();
    qsizetype stop = end;
    if (stop > start && bytes->at(stop - 1) == '\r') --stop;
    lines.append(codepage::decode(bytes->constData() + start, stop - start));
    start = next;
  }
  return lines;
}

QByteArray toBytes(const QStringList& lines) {
  QByteArray bytes;
  for (const QString& line : lines) {
    bytes.append(codepage::encode(line));
    bytes.append("\r\n", 2);
  }
  return bytes;
}

std::optional<QString> writeLines(const QString& path, const QStringList& lines) {
  return safefile::write(path, toBytes(lines));
}

}  // namespace textfile
