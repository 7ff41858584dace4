#include "interchange/exports.h"

#include "book/workspace.h"
#include "platform/safefile.h"
#include "store/ledger.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <unordered_map>
#include <vector>

namespace interchange {

namespace {

const QLatin1String kCrLf("\r\n");

QString kindName(int kind) {
  switch (kind) {
    case store::kEquity:
      return QStringLiteral("權益");
    case store::kAsset:
      return QStringLiteral("資產");
    case store::kLiability:
      return QStringLiteral("負債");
    case store::kIncome:
      return QStringLiteral("收入");
    case store::kExpense:
      return QStringLiteral("支出");
    default:
      return kind == -1 ? QStringLiteral("不存在") : QStringLiteral("不明");
  }
}

void appendCsvField(QString& line, const QString& field, bool text = true) {
  QString value = field;
  // A spreadsheet runs a cell that starts like this as a formula.
  if (text && !value.isEmpty() && QStringLiteral("=+-@").contains(value.front())) {
    value.prepend(QLatin1Char('\''));
  }
  const bool quote = value.contains(QLatin1Char(',')) || value.contains(QLatin1Char('"')) ||
                     value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'));
  if (!quote) {
    line += value;
    return;
  }
  line += QLatin1Char('"');
  for (const QChar c : value) {
    if (c == QLatin1Char('"')) line += QLatin1Char('"');
    line += c;
  }
  line += QLatin1Char('"');
}

// Every run of blanks, tabs, line breaks and other spacing or control characters becomes one
// blank: two blanks in a row end an account name in a journal, a line break ends the entry.
QString oneLine(const QString& text) {
  QString out;
  out.reserve(text.size());
  bool blank = false;
  for (const QChar c : text) {
    if (c.isSpace() || c.category() == QChar::Other_Control) {
      blank = true;
      continue;
    }
    if (blank && !out.isEmpty()) out += QLatin1Char(' ');
    blank = false;
    out += c;
  }
  return out;
}

// Full-width forms keep the look of the name: a colon would open a sub-account, a semicolon a
// comment.
QString escapedName(const QString& name) {
  QString text = oneLine(name);
  text.replace(QLatin1Char(':'), QChar(0xFF1A)).replace(QLatin1Char(';'), QChar(0xFF1B));
  return text.isEmpty() ? QStringLiteral("（無名）") : text;
}

constexpr const char* kTops[] = {"Equity", "Assets", "Liabilities", "Income", "Expenses"};

struct FieldHash {
  size_t operator()(const QString& s) const { return qHash(s); }
};

// Where an entry's name leads: the chart's slots of that name, first slot first (its kind is
// the one the sign rule looks up), as the balances count them.
using SlotsByName = std::unordered_map<QString, std::vector<int>, FieldHash>;

SlotsByName slotsByNameOf(const book::Workspace& store) {
  SlotsByName named;
  for (int slot = 1; slot < store.tables().accountCount; ++slot) {
    named[store.tables().accounts[slot].AccountName].push_back(slot);
  }
  return named;
}

qint64 effect(store::Sign sign, qint32 amount) {
  if (sign == store::Sign::Plus) return amount;
  if (sign == store::Sign::Minus) return -static_cast<qint64>(amount);
  return 0;
}

// Liabilities, income and equity grow by credits: those programs show them with the opposite
// sign of the program's own balance.
qint64 shownAs(int kind, qint64 value) {
  return kind == store::kAsset || kind == store::kExpense ? value : -value;
}

bool isDate(const QString& text) {
  return text.size() == store::kDateWidth &&
         QDate::fromString(text, QStringLiteral("yyyy/MM/dd")).isValid();
}

class Journal {
 public:
  explicit Journal(const book::Workspace& store) : store_(store), named_(slotsByNameOf(store)) {
    // One journal account per slot: a chart that holds a name twice, or two names that read
    // alike once escaped, still gives every slot its own balance.
    QHash<QString, int> taken;
    names_.resize(static_cast<size_t>(std::max(store.tables().accountCount, 1)));
    for (int slot = 1; slot < store.tables().accountCount; ++slot) {
      const store::AccountRecord& a = store.tables().accounts[slot];
      QString name = journalAccountName(a.AccountName, a.AccountKind);
      if (taken.contains(name)) name += QStringLiteral(" ~%1").arg(slot);
      taken.insert(name, slot);
      names_[static_cast<size_t>(slot)] = name;
    }
  }

  QString text() {
    QString out;
    out.reserve(store_.tables().entryCount * 160 + store_.tables().accountCount * 40);
    out += QStringLiteral("; Varnix %1 / %2\n\n")
               .arg(oneLine(store_.user().userName()), oneLine(store_.user().databaseName()));
    for (int slot = 1; slot < store_.tables().accountCount; ++slot) {
      out += QLatin1String("account ") + names_[static_cast<size_t>(slot)] + QLatin1Char('\n');
    }
    out += QLatin1Char('\n');
    for (int slot = 1; slot < store_.tables().entryCount; ++slot) appendEntry(out, slot);
    return out;
  }

 private:
  const std::vector<int>& slotsOf(const QString& name) const {
    static const std::vector<int> kNone;
    const auto it = named_.find(name);
    return it == named_.end() ? kNone : it->second;
  }

  int kindOf(const std::vector<int>& named) const {
    return named.empty() ? -1 : store_.tables().accounts[named.front()].AccountKind;
  }

  void appendPosting(QString& out, const QString& account, qint64 amount) const {
    out += QLatin1String("    ") + account + QLatin1String("  ") + QString::number(amount) +
           QLatin1Char('\n');
  }

