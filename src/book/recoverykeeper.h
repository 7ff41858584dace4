#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace book {
class Workspace;
}

// Keeps the open book's recovery file (backup/recovery.h) up to date: every change to the book
// passes through its history, and within two seconds of one the session is written aside. The
// write waits on a single-shot timer, so a burst of typing costs one write, never a pause per
// key.
class RecoveryKeeper : public QObject {
  Q_OBJECT

 public:
  static constexpr int kDelayMs = 2000;

  explicit RecoveryKeeper(book::Workspace& store, QObject* parent = nullptr);

  // Writes now what a pending change would write (and stops the timer).
  void writeNow();
  // The book is left cleanly (saved, or left without saving on purpose): the file this session
  // wrote goes.
  void discard();

 signals:
  // After each write: the reason in words when it failed, empty when it succeeded.
  void written(const QString& error);

 private:
  void changed();

  book::Workspace& store_;
  QTimer timer_;
  QString folder_;  // where this session's file is; empty when it wrote none
};
