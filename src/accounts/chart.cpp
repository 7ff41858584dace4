#include "accounts/chart.h"

#include "book/workspace.h"
#include "history/History.h"
#include "platform/codepage.h"
#include "platform/numbers.h"
#include "store/ledger.h"
#include "store/records.h"

namespace accounts {

namespace {

const QString kSameName = QStringLiteral("已有相同名稱的帳戶");

bool validSlot(const book::Workspace& store, int slot) {
  return slot >= 1 && slot < store.tables().accountCount;
}

QString shownName(const book::Workspace& store, int slot) {
  return store::trimTrailingSpaces(store.tables().accounts[slot].AccountName);
}

// The slot of another account whose stored name equals this one; 0 when there is none.
int sameNameSlot(const book::Workspace& store, const QString& name, int except) {
  const QString stored = store::nameField(name);
  for (int slot = 1; slot < store.tables().accountCount; ++slot) {
    if (slot != except && store.tables().accounts[slot].AccountName == stored) return slot;
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
    case store::kAsset:
      return QStringLiteral("A-");
    case store::kLiability:
      return QStringLiteral("L-");
    case store::kIncome:
      return QStringLiteral("I-");
    case store::kExpense:
      return QStringLiteral("E-");
    default:
      return {};
  }
}

QStringList suggestedNames(int kind) {
  switch (kind) {
    case store::kAsset:
      return {QStringLiteral("銀行存款"), QStringLiteral("股票")};
    case store::kLiability:
      return {QStringLiteral("信用卡"), QStringLiteral("貸款")};
    case store::kIncome:
      return {QStringLiteral("薪資"), QStringLiteral("利息收入"), QStringLiteral("投資收益"),
              QStringLiteral("獎金"), QStringLiteral("其他收入")};
    case store::kExpense:
      return {QStringLiteral("餐飲費"),   QStringLiteral("交通費"),   QStringLiteral("服裝費"),
              QStringLiteral("書籍費"),   QStringLiteral("醫療費"),   QStringLiteral("水電費"),
              QStringLiteral("房租支出"), QStringLiteral("教育支出"), QStringLiteral("其他支出")};
    default:
      return {};
  }
}

bool takesInitialValue(int kind) { return kind == store::kAsset || kind == store::kLiability; }

std::optional<Message> createAccount(book::Workspace& store, const QString& typedName, int kind,
                                     const QString& initialValue) {
  if (store.tables().accountCount > store::kMaxAccounts) {
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
    if (store.tables().entryCount > store::kMaxEntries) {
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

  const HistoryStep step(store.history(), store.tables(), stepnames::kNewAccount);
  const int slot = store.tables().accountCount;
  store.tables().accounts[slot] = store::makeAccount(name, static_cast<qint16>(kind));
  if (withEntry) {
    store.tables().entries[store.tables().entryCount] =
        store::makeEntry(store.today(), store.tables().accounts[slot].AccountName,
                         store::kEquityName, amount, store::kInitialMemo);
    ++store.tables().entryCount;
    store.showEntryCount();
  }
  ++store.tables().accountCount;
  store.showAccountCount();
  return std::nullopt;
}

std::optional<Message> checkEditable(const book::Workspace& store, int slot) {
  if (!validSlot(store, slot)) return std::nullopt;
  const QString name = shownName(store, slot);
  if (name == store::kEquityName) return refusal(QStringLiteral("Equity帳戶不能編輯"));
  if (name == store::kCashName) return refusal(QStringLiteral("現金帳戶不能編輯"));
  return std::nullopt;
}

std::optional<Message> renameAccount(book::Workspace& store, int slot, const QString& answer) {
  if (!validSlot(store, slot) || answer.isEmpty()) return std::nullopt;
  if (auto refused = checkEditable(store, slot)) return refused;
  const QString name = answer.trimmed();
  if (name.isEmpty()) return refusal(QStringLiteral("帳戶名稱不能只有空白"));
  if (auto refused = unencodableName(name)) return refused;
  if (sameNameSlot(store, name, slot) != 0) return refusal(kSameName);

  const QString oldName = store.tables().accounts[slot].AccountName;
  const QString newName = store::nameField(name);
  const HistoryStep step(store.history(), store.tables(), stepnames::kRenameAccount);
  for (int i = 1; i < store.tables().entryCount; ++i) {
    store::LedgerEntry& e = store.tables().entries[i];
    if (e.IncreaseAccount == oldName) e.IncreaseAccount = newName;
    if (e.DecreaseAccount == oldName) e.DecreaseAccount = newName;
  }
  store.tables().accounts[slot].AccountName = newName;
  return std::nullopt;
}

std::optional<Message> changeKind(book::Workspace& store, int slot, const QString& answer) {
  if (!validSlot(store, slot) || answer.isEmpty()) return std::nullopt;
  if (auto refused = checkEditable(store, slot)) return refused;
  // A number, rounded as amounts are: "2.0", "02" and " 3 " are all 2 or 3.
  const numbers::Amount kind = numbers::parseAmount(answer);
  if (!kind.ok() || kind.value < store::kAsset || kind.value > store::kExpense) {
    return refusal(QStringLiteral("類別必須是1到4的數字：1資產、2負債、3收入、4支出"));
  }
  const HistoryStep step(store.history(), store.tables(), stepnames::kChangeKind);
  store.tables().accounts[slot].AccountKind = static_cast<qint16>(kind.value);
  return std::nullopt;
}

QString kindPrompt() { return QStringLiteral("修改類別\r\n1:資產\r\n2:負債\r\n3:收入\r\n4:支出"); }

std::optional<Message> deleteAccount(book::Workspace& store, int slot) {
  if (!validSlot(store, slot)) return std::nullopt;
  const QString name = shownName(store, slot);
  if (name == store::kEquityName) return refusal(QStringLiteral("Equity帳戶不能刪除"));
  if (name == store::kCashName) return refusal(QStringLiteral("現金帳戶不能刪除"));
  const QString stored = store.tables().accounts[slot].AccountName;
  for (int i = 1; i < store.tables().entryCount; ++i) {
    const store::LedgerEntry& e = store.tables().entries[i];
    if (e.IncreaseAccount == stored || e.DecreaseAccount == stored) {
      return refusal(QStringLiteral("這個帳戶正在使用中，無法刪除"));
    }
  }
  const HistoryStep step(store.history(), store.tables(), stepnames::kDeleteAccount);
  for (int i = slot; i + 1 < store.tables().accountCount; ++i) {
    store.tables().accounts[i] = store.tables().accounts[i + 1];
  }
  --store.tables().accountCount;
  store.tables().accounts[store.tables().accountCount] = store::AccountRecord{};
  store.showAccountCount();
  return std::nullopt;
}

std::optional<int> moveAccountUp(book::Workspace& store, int slot) {
  if (!validSlot(store, slot) || slot == 1) return std::nullopt;
  const HistoryStep step(store.history(), store.tables(), stepnames::kMoveAccount);
  store::swapValues(store.tables().accounts[slot], store.tables().accounts[slot - 1]);
  return slot - 1;
}

std::optional<int> moveAccountDown(book::Workspace& store, int slot) {
  if (!validSlot(store, slot) || slot + 1 >= store.tables().accountCount) return std::nullopt;
  const HistoryStep step(store.history(), store.tables(), stepnames::kMoveAccount);
  store::swapValues(store.tables().accounts[slot], store.tables().accounts[slot + 1]);
  return slot + 1;
}

}  // namespace accounts
