#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace store {

// What the book's two files looked like when the program last read or wrote them. Before a
// save the files on disk are compared with it: a sync tool or another computer may have
// written them in the meantime, and the save must not overwrite that silently.
struct FileFingerprint {
  qint64 size = -1;  // -1: the file was missing
  QDateTime modified;
  quint64 hash = 0;

  bool operator==(const FileFingerprint&) const = default;
};

// A file's fingerprint from its bytes as read or written; the time is looked up on disk.
FileFingerprint fingerprintOfFile(const QString& path, const std::optional<QByteArray>& bytes);

struct BookFingerprint {
  QString folder;  // the book it describes; empty: nothing read or written yet
  FileFingerprint accounts;
  FileFingerprint entries;

  // True when the fingerprint was taken of this folder.
  bool describes(const QString& bookFolder) const;
  // True when a file now on disk holds other bytes than the fingerprint's. A new time alone
  // (a sync tool that wrote the same bytes again) is no change, and neither is a file that
  // cannot be read.
  bool differsFrom(const BookFingerprint& onDisk) const;
};

}  // namespace store
