// A bank statement file: any bytes are read into rows or refused in words; every cell's date
// and amount either parse within range or do not, and a guessed layout names real columns.
#include "interchange/csvtext.h"
#include "interchange/statementimport.h"
#include "interchange/statementvalues.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const auto read = csvtext::readBytes(bytes);
  if (const QString* refusal = std::get_if<QString>(&read)) {
    fuzz::require(!refusal->isEmpty(), "a refusal says why");
    return 0;
  }
  const auto& rows = std::get<csvtext::File>(read).rows;
  fuzz::require(!rows.empty(), "a file that reads has rows");
  for (const csvtext::Row& row : rows) {
    for (const QString& cell : row) {
      if (const auto date = statementvalues::parseDate(cell)) {
        fuzz::require(date->isValid() && date->year() >= 1000, "a date is a calendar date");
      }
      statementvalues::parseAmount(cell);
    }
  }
  const interchange::ImportLayout layout = interchange::guessLayout(rows);
  int widest = 0;
  for (const csvtext::Row& row : rows) widest = std::max(widest, static_cast<int>(row.size()));
  for (const int column : {layout.date, layout.amount, layout.out, layout.in}) {
    fuzz::require(column < widest, "a guessed column exists");
  }
  return 0;
}
