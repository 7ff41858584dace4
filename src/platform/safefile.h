#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Every file the program writes goes through here: the bytes go to a temporary beside the
// file, which replaces the old file only when all of it is written. A crash or a full disk
// mid-write leaves the earlier file whole.
namespace safefile {

// Writes the whole file. Returns the reason in words when it could not be written; the old
// file is then untouched.
std::optional<QString> write(const QString& path, const QByteArray& bytes);

// Reads a whole file, or nothing when it cannot be read.
std::optional<QByteArray> read(const QString& path);

// Test seam: while an object of this class lives, writes on this thread fail once the given
// number of bytes has been written in all (counted over every write), as a full disk would
// make them. A file whose bytes do not all fit is not written at all.
class FailAfterBytes {
 public:
  explicit FailAfterBytes(qint64 bytes);
  ~FailAfterBytes();
  FailAfterBytes(const FailAfterBytes&) = delete;
  FailAfterBytes& operator=(const FailAfterBytes&) = delete;

 private:
  qint64 previous_;
};

}  // namespace safefile
