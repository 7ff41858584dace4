#pragma once

#include "platform/dialogs.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <deque>

// What every fuzz target shares: a dialog seam that answers from the input, a scratch folder
// that lives for the whole run, and a way to stop loudly when a property fails.
namespace fuzz {

class Answers : public Dialogs {
 public:
  void type(const QString& text) { texts_.push_back(text); }
  void clear() { texts_.clear(); }
  Answer message(const Message&) override {
    ++messages;
    return Answer::No;
  }
  // Queued texts first, then cancel: a loop that asks again always ends.
  QString input(const QString&, const QString&, const QString&) override {
    ++inputs;
    if (texts_.empty()) return {};
    QString text = texts_.front();
    texts_.pop_front();
    return text;
  }
  int exec(QDialog&) override { return 0; }

  int messages = 0;
  int inputs = 0;

 private:
  std::deque<QString> texts_;
};

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
