#include "accounts/chart.h"

#include "history/History.h"
#include "platform/codepage.h"
#include "platform/numbers.h"
#include "store/Module1.h"
#include "store/ledger.h"
#include "store/records.h"

namespace {

const QString kSameName = QStringLiteral("已有相同名稱的帳戶");

bool validSlot(const Module1& store, int slot) { return slot >= 1 && slot < store.AccountCount; }

QString shownName(const Module1& store, int slot) {
  return TrimTrailingSpaces(store.AccountTable[slot].AccountName);
}

// The slot of another account whose stored name equals this one; 0 when there is none.
int sameNameSlot(const Module1& store, const QString& name, int except) {
  const QString stored = nameField(name);
  for (int slot = 1; slot < store.AccountCount; ++slot) {
    if (slot != except && store.AccountTable[slot].AccountName == stored) return slot;
  }
  return 0;
}

std::optional<Message> unencodableName(const QString& name) {
  if (codepage::canEncode(name)) return std::nullopt;
  return refusal(QStringLiteral("帳戶名稱中的「%1」無法存入資料庫，請改用其他字")
                     .arg(codepage::firstUnencodable(name)));
}

}  // namespace

QString kindPrefix(int kind) {
  switch (kind) {
    case kAsset:
      return QStringLiteral("A-");
    case kLiability:
      return QStringLiteral("L-");
    case kIncome:
      return QStringLiteral("I-");
    case kExpense:
      return QStringLiteral("E-");
    default:
      return {};
  }
}

QStringList suggestedNames(int kind) {
  switch (kind) {
    case kAsset:
      return {QStringLiteral("銀行存款"), QStringLiteral("股票")};
    case kLiability:
      return {QStringLiteral("信用卡"), QStringLiteral("貸款")};
    case kIncome:
      return {QStringLiteral("薪資"), QStringLiteral("利息收入"), QStringLiteral("投資收益"),
              QStringLiteral("獎金"), QStringLiteral("其他收入")};
    case kExpense:
      return {QStringLiteral("餐飲費"),   QStringLiteral("交通費"),   QStringLiteral("服裝費"),
              QStringLiteral("書籍費"),   QStringLiteral("醫療費"),   QStringLiteral("水電費"),
              QStringLiteral("房租支出"), QStringLiteral("教育支出"), QStringLiteral("其他支出")};
    default:
      return {};
  }
}

bool takesInitialValue(int kind) { return kind == kAsset || kind == kLiability; }

std::optional<Message> createAccount(Module1& store, const QString& typedName, int kind,
                                     const QString& initialValue) {
  if (store.AccountCount > kMaxAccounts) {
    return refusal(QStringLiteral("帳戶數量已經到達100項上限，無法新增"));
  }
  const QString typed = typedName.trimmed();
  if (typed.isEmpty()) return refusal(QStringLiteral("帳戶名稱尚未輸入"));
  const QString prefix = kindPrefix(kind);
  if (prefix.isEmpty()) return refusal(QStringLiteral("請選擇帳戶的類別"));
  const QString name = prefix + typed;
  if (auto refused = unencodableName(name)) return refused;
  // The typed name is compared as typed ("Equity") and as it would be stored, prefix added:
  // two accounts of one name could not be told apart by the entries that name them.
  if (sameNameSlot(store, typed, 0) != 0 || sameNameSlot(store, name, 0) != 0) {
    return refusal(kSameName);
  }

  qint32 amount = 0;
  const bool withEntry = takesInitialValue(kind);
  if (withEntry) {
    if (store.EntryCount > kMaxEntries) {
      return refusal(QStringLiteral("資料筆數已經到達3000筆上限，無法記錄初值，請另開新資料庫"));
    }
    // Read as far as it is a number ("5000元" is 5000, a blank box 0), but never silently as
    // another number than the one meant.
    const numbers::Amount value = numbers::parseLeadingAmount(initialValue);
    if (value.error == numbers::AmountError::DigitGroups) {
      return refusal(QStringLiteral("初值「%1」會被讀成 %2，請不要加千分位符號，直接輸入數字")
                         .arg(initialValue.trimmed())
                         .arg(value.value));
    }
    if (!value.ok())
      return refusal(QStringLiteral("初值：") + numbers::amountErrorText(value.error));
    amount = value.value;
  }

  const HistoryStep step(store, stepname::kNewAccount);
  const int slot = store.AccountCount;
  store.AccountTable[slot] = makeAccount(name, static_cast<qint16>(kind));
  if (withEntry) {
    store.EntryTable[store.EntryCount] = makeEntry(
        store.today(), store.AccountTable[slot].AccountName, kEquityName, amount, kInitialMemo);
    ++store.EntryCount;
    store.showEntryCount();
  }
  ++store.AccountCount;
  store.showAccountCount();
  return std::nullopt;
}

