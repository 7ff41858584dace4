#include "store/database.h"

#include "platform/codepage.h"
#include "platform/mappedfile.h"
#include "platform/numbers.h"
#include "platform/safefile.h"
#include "store/ledger.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <string_view>
#include <unordered_map>

namespace store {

namespace {

// Record writers: each writes its data bytes at dest.
void writeAccount(char* dest, const AccountRecord& account) {
  codepage::writeField(dest + field::kAccountName, account.AccountName, kNameWidth);
  qToLittleEndian<qint16>(account.AccountKind, dest + field::kAccountKind);
}

void writeEntry(char* dest, const LedgerEntry& entry) {
  codepage::writeField(dest + field::kDate, entry.EntryDate, kDateWidth);
  codepage::writeField(dest + field::kIncrease, entry.IncreaseAccount, kNameWidth);
  codepage::writeField(dest + field::kDecrease, entry.DecreaseAccount, kNameWidth);
  qToLittleEndian<qint32>(entry.Amount, dest + field::kAmount);
  codepage::writeField(dest + field::kMemo, entry.Memo, kMemoWidth);
}

// Records of 128 bytes in slot order, zero filler, the last record without its filler.
template <typename Table, typename WriteRecord>
QByteArray fileBytes(const Table& table, int count, int dataBytes, WriteRecord writeRecord) {
  if (count <= 1) return {};
  QByteArray out((count - 2) * kRecordLength + dataBytes, '\0');
  for (int slot = 1; slot < count; ++slot) {
    writeRecord(out.data() + (slot - 1) * kRecordLength, table[slot]);
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
  QByteArray out(kAccountDataBytes, Qt::Uninitialized);
  writeAccount(out.data(), account);
  return out;
}

QByteArray entryRecordBytes(const LedgerEntry& entry) {
  QByteArray out(kEntryDataBytes, Qt::Uninitialized);
  writeEntry(out.data(), entry);
  return out;
}

QByteArray accountsFileBytes(const AccountTableType& table, int count) {
  return fileBytes(table, count, kAccountDataBytes, writeAccount);
}

QByteArray entriesFileBytes(const EntryTableType& table, int count) {
  return fileBytes(table, count, kEntryDataBytes, writeEntry);
}

namespace {

// A file's records checked before anything is decoded: their number, or the reason to refuse.
std::variant<int, QString> checkAccounts(const QByteArray& bytes) {
  auto records = recordCount(bytes, kAccountDataBytes, kMaxAccounts, kAccountsFile);
  if (std::holds_alternative<int>(records) && std::get<int>(records) == 0) {
    return QStringLiteral("「%1」是空的，沒有任何帳戶，檔案可能已損壞，無法開啟")
        .arg(kAccountsFile);
  }
  return records;
}

std::variant<int, QString> checkEntries(const QByteArray& bytes) {
  return recordCount(bytes, kEntryDataBytes, kMaxEntries, kEntriesFile);
}

// Decoding checked records cannot fail. Slots after them are cleared.
void decodeAccounts(const QByteArray& bytes, int n, AccountTableType& table) {
  for (int slot = 1; slot <= n; ++slot) {
    const char* record = bytes.constData() + (slot - 1) * kRecordLength;
    table[slot].AccountName = codepage::fieldFromBytes(record + field::kAccountName, kNameWidth);
    table[slot].AccountKind = qFromLittleEndian<qint16>(record + field::kAccountKind);
  }
  for (int slot = n + 1; slot <= kMaxAccounts; ++slot) table[slot] = AccountRecord{};
}

// Entries name their accounts by the full padded name. A name whose bytes are those of an
// account record takes that account's own text instead of a decoded copy: loading is quicker,
// the open database smaller and the name comparisons mostly a look at one address.
class AccountNames {
 public:
  AccountNames(const QByteArray& accountBytes, int n, const AccountTableType& table) {
    byBytes_.reserve(static_cast<size_t>(n));
    for (int slot = n; slot >= 1; --slot) {
      const char* record = accountBytes.constData() + (slot - 1) * kRecordLength;
      byBytes_[std::string_view(record + field::kAccountName, kNameWidth)] =
          &table[slot].AccountName;
    }
  }
  QString name(const char* bytes) const {
    const auto it = byBytes_.find(std::string_view(bytes, kNameWidth));
    return it != byBytes_.end() ? *it->second : codepage::fieldFromBytes(bytes, kNameWidth);
  }

 private:
  std::unordered_map<std::string_view, const QString*> byBytes_;
};

void decodeEntries(const QByteArray& bytes, int n, EntryTableType& table,
                   const AccountNames* names = nullptr, bool memos = true) {
  auto name = [&](const char* field) {
    return names ? names->name(field) : codepage::fieldFromBytes(field, kNameWidth);
  };
  // A year of entries has a few hundred dates: each date's text is decoded once and shared.
  std::unordered_map<std::string_view, QString> datesSeen;
  datesSeen.reserve(512);
  for (int slot = 1; slot <= n; ++slot) {
    const char* record = bytes.constData() + (slot - 1) * kRecordLength;
    LedgerEntry& entry = table[slot];
    QString& date = datesSeen[std::string_view(record + field::kDate, kDateWidth)];
    if (date.isNull()) date = codepage::fieldFromBytes(record + field::kDate, kDateWidth);
    entry.EntryDate = date;
    entry.IncreaseAccount = name(record + field::kIncrease);
    entry.DecreaseAccount = name(record + field::kDecrease);
    entry.Amount = qFromLittleEndian<qint32>(record + field::kAmount);
    entry.Memo = memos ? codepage::fieldFromBytes(record + field::kMemo, kMemoWidth) : QString();
  }
  for (int slot = n + 1; slot <= kMaxEntries; ++slot) table[slot] = LedgerEntry{};
}

// The bytes of a file that exists, checked; the refusal otherwise.
std::variant<QByteArray, QString> checkedFile(const QString& path, const QString& fileName,
                                              int capacity, int& records) {
  auto bytes = readDatabaseFile(path, fileName, capacity);
  if (std::holds_alternative<QString>(bytes)) return bytes;
  const QByteArray& data = std::get<QByteArray>(bytes);
  const auto checked = fileName == kAccountsFile ? checkAccounts(data) : checkEntries(data);
  if (const QString* error = std::get_if<QString>(&checked)) return *error;
  records = std::get<int>(checked);
  return bytes;
}

}  // namespace

std::variant<int, QString> readAccounts(const QByteArray& bytes, AccountTableType& table) {
  const auto records = checkAccounts(bytes);
  if (const QString* error = std::get_if<QString>(&records)) return *error;
  decodeAccounts(bytes, std::get<int>(records), table);
  return std::get<int>(records) + 1;
}

std::variant<int, QString> readEntries(const QByteArray& bytes, EntryTableType& table) {
  const auto records = checkEntries(bytes);
  if (const QString* error = std::get_if<QString>(&records)) return *error;
  decodeEntries(bytes, std::get<int>(records), table);
  return std::get<int>(records) + 1;
}

std::variant<qint32, Message> readStartingCash(const QString& answer) {
  if (answer.trimmed().isEmpty()) return 0;
  const numbers::Amount amount = numbers::parseAmount(answer);
  if (!amount.ok()) return refusal(numbers::amountErrorText(amount.error));
  return amount.value;
}

namespace {

// Fills the tables from checked file bytes; nothing can fail here. The counts are first free
// slots.
void decodeBook(AccountTableType& accounts, int& accountCount, EntryTableType& entries,
                int& entryCount, const QByteArray& accountBytes, int accountRecords,
                const QByteArray& entryBytes, int entryRecords, bool memos = true) {
  decodeAccounts(accountBytes, accountRecords, accounts);
  const AccountNames names(accountBytes, accountRecords, accounts);
  decodeEntries(entryBytes, entryRecords, entries, &names, memos);
  accountCount = accountRecords + 1;
  entryCount = entryRecords + 1;
}

}  // namespace

namespace {

// A file's bytes as mapped memory, checked, valid while `file` lives. Reading a book once and
// throwing it away, a copy of its pages cost as much as decoding them.
std::variant<QByteArray, QString> mappedBytes(mappedfile::Mapped& file, const QString& path,
                                              const QString& fileName, int capacity, int& records) {
  const QString shown = QDir::toNativeSeparators(path);
  if (!file.ok()) return QStringLiteral("無法讀取「%1」").arg(shown);
  if (recordsInSize(file.size()) > capacity) {
    return tooManyRecords(fileName, recordsInSize(file.size()), capacity);
  }
  if (!file.map()) return QStringLiteral("無法讀取「%1」").arg(shown);
  const QByteArray bytes = file.bytes();
  const auto checked = fileName == kAccountsFile ? checkAccounts(bytes) : checkEntries(bytes);
  if (const QString* error = std::get_if<QString>(&checked)) return *error;
  records = std::get<int>(checked);
  return bytes;
}

// A book's two files, mapped and checked; the views stay valid while it lives.
struct MappedBook {
  std::optional<mappedfile::Mapped> accountsFile;
  std::optional<mappedfile::Mapped> entriesFile;
  QByteArray accountBytes;
  QByteArray entryBytes;
  int accountRecords = 0;
  int entryRecords = 0;

  void leaveForExit() {
    if (accountsFile) accountsFile->leaveForExit();
    if (entriesFile) entriesFile->leaveForExit();
  }
};

// All readers of a book that is not (or not yet) the open one: nothing on disk changes.
std::optional<QString> mapBook(const QString& folder, MappedBook& book) {
  using mappedfile::Kind;
  switch (mappedfile::kindOf(folder)) {
    case Kind::Folder:
      break;
    case Kind::Missing:
      return QStringLiteral("找不到資料庫資料夾「%1」").arg(QDir::toNativeSeparators(folder));
    default:
      // A file given where the book's folder belongs: say what it is, not that nothing is there.
      return QStringLiteral("「%1」不是資料夾：請指定資料庫的資料夾")
          .arg(QDir::toNativeSeparators(folder));
  }
  // A save cut short is read as opening would complete it: with the marker the new files count,
  // without it the old ones. Nothing on disk changes.
  const QString prefix = folder + QLatin1Char('/');
  const bool cutShort = mappedfile::kindOf(prefix + safefile::kGroupMarker) != Kind::Missing;
  auto pathOf = [&](const QString& name) {
    const QString fresh = prefix + name + safefile::kGroupSuffix;
    return cutShort && mappedfile::kindOf(fresh) == Kind::File ? fresh : prefix + name;
  };
  const QString accountsPath = pathOf(kAccountsFile);
  const QString entriesPath = pathOf(kEntriesFile);
  for (const QString* path : {&accountsPath, &entriesPath}) {
    if (mappedfile::kindOf(*path) != Kind::File) {
      return QStringLiteral("「%1」不是資料庫：找不到「%2」")
          .arg(QDir::toNativeSeparators(folder), path->mid(prefix.size()));
    }
  }
  book.accountsFile.emplace(accountsPath);
  book.entriesFile.emplace(entriesPath);
  auto accountBytes = mappedBytes(*book.accountsFile, accountsPath, kAccountsFile, kMaxAccounts,
                                  book.accountRecords);
  if (const QString* error = std::get_if<QString>(&accountBytes)) return *error;
  auto entryBytes =
      mappedBytes(*book.entriesFile, entriesPath, kEntriesFile, kMaxEntries, book.entryRecords);
  if (const QString* error = std::get_if<QString>(&entryBytes)) return *error;
  book.accountBytes = std::get<QByteArray>(accountBytes);
  book.entryBytes = std::get<QByteArray>(entryBytes);
  return std::nullopt;
}

std::optional<QString> readBookInto(const QString& folder, AccountTableType& accounts,
                                    int& accountCount, EntryTableType& entries, int& entryCount,
                                    BookMemos memos) {
  MappedBook book;
  if (auto error = mapBook(folder, book)) return error;
  decodeBook(accounts, accountCount, entries, entryCount, book.accountBytes, book.accountRecords,
             book.entryBytes, book.entryRecords, memos == BookMemos::Read);
  return std::nullopt;
}

}  // namespace

std::optional<QString> readBookFolderInto(const QString& folder, BookTables& tables,
                                          BookMemos memos) {
  return readBookInto(folder, tables.accounts, tables.accountCount, tables.entries,
                      tables.entryCount, memos);
}

std::variant<BookTables, QString> readBookFolder(const QString& folder) {
  BookTables book;
  if (auto error = readBookInto(folder, book.accounts, book.accountCount, book.entries,
                                book.entryCount, BookMemos::Read)) {
    return *error;
  }
  return book;
}

std::variant<BookBalances, QString> readBookBalances(const QString& folder, const QString& date,
                                                     BookFiles files) {
  MappedBook book;
  if (auto error = mapBook(folder, book)) return *error;
  BookBalances read;
  decodeAccounts(book.accountBytes, book.accountRecords, read.accounts);
  read.accountCount = book.accountRecords + 1;
  read.balances =
      recordBalances(read.accounts, read.accountCount, book.entryBytes, book.entryRecords, date);
  if (files == BookFiles::LeaveOpen) book.leaveForExit();
  return read;
}

bool needsStartingCash(const QString& folder) {
  return !QFileInfo::exists(folder + QLatin1Char('/') + kEntriesFile);
}

std::variant<OpeningFiles, QString> readForOpening(const QString& folder, const QString& today,
                                                   qint32 startingCash) {
  if (!QFileInfo(folder).isDir()) {
    return QStringLiteral("找不到資料庫資料夾「%1」，無法開啟")
        .arg(QDir::toNativeSeparators(folder));
  }
  // A save cut short by a crash is completed, or undone, before anything is read.
  if (auto error = safefile::finishGroup(folder, {kAccountsFile, kEntriesFile})) return *error;
  const QString accountsPath = folder + QLatin1Char('/') + kAccountsFile;
  const QString entriesPath = folder + QLatin1Char('/') + kEntriesFile;

  // Both files are read and checked (and a new database's files written) before anything in
  // memory is touched.
  OpeningFiles files;
  const bool newAccounts = !QFileInfo::exists(accountsPath);
  const bool newEntries = !QFileInfo::exists(entriesPath);
  if (!newAccounts) {
    auto bytes = checkedFile(accountsPath, kAccountsFile, kMaxAccounts, files.accountRecords);
    if (const QString* error = std::get_if<QString>(&bytes)) return *error;
    files.accountBytes = std::move(std::get<QByteArray>(bytes));
  } else {
    files.accountBytes = accountRecordBytes(makeAccount(kCashName, kAsset)) +
                         QByteArray(kRecordLength - kAccountDataBytes, '\0') +
                         accountRecordBytes(makeAccount(kEquityName, kEquity));
    files.accountRecords = 2;
  }

  if (!newEntries) {
    auto bytes = checkedFile(entriesPath, kEntriesFile, kMaxEntries, files.entryRecords);
    if (const QString* error = std::get_if<QString>(&bytes)) return *error;
    files.entryBytes = std::move(std::get<QByteArray>(bytes));
  } else {
    files.entryBytes =
        entryRecordBytes(makeEntry(today, kCashName, kEquityName, startingCash, kInitialMemo));
    files.entryRecords = 1;
  }

  // The files of a new database come into being together, or not at all.
  std::vector<std::pair<QString, QByteArray>> fresh;
  if (newAccounts) fresh.emplace_back(kAccountsFile, files.accountBytes);
  if (newEntries) fresh.emplace_back(kEntriesFile, files.entryBytes);
  files.madeNew = !fresh.empty();
  if (!fresh.empty()) {
    if (auto error = safefile::writeGroup(folder, fresh)) return *error;
  }
  return files;
}

void decodeOpening(const OpeningFiles& files, BookTables& tables) {
  decodeBook(tables.accounts, tables.accountCount, tables.entries, tables.entryCount,
             files.accountBytes, files.accountRecords, files.entryBytes, files.entryRecords);
}

BookFingerprint fingerprintOfBook(const QString& folder, const QByteArray& accounts,
                                  const QByteArray& entries) {
  const QString absolute = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  return {absolute, fingerprintOfFile(absolute + QLatin1Char('/') + kAccountsFile, accounts),
          fingerprintOfFile(absolute + QLatin1Char('/') + kEntriesFile, entries)};
}

}  // namespace store
