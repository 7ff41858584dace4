// Typed dates: any text is either refused or becomes a "yyyy/mm/dd" date that reads back as
// itself, so that text order stays date order.
#include "platform/dates.h"
#include "support.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const auto date = dates::parse(text);
  const auto normal = dates::normalise(text);
  fuzz::require(date.has_value() == normal.has_value(), "parse and normalise agree");
  if (!date) return 0;
  fuzz::require(date->isValid(), "only calendar dates");
  static const QRegularExpression stored(QStringLiteral("^[0-9]{4}/[0-9]{2}/[0-9]{2}$"));
  fuzz::require(stored.match(*normal).hasMatch(), "ten characters yyyy/mm/dd");
  fuzz::require(dates::parse(*normal) == date, "the stored form reads back as the same date");
  fuzz::require(dates::normalise(*normal) == normal, "normalising twice changes nothing");
  fuzz::require(dates::parse(dates::formatShort(*date)).has_value(), "the short form reads back");
  return 0;
}
