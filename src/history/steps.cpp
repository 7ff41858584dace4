#include "history/steps.h"

#include "store/booktables.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace history {
namespace {

// Counts as 7-bit groups: the sizes of fixed-width fields take one byte each.
void putCount(QByteArray& out, quint32 n) {
  while (n >= 0x80) {
    out.append(static_cast<char>((n & 0x7F) | 0x80));
    n >>= 7;
  }
  out.append(static_cast<char>(n));
}

quint32 takeCount(const char*& p) {
  quint32 n = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<quint8>(*p++);
    n |= static_cast<quint32>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return n;
  }
}

// The texts of a step as its records are taken back into the tables: each decoded once, when
// first needed. Checking a record decodes nothing.
class Texts {
 public:
  explicit Texts(const TextPool& pool)
      : pool_(pool),
        decoded_(static_cast<size_t>(pool.size())),
        done_(static_cast<size_t>(pool.size()), false),
        named_(static_cast<size_t>(pool.size()), false) {}
  const QString& operator[](quint16 number) { return decoded(number); }
  bool matches(quint16 number, const QString& text) const { return pool_.matches(number, text); }
  // Entries name their accounts with the account's own text, as loading does: the ledger
  // finds a name by its address before it compares characters.
  void shareAccountNames(const store::BookTables& store) {
    for (int slot = store.accountCount - 1; slot >= 1; --slot) {
      const QString& name = store.accounts[slot].AccountName;
      names_.insert(name, slot);
    }
    store_ = &store;
  }
  const QString& name(quint16 number) {
    QString& text = decoded(number);
    if (store_ && !named_[number]) {
      named_[number] = true;
      const auto it = text.size() == store::kNameWidth ? names_.constFind(text) : names_.cend();
      if (it != names_.cend()) text = store_->accounts[*it].AccountName;
    }
    return text;
  }

 private:
  QString& decoded(quint16 number) {
    if (!done_[number]) {
      decoded_[number] = pool_.text(number);
      done_[number] = true;
    }
    return decoded_[number];
  }

  const TextPool& pool_;
  std::vector<QString> decoded_;
  std::vector<bool> done_;
  std::vector<bool> named_;
  QHash<QString, int> names_;
  const store::BookTables* store_ = nullptr;
};

PackedEntry pack(const store::LedgerEntry& e, TextPool& texts) {
  return {texts.add(e.EntryDate), texts.add(e.IncreaseAccount), texts.add(e.DecreaseAccount),
          texts.add(e.Memo), e.Amount};
}

PackedAccount pack(const store::AccountRecord& a, TextPool& texts) {
  return {texts.add(a.AccountName), a.AccountKind};
}

store::LedgerEntry unpack(const PackedEntry& p, Texts& texts) {
  return {texts[p.date], texts.name(p.increase), texts.name(p.decrease), p.amount, texts[p.memo]};
}

store::AccountRecord unpack(const PackedAccount& p, Texts& texts) {
  return {texts[p.name], p.kind};
}

bool same(const store::LedgerEntry& a, const store::LedgerEntry& b) {
  return a.Amount == b.Amount && store::sameField(a.EntryDate, b.EntryDate) &&
         store::sameField(a.IncreaseAccount, b.IncreaseAccount) &&
         store::sameField(a.DecreaseAccount, b.DecreaseAccount) && store::sameField(a.Memo, b.Memo);
}

bool same(const store::AccountRecord& a, const store::AccountRecord& b) {
  return a.AccountKind == b.AccountKind && store::sameField(a.AccountName, b.AccountName);
}

bool same(const store::LedgerEntry& e, const PackedEntry& p, const Texts& texts) {
  return e.Amount == p.amount && texts.matches(p.date, e.EntryDate) &&
         texts.matches(p.increase, e.IncreaseAccount) &&
         texts.matches(p.decrease, e.DecreaseAccount) && texts.matches(p.memo, e.Memo);
}

bool same(const store::AccountRecord& a, const PackedAccount& p, const Texts& texts) {
  return a.AccountKind == p.kind && texts.matches(p.name, a.AccountName);
}

