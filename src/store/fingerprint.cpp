#include "store/fingerprint.h"

#include <QDir>
#include <QFileInfo>
#include <QHashFunctions>

namespace store {

namespace {

// Fixed, so that a fingerprint never depends on the process's random hash seed.
constexpr size_t kHashSeed = 0x5661726e6978;

}  // namespace

FileFingerprint fingerprintOfFile(const QString& path, const std::optional<QByteArray>& bytes) {
  if (!bytes) return {};
  // A change made by another program is no attack: a fast 64-bit hash is enough to tell it,
  // and it keeps the check from costing a save noticeable time.
  return {bytes->size(), QFileInfo(path).lastModified(),
          static_cast<quint64>(
              qHashBits(bytes->constData(), static_cast<size_t>(bytes->size()), kHashSeed))};
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

}  // namespace store
