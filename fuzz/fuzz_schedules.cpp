// A schedules side file of any bytes: refused in words, or read into schedules whose rules all
// hold and whose due list can be made without running away.
#include "schedules/schedulefile.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const auto read = schedules::schedulesFrom(bytes);
  if (const auto* reason = std::get_if<QString>(&read)) {
    fuzz::require(!reason->isEmpty(), "a refusal says why");
    return 0;
  }
  const auto& book = std::get<schedules::ScheduleBook>(read);
  for (const schedules::Schedule& s : book.schedules) {
    fuzz::require(!schedules::checkRule(s.rule), "every rule read is one the window accepts");
    fuzz::require(schedules::nextOccurrences(s.rule, s.rule.first, 5).size() <= 5u,
                  "the next five are at most five");
  }
  // A year of daily occurrences at most per schedule: the list stays bounded.
  const QDate today = QDate(2030, 1, 1);
  for (const auto& due : schedules::dueOccurrences(book, today))
    fuzz::require(due.occurrence.date <= today, "nothing listed is due later");
  return 0;
}