// Which records an edit script keeps, as 0-based positions.
struct Script {
  std::vector<int> removed;  // positions before
  std::vector<int> changed;  // positions after (and before: only the tail is ever removed)
  int appendFrom = 0;        // positions after from here on are appended

  std::size_t records(int after) const {
    return removed.size() + 2 * changed.size() + static_cast<std::size_t>(after - appendFrom);
  }
};

// Two readings of what a command did; the smaller script is kept. Slot by slot fits changes
// in place (an edit, a rename, two accounts swapped), with the tail removed or appended.
// The walk fits deletions in order followed by appends (ticked or bulk deletion, a closing, a
// deleted account). Either one always leads from before to after, whatever the command was.
template <typename Record, typename Table>
Script bestScript(const std::vector<Record>& before, const Table& table, int after) {
  const int nb = static_cast<int>(before.size());
  const int common = std::min(nb, after);

  Script slotwise;
  for (int k = 0; k < common; ++k) {
    if (!same(before[static_cast<size_t>(k)], table[k + 1])) slotwise.changed.push_back(k);
  }
  for (int k = common; k < nb; ++k) slotwise.removed.push_back(k);
  slotwise.appendFrom = common;
  if (slotwise.changed.empty()) return slotwise;

  Script walk;
  int i = 0;
  int j = 0;
  while (i < nb && j < after) {
    if (same(before[static_cast<size_t>(i)], table[j + 1])) {
      ++i;
      ++j;
    } else {
      walk.removed.push_back(i++);
    }
  }
  while (i < nb) walk.removed.push_back(i++);
  walk.appendFrom = j;
  return walk.records(after) < slotwise.records(after) ? walk : slotwise;
}

template <typename Record, typename Packed, typename Table>
TableEdit<Packed> makeEdit(const std::vector<Record>& before, const Table& table, int after,
                           TextPool& texts) {
  const Script script = bestScript(before, table, after);
  TableEdit<Packed> edit;
  edit.before = static_cast<int>(before.size());
  edit.after = after;
  edit.removedAt.reserve(script.removed.size());
  edit.removed.reserve(script.removed.size());
  for (const int k : script.removed) {
    edit.removedAt.push_back(static_cast<quint16>(k + 1));
    edit.removed.push_back(pack(before[static_cast<size_t>(k)], texts));
  }
  edit.changedAt.reserve(script.changed.size());
  edit.changedFrom.reserve(script.changed.size());
  edit.changedTo.reserve(script.changed.size());
  for (const int k : script.changed) {
    edit.changedAt.push_back(static_cast<quint16>(k + 1));
    edit.changedFrom.push_back(pack(before[static_cast<size_t>(k)], texts));
    edit.changedTo.push_back(pack(table[k + 1], texts));
  }
  edit.appended.reserve(static_cast<size_t>(after - script.appendFrom));
  for (int k = script.appendFrom; k < after; ++k)
    edit.appended.push_back(pack(table[k + 1], texts));
  return edit;
}

// Slots no longer in use are emptied: nothing of an undone record stays behind the count.
template <typename Table>
void clearSlots(Table& table, int from, int to) {
  using Record = std::remove_cvref_t<decltype(table[1])>;
  for (int slot = from; slot <= to; ++slot) table[slot] = Record{};
}

template <typename Packed, typename Table>
bool fitsBackward(const TableEdit<Packed>& e, const Table& table, int count, const Texts& texts) {
  if (count - 1 != e.after) return false;
  const int kept = e.after - static_cast<int>(e.appended.size());
  for (size_t k = 0; k < e.appended.size(); ++k) {
    if (!same(table[kept + 1 + static_cast<int>(k)], e.appended[k], texts)) return false;
  }
  for (size_t k = 0; k < e.changedAt.size(); ++k) {
    if (!same(table[e.changedAt[k]], e.changedTo[k], texts)) return false;
  }
  return true;
}

