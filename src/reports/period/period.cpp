#include "reports/period/period.h"

#include "book/workspace.h"
#include "platform/dates.h"
#include "store/ledger.h"

#include <QHash>

#include <algorithm>
#include <unordered_map>

namespace period {

Period monthPeriod(int year, int month) {
  const QDate first(year, month, 1);
  return {first, first.addMonths(1).addDays(-1)};
}

Period yearPeriod(int year) { return {QDate(year, 1, 1), QDate(year, 12, 31)}; }

std::variant<Period, QString> customPeriod(const QString& from, const QString& to) {
  const auto first = dates::parse(from.trimmed());
  if (!first)
    return QStringLiteral("起始日期「%1」不是日期，請輸入像 2025/1/1 的日期").arg(from.trimmed());
  const auto last = dates::parse(to.trimmed());
  if (!last)
    return QStringLiteral("結束日期「%1」不是日期，請輸入像 2025/12/31 的日期").arg(to.trimmed());
  if (*first > *last) {
    return QStringLiteral("起始日期 %1 在結束日期 %2 之後，請改正")
        .arg(dates::format(*first), dates::format(*last));
  }
  return Period{*first, *last};
}

namespace {

// Months counted from year 0, read straight from a stored "yyyy/mm/dd"; -1 for anything else
// (a deletion's marker, a damaged date).
int monthNumber(const QString& date) {
  if (date.size() < 7 || date[4] != QLatin1Char('/')) return -1;
  int year = 0;
  for (int i = 0; i < 4; ++i) {
    const int d = date[i].unicode() - '0';
    if (d < 0 || d > 9) return -1;
    year = year * 10 + d;
  }
  const int tens = date[5].unicode() - '0';
  const int ones = date[6].unicode() - '0';
  if (tens < 0 || tens > 1 || ones < 0 || ones > 9) return -1;
  const int month = tens * 10 + ones;
  if (month < 1 || month > 12) return -1;
  return year * 12 + month - 1;
}

int monthNumber(const QDate& date) { return date.year() * 12 + date.month() - 1; }

QString monthLabel(int number) {
  return QStringLiteral("%1/%2")
      .arg(number / 12, 4, 10, QLatin1Char('0'))
      .arg(number % 12 + 1, 2, 10, QLatin1Char('0'));
}

qint64 apply(store::Sign sign, qint32 amount) {
  if (sign == store::Sign::Plus) return amount;
  if (sign == store::Sign::Minus) return -static_cast<qint64>(amount);
  return 0;
}

// The slot whose kind the sign rule looks up for a name (its first slot), found by the text's
// address first: entries mostly share their names' text with the accounts.
class SlotIndex {
 public:
  explicit SlotIndex(const book::Workspace& store) : store_(store) {
    for (int slot = store.tables().accountCount - 1; slot >= 1; --slot) {
      byName_[store.tables().accounts[slot].AccountName] = slot;
    }
    for (int slot = 1; slot < store.tables().accountCount; ++slot) {
      const QString& name = store.tables().accounts[slot].AccountName;
      byAddress_[name.constData()] = byName_.value(name);
    }
  }
  int of(const QString& name) const {
    const auto it = byAddress_.find(name.constData());
    if (it != byAddress_.end() &&
        store::sameField(store_.tables().accounts[it->second].AccountName, name)) {
      return it->second;
    }
    return byName_.value(name, 0);
  }
  int kind(int slot) const { return slot == 0 ? -1 : store_.tables().accounts[slot].AccountKind; }

