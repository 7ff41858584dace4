// Text files (lists, password, settings) of any bytes: read into lines without line ends;
// written and read again, the lines settle after one round and come back unchanged.
#include "platform/textfile.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString path = fuzz::scratch() + QStringLiteral("/DataBase.lst");
  fuzz::put(path, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  const auto lines = textfile::readLines(path);
  fuzz::require(lines.has_value(), "a readable file reads");
  for (const QString& line : *lines) {
    fuzz::require(!line.contains(QLatin1Char('\n')), "no line holds a line end");
  }
  fuzz::require(textfile::writeLines(path, *lines) == std::nullopt, "lines are written");
  const auto once = textfile::readLines(path);
  fuzz::require(once && once->size() == lines->size(), "as many lines after a write");
  fuzz::require(textfile::writeLines(path, *once) == std::nullopt, "lines are written again");
  fuzz::require(textfile::readLines(path) == once, "lines settle after one round");
  return 0;
}
