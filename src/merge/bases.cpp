#include "merge/bases.h"

#include "backup/backups.h"
#include "platform/safefile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

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
         QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(32));
}

std::optional<QString> keepBase(const QString& bookFolder, const QByteArray& accounts,
                                const QByteArray& entries) {
  const QString folder = baseFolderOf(bookFolder);
  if (!QDir().mkpath(folder)) return QStringLiteral("無法建立資料夾「%1」").arg(folder);
  return safefile::writeGroup(folder, {{store::kAccountsFile, accounts}, {store::kEntriesFile, entries}});
}

std::variant<Base, QString> findBase(const QString& bookFolder) {
  const QString own = baseFolderOf(bookFolder);
  if (QFileInfo::exists(own + "/" + store::kEntriesFile)) {
    auto read = store::readBookFolder(own);
    if (store::BookTables* tables = std::get_if<store::BookTables>(&read)) return Base{std::move(*tables), false};
  }
  for (const backup::BackupInfo& kept : backup::list(bookFolder)) {
    auto read = store::readBookFolder(kept.folder);
    if (store::BookTables* tables = std::get_if<store::BookTables>(&read)) return Base{std::move(*tables), true};
  }
  return QStringLiteral("這台電腦沒有這本帳上次讀寫時的內容，也沒有可用的備份，無法合併");
}

}  // namespace merge
