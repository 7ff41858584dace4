#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <deque>

// What every fuzz target shares: a scratch folder that lives for the whole run, and a way to
// stop loudly when a property fails.
namespace fuzz {

inline const QString& scratch() {
  static QTemporaryDir dir;
  if (!dir.isValid()) std::abort();
  static const QString path = dir.path();
  return path;
}

inline void put(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
}

[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

inline void require(bool condition, const char* what) {
  if (!condition) fail(what);
}

}  // namespace fuzz
