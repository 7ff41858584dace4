#pragma once

#include "history/sidechange.h"
#include "store/records.h"

#include <QHash>
#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

namespace store {
struct BookTables;
}

// What one command changed in the open book, kept small enough that a hundred of the largest
// commands on a full book fit in a few megabytes. A step is an edit script per table: slots
// removed (with their records), slots changed in place (old and new record), records appended
// at the end. The commands of the book only ever delete in order, change in place or append,
// so a script of this shape is never much larger than what actually changed.
namespace history {

// The texts of one step, each distinct text kept once. Records refer to them by number.
// Trailing blanks (most of every fixed-width field) are kept as a count, and a text of Latin-1
// characters as one byte a character.
class TextPool {
 public:
  quint16 add(const QString& text);
  // Ends the building: the look-up used to find repeated texts is given up.
  void seal();
  int size() const { return static_cast<int>(offsets_.size()); }
  QString text(quint16 number) const;
  // Whether text `number` is this one, without decoding it.
  bool matches(quint16 number, const QString& text) const;
  std::size_t bytes() const;

 private:
  QByteArray data_;
  std::vector<quint32> offsets_;
  QHash<QString, quint16> index_;  // only while building
};

struct PackedEntry {
  quint16 date;
  quint16 increase;
  quint16 decrease;
  quint16 memo;
  qint32 amount;
};

struct PackedAccount {
  quint16 name;
  qint16 kind;
};

// An edit script for one table. Applied forwards: the removed slots go (numbered as before),
// the changed slots take their new records (numbered as after), the appended records follow.
template <typename Packed>
struct TableEdit {
  int before = 0;  // records in use
  int after = 0;
  std::vector<quint16> removedAt;
  std::vector<Packed> removed;
  std::vector<quint16> changedAt;
  std::vector<Packed> changedFrom;
  std::vector<Packed> changedTo;
  std::vector<Packed> appended;

  bool empty() const {
    return before == after && removed.empty() && changedAt.empty() && appended.empty();
  }
  std::size_t bytes() const {
    return removedAt.capacity() * sizeof(quint16) + changedAt.capacity() * sizeof(quint16) +
           (removed.capacity() + changedFrom.capacity() + changedTo.capacity() +
            appended.capacity()) *
               sizeof(Packed);
  }
};

struct Step {
  QString name;
  bool touchesTables = true;  // false: a step of side files only
  TextPool texts;
  TableEdit<PackedEntry> entries;
  TableEdit<PackedAccount> accounts;
  std::vector<std::unique_ptr<SideChange>> sides;  // in the order they were made

  std::size_t bytes() const;
};

// The records in use of both tables, as they were before a command. Copying them shares
// their texts, so keeping them for the length of a command costs little.
struct Tables {
  std::vector<store::LedgerEntry> entries;
  std::vector<store::AccountRecord> accounts;
};
Tables tablesOf(const store::BookTables& store);

// What changed from `before` to the store's tables now; nothing when nothing did.
std::unique_ptr<Step> makeStep(const Tables& before, const store::BookTables& after,
                               const QString& name);

// Takes the store across the step, backward (undo) or forward (redo). First checks that the
// store holds the state the step starts from on that side: the counts, and every record the
// step keeps for that side where it should be. False, with nothing changed, when it does not.
bool apply(const Step& step, store::BookTables& store, Direction direction);

}  // namespace history
