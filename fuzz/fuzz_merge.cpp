// Merging three copies of a book made from any bytes: the merge never crashes, and every
// answer either refuses in words or gives a book that is sound and reads back as itself.
//
// Input: the base's two files (lengths as two 16-bit numbers first), then the edits of each
// side: a count byte, then four bytes per edit. A base that does not read is a small book of
// its own, so the edits still reach the merge.
#include "merge/merge.h"
#include "store/ledger.h"
#include "support.h"

#include <QtEndian>

namespace {

QByteArray take(const uint8_t*& data, size_t& size, size_t count) {
  count = std::min(count, size);
  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count));
  data += count;
  size -= count;
  return bytes;
}

store::BookTables smallBook() {
  store::BookTables b;
  b.accounts[b.accountCount++] = store::makeAccount(store::kEquityName, store::kEquity);
  b.accounts[b.accountCount++] = store::makeAccount(store::kCashName, store::kAsset);
  b.accounts[b.accountCount++] = store::makeAccount(QStringLiteral("E-餐飲"), store::kExpense);
  b.entries[b.entryCount++] = store::makeEntry("2024/01/01", store::kCashName, store::kEquityName,
                                               500, store::kInitialMemo);
  b.entries[b.entryCount++] =
      store::makeEntry("2024/02/01", "E-餐飲", store::kCashName, 80, "午餐");
  return b;
}

void removeEntry(store::BookTables& b, int slot) {
  for (int s = slot; s + 1 < b.entryCount; ++s) b.entries[s] = b.entries[s + 1];
  b.entries[--b.entryCount] = store::LedgerEntry{};
}

// One side's edits, four bytes each: what, which, and two values.
store::BookTables edited(const store::BookTables& base, const uint8_t*& data, size_t& size) {
  store::BookTables b = base;
  const QByteArray count = take(data, size, 1);
  const int edits = count.isEmpty() ? 0 : static_cast<uint8_t>(count[0]) % 24;
  for (int i = 0; i < edits && size >= 4; ++i) {
    const uint8_t what = data[0] % 8, which = data[1], x = data[2], y = data[3];
    take(data, size, 4);
    const QString date = QStringLiteral("20%1/%2/%3")
                             .arg(20 + x % 6)
                             .arg(1 + y % 12, 2, 10, QChar('0'))
                             .arg(1 + x % 28, 2, 10, QChar('0'));
    const int entry = b.entryCount > 1 ? 1 + which % (b.entryCount - 1) : 0;
    const int account = 1 + which % (b.accountCount - 1);
    const QString name = b.accounts[account].AccountName;
    if (what <= 1 && b.entryCount <= store::kMaxEntries) {
      b.entries[b.entryCount++] =
          store::makeEntry(date, name, b.accounts[1 + y % (b.accountCount - 1)].AccountName,
                           x * 7 - 300, QString::number(y));
    } else if (what == 2 && entry) {
      b.entries[entry].Amount = x;
      b.entries[entry].EntryDate = store::dateField(date);
    } else if (what == 3 && entry) {
      removeEntry(b, entry);
    } else if (what == 4) {
      const QString now = store::nameField(name.left(2) + QString::number(x));
      b.accounts[account].AccountName = now;
      for (int s = 1; s < b.entryCount; ++s) {
        if (b.entries[s].IncreaseAccount == name) b.entries[s].IncreaseAccount = now;
        if (b.entries[s].DecreaseAccount == name) b.entries[s].DecreaseAccount = now;
      }
    } else if (what == 5 && b.accountCount <= store::kMaxAccounts) {
      b.accounts[b.accountCount++] =
          store::makeAccount(QStringLiteral("A-新%1").arg(x), qint16(y % 6));
    } else if (what == 6 && b.accountCount > 2) {
      b.accounts[account] = b.accounts[--b.accountCount];  // deleted, used or not
      b.accounts[b.accountCount] = store::AccountRecord{};
    } else if (what == 7) {
      // Closing: entries up to the day go, cash carries an amount against Equity.
      const QString day = store::dateField(date);
      for (int s = b.entryCount - 1; s >= 1; --s)
        if (b.entries[s].EntryDate <= day) removeEntry(b, s);
      if (b.entryCount <= store::kMaxEntries)
        b.entries[b.entryCount++] =
            store::makeEntry(day, name, store::kEquityName, y, store::kInitialMemo);
    }
  }
  return b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const size_t accountsLength = qFromLittleEndian<quint16>(data);
  const size_t entriesLength = qFromLittleEndian<quint16>(data + 2);
  data += 4;
  size -= 4;
  const QByteArray accounts = take(data, size, accountsLength);
  const QByteArray entries = take(data, size, entriesLength);
  store::BookTables base;
  const auto accountsRead = store::readAccounts(accounts, base.accounts);
  const auto entriesRead = store::readEntries(entries, base.entries);
  if (std::holds_alternative<int>(accountsRead) && std::holds_alternative<int>(entriesRead)) {
    base.accountCount = std::get<int>(accountsRead);
    base.entryCount = std::get<int>(entriesRead);
  } else {
    base = smallBook();
  }
  const store::BookTables ours = edited(base, data, size);
  const store::BookTables theirs = edited(base, data, size);

  const auto planned = merge::plan(base, ours, theirs);
  if (const QString* refused = std::get_if<QString>(&planned)) {
    if (refused->isEmpty()) fuzz::fail("a refused merge says why");
    return 0;
  }
  const merge::Plan& plan = std::get<merge::Plan>(planned);
  for (const merge::Choice rule :
       {merge::Choice::Mine, merge::Choice::Theirs, merge::Choice::Both}) {
    std::vector<merge::Choice> answers;
    for (const merge::Conflict& c : plan.conflicts) {
      if (c.title.isEmpty()) fuzz::fail("a question says what it is about");
      answers.push_back(rule == merge::Choice::Both && !c.allowsBoth ? merge::Choice::Mine : rule);
    }
    const auto merged = merge::apply(plan, answers);
    if (const QString* refused = std::get_if<QString>(&merged)) {
      if (refused->isEmpty()) fuzz::fail("a refused answer says why");
      continue;
    }
    // Checked again here the plain way: the files read back, and every name is in the chart.
    const store::BookTables& book = std::get<merge::Merged>(merged).tables;
    store::BookTables again;
    const auto accountCount = store::readAccounts(
        store::accountsFileBytes(book.accounts, book.accountCount), again.accounts);
    const auto entryCount =
        store::readEntries(store::entriesFileBytes(book.entries, book.entryCount), again.entries);
    if (!std::holds_alternative<int>(accountCount) || !std::holds_alternative<int>(entryCount) ||
        std::get<int>(accountCount) != book.accountCount ||
        std::get<int>(entryCount) != book.entryCount)
      fuzz::fail("a merged book reads back");
    for (int e = 1; e < again.entryCount && e < std::get<int>(entryCount); ++e) {
      int named = 0;
      for (int a = 1; a < std::get<int>(accountCount); ++a) {
        named += again.accounts[a].AccountName == again.entries[e].IncreaseAccount;
        named += again.accounts[a].AccountName == again.entries[e].DecreaseAccount;
      }
      if (named < 2) fuzz::fail("every merged entry names accounts of the chart");
    }
  }
  return 0;
}
