#include "store/database.h"

#include "platform/codepage.h"
#include "platform/numbers.h"
#include "platform/safefile.h"
#include "store/Module1.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <memory>

namespace {

void appendLittle16(QByteArray& out, qint16 value) {
  char bytes[2];
  qToLittleEndian<qint16>(value, bytes);
  out.append(bytes, 2);
}

void appendLittle32(QByteArray& out, qint32 value) {
  char bytes[4];
  qToLittleEndian<qint32>(value, bytes);
  out.append(bytes, 4);
}

template <typename Table, typename RecordBytes>
QByteArray fileBytes(const Table& table, int count, int dataBytes, RecordBytes recordBytes) {
  QByteArray out;
  if (count <= 1) return out;
  out.reserve((count - 2) * kRecordLength + dataBytes);
  for (int slot = 1; slot < count; ++slot) {
    out.append(recordBytes(table[slot]));
    if (slot + 1 < count) out.append(QByteArray(kRecordLength - dataBytes, '\0'));
  }
  return out;
}

QString tooManyRecords(const QString& fileName, qint64 records, int capacity) {
  return QStringLiteral("「%1」有 %2 筆記錄，超過上限 %3 筆，這個檔案無法開啟")
      .arg(fileName)
      .arg(records)
      .arg(capacity);
}

qint64 recordsInSize(qint64 size) { return (size + kRecordLength - 1) / kRecordLength; }

// How many records a file holds: record n is present while the file extends beyond byte
// (n - 1) * 128. Each present record must hold all its data bytes.
std::variant<int, QString> recordCount(const QByteArray& bytes, int dataBytes, int capacity,
                                       const QString& fileName) {
  const qsizetype size = bytes.size();
  const qint64 records = recordsInSize(size);
  if (records > capacity) return tooManyRecords(fileName, records, capacity);
  if (records > 0 && size - (records - 1) * kRecordLength < dataBytes) {
    return QStringLiteral("「%1」的最後一筆記錄不完整，檔案可能已損壞，無法開啟").arg(fileName);
  }
  return static_cast<int>(records);
}

// The bytes of an existing database file, or the reason to refuse it. A file far beyond what
// the table holds is refused before it is read.
std::variant<QByteArray, QString> readDatabaseFile(const QString& path, const QString& fileName,
                                                   int capacity) {
  const QFileInfo info(path);
  if (info.isFile() && recordsInSize(info.size()) > capacity) {
    return tooManyRecords(fileName, recordsInSize(info.size()), capacity);
  }
  auto bytes = info.isFile() ? safefile::read(path) : std::nullopt;
  if (!bytes) return QStringLiteral("無法讀取「%1」").arg(QDir::toNativeSeparators(path));
  return std::move(*bytes);
}

}  // namespace

QByteArray accountRecordBytes(const AccountRecord& account) {
  QByteArray out = codepage::fieldBytes(account.AccountName, kNameWidth);
  appendLittle16(out, account.AccountKind);
  return out;
}

QByteArray entryRecordBytes(const LedgerEntry& entry) {
  QByteArray out;
  out.reserve(kEntryDataBytes);
  out.append(codepage::fieldBytes(entry.EntryDate, kDateWidth));
  out.append(codepage::fieldBytes(entry.IncreaseAccount, kNameWidth));
  out.append(codepage::fieldBytes(entry.DecreaseAccount, kNameWidth));
  appendLittle32(out, entry.Amount);
  out.append(codepage::fieldBytes(entry.Memo, kMemoWidth));
  return out;
}

QByteArray accountsFileBytes(const AccountTableType& table, int count) {
  return fileBytes(table, count, kAccountDataBytes, accountRecordBytes);
}

QByteArray entriesFileBytes(const EntryTableType& table, int count) {
  return fileBytes(table, count, kEntryDataBytes, entryRecordBytes);
}

std::variant<int, QString> readAccounts(const QByteArray& bytes, AccountTableType& table) {
  const auto records = recordCount(bytes, kAccountDataBytes, kMaxAccounts, kAccountsFile);
  if (const QString* error = std::get_if<QString>(&records)) return *error;
  const int n = std::get<int>(records);
  if (n == 0) {
    return QStringLiteral("「%1」是空的，沒有任何帳戶，檔案可能已損壞，無法開啟")
        .arg(kAccountsFile);
  }
  for (int slot = 1; slot <= n; ++slot) {
    const char* record = bytes.constData() + (slot - 1) * kRecordLength;
    table[slot].AccountName = codepage::fieldFromBytes(record, kNameWidth);
    table[slot].AccountKind = qFromLittleEndian<qint16>(record + kNameWidth);
  }
  return n + 1;
}