std::optional<Message> checkEditable(const Module1& store, int slot) {
  if (!validSlot(store, slot)) return std::nullopt;
  const QString name = shownName(store, slot);
  if (name == kEquityName) return refusal(QStringLiteral("Equity帳戶不能編輯"));
  if (name == kCashName) return refusal(QStringLiteral("現金帳戶不能編輯"));
  return std::nullopt;
}

std::optional<Message> renameAccount(Module1& store, int slot, const QString& answer) {
  if (!validSlot(store, slot) || answer.isEmpty()) return std::nullopt;
  if (auto refused = checkEditable(store, slot)) return refused;
  const QString name = answer.trimmed();
  if (name.isEmpty()) return refusal(QStringLiteral("帳戶名稱不能只有空白"));
  if (auto refused = unencodableName(name)) return refused;
  if (sameNameSlot(store, name, slot) != 0) return refusal(kSameName);

  const QString oldName = store.AccountTable[slot].AccountName;
  const QString newName = nameField(name);
  const HistoryStep step(store, stepname::kRenameAccount);
  for (int i = 1; i < store.EntryCount; ++i) {
    LedgerEntry& e = store.EntryTable[i];
    if (e.IncreaseAccount == oldName) e.IncreaseAccount = newName;
    if (e.DecreaseAccount == oldName) e.DecreaseAccount = newName;
  }
  store.AccountTable[slot].AccountName = newName;
  return std::nullopt;
}

std::optional<Message> changeKind(Module1& store, int slot, const QString& answer) {
  if (!validSlot(store, slot) || answer.isEmpty()) return std::nullopt;
  if (auto refused = checkEditable(store, slot)) return refused;
  // A number, rounded as amounts are: "2.0", "02" and " 3 " are all 2 or 3.
  const numbers::Amount kind = numbers::parseAmount(answer);
  if (!kind.ok() || kind.value < kAsset || kind.value > kExpense) {
    return refusal(QStringLiteral("類別必須是1到4的數字：1資產、2負債、3收入、4支出"));
  }
  const HistoryStep step(store, stepname::kChangeKind);
  store.AccountTable[slot].AccountKind = static_cast<qint16>(kind.value);
  return std::nullopt;
}

QString kindPrompt() { return QStringLiteral("修改類別\r\n1:資產\r\n2:負債\r\n3:收入\r\n4:支出"); }

std::optional<Message> deleteAccount(Module1& store, int slot) {
  if (!validSlot(store, slot)) return std::nullopt;
  const QString name = shownName(store, slot);
  if (name == kEquityName) return refusal(QStringLiteral("Equity帳戶不能刪除"));
  if (name == kCashName) return refusal(QStringLiteral("現金帳戶不能刪除"));
  const QString stored = store.AccountTable[slot].AccountName;
  for (int i = 1; i < store.EntryCount; ++i) {
    const LedgerEntry& e = store.EntryTable[i];
    if (e.IncreaseAccount == stored || e.DecreaseAccount == stored) {
      return refusal(QStringLiteral("這個帳戶正在使用中，無法刪除"));
    }
  }
  const HistoryStep step(store, stepname::kDeleteAccount);
  for (int i = slot; i + 1 < store.AccountCount; ++i) {
    store.AccountTable[i] = store.AccountTable[i + 1];
  }
  --store.AccountCount;
  store.AccountTable[store.AccountCount] = AccountRecord{};
  store.showAccountCount();
  return std::nullopt;
}

std::optional<int> moveAccountUp(Module1& store, int slot) {
  if (!validSlot(store, slot) || slot == 1) return std::nullopt;
  const HistoryStep step(store, stepname::kMoveAccount);
  SwapValues(store.AccountTable[slot], store.AccountTable[slot - 1]);
  return slot - 1;
}

std::optional<int> moveAccountDown(Module1& store, int slot) {
  if (!validSlot(store, slot) || slot + 1 >= store.AccountCount) return std::nullopt;
  const HistoryStep step(store, stepname::kMoveAccount);
  SwapValues(store.AccountTable[slot], store.AccountTable[slot + 1]);
  return slot + 1;
}
