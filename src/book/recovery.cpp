#include "book/recovery.h"

#include "backup/backups.h"
#include "book/workspace.h"
#include "history/History.h"
#include "platform/safefile.h"
#include "platform/sidefile.h"
#include "store/database.h"
#include "store/records.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace recovery {
namespace {

const QString kBookId = QStringLiteral("book");
// 32 KiB of bytes are 43,692 characters of base64: well inside a side file's line.
constexpr qsizetype kPartBytes = 32 * 1024;

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

QString sha256(const QByteArray& bytes) {
  return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

void addTable(std::vector<sidefile::Record>& records, const QString& name, const QByteArray& bytes,
              const QDateTime& written) {
  const qsizetype parts = (bytes.size() + kPartBytes - 1) / kPartBytes;
  for (qsizetype part = 0; part < parts; ++part) {
    sidefile::Record record{QStringLiteral("%1-%2").arg(name).arg(part + 1), written, false, {}};
    record.set(QStringLiteral("data"),
               QString::fromLatin1(bytes.mid(part * kPartBytes, kPartBytes).toBase64()));
    records.push_back(std::move(record));
  }
}

const sidefile::Record* recordWithId(const std::vector<sidefile::Record>& records,
                                     const QString& id) {
  for (const auto& record : records) {
    if (record.id == id) return record.deleted ? nullptr : &record;
  }
  return nullptr;
}

// One table's bytes from its parts, checked against the size and checksum the book record
// gives; the reason in words otherwise.
std::variant<QByteArray, QString> readTable(const std::vector<sidefile::Record>& records,
                                            const sidefile::Record& book, const QString& name,
                                            qsizetype largest) {
  const QString damaged = QStringLiteral("「%1」的資料不完整").arg(name);
  bool ok = false;
  const qsizetype size =
      book.field(name + QStringLiteral("-size")).value_or(QString()).toLongLong(&ok);
  if (!ok || size < 0 || size > largest) return damaged;
  const QString expectedSum = book.field(name + QStringLiteral("-sha256")).value_or(QString());
  QByteArray bytes;
  for (qsizetype part = 1; bytes.size() < size; ++part) {
    const auto* record = recordWithId(records, QStringLiteral("%1-%2").arg(name).arg(part));
    if (!record) return damaged;
    const auto decoded = QByteArray::fromBase64Encoding(
        record->field(QStringLiteral("data")).value_or(QString()).toLatin1(),
        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty()) return damaged;
    bytes += decoded.decoded;
  }
  if (bytes.size() != size || sha256(bytes) != expectedSum) return damaged;
  return bytes;
}

}  // namespace

QString pathIn(const QString& bookFolder) { return bookFolder + QLatin1Char('/') + kRecoveryFile; }

std::variant<QByteArray, QString> serialize(const Snapshot& snapshot) {
  const QDateTime written = snapshot.written.toUTC();
  std::vector<sidefile::Record> records;
  sidefile::Record book{kBookId, written, false, {}};
  book.set(QStringLiteral("user"), snapshot.user);
  book.set(QStringLiteral("name"), snapshot.book);
  book.set(QStringLiteral("accounts-size"), QString::number(snapshot.accounts.size()));
  book.set(QStringLiteral("accounts-sha256"), sha256(snapshot.accounts));
  book.set(QStringLiteral("entries-size"), QString::number(snapshot.entries.size()));
  book.set(QStringLiteral("entries-sha256"), sha256(snapshot.entries));
  records.push_back(std::move(book));
  addTable(records, QStringLiteral("accounts"), snapshot.accounts, written);
  addTable(records, QStringLiteral("entries"), snapshot.entries, written);
  return sidefile::serialize(kKind, kVersion, records);
}

std::variant<Snapshot, QString> parse(const QByteArray& bytes) {
  auto parsed = sidefile::parse(bytes, kKind, kVersion);
  if (const auto* reason = std::get_if<QString>(&parsed)) return *reason;
  const auto& records = std::get<sidefile::Contents>(parsed).records;
  const sidefile::Record* book = recordWithId(records, kBookId);
  if (!book) return QStringLiteral("檔案裡沒有帳本的記錄");
  Snapshot snapshot;
  snapshot.user = book->field(QStringLiteral("user")).value_or(QString());
  snapshot.book = book->field(QStringLiteral("name")).value_or(QString());
  snapshot.written = book->changed;
  const qsizetype accountsLargest = qsizetype(store::kMaxAccounts) * store::kRecordLength;
  const qsizetype entriesLargest = qsizetype(store::kMaxEntries) * store::kRecordLength;
  auto accounts = readTable(records, *book, QStringLiteral("accounts"), accountsLargest);
  if (const auto* reason = std::get_if<QString>(&accounts)) return *reason;
  auto entries = readTable(records, *book, QStringLiteral("entries"), entriesLargest);
  if (const auto* reason = std::get_if<QString>(&entries)) return *reason;
  snapshot.accounts = std::get<QByteArray>(std::move(accounts));
  snapshot.entries = std::get<QByteArray>(std::move(entries));
  // Whole and unchanged is not yet readable: the tables must be ones a book could open.
  auto tables = std::make_unique<store::BookTables>();
  auto accountCount = store::readAccounts(snapshot.accounts, tables->accounts);
  if (const auto* reason = std::get_if<QString>(&accountCount)) return *reason;
  auto entryCount = store::readEntries(snapshot.entries, tables->entries);
  if (const auto* reason = std::get_if<QString>(&entryCount)) return *reason;
  return snapshot;
}

Snapshot snapshotOf(const book::Workspace& store) {
  return {store.user().userName(), store.user().databaseName(),
          store::accountsFileBytes(store.tables().accounts, store.tables().accountCount),
          store::entriesFileBytes(store.tables().entries, store.tables().entryCount),
          store.clock().now().toUTC()};
}

bool matchesSavedFiles(const book::Workspace& store) {
  const QString folder = store.user().databaseFolder();
  if (!store.fingerprint().describes(folder)) return false;
  const store::BookFingerprint now = store::fingerprintOfBook(
      folder, store::accountsFileBytes(store.tables().accounts, store.tables().accountCount),
      store::entriesFileBytes(store.tables().entries, store.tables().entryCount));
  return now.accounts.size == store.fingerprint().accounts.size &&
         now.accounts.hash == store.fingerprint().accounts.hash &&
         now.entries.size == store.fingerprint().entries.size &&
         now.entries.hash == store.fingerprint().entries.hash;
}

std::optional<QString> write(const QString& bookFolder, const Snapshot& snapshot) {
  auto bytes = serialize(snapshot);
  if (const auto* reason = std::get_if<QString>(&bytes)) return *reason;
  return safefile::write(pathIn(bookFolder), std::get<QByteArray>(bytes));
}

void discard(const QString& bookFolder) { QFile::remove(pathIn(bookFolder)); }

Found find(const book::Workspace& store) {
  const QString path = pathIn(store.user().databaseFolder());
  if (!QFileInfo::exists(path)) return NoRecovery{};
  const std::optional<QByteArray> bytes = safefile::read(path);
  if (!bytes) return Damaged{QStringLiteral("無法讀取")};
  auto parsed = parse(*bytes);
  if (const auto* reason = std::get_if<QString>(&parsed)) return Damaged{*reason};
  auto& snapshot = std::get<Snapshot>(parsed);
  if (snapshot.user != store.user().userName() || snapshot.book != store.user().databaseName()) {
    return Damaged{QStringLiteral("這是「%1」的檔案，不是這個帳本的").arg(snapshot.book)};
  }
  return std::move(snapshot);
}

QString timeInWords(const QDateTime& utc) {
  const QDateTime local = utc.toLocalTime();
  const QDate date = local.date();
  const QTime time = local.time();
  return QStringLiteral("%1年%2月%3日 %4時%5分%6秒")
      .arg(date.year())
      .arg(date.month())
      .arg(date.day())
      .arg(time.hour())
      .arg(time.minute(), 2, 10, QLatin1Char('0'))
      .arg(time.second(), 2, 10, QLatin1Char('0'));
}

Message question(const Snapshot& snapshot) {
  return {QStringLiteral("帳本「%1」上次沒有正常結束。\n%2記下的變更還沒有存進帳本，"
                         "要把這些變更找回來嗎？\n\n選「否」時，這些變更會留作一份備份。")
              .arg(snapshot.book, timeInWords(snapshot.written)),
          QStringLiteral("找回變更"), MessageIcon::Question, MessageButtons::YesNo};
}

void restore(book::Workspace& store, const Snapshot& snapshot) {
  // Read in full before the step starts: parse() has checked them, and the tables change at once.
  auto tables = std::make_unique<store::BookTables>();
  const auto accounts = store::readAccounts(snapshot.accounts, tables->accounts);
  const auto entries = store::readEntries(snapshot.entries, tables->entries);
  if (!std::holds_alternative<int>(accounts) || !std::holds_alternative<int>(entries)) return;
  {
    HistoryStep step(store.history(), store.tables(), QStringLiteral("找回變更"));
    store.tables().accounts = tables->accounts;
    store.tables().accountCount = std::get<int>(accounts);
    store.tables().entries = tables->entries;
    store.tables().entryCount = std::get<int>(entries);
  }
  store.showAccountCount();
  store.showEntryCount();
  store.refillAccountLists();
}

std::optional<Message> decline(const book::Workspace& store, const Snapshot& snapshot) {
  const QString folder = store.user().databaseFolder();
  if (auto error = backup::keep(folder, snapshot.accounts, snapshot.entries, store.clock().now())) {
    return refusal(
        QStringLiteral("沒有留下這些變更的備份：%1\n找回檔「%2」仍然保留，下次開啟時會再詢問。")
            .arg(*error, shown(pathIn(folder))));
  }
  discard(folder);
  return std::nullopt;
}

Message setAside(const book::Workspace& store, const Damaged& damaged) {
  const QString path = pathIn(store.user().databaseFolder());
  const QString aside = path + QStringLiteral(".damaged-") +
                        store.clock().now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  const QString text = QStringLiteral("找回檔「%1」無法使用：%2。\n帳本維持上次存檔的內容。")
                           .arg(shown(path), damaged.reason);
  if (!QFile::rename(path, aside)) {
    return refusal(text + QStringLiteral("\n這個檔案無法移開，仍然留在原處。"));
  }
  return refusal(text + QStringLiteral("\n這個檔案已改名為「%1」保留。").arg(shown(aside)));
}

}  // namespace recovery
