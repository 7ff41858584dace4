#pragma once

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// Changes to the files a book keeps beside its own (its budget, schedules, reconciliations),
// kept in the same history as the book's tables, so that 復原 and 重做 take book and side files
// back and forth in the one order the person made them. The history knows no feature: a side
// change is whatever its owner hands in, able to put the side file's records as they were
// before the change or as they were after it.
namespace history {

enum class Direction { Backward, Forward };

class SideChange {
 public:
  virtual ~SideChange() = default;
  // Puts the side file as it was before the change (Backward) or after it (Forward), in memory
  // and where its owner writes it. The reason in words when it could not; nothing changed then.
  virtual std::optional<QString> cross(Direction direction) = 0;
  // Memory the change holds.
  virtual std::size_t bytes() const = 0;
};

// The usual side change: the records a change touched, as they were and as they became, and
// how to put either back. `alive` belongs to the owner of the records: once the owner is gone
// (another book was opened), the change can no longer be crossed.
template <typename Records>
class SideRecords : public SideChange {
 public:
  using Put = std::function<std::optional<QString>(const Records&)>;

  SideRecords(std::weak_ptr<const void> alive, Records before, Records after, Put put,
              std::size_t bytes = sizeof(Records))
      : alive_(std::move(alive)),
        before_(std::move(before)),
        after_(std::move(after)),
        put_(std::move(put)),
        bytes_(bytes) {}

  std::optional<QString> cross(Direction direction) override {
    if (alive_.expired()) return QStringLiteral("這份資料已經關閉");
    return put_(direction == Direction::Backward ? before_ : after_);
  }
  std::size_t bytes() const override { return sizeof(*this) + 2 * bytes_; }

 private:
  std::weak_ptr<const void> alive_;
  Records before_;
  Records after_;
  Put put_;
  std::size_t bytes_;
};

// The records of a side file that merges record by record (each with an id, a change time and
// a deletion mark) put back as `target` holds them: a record that differs from `current` is
// stamped `now`, so that the merge with a copy that saw the change prefers the way back, and a
// record `target` does not know stays, marked deleted, so that the copy learns it is gone.
template <typename Record, typename IdOf>
std::vector<Record> putBack(const std::vector<Record>& target, const std::vector<Record>& current,
                            IdOf idOf, const QDateTime& now) {
  QHash<QString, const Record*> was;
  for (const Record& r : current) was.insert(idOf(r), &r);
  QSet<QString> known;
  std::vector<Record> out;
  out.reserve(target.size() + current.size());
  for (Record r : target) {
    const QString id = idOf(r);
    known.insert(id);
    const auto it = was.constFind(id);
    if (it != was.cend()) {
      Record same = r;
      same.changed = (*it)->changed;
      if (same == **it) {
        out.push_back(**it);
        continue;
      }
    }
    r.changed = now;
    out.push_back(std::move(r));
  }
  for (const Record& r : current) {
    if (known.contains(idOf(r))) continue;
    Record gone = r;
    if (!gone.deleted) {
      gone.deleted = true;
      gone.changed = now;
    }
    out.push_back(std::move(gone));
  }
  return out;
}

}  // namespace history
