#include "interchange/statementimport.h"

#include "history/History.h"

#include "book/workspace.h"
#include "interchange/statementvalues.h"
#include "platform/dates.h"
#include "platform/safefile.h"
#include "store/ledger.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QSet>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace interchange {

namespace {

QString cell(const csvtext::Row& row, int column) {
  return column >= 0 && column < row.size() ? row.at(column).trimmed() : QString();
}

bool anyDate(const csvtext::Row& row) {
  return std::any_of(row.begin(), row.end(),
                     [](const QString& c) { return statementvalues::isDate(c); });
}

// The first column whose header holds one of the words (other than `skip`).
int headerColumn(const csvtext::Row& header, std::initializer_list<const char*> words,
                 int skip = -1) {
  for (const char* word : words) {
    for (int i = 0; i < header.size(); ++i) {
      if (i != skip && header.at(i).contains(QString::fromUtf8(word), Qt::CaseInsensitive))
        return i;
    }
  }
  return -1;
}

// The date orders as the layouts file names them.
constexpr std::pair<statementvalues::DateOrder, const char*> kOrderKeys[] = {
    {statementvalues::DateOrder::YearFirst, "ymd"},
    {statementvalues::DateOrder::DayFirst, "dmy"},
    {statementvalues::DateOrder::MonthFirst, "mdy"}};

QString orderKey(statementvalues::DateOrder order) {
  for (const auto& [value, key] : kOrderKeys) {
    if (value == order) return QLatin1String(key);
  }
  return {};
}

QJsonObject layoutObject(const csvtext::Row& header, const ImportLayout& layout) {
  QJsonArray memo;
  for (const int c : layout.memo) memo.append(c);
  return {{"header", QJsonArray::fromStringList(header)},
          {"hasHeader", layout.hasHeader},
          {"date", layout.date},
          {"amount", layout.amount},
          {"out", layout.out},
          {"in", layout.in},
          {"memo", memo},
          {"balance", layout.balance},
          {"dateOrder", orderKey(layout.dateOrder)},
          {"statementAccount", layout.statementAccount},
          {"outAccount", layout.outAccount},
          {"inAccount", layout.inAccount}};
}

QJsonArray storedLayouts(const QString& path) {
  const auto bytes = safefile::read(path);
  if (!bytes) return {};
  return QJsonDocument::fromJson(*bytes).object().value(QStringLiteral("layouts")).toArray();
}

QString layoutsPath(const QString& userFolder) {
  return userFolder + QLatin1Char('/') + kLayoutsFile;
}

// The entry of a row: its two accounts in the order in which the sign rule moves the statement's
// account the right way (up for money in to an asset, down for a payment of a card) and the
// other account at all. The amount is kept positive.
std::optional<store::LedgerEntry> entryFor(const book::Workspace& store, const PreviewRow& row,
                                           const QString& statement) {
  const int statementKind = store::kindOfName(store.tables(), store::nameField(statement));
  const int otherKind = store::kindOfName(store.tables(), store::nameField(row.other));
  const bool in = row.amount > 0;
  const store::Sign wanted =
      (statementKind == store::kAsset) == in ? store::Sign::Plus : store::Sign::Minus;
  const qint32 amount = std::abs(row.amount);
  // The other account first, as the entry dialog writes an expense or an income.
  if (store::signRule(statementKind, otherKind, false) == wanted &&
      store::signRule(otherKind, statementKind, true) != store::Sign::None) {
    return store::makeEntry(row.date, row.other, statement, amount, row.memo);
  }
  if (store::signRule(statementKind, otherKind, true) == wanted &&
      store::signRule(otherKind, statementKind, false) != store::Sign::None) {
    return store::makeEntry(row.date, statement, row.other, amount, row.memo);
  }
  return std::nullopt;
}

}  // namespace

bool looksLikeHeader(const std::vector<csvtext::Row>& rows) {
  if (rows.empty() || anyDate(rows.front())) return false;
  return rows.size() == 1 || std::any_of(rows.begin() + 1, rows.end(), anyDate);
}

