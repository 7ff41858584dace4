#include "merge/bases.h"

#include "backup/backups.h"
#include "platform/safefile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <limits>

namespace merge {

QString basesFolder() {
  QString state = qEnvironmentVariable("XDG_STATE_HOME");
  // The variable must be an absolute path to count; otherwise the default applies.
  if (state.isEmpty() || QDir::isRelativePath(state)) state = QDir::homePath() + "/.local/state";
  return QDir::cleanPath(state + "/Varnix/bases");
}

QString baseFolderOf(const QString& bookFolder) {
  const QByteArray path = QDir::cleanPath(QFileInfo(bookFolder).absoluteFilePath()).toUtf8();
  return basesFolder() + "/" +
         QString::fromLatin1(
             QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(32));
}

std::optional<QString> keepBase(const QString& bookFolder, const QByteArray& accounts,
                                const QByteArray& entries) {
  const QString folder = baseFolderOf(bookFolder);
  if (!QDir().mkpath(folder)) return QStringLiteral("無法建立資料夾「%1」").arg(folder);
  return safefile::writeGroup(folder,
                              {{store::kAccountsFile, accounts}, {store::kEntriesFile, entries}});
}

std::variant<Base, QString> findBase(const QString& bookFolder) {
  const QString own = baseFolderOf(bookFolder);
  if (QFileInfo::exists(own + "/" + store::kEntriesFile)) {
    auto read = store::readBookFolder(own);
    if (store::BookTables* tables = std::get_if<store::BookTables>(&read))
      return Base{std::move(*tables), false, {}};
  }
  for (const backup::BackupInfo& kept : backup::list(bookFolder)) {
    auto read = store::readBookFolder(kept.folder);
    if (store::BookTables* tables = std::get_if<store::BookTables>(&read))
      return Base{std::move(*tables), true, kept.taken};
  }
  return QStringLiteral("這台電腦沒有這本帳上次讀寫時的內容，也沒有可用的備份，無法合併");
}

namespace {

// The records of a book, each with how often it occurs.
QHash<QString, int> recordsOf(const store::BookTables& book) {
  QHash<QString, int> records;
  const QChar apart(0x1f);
  for (int slot = 1; slot < book.accountCount; ++slot) {
    const store::AccountRecord& a = book.accounts[slot];
    ++records[a.AccountName + apart + QString::number(a.AccountKind)];
  }
  for (int slot = 1; slot < book.entryCount; ++slot) {
    const store::LedgerEntry& e = book.entries[slot];
    ++records[e.EntryDate + apart + e.IncreaseAccount + apart + e.DecreaseAccount + apart +
              QString::number(e.Amount) + apart + e.Memo];
  }
  return records;
}

// How many records one version has that the other has not, and the other way round.
qsizetype distance(const QHash<QString, int>& a, const QHash<QString, int>& b) {
  qsizetype apart = 0;
  for (auto it = a.begin(); it != a.end(); ++it)
    apart += std::max(0, it.value() - b.value(it.key()));
  for (auto it = b.begin(); it != b.end(); ++it)
    apart += std::max(0, it.value() - a.value(it.key()));
  return apart;
}

}  // namespace

std::variant<Base, QString> findCommonBase(const QString& bookFolder, const store::BookTables& one,
                                           const store::BookTables& other) {
  struct Candidate {
    QString folder;
    QDateTime age;  // when this version was replaced; this computer's base is the newest
    bool fromBackup;
  };
  std::vector<Candidate> candidates;
  const QString own = baseFolderOf(bookFolder);
  if (QFileInfo::exists(own + "/" + store::kEntriesFile))
    candidates.push_back({own, QDateTime(QDate(9999, 12, 31), QTime(0, 0), Qt::UTC), false});
  for (const backup::BackupInfo& kept : backup::list(bookFolder))
    candidates.push_back({kept.folder, kept.taken, true});

  const QHash<QString, int> oneRecords = recordsOf(one);
  const QHash<QString, int> otherRecords = recordsOf(other);
  std::optional<Base> best;
  qsizetype bestDistance = std::numeric_limits<qsizetype>::max();
  QDateTime bestAge;
  for (const Candidate& candidate : candidates) {
    auto read = store::readBookFolder(candidate.folder);
    store::BookTables* tables = std::get_if<store::BookTables>(&read);
    if (!tables) continue;
    const QHash<QString, int> records = recordsOf(*tables);
    const qsizetype toOne = distance(records, oneRecords),
                    toOther = distance(records, otherRecords);
    // Both sides changed since their last common version: one that equals a side is not it.
    if (toOne == 0 || toOther == 0) continue;
    const qsizetype apart = toOne + toOther;
    if (apart < bestDistance || (apart == bestDistance && candidate.age < bestAge)) {
      best = Base{std::move(*tables), candidate.fromBackup, candidate.age};
      bestDistance = apart;
      bestAge = candidate.age;
    }
  }
  if (!best) return QStringLiteral("找不到兩份帳本共同的上一版（這台電腦的基準或備份），無法合併");
  return std::move(*best);
}

}  // namespace merge
