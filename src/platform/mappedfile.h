#pragma once

#include <QByteArray>
#include <QString>

// Files read through the system's own calls: for the readers of a book that is not the open
// one, where a start-up's worth of file objects cost more than the reading itself.
namespace mappedfile {

enum class Kind { Missing, Folder, File, Other };

// What the path names, following links.
Kind kindOf(const QString& path);

// A whole file mapped read-only. Empty (and not ok()) when it cannot be opened or mapped; an
// empty file is ok() with no bytes. The pages are given back when it is destroyed, unless it was
// left for the process's end.
class Mapped {
 public:
  explicit Mapped(const QString& path);
  ~Mapped();
  Mapped(const Mapped&) = delete;
  Mapped& operator=(const Mapped&) = delete;

  bool ok() const { return ok_; }
  // The file's size, known before anything is mapped; -1 when it could not be opened.
  qint64 size() const { return size_; }
  // Maps the file; false when that failed. The bytes are a view, valid while this lives.
  bool map();
  QByteArray bytes() const { return QByteArray::fromRawData(data_, size_ > 0 ? size_ : 0); }

  // The process ends soon: the mapping and the descriptor go with it.
  void leaveForExit() { leave_ = true; }

 private:
  int fd_ = -1;
  qint64 size_ = -1;
  const char* data_ = nullptr;
  bool ok_ = false;
  bool leave_ = false;
};

}  // namespace mappedfile