  // The postings of one side: one per slot of the name, or one to the missing account.
  qint64 appendSide(QString& out, const store::LedgerEntry& e, const QString& name, int otherKind,
                    bool firstSide) const {
    const std::vector<int>& named = slotsOf(name);
    if (named.empty()) {
      appendPosting(out, QStringLiteral("Equity:Varnix:不存在的帳戶:") + escapedName(name), 0);
      return 0;
    }
    qint64 sum = 0;
    for (const int slot : named) {
      const int kind = store_.tables().accounts[slot].AccountKind;
      const qint64 shown =
          shownAs(kind, effect(store::signRule(kind, otherKind, firstSide), e.Amount));
      appendPosting(out, names_[static_cast<size_t>(slot)], shown);
      sum += shown;
    }
    return sum;
  }

  void appendEntry(QString& out, int slot) const {
    const store::LedgerEntry& e = store_.tables().entries[slot];
    const QString memo = oneLine(e.Memo).replace(QLatin1Char(';'), QChar(0xFF1B));
    if (!isDate(e.EntryDate)) {
      out += QStringLiteral("; 編號 %1 的日期「%2」不是日期，沒有列入：%3 %4 %5 %6\n\n")
                 .arg(slot)
                 .arg(oneLine(e.EntryDate), oneLine(e.IncreaseAccount), oneLine(e.DecreaseAccount))
                 .arg(e.Amount)
                 .arg(memo);
      return;
    }
    // The entry's number is the code in parentheses: a memo that starts with "(", "*" or "!"
    // then stays the description.
    out += e.EntryDate + QStringLiteral(" (%1)").arg(slot);
    if (!memo.isEmpty()) out += QLatin1Char(' ') + memo;
    out += QLatin1Char('\n');
    const int increaseKind = kindOf(slotsOf(e.IncreaseAccount));
    const int decreaseKind = kindOf(slotsOf(e.DecreaseAccount));
    qint64 sum = appendSide(out, e, e.IncreaseAccount, decreaseKind, true);
    sum += appendSide(out, e, e.DecreaseAccount, increaseKind, false);
    if (sum != 0) appendPosting(out, kImbalanceAccount, -sum);
    out += QLatin1Char('\n');
  }

  const book::Workspace& store_;
  SlotsByName named_;
  std::vector<QString> names_;
};

}  // namespace

QString journalAccountName(const QString& name, int kind) {
  const QString text = escapedName(name);
  if (kind < 0 || kind > 4) return QStringLiteral("Equity:Varnix:種類不明:") + text;
  return QLatin1String(kTops[kind]) + QLatin1Char(':') + text;
}

QByteArray spreadsheetCsvBytes(const book::Workspace& store) {
  const SlotsByName named = slotsByNameOf(store);
  auto kindOf = [&](const QString& name) {
    const auto it = named.find(name);
    return it == named.end()
               ? -1
               : static_cast<int>(store.tables().accounts[it->second.front()].AccountKind);
  };
  QString text;
  text.reserve(store.tables().entryCount * 120);
  text += QStringLiteral("日期,第一帳戶,第一帳戶種類,第二帳戶,第二帳戶種類,金額,備註,編號");
  text += kCrLf;
  for (int slot = 1; slot < store.tables().entryCount; ++slot) {
    const store::LedgerEntry& e = store.tables().entries[slot];
    appendCsvField(text, e.EntryDate);
    text += QLatin1Char(',');
    appendCsvField(text, store::trimTrailingSpaces(e.IncreaseAccount));
    text += QLatin1Char(',');
    appendCsvField(text, kindName(kindOf(e.IncreaseAccount)));
    text += QLatin1Char(',');
    appendCsvField(text, store::trimTrailingSpaces(e.DecreaseAccount));
    text += QLatin1Char(',');
    appendCsvField(text, kindName(kindOf(e.DecreaseAccount)));
    text += QLatin1Char(',');
    text += QString::number(e.Amount);
    text += QLatin1Char(',');
    appendCsvField(text, store::trimTrailingSpaces(e.Memo));
    text += QLatin1Char(',');
    text += QString::number(slot);
    text += kCrLf;
  }
  return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

QByteArray ledgerJournalBytes(const book::Workspace& store) {
  return Journal(store).text().toUtf8();
}

QString otherExportPath(const book::Workspace& store, OtherExport kind) {
  return kind == OtherExport::SpreadsheetCsv
             ? store.user().csvFolder() + store.user().databaseName() + QStringLiteral("-UTF8.csv")
             : store.user().txtFolder() + store.user().databaseName() + QStringLiteral(".journal");
}

Message exportForOthers(const book::Workspace& store, OtherExport kind, const QString& chosenPath) {
  const QString path = chosenPath.isEmpty() ? otherExportPath(store, kind) : chosenPath;
  const QString fileName = QFileInfo(path).fileName();
  const QString folder = QFileInfo(path).absolutePath();
  if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
    return refusal(QStringLiteral("沒有存成%1：\n無法建立資料夾「%2」。")
                       .arg(fileName, QDir::toNativeSeparators(folder)));
  }
  const QByteArray bytes =
      kind == OtherExport::SpreadsheetCsv ? spreadsheetCsvBytes(store) : ledgerJournalBytes(store);
  if (auto reason = safefile::write(path, bytes)) {
    return refusal(QStringLiteral("沒有存成%1：\n%2").arg(fileName, *reason));
  }
  return completion(QStringLiteral("已存成") + fileName);
}

FileRequest otherExportRequest(const book::Workspace& store, OtherExport kind) {
  const bool csv = kind == OtherExport::SpreadsheetCsv;
  return {
      FileRequest::Purpose::Save, QStringLiteral("匯出"),
      QFileInfo(otherExportPath(store, kind)).fileName(),
      csv ? QStringLiteral("CSV 檔 (*.csv)") : QStringLiteral("純文字帳本 (*.journal *.ledger)")};
}

}  // namespace interchange