template <typename Packed, typename Table>
bool fitsForward(const TableEdit<Packed>& e, const Table& table, int count, const Texts& texts) {
  if (count - 1 != e.before) return false;
  for (size_t k = 0; k < e.removedAt.size(); ++k) {
    if (!same(table[e.removedAt[k]], e.removed[k], texts)) return false;
  }
  // A changed slot is numbered as after the removal: its slot before it lies beyond the
  // removed slots below it.
  size_t below = 0;
  for (size_t k = 0; k < e.changedAt.size(); ++k) {
    const int slot = e.changedAt[k];
    while (below < e.removedAt.size() && e.removedAt[below] <= slot + static_cast<int>(below)) {
      ++below;
    }
    if (!same(table[slot + static_cast<int>(below)], e.changedFrom[k], texts)) return false;
  }
  return true;
}

template <typename Packed, typename Table>
void applyBackward(const TableEdit<Packed>& e, Table& table, int& count, Texts& texts) {
  const int kept = e.after - static_cast<int>(e.appended.size());
  for (size_t k = 0; k < e.changedAt.size(); ++k) {
    table[e.changedAt[k]] = unpack(e.changedFrom[k], texts);
  }
  // The removed records go back between the others, filled in from the back.
  int from = kept;
  int r = static_cast<int>(e.removedAt.size()) - 1;
  for (int slot = kept + static_cast<int>(e.removedAt.size()); r >= 0; --slot) {
    if (e.removedAt[static_cast<size_t>(r)] == slot) {
      table[slot] = unpack(e.removed[static_cast<size_t>(r)], texts);
      --r;
    } else {
      table[slot] = std::move(table[from--]);
    }
  }
  clearSlots(table, e.before + 1, e.after);
  count = e.before + 1;
}

template <typename Packed, typename Table>
void applyForward(const TableEdit<Packed>& e, Table& table, int& count, Texts& texts) {
  if (!e.removedAt.empty()) {
    int write = e.removedAt.front();
    size_t r = 0;
    for (int slot = write; slot <= e.before; ++slot) {
      if (r < e.removedAt.size() && e.removedAt[r] == slot) {
        ++r;
        continue;
      }
      table[write++] = std::move(table[slot]);
    }
  }
  for (size_t k = 0; k < e.changedAt.size(); ++k) {
    table[e.changedAt[k]] = unpack(e.changedTo[k], texts);
  }
  const int kept = e.before - static_cast<int>(e.removedAt.size());
  for (size_t k = 0; k < e.appended.size(); ++k) {
    table[kept + 1 + static_cast<int>(k)] = unpack(e.appended[k], texts);
  }
  clearSlots(table, e.after + 1, e.before);
  count = e.after + 1;
}

}  // namespace

quint16 TextPool::add(const QString& text) {
  const auto found = index_.constFind(text);
  if (found != index_.cend()) return *found;
  Q_ASSERT(offsets_.size() < 0xFFFF);  // two full tables of four texts a record stay far below
  const auto number = static_cast<quint16>(offsets_.size());
  offsets_.push_back(static_cast<quint32>(data_.size()));
  qsizetype body = text.size();
  while (body > 0 && text.at(body - 1) == QLatin1Char(' ')) --body;
  const bool latin1 =
      std::all_of(text.cbegin(), text.cbegin() + body, [](QChar c) { return c.unicode() <= 0xFF; });
  putCount(data_, static_cast<quint32>(text.size()));
  putCount(data_, static_cast<quint32>(body * 2 + (latin1 ? 0 : 1)));
  if (latin1) {
    for (qsizetype i = 0; i < body; ++i) data_.append(static_cast<char>(text.at(i).unicode()));
  } else {
    data_.append(reinterpret_cast<const char*>(text.constData()), body * 2);
  }
  index_.insert(text, number);
  return number;
}

void TextPool::seal() {
  index_ = {};
  data_.squeeze();
  offsets_.shrink_to_fit();
}