 private:
  const book::Workspace& store_;
  QHash<QString, int> byName_;
  std::unordered_map<const QChar*, int> byAddress_;
};

// Calls add(slot, kind, amount) for each side of each entry that counts for its account.
template <typename Add>
void eachCount(const SlotIndex& accounts, const store::LedgerEntry& e, Add add) {
  const int first = accounts.of(e.IncreaseAccount);
  const int second = accounts.of(e.DecreaseAccount);
  const int firstKind = accounts.kind(first);
  const int secondKind = accounts.kind(second);
  if (first != 0) {
    if (const qint64 v = apply(store::signRule(firstKind, secondKind, true), e.Amount))
      add(first, firstKind, v);
  }
  if (second != 0) {
    if (const qint64 v = apply(store::signRule(secondKind, firstKind, false), e.Amount)) {
      add(second, secondKind, v);
    }
  }
}

}  // namespace

Report buildReport(const book::Workspace& store, const Period& period) {
  Report report;
  report.period = period;
  const int firstMonth = monthNumber(period.from);
  const int monthCount = std::max(monthNumber(period.to) - firstMonth + 1, 0);
  for (int m = 0; m < monthCount; ++m) report.months << monthLabel(firstMonth + m);
  report.incomeByMonth.assign(static_cast<size_t>(monthCount), 0);
  report.expenseByMonth.assign(static_cast<size_t>(monthCount), 0);

  const QString from = dates::format(period.from);
  const QString to = dates::format(period.to);
  const SlotIndex accounts(store);
  // Month figures by slot; a slot with no movement gets no line.
  std::vector<std::vector<qint64>> bySlot(
      static_cast<size_t>(std::max(store.tables().accountCount, 1)));
  for (int i = 1; i < store.tables().entryCount; ++i) {
    const store::LedgerEntry& e = store.tables().entries[i];
    if (e.EntryDate < from || e.EntryDate > to) continue;
    const int month = monthNumber(e.EntryDate) - firstMonth;
    if (month < 0 || month >= monthCount) continue;
    eachCount(accounts, e, [&](int slot, int kind, qint64 value) {
      if (kind != store::kIncome && kind != store::kExpense) return;
      auto& months = bySlot[static_cast<size_t>(slot)];
      if (months.empty()) months.assign(static_cast<size_t>(monthCount), 0);
      months[static_cast<size_t>(month)] += value;
    });
  }
  for (int slot = 1; slot < store.tables().accountCount; ++slot) {
    auto& months = bySlot[static_cast<size_t>(slot)];
    if (months.empty()) continue;
    const bool income = store.tables().accounts[slot].AccountKind == store::kIncome;
    AccountLine line{store::trimTrailingSpaces(store.tables().accounts[slot].AccountName), slot,
                     std::move(months), 0};
    auto& byMonth = income ? report.incomeByMonth : report.expenseByMonth;
    for (size_t m = 0; m < line.months.size(); ++m) {
      line.total += line.months[m];
      byMonth[m] += line.months[m];
    }
    (income ? report.incomeTotal : report.expenseTotal) += line.total;
    (income ? report.income : report.expense).push_back(std::move(line));
  }
  report.netByMonth.resize(static_cast<size_t>(monthCount));
  for (size_t m = 0; m < report.netByMonth.size(); ++m) {
    report.netByMonth[m] = report.incomeByMonth[m] - report.expenseByMonth[m];
  }
  report.net = report.incomeTotal - report.expenseTotal;
  return report;
}

namespace {

// The month numbers of the first and last dated entries; -1, -1 for none.
std::pair<int, int> entryMonths(const book::Workspace& store) {
  int first = -1;
  int last = -1;
  for (int i = 1; i < store.tables().entryCount; ++i) {
    const int m = monthNumber(store.tables().entries[i].EntryDate);
    if (m < 0) continue;
    first = first < 0 ? m : std::min(first, m);
    last = std::max(last, m);
  }
  return {first, last};
}

// Net worth at the end of each month from `first` to `last`, everything before `first` counted
// into the first.
std::vector<MonthValue> worthOver(const book::Workspace& store, int first, int last) {
  if (first < 0 || last < first) return {};
  std::vector<qint64> change(static_cast<size_t>(last - first + 1), 0);
  const SlotIndex accounts(store);
  for (int i = 1; i < store.tables().entryCount; ++i) {
    const store::LedgerEntry& e = store.tables().entries[i];
    const int m = monthNumber(e.EntryDate);
    if (m < 0 || m > last) continue;
    const size_t at = static_cast<size_t>(std::max(m, first) - first);
    eachCount(accounts, e, [&](int, int kind, qint64 value) {
      if (kind == store::kAsset) change[at] += value;
      if (kind == store::kLiability) change[at] -= value;
    });
  }
  std::vector<MonthValue> out;
  out.reserve(change.size());
  qint64 worth = 0;
  for (size_t m = 0; m < change.size(); ++m) {
    worth += change[m];
    out.push_back({monthLabel(first + static_cast<int>(m)), worth});
  }
  return out;
}

}  // namespace

std::vector<TableLine> tableLines(const Report& r) {
  std::vector<TableLine> lines;
  const auto section = [&](const QString& caption, const std::vector<AccountLine>& accounts,
                           const QString& totalLabel, const std::vector<qint64>& byMonth,
                           qint64 total) {
    lines.push_back({caption, {}, 0, true});
    for (const auto& a : accounts) lines.push_back({a.name, a.months, a.total, false});
    lines.push_back({totalLabel, byMonth, total, true});
  };
  section(QStringLiteral("收入"), r.income, QStringLiteral("收入合計"), r.incomeByMonth,
          r.incomeTotal);
  section(QStringLiteral("支出"), r.expense, QStringLiteral("支出合計"), r.expenseByMonth,
          r.expenseTotal);
  lines.push_back({QStringLiteral("淨額（收入－支出）"), r.netByMonth, r.net, true});
  return lines;
}

QStringList lineCells(const TableLine& line, size_t months) {
  QStringList cells{line.label};
  const bool caption = line.months.empty();
  for (size_t m = 0; m < months; ++m)
    cells << (caption || m >= line.months.size() ? QString() : grouped(line.months[m]));
  cells << (caption ? QString() : grouped(line.total));
  return cells;
}

Period openingYear(const book::Workspace& store) {
  const QDate latest = latestMonthWithEntries(store);
  return yearPeriod(latest.isValid() ? latest.year() : store.clock().today().year());
}

std::vector<MonthValue> netWorthByMonth(const book::Workspace& store) {
  const auto [first, last] = entryMonths(store);
  return worthOver(store, first, last);
}

std::vector<MonthValue> netWorthByMonth(const book::Workspace& store, const Period& period) {
  const auto [first, last] = entryMonths(store);
  if (first < 0 || first > monthNumber(period.to)) return {};
  // Months before the book's first entry or after its last are left out: a line that stays
  // flat says nothing.
  return worthOver(store, std::max(first, monthNumber(period.from)),
                   std::min(last, monthNumber(period.to)));
}

QDate latestMonthWithEntries(const book::Workspace& store) {
  const int last = entryMonths(store).second;
  return last < 0 ? QDate() : QDate(last / 12, last % 12 + 1, 1);
}

std::vector<AxisLabel> monthAxisLabels(const QStringList& months, int room) {
  if (months.isEmpty()) return {};
  const bool oneYear = months.first().left(4) == months.last().left(4);
  const int count = static_cast<int>(months.size());
  // Steps that keep the labels on the same months of each year.
  int step = 1;
  for (const int candidate : {1, 2, 3, 6, 12, 24, 36, 48, 60, 120, 240, 600, 1200}) {
    step = candidate;
    if ((count + candidate - 1) / candidate <= std::max(room, 1)) break;
  }
  // Steps of a year or more fall on Januaries; shorter ones on the first month shown.
  int start = 0;
  if (step >= 12) {
    while (start < count && months[start].mid(5, 2) != QLatin1String("01")) ++start;
    if (start == count) start = 0;
  }
  std::vector<AxisLabel> labels;
  for (int i = start; i < count; i += step) {
    const QString& month = months[i];
    labels.push_back({i, oneYear ? QStringLiteral("%1月").arg(month.mid(5).toInt()) : month});
  }
  return labels;
}

std::vector<Slice> expenseSlices(const Report& report, int most) {
  std::vector<Slice> slices;
  qint64 total = 0;
  for (const AccountLine& line : report.expense) {
    if (line.total > 0) {
      slices.push_back({line.name, line.total});
      total += line.total;
    }
  }
  std::stable_sort(slices.begin(), slices.end(),
                   [](const Slice& a, const Slice& b) { return a.value > b.value; });
  const size_t limit = static_cast<size_t>(std::max(most, 2));
  if (slices.size() <= limit) return slices;
  // Named slices, "其他" being one more: eight at least, then more while it is a third or over.
  size_t named = std::min<size_t>(8, limit - 1);
  qint64 rest = 0;
  for (size_t i = named; i < slices.size(); ++i) rest += slices[i].value;
  while (named + 1 < limit && rest * 3 >= total) rest -= slices[named++].value;
  slices.resize(named);
  slices.push_back({kOthers, rest});
  return slices;
}

QString grouped(qint64 amount) {
  QString digits =
      QString::number(amount < 0 ? -static_cast<quint64>(amount) : static_cast<quint64>(amount));
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QLatin1Char(','));
  return amount < 0 ? QLatin1Char('-') + digits : digits;
}

}  // namespace period
