#pragma once

#include <QByteArray>
#include <QString>

#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

// Every file the program writes goes through here: the bytes go to a temporary beside the
// file, which replaces the old file only when all of it is written. A crash or a full disk
// mid-write leaves the earlier file whole.
namespace safefile {

// Writes the whole file. Returns the reason in words when it could not be written; the old
// file is then untouched.
std::optional<QString> write(const QString& path, const QByteArray& bytes);

// Replaces several files of one folder together (names within the folder, with their bytes):
// after a crash at any moment, finishGroup() finds either all the earlier files or all the new
// ones. Each new file is written whole beside its old one ("<name>.new"), then a marker
// ("Varnix.saving") says that all of them are complete, then they replace the old ones one by
// one and the marker goes. The reason in words when the files could not be replaced.
// `whenWritten` runs once all new files are whole and before any old one is replaced: the moment
// to keep a copy of the old ones, when the disk can no longer cost the save itself.
std::optional<QString> writeGroup(const QString& folder,
                                  const std::vector<std::pair<QString, QByteArray>>& files,
                                  const std::function<void()>& whenWritten = {});

// Completes a group write that was cut short in the folder: with the marker present the new
// files replace the old ones, without it they are thrown away. The names are those the group
// writes. Call before reading any of them.
std::optional<QString> finishGroup(const QString& folder, const QStringList& names);

inline const QString kGroupMarker = QStringLiteral("Varnix.saving");
inline const QString kGroupSuffix = QStringLiteral(".new");

// Reads a whole file, or nothing when it cannot be read.
std::optional<QByteArray> read(const QString& path);

// Test seam: while an object of this class lives, writes on this thread fail once the given
// number of bytes has been written in all (counted over every write), as a full disk would
// make them. A file whose bytes do not all fit is not written at all. A negative count sets no
// limit, so an inner object can lift an outer one for a while.
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
