// The budget's file of any bytes: refused in words, or plans that write back to the same bytes
// and read again to the same plans.
#include "budget/budgetfile.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const auto read = budgetfile::read(bytes);
  if (const QString* why = std::get_if<QString>(&read)) {
    fuzz::require(!why->isEmpty(), "a refusal says why");
    return 0;
  }
  const auto& plans = std::get<std::vector<budget::Plan>>(read);
  for (const budget::Plan& p : plans) {
    fuzz::require(p.kind == 3 || p.kind == 4, "only income and expense have budgets");
    fuzz::require(p.amount >= 0 && p.amount <= budget::kMaxAmount, "amounts fit the book");
  }
  const auto serialized = budgetfile::write(plans);
  fuzz::require(std::holds_alternative<QByteArray>(serialized), "what was read can be written");
  const QByteArray written = std::get<QByteArray>(serialized);
  const auto again = budgetfile::read(written);
  fuzz::require(std::holds_alternative<std::vector<budget::Plan>>(again), "what is written reads");
  fuzz::require(std::get<std::vector<budget::Plan>>(again) == plans, "plans come back unchanged");
  fuzz::require(std::get<QByteArray>(budgetfile::write(std::get<std::vector<budget::Plan>>(again))) ==
                    written,
                "bytes settle after one round");
  return 0;
}