std::variant<int, QString> readEntries(const QByteArray& bytes, EntryTableType& table) {
  const auto records = recordCount(bytes, kEntryDataBytes, kMaxEntries, kEntriesFile);
  if (const QString* error = std::get_if<QString>(&records)) return *error;
  const int n = std::get<int>(records);
  for (int slot = 1; slot <= n; ++slot) {
    const char* record = bytes.constData() + (slot - 1) * kRecordLength;
    LedgerEntry& entry = table[slot];
    entry.EntryDate = codepage::fieldFromBytes(record, kDateWidth);
    entry.IncreaseAccount = codepage::fieldFromBytes(record + 10, kNameWidth);
    entry.DecreaseAccount = codepage::fieldFromBytes(record + 30, kNameWidth);
    entry.Amount = qFromLittleEndian<qint32>(record + 50);
    entry.Memo = codepage::fieldFromBytes(record + 54, kMemoWidth);
  }
  return n + 1;
}

std::optional<qint32> startingCash(const QString& answer) {
  if (answer.trimmed().isEmpty()) return 0;
  const numbers::Amount amount = numbers::parseAmount(answer);
  if (!amount.ok()) return std::nullopt;
  return amount.value;
}

std::optional<Message> LoadDatabase(Module1& store) {
  const QString folder = store.databaseFolder();
  if (!QFileInfo(folder).isDir()) {
    return refusal(
        QStringLiteral("找不到資料庫資料夾「%1」，無法開啟").arg(QDir::toNativeSeparators(folder)));
  }
  // A save cut short by a crash is completed, or undone, before anything is read.
  if (auto error = safefile::finishGroup(folder, {kAccountsFile, kEntriesFile})) {
    return refusal(*error);
  }
  const QString accountsPath = folder + QLatin1Char('/') + kAccountsFile;
  const QString entriesPath = folder + QLatin1Char('/') + kEntriesFile;

  // Everything is read into fresh tables first; the open database is replaced only when all
  // of it has been read (and any new file written).
  auto accounts = std::make_unique<AccountTableType>();
  auto entries = std::make_unique<EntryTableType>();
  int accountCount = 1;
  int entryCount = 1;
  bool newAccounts = false;
  bool newEntries = false;

  if (QFileInfo::exists(accountsPath)) {
    const auto bytes = readDatabaseFile(accountsPath, kAccountsFile, kMaxAccounts);
    if (const QString* error = std::get_if<QString>(&bytes)) return refusal(*error);
    const auto read = readAccounts(std::get<QByteArray>(bytes), *accounts);
    if (const QString* error = std::get_if<QString>(&read)) return refusal(*error);
    accountCount = std::get<int>(read);
  } else {
    (*accounts)[1] = makeAccount(QStringLiteral("A-現金"), kAsset);
    (*accounts)[2] = makeAccount(QStringLiteral("Equity"), kEquity);
    accountCount = 3;
    newAccounts = true;
  }

  if (QFileInfo::exists(entriesPath)) {
    const auto bytes = readDatabaseFile(entriesPath, kEntriesFile, kMaxEntries);
    if (const QString* error = std::get_if<QString>(&bytes)) return refusal(*error);
    const auto read = readEntries(std::get<QByteArray>(bytes), *entries);
    if (const QString* error = std::get_if<QString>(&read)) return refusal(*error);
    entryCount = std::get<int>(read);
  } else {
    // A new database: the starting cash is asked until the answer is a number; an empty
    // answer or a cancelled box is 0.
    Dialogs& dialogs = store.dialogs();
    qint32 cash = 0;
    for (;;) {
      const QString answer = dialogs.input(QStringLiteral("一開始有多少現金"),
                                           QStringLiteral("輸入"), QStringLiteral("0"));
      if (const auto value = startingCash(answer)) {
        cash = *value;
        break;
      }
      dialogs.message(refusal(numbers::amountErrorText(numbers::parseAmount(answer).error)));
    }
    (*entries)[1] = makeEntry(store.today(), QStringLiteral("A-現金"), QStringLiteral("Equity"),
                              cash, QStringLiteral("初值"));
    entryCount = 2;
    newEntries = true;
  }

  // The files of a new database come into being together, or not at all.
  std::vector<std::pair<QString, QByteArray>> fresh;
  if (newAccounts) fresh.emplace_back(kAccountsFile, accountsFileBytes(*accounts, accountCount));
  if (newEntries) fresh.emplace_back(kEntriesFile, entriesFileBytes(*entries, entryCount));
  if (!fresh.empty()) {
    if (auto error = safefile::writeGroup(folder, fresh)) return refusal(*error);
  }

  store.AccountTable.swap(*accounts);
  store.EntryTable.swap(*entries);
  store.AccountCount = accountCount;
  store.EntryCount = entryCount;
  store.showAccountCount();
  store.showEntryCount();
  return std::nullopt;
}

std::optional<Message> SaveDatabase(Module1& store) {
  // Both files are replaced together: a crash or a full disk never leaves the accounts of one
  // save beside the entries of another.
  if (auto error = safefile::writeGroup(
          store.databaseFolder(),
          {{kAccountsFile, accountsFileBytes(store.AccountTable, store.AccountCount)},
           {kEntriesFile, entriesFileBytes(store.EntryTable, store.EntryCount)}})) {
    return refusal(QStringLiteral("資料庫沒有存好：%1").arg(*error));
  }
  return std::nullopt;
}