ImportLayout guessLayout(const std::vector<csvtext::Row>& rows) {
  ImportLayout layout;
  if (rows.empty()) return layout;
  layout.hasHeader = looksLikeHeader(rows);
  if (layout.hasHeader) {
    const csvtext::Row& h = rows.front();
    layout.date = headerColumn(h, {"交易日", "日期", "date"});
    // "存款餘額" is the balance, not money in.
    layout.balance = headerColumn(h, {"餘額", "結餘", "balance"});
    layout.out =
        headerColumn(h, {"支出", "提款", "支付", "扣款", "debit", "withdrawal"}, layout.balance);
    layout.in = headerColumn(h, {"存入", "收入", "存款", "credit", "deposit"}, layout.balance);
    layout.amount = headerColumn(h, {"金額", "amount"}, layout.balance);
    if (layout.out >= 0 && layout.in >= 0) layout.amount = -1;
    if (layout.amount >= 0) layout.out = layout.in = -1;
    // Every column of words, in the file's order: 摘要 and 備註 together say what happened.
    for (int i = 0; i < h.size(); ++i) {
      for (const char* word :
           {"摘要", "備註", "說明", "明細", "內容", "memo", "description", "note"}) {
        if (h.at(i).contains(QString::fromUtf8(word), Qt::CaseInsensitive)) {
          layout.memo.append(i);
          break;
        }
      }
    }
  }
  // Without words: the first column of dates, the first column of amounts after it.
  const csvtext::Row& sample = rows.at(layout.hasHeader && rows.size() > 1 ? 1 : 0);
  for (int i = 0; i < sample.size() && layout.date < 0; ++i) {
    if (statementvalues::isDate(sample.at(i))) layout.date = i;
  }
  QStringList dates;
  for (size_t i = layout.hasHeader ? 1 : 0; i < rows.size(); ++i)
    dates << cell(rows[i], layout.date);
  layout.dateOrder = statementvalues::detectDateOrder(dates);
  if (layout.amount < 0 && (layout.out < 0 || layout.in < 0)) {
    layout.out = layout.in = -1;
    for (int i = 0; i < sample.size() && layout.amount < 0; ++i) {
      if (i != layout.date && i != layout.balance && statementvalues::parseAmount(sample.at(i)))
        layout.amount = i;
    }
  }
  if (layout.memo.isEmpty()) {
    for (int i = 0; i < sample.size(); ++i) {
      if (i == layout.date || i == layout.amount || i == layout.out || i == layout.in) continue;
      if (!statementvalues::parseAmount(sample.at(i))) layout.memo.append(i);
    }
  }
  return layout;
}

std::optional<ImportLayout> rememberedLayout(const QString& userFolder,
                                             const csvtext::Row& header) {
  const QJsonArray header_ = QJsonArray::fromStringList(header);
  for (const QJsonValue& value : storedLayouts(layoutsPath(userFolder))) {
    const QJsonObject o = value.toObject();
    if (o.value(QStringLiteral("header")).toArray() != header_) continue;
    // The file is the person's own: a column outside the header is no layout.
    const int columns = static_cast<int>(header.size());
    auto column = [&](const char* key) {
      const int c = o.value(QLatin1String(key)).toInt(-1);
      return c >= 0 && c < columns ? c : -1;
    };
    ImportLayout layout;
    layout.hasHeader = o.value(QStringLiteral("hasHeader")).toBool();
    layout.date = column("date");
    layout.amount = column("amount");
    layout.out = column("out");
    layout.in = column("in");
    layout.balance = column("balance");
    const QString order = o.value(QStringLiteral("dateOrder")).toString();
    for (const auto& [value, key] : kOrderKeys) {
      if (order == QLatin1String(key)) layout.dateOrder = value;
    }
    for (const QJsonValue& m : o.value(QStringLiteral("memo")).toArray()) {
      if (m.toInt(-1) >= 0 && m.toInt() < columns) layout.memo.append(m.toInt());
    }
    if (layout.date < 0 || (layout.amount < 0 && (layout.out < 0 || layout.in < 0))) {
      return std::nullopt;
    }
    layout.statementAccount = o.value(QStringLiteral("statementAccount")).toString();
    layout.outAccount = o.value(QStringLiteral("outAccount")).toString();
    layout.inAccount = o.value(QStringLiteral("inAccount")).toString();
    return layout;
  }
  return std::nullopt;
}

std::optional<QString> rememberLayout(const QString& userFolder, const csvtext::Row& header,
                                      const ImportLayout& layout) {
  const QString path = layoutsPath(userFolder);
  QJsonArray kept;
  const QJsonArray header_ = QJsonArray::fromStringList(header);
  for (const QJsonValue& value : storedLayouts(path)) {
    if (value.toObject().value(QStringLiteral("header")).toArray() != header_) kept.append(value);
  }
  kept.append(layoutObject(header, layout));
  return safefile::write(path, QJsonDocument(QJsonObject{{"layouts", kept}}).toJson());
}

