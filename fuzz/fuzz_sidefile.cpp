// Side files of any bytes: either refused in words or read into records that write back to
// bytes which read the same records again, and merging a copy with itself changes nothing.
#include "platform/sidefile.h"
#include "support.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString kind = QStringLiteral("varnix-fuzz");
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const auto parsed = sidefile::parse(bytes, kind, 3);
  if (const auto* reason = std::get_if<QString>(&parsed)) {
    fuzz::require(!reason->isEmpty(), "a refusal says why");
    return 0;
  }
  const auto& contents = std::get<sidefile::Contents>(parsed);
  const auto written = sidefile::serialize(kind, contents.version, contents.records);
  fuzz::require(std::holds_alternative<QByteArray>(written), "what was read can be written");
  const auto again = sidefile::parse(std::get<QByteArray>(written), kind, 3);
  fuzz::require(std::holds_alternative<sidefile::Contents>(again), "what was written reads");
  fuzz::require(std::get<sidefile::Contents>(again).records == contents.records,
                "the records come back unchanged");
  auto sorted = contents.records;
  std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
  fuzz::require(sidefile::merge(contents.records, contents.records) == sorted,
                "a copy merged with itself is the same copy");
  return 0;
}
