// Recovery files of any bytes: either refused in words or read into a session that writes back
// to a file which reads the same session again.
#include "book/recovery.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const auto parsed = recovery::parse(bytes);
  if (const auto* reason = std::get_if<QString>(&parsed)) {
    fuzz::require(!reason->isEmpty(), "a refusal says why");
    return 0;
  }
  const auto& snapshot = std::get<recovery::Snapshot>(parsed);
  const auto written = recovery::serialize(snapshot);
  fuzz::require(std::holds_alternative<QByteArray>(written), "what was read can be written");
  const auto again = recovery::parse(std::get<QByteArray>(written));
  fuzz::require(std::holds_alternative<recovery::Snapshot>(again), "what was written reads");
  const auto& back = std::get<recovery::Snapshot>(again);
  fuzz::require(back.accounts == snapshot.accounts && back.entries == snapshot.entries &&
                    back.user == snapshot.user && back.book == snapshot.book &&
                    back.written == snapshot.written,
                "the session comes back unchanged");
  return 0;
}