std::vector<PreviewRow> buildPreview(const book::Workspace& store,
                                     const std::vector<csvtext::Row>& rows,
                                     const ImportLayout& layout, const ImportAccounts& accounts,
                                     const RuleLookup& ruleFor) {
  std::vector<PreviewRow> preview;
  preview.reserve(rows.size());
  const QString statement = store::nameField(accounts.statement);
  // The statement account's entries by date, amount and memo, to find what is already there.
  QSet<QString> existing;
  auto key = [](const QString& date, qint32 amount, const QString& memo) {
    return date + QLatin1Char('|') + QString::number(amount) + QLatin1Char('|') + memo;
  };
  for (int slot = 1; slot < store.tables().entryCount; ++slot) {
    const store::LedgerEntry& e = store.tables().entries[slot];
    if (!store::sameField(e.IncreaseAccount, statement) &&
        !store::sameField(e.DecreaseAccount, statement)) {
      continue;
    }
    existing.insert(key(e.EntryDate, e.Amount, store::trimTrailingSpaces(e.Memo)));
  }
  QSet<QString> seenInFile;
  const int needed = std::max({layout.date, layout.amount, layout.out, layout.in});
  for (size_t i = layout.hasHeader ? 1 : 0; i < rows.size(); ++i) {
    const csvtext::Row& row = rows[i];
    PreviewRow p;
    p.line = static_cast<int>(i) + 1;
    QStringList memo;
    for (const int c : layout.memo) {
      if (!cell(row, c).isEmpty()) memo << cell(row, c).simplified();
    }
    const QString full = memo.join(QLatin1Char(' '));
    p.memo = store::trimTrailingSpaces(store::memoField(full));
    p.memoCut = p.memo != full.trimmed();
    const auto date = statementvalues::parseDate(cell(row, layout.date), layout.dateOrder);
    std::optional<qint32> amount;
    if (layout.twoColumns()) {
      const QString out = cell(row, layout.out);
      const QString in = cell(row, layout.in);
      if (!out.isEmpty() && in.isEmpty()) {
        if (const auto v = statementvalues::parseAmount(out)) {
          amount = *v == INT32_MIN ? *v : -*v;
        }
      } else if (out.isEmpty() && !in.isEmpty()) {
        amount = statementvalues::parseAmount(in);
      }
    } else {
      amount = statementvalues::parseAmount(cell(row, layout.amount));
    }
    if (row.size() <= needed) {
      p.problem = QStringLiteral("欄位不足");
    } else if (!date) {
      p.problem =
          QStringLiteral("「%1」不是%2的日期")
              .arg(cell(row, layout.date), statementvalues::dateOrderName(layout.dateOrder));
    } else if (!amount) {
      p.problem = layout.twoColumns()
                      ? QStringLiteral("支出與存入要有一欄、只有一欄是金額")
                      : QStringLiteral("「%1」不是金額").arg(cell(row, layout.amount));
    } else if (*amount == 0) {
      p.problem = QStringLiteral("金額是 0");
    } else if (*amount == INT32_MIN) {
      p.problem = QStringLiteral("金額太大");
    }
    if (p.problem.isEmpty()) {
      p.date = dates::format(*date);
      p.amount = *amount;
      p.other = p.amount < 0 ? accounts.out : accounts.in;
      if (const auto ruled = ruleFor ? ruleFor(p.memo) : std::nullopt;
          ruled && store::kindOfName(store.tables(), store::nameField(*ruled)) >= 0 &&
          !store::sameField(store::nameField(*ruled), statement)) {
        p.other = store::nameField(*ruled);
        p.source = AccountSource::Rule;
      }
      p.duplicate = existing.contains(key(p.date, std::abs(p.amount), p.memo));
      const QString signedKey = key(p.date, p.amount, p.memo);
      p.repeatedInFile = seenInFile.contains(signedKey);
      seenInFile.insert(signedKey);
      p.ticked = !p.duplicate;
    }
    preview.push_back(std::move(p));
  }
  return preview;
}

void keepChoices(std::vector<PreviewRow>& rows, const std::map<int, RowChoice>& choices) {
  for (PreviewRow& row : rows) {
    const auto choice = choices.find(row.line);
    if (choice == choices.end() || !row.problem.isEmpty()) continue;
    if (choice->second.ticked) row.ticked = *choice->second.ticked;
    if (!choice->second.account.isEmpty()) {
      row.other = choice->second.account;
      row.source = AccountSource::Manual;
    }
  }
}

std::optional<Message> checkAccounts(const book::Workspace& store, const ImportAccounts& accounts) {
  const int kind = store::kindOfName(store.tables(), store::nameField(accounts.statement));
  if (kind != store::kAsset && kind != store::kLiability) {
    return refusal(QStringLiteral("對帳單要屬於一個資產或負債帳戶"));
  }
  for (const QString* name : {&accounts.out, &accounts.in}) {
    if (store::kindOfName(store.tables(), store::nameField(*name)) < 0) {
      return refusal(QStringLiteral("沒有「%1」這個帳戶").arg(store::trimTrailingSpaces(*name)));
    }
  }
  return std::nullopt;
}

