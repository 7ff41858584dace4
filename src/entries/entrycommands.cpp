#include "entries/entrycommands.h"

#include "book/workspace.h"
#include "history/History.h"
#include "platform/codepage.h"
#include "platform/dates.h"
#include "platform/numbers.h"

namespace entries {

namespace {

bool validPosition(const book::Workspace& store, int position) {
  return position >= 0 && position + 1 < store.tables().accountCount;
}

// A typed amount with a minus sign and a digit other than 0 is below 0, even when it rounds
// to 0 ("-0.4"); "-0" is not.
bool belowZero(const QString& typed) {
  const QString text = typed.trimmed();
  if (!text.startsWith(QLatin1Char('-'))) return false;
  for (const QChar c : text) {
    if (c >= QLatin1Char('1') && c <= QLatin1Char('9')) return true;
  }
  return false;
}

}  // namespace

std::variant<store::LedgerEntry, Message> checkEntry(const book::Workspace& store,
                                                     const EntryInput& input) {
  if (store.tables().entryCount > store::kMaxEntries) return refusal(kEntryLimitText);
  return checkEntryFields(store, input);
}

std::variant<store::LedgerEntry, Message> checkEntryFields(const book::Workspace& store,
                                                           const EntryInput& input) {
  if (input.increasePosition == input.decreasePosition) {
    return refusal(QStringLiteral("你不能這樣做"));
  }
  const auto date = dates::normalise(input.date);
  if (!date) return refusal(QStringLiteral("不是正確的日期格式"));
  if (input.increasePosition < 0) return refusal(QStringLiteral("請選擇資產增加欄位"));
  // A picker can only name an account of the chart; anything else is a stale position.
  if (!validPosition(store, input.increasePosition) ||
      !validPosition(store, input.decreasePosition)) {
    return refusal(QStringLiteral("你不能這樣做"));
  }

  const numbers::Amount amount = numbers::parseAmount(input.amount);
  if (amount.error == numbers::AmountError::Empty || belowZero(input.amount)) {
    return refusal(QStringLiteral("請輸入金額"));
  }
  if (!amount.ok()) return refusal(numbers::amountErrorText(amount.error));

  const QString memo = memoForStoring(input.memo);
  if (!codepage::canEncode(memo)) {
    return refusal(QStringLiteral("備註中的「%1」無法存入資料庫，請改用其他字")
                       .arg(codepage::firstUnencodable(memo)));
  }

  if (input.editMode && (input.editIndex < 1 || input.editIndex >= store.tables().entryCount)) {
    return refusal(QStringLiteral("這筆資料已經不存在"));
  }

  return store::makeEntry(*date, store.tables().accounts[input.increasePosition + 1].AccountName,
                          store.tables().accounts[input.decreasePosition + 1].AccountName,
                          amount.value, memo);
}

std::variant<int, Message> storeEntry(book::Workspace& store, const EntryInput& input) {
  auto checked = checkEntry(store, input);
  if (auto* refused = std::get_if<Message>(&checked)) return *refused;
  store::LedgerEntry& entry = std::get<store::LedgerEntry>(checked);
  const HistoryStep step(store.history(), store.tables(),
                         input.editMode ? stepnames::kEditEntry : stepnames::kNewEntry);

  if (input.editMode) {
    store.tables().entries[input.editIndex] = std::move(entry);
    return input.editIndex;
  }
  const int slot = store.tables().entryCount;
  store.tables().entries[slot] = std::move(entry);
  ++store.tables().entryCount;
  store.showEntryCount();
  return slot;
}

store::LedgerRow appendedRow(const book::Workspace& store, int slot, qint64 previousTotal) {
  store::LedgerRow row = store::ledgerRowOf(store.tables(), slot, false);
  row.runningTotal += previousTotal;
  row.total = QString::number(row.runningTotal);
  return row;
}

std::optional<std::pair<QString, QString>> pickerLabels(int kind) {
  switch (kind) {
    case store::kAsset:
    case store::kLiability:
      return std::pair{QStringLiteral("轉換到"), QStringLiteral("從帳戶")};
    case store::kIncome:
      return std::pair{QStringLiteral("進帳從"), QStringLiteral("到帳戶")};
    case store::kExpense:
      return std::pair{QStringLiteral("支付給"), QStringLiteral("從帳戶")};
    default:
      return std::nullopt;
  }
}

PickerOutcome increasePicked(const book::Workspace& store, int position) {
  PickerOutcome outcome;
  if (!validPosition(store, position)) return outcome;
  const int kind = store.tables().accounts[position + 1].AccountKind;
  if (kind == store::kEquity) {
    // Back to no choice: the first picker never rests on Equity, and no choice asks nothing.
    outcome.refusal = refusal(QStringLiteral("這個欄位不能是Equity"));
    outcome.moveTo = -1;
    return outcome;
  }
  outcome.labels = pickerLabels(kind);
  return outcome;
}

PickerOutcome decreasePicked(const book::Workspace& store, int position) {
  PickerOutcome outcome;
  if (!validPosition(store, position)) return outcome;
  const int kind = store.tables().accounts[position + 1].AccountKind;
  if (kind == store::kIncome || kind == store::kExpense) {
    // To the first account that may pay or receive, which the picker then accepts silently.
    outcome.refusal = refusal(QStringLiteral("這個欄位不能是收入(I)或支出(E)"));
    outcome.moveTo = firstPayingPosition(store);
  }
  return outcome;
}

int firstPayingPosition(const book::Workspace& store) {
  for (int slot = 1; slot < store.tables().accountCount; ++slot) {
    const int kind = store.tables().accounts[slot].AccountKind;
    if (kind == store::kEquity || kind == store::kAsset || kind == store::kLiability)
      return slot - 1;
  }
  return -1;
}

QString memoForEditing(const QString& stored) {
  QString text = store::trimTrailingSpaces(stored);
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return text;
}

QString memoForStoring(const QString& typed) {
  QString text = typed;
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  return text;
}

}  // namespace entries
