#include "merge/syncconflicts.h"

#include "platform/safefile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <map>

namespace merge {

namespace {

const QRegularExpression& conflictName() {
  static const QRegularExpression pattern(
      QStringLiteral("^(Main|Accounts)(?:\\.(sync-conflict-[0-9]{8}-[0-9]{6}-[A-Za-z0-9]+)|"
                     " \\(([^()]*conflicted copy[^()]*)\\))\\.dat$"),
      QRegularExpression::CaseInsensitiveOption);
  return pattern;
}

}  // namespace

std::vector<SyncConflict> syncConflictsIn(const QString& bookFolder) {
  std::map<QString, SyncConflict> byLabel;
  const QDir folder(bookFolder);
  for (const QString& name : folder.entryList(QDir::Files)) {
    const QRegularExpressionMatch match = conflictName().match(name);
    if (!match.hasMatch()) continue;
    const QString label = match.captured(2).isEmpty() ? match.captured(3) : match.captured(2);
    SyncConflict& conflict = byLabel[label];
    conflict.label = label;
    conflict.files << folder.filePath(name);
    const bool accounts =
        match.captured(1).compare(QStringLiteral("Accounts"), Qt::CaseInsensitive) == 0;
    (accounts ? conflict.accountsPath : conflict.entriesPath) = folder.filePath(name);
  }
  std::vector<SyncConflict> found;
  for (auto& [label, conflict] : byLabel) {
    if (conflict.accountsPath.isEmpty())
      conflict.accountsPath = folder.filePath(store::kAccountsFile);
    if (conflict.entriesPath.isEmpty()) conflict.entriesPath = folder.filePath(store::kEntriesFile);
    found.push_back(conflict);
  }
  return found;
}

std::variant<store::BookTables, QString> readSyncConflict(const SyncConflict& conflict) {
  const std::optional<QByteArray> accounts = safefile::read(conflict.accountsPath);
  const std::optional<QByteArray> entries = safefile::read(conflict.entriesPath);
  if (!accounts || !entries)
    return QStringLiteral("無法讀取「%1」")
        .arg(QDir::toNativeSeparators(!accounts ? conflict.accountsPath : conflict.entriesPath));
  store::BookTables book;
  auto accountCount = store::readAccounts(*accounts, book.accounts);
  if (const QString* reason = std::get_if<QString>(&accountCount)) return *reason;
  auto entryCount = store::readEntries(*entries, book.entries);
  if (const QString* reason = std::get_if<QString>(&entryCount)) return *reason;
  book.accountCount = std::get<int>(accountCount);
  book.entryCount = std::get<int>(entryCount);
  return book;
}

std::optional<QString> setAside(const SyncConflict& conflict) {
  for (const QString& path : conflict.files) {
    QString aside = path + QStringLiteral(".merged");
    for (int n = 2; QFile::exists(aside); ++n) aside = path + QStringLiteral(".merged-%1").arg(n);
    if (!QFile::rename(path, aside))
      return QStringLiteral("無法把「%1」改名").arg(QDir::toNativeSeparators(path));
  }
  return std::nullopt;
}

}  // namespace merge