std::variant<ImportDone, Message> importRows(book::Workspace& store,
                                             const std::vector<PreviewRow>& rows,
                                             const ImportAccounts& accounts) {
  if (auto refused = checkAccounts(store, accounts)) return *refused;
  std::vector<store::LedgerEntry> entries;
  for (const PreviewRow& row : rows) {
    if (!row.ticked) continue;
    if (!row.problem.isEmpty()) {
      return refusal(QStringLiteral("第 %1 行無法匯入：%2").arg(row.line).arg(row.problem));
    }
    if (store::kindOfName(store.tables(), store::nameField(row.other)) < 0) {
      return refusal(QStringLiteral("第 %1 行的帳戶「%2」不存在").arg(row.line).arg(row.other));
    }
    if (store::nameField(row.other) == store::nameField(accounts.statement)) {
      return refusal(QStringLiteral("第 %1 行的兩個帳戶相同").arg(row.line));
    }
    const auto entry = entryFor(store, row, accounts.statement);
    if (!entry) {
      return refusal(QStringLiteral("第 %1 行：「%2」與「%3」無法記成這筆%4")
                         .arg(row.line)
                         .arg(store::trimTrailingSpaces(row.other),
                              store::trimTrailingSpaces(accounts.statement),
                              row.amount < 0 ? QStringLiteral("支出") : QStringLiteral("存入")));
    }
    entries.push_back(*entry);
  }
  if (entries.empty()) return refusal(QStringLiteral("沒有勾選任何一筆資料"));
  const int room = store::kMaxEntries - store.tables().entriesInUse();
  if (static_cast<int>(entries.size()) > room) {
    return refusal(QStringLiteral("資料最多 %1 筆，只能再放 %2 筆；勾選的 %3 筆無法匯入")
                       .arg(store::kMaxEntries)
                       .arg(room)
                       .arg(entries.size()));
  }
  // The whole import is one step of the history: one 復原 takes every row back.
  const HistoryStep step(store.history(), store.tables(), stepnames::kImport);
  ImportDone done_;
  done_.firstSlot = store.tables().entryCount;
  done_.count = static_cast<int>(entries.size());
  for (store::LedgerEntry& e : entries)
    store.tables().entries[store.tables().entryCount++] = std::move(e);
  store.showEntryCount();
  done_.message = completion(QStringLiteral("已匯入 %1 筆資料").arg(done_.count));
  return done_;
}

StatementOffer statementOffer(const book::Workspace& store, const std::vector<csvtext::Row>& rows,
                              const ImportLayout& layout, const std::vector<PreviewRow>& preview,
                              const ImportAccounts& accounts, const ImportDone& done) {
  StatementOffer offer;
  offer.account = store::nameField(accounts.statement);
  for (int slot = done.firstSlot; slot < done.firstSlot + done.count; ++slot)
    offer.matchedSlots.push_back(slot);
  // A duplicate left out stands for the first entry with its date, amount and memo not yet
  // taken by another row.
  QSet<int> taken;
  for (const PreviewRow& p : preview) {
    if (!p.problem.isEmpty()) continue;
    if (offer.date.isNull() || p.date > dates::format(offer.date))
      offer.date = dates::parse(p.date).value_or(offer.date);
    if (!p.duplicate || p.ticked) continue;
    for (int slot = 1; slot < store.tables().entryCount; ++slot) {
      const store::LedgerEntry& e = store.tables().entries[slot];
      if (taken.contains(slot) || e.EntryDate != p.date || e.Amount != std::abs(p.amount) ||
          store::trimTrailingSpaces(e.Memo) != p.memo ||
          (!store::sameField(e.IncreaseAccount, offer.account) &&
           !store::sameField(e.DecreaseAccount, offer.account)))
        continue;
      taken.insert(slot);
      offer.matchedSlots.push_back(slot);
      break;
    }
  }
  std::sort(offer.matchedSlots.begin(), offer.matchedSlots.end());
  if (layout.balance < 0) return offer;
  // The balance of the latest row; among rows of one day, the last in the file's own order
  // (newest first when its first date is later than its last).
  std::vector<std::pair<QDate, qint64>> balances;
  for (size_t i = layout.hasHeader ? 1 : 0; i < rows.size(); ++i) {
    const auto date = statementvalues::parseDate(cell(rows[i], layout.date), layout.dateOrder);
    const auto balance = statementvalues::parseAmount(cell(rows[i], layout.balance));
    if (date && balance) balances.emplace_back(*date, *balance);
  }
  if (balances.empty()) return offer;
  const bool newestFirst = balances.front().first > balances.back().first;
  if (newestFirst) std::reverse(balances.begin(), balances.end());
  auto latest = balances.begin();
  for (auto b = balances.begin(); b != balances.end(); ++b)
    if (b->first >= latest->first) latest = b;
  offer.ending = latest->second;
  return offer;
}

}  // namespace interchange
