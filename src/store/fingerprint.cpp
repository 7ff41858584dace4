#include "store/fingerprint.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

FileFingerprint fileFingerprint(const QString& path, const std::optional<QByteArray>& bytes) {
  if (!bytes) return {};
  return {bytes->size(), QFileInfo(path).lastModified(),
          QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256)};
}

bool BookFingerprint::describes(const QString& bookFolder) const {
  return !folder.isEmpty() &&
         QDir::cleanPath(folder) == QDir::cleanPath(QFileInfo(bookFolder).absoluteFilePath());
}

bool BookFingerprint::differsFrom(const BookFingerprint& onDisk) const {
  // A file that cannot be read now (gone, or a folder in its place) shows no one's changes: the
  // save writes it anew, or refuses as any failed write does.
  const auto differ = [](const FileFingerprint& known, const FileFingerprint& now) {
    return now.size >= 0 && (known.size != now.size || known.hash != now.hash);
  };
  return differ(accounts, onDisk.accounts) || differ(entries, onDisk.entries);
}
