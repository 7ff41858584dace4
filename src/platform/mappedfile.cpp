#include "platform/mappedfile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mappedfile {

Kind kindOf(const QString& path) {
  struct stat info {};
  if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) {
    return Kind::Missing;
  }
  if (S_ISDIR(info.st_mode)) return Kind::Folder;
  return S_ISREG(info.st_mode) ? Kind::File : Kind::Other;
}

Mapped::Mapped(const QString& path) {
  fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return;
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) return;
  size_ = info.st_size;
  ok_ = true;
}

bool Mapped::map() {
  if (!ok_) return false;
  if (size_ == 0 || data_) return true;
  // Every page at once: one call instead of a fault every few pages.
  void* data =
      ::mmap(nullptr, static_cast<size_t>(size_), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd_, 0);
  if (data == MAP_FAILED) {
    ok_ = false;
    return false;
  }
  data_ = static_cast<const char*>(data);
  return true;
}

Mapped::~Mapped() {
  if (leave_) return;
  if (data_) ::munmap(const_cast<char*>(data_), static_cast<size_t>(size_));
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace mappedfile