namespace {

struct Head {
  qsizetype size;  // characters, trailing blanks included
  qsizetype body;  // characters before the trailing blanks
  bool wide;       // two bytes a character
  const char* data;
};

Head headAt(const QByteArray& data, quint32 offset) {
  const char* p = data.constData() + offset;
  const auto size = static_cast<qsizetype>(takeCount(p));
  const quint32 head = takeCount(p);
  return {size, static_cast<qsizetype>(head / 2), (head & 1) != 0, p};
}

}  // namespace

QString TextPool::text(quint16 number) const {
  const Head h = headAt(data_, offsets_[number]);
  QString text(h.size, QLatin1Char(' '));
  QChar* out = text.data();
  if (h.wide) {
    std::memcpy(static_cast<void*>(out), h.data, static_cast<size_t>(h.body) * 2);
  } else {
    for (qsizetype i = 0; i < h.body; ++i) out[i] = QChar(static_cast<uchar>(h.data[i]));
  }
  return text;
}

bool TextPool::matches(quint16 number, const QString& text) const {
  const Head h = headAt(data_, offsets_[number]);
  if (text.size() != h.size) return false;
  const QChar* in = text.constData();
  if (h.wide) {
    if (std::memcmp(in, h.data, static_cast<size_t>(h.body) * 2) != 0) return false;
  } else {
    for (qsizetype i = 0; i < h.body; ++i) {
      if (in[i] != QChar(static_cast<uchar>(h.data[i]))) return false;
    }
  }
  for (qsizetype i = h.body; i < h.size; ++i) {
    if (in[i] != QLatin1Char(' ')) return false;
  }
  return true;
}

std::size_t TextPool::bytes() const {
  return static_cast<std::size_t>(data_.capacity()) + offsets_.capacity() * sizeof(quint32);
}

std::size_t Step::bytes() const {
  std::size_t total = sizeof(Step) + static_cast<std::size_t>(name.capacity()) * 2 + texts.bytes() +
                      entries.bytes() + accounts.bytes();
  for (const auto& side : sides) total += side->bytes();
  return total;
}

Tables tablesOf(const store::BookTables& store) {
  Tables tables;
  tables.entries.reserve(static_cast<size_t>(store.entriesInUse()));
  for (int slot = 1; slot < store.entryCount; ++slot) {
    tables.entries.push_back(store.entries[slot]);
  }
  tables.accounts.reserve(static_cast<size_t>(store.accountsInUse()));
  for (int slot = 1; slot < store.accountCount; ++slot) {
    tables.accounts.push_back(store.accounts[slot]);
  }
  return tables;
}

std::unique_ptr<Step> makeStep(const Tables& before, const store::BookTables& after,
                               const QString& name) {
  auto step = std::make_unique<Step>();
  step->name = name;
  step->accounts = makeEdit<store::AccountRecord, PackedAccount>(
      before.accounts, after.accounts, after.accountsInUse(), step->texts);
  step->entries = makeEdit<store::LedgerEntry, PackedEntry>(before.entries, after.entries,
                                                            after.entriesInUse(), step->texts);
  if (step->accounts.empty() && step->entries.empty()) return nullptr;
  step->texts.seal();
  return step;
}

bool apply(const Step& step, store::BookTables& store, Direction direction) {
  Texts texts(step.texts);
  const bool backward = direction == Direction::Backward;
  const bool fit = backward
                       ? fitsBackward(step.accounts, store.accounts, store.accountCount, texts) &&
                             fitsBackward(step.entries, store.entries, store.entryCount, texts)
                       : fitsForward(step.accounts, store.accounts, store.accountCount, texts) &&
                             fitsForward(step.entries, store.entries, store.entryCount, texts);
  if (!fit) return false;

  if (backward) {
    applyBackward(step.accounts, store.accounts, store.accountCount, texts);
  } else {
    applyForward(step.accounts, store.accounts, store.accountCount, texts);
  }
  if (step.entries.empty()) return true;
  texts.shareAccountNames(store);
  if (backward) {
    applyBackward(step.entries, store.entries, store.entryCount, texts);
  } else {
    applyForward(step.entries, store.entries, store.entryCount, texts);
  }
  return true;
}

}  // namespace history
