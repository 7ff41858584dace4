// A reconciliations side file of any bytes: refused in words, or read into reconciliations
// whose ticks are all well formed and whose wizard state can be rebuilt.
#include "reconcile/reconcilefile.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const auto read = reconcile::reconciliationsFrom(bytes);
  if (const auto* reason = std::get_if<QString>(&read)) {
    fuzz::require(!reason->isEmpty(), "a refusal says why");
    return 0;
  }
  const auto& all = std::get<std::vector<reconcile::Reconciliation>>(read);
  for (const auto& r : all) {
    fuzz::require(r.statementDate.isValid(), "every statement has its date");
    for (const auto& t : r.ticked) fuzz::require(t.key.digest.size() == 16, "keys are whole");
    const reconcile::Wizard wizard(all, r.account, {}, r.statementDate, r.ending);
    fuzz::require(wizard.lines().empty(), "no book, no lines");
    (void)wizard.hints();
    (void)reconcile::brokenReconciliations(all, r.account, {});
  }
  return 0;
}
