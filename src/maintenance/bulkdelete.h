#pragma once

#include "platform/message.h"

#include <QString>

#include <optional>
#include <vector>

namespace book {
class Workspace;
}

namespace maintenance {

// The four date rules of deleting many entries at once.
enum class DeleteRule {
  OnDate,   // 指定日期: dated the first date
  After,    // 之後: dated after the first date (the date itself stays)
  Within,   // 範圍內: dated from the earlier to the later date, both included
  Outside,  // 範圍外: dated before the earlier or after the later date
};

struct BulkDeleteResult {
  std::optional<Message> refused;  // set: nothing changed
  QString first;                   // the two dates as "yyyy/mm/dd", for writing back
  QString second;
  int removed = 0;
};

// Removes every entry whose date meets `rule`. Both dates must be given and be dates, also
// when the rule reads only the first; the range dates may come in either order. Shows nothing.
BulkDeleteResult deleteByDate(book::Workspace& store, DeleteRule rule, const QString& typedFirst,
                              const QString& typedSecond);

// The slots of the entries deleteByDate would remove; none when a date is missing or wrong.
std::vector<int> entriesByDate(const book::Workspace& store, DeleteRule rule,
                               const QString& typedFirst, const QString& typedSecond);

}  // namespace maintenance
