#include "book/recoverykeeper.h"

#include "book/recovery.h"
#include "book/workspace.h"

RecoveryKeeper::RecoveryKeeper(book::Workspace& store, QObject* parent)
    : QObject(parent), store_(store) {
  timer_.setSingleShot(true);
  timer_.setInterval(kDelayMs);
  connect(&timer_, &QTimer::timeout, this, &RecoveryKeeper::writeNow);
  connect(&store_.history(), &History::changed, this, &RecoveryKeeper::changed);
}

void RecoveryKeeper::changed() {
  // Not restarted by later changes: a steady stream of them is still written every two seconds.
  if (!timer_.isActive()) timer_.start();
}

void RecoveryKeeper::writeNow() {
  timer_.stop();
  const QString folder = store_.user().databaseFolder();
  // Only the program that holds the book's lock speaks for it; a book opened read-only has
  // nothing of its own to recover.
  if (store_.user().databaseName().isEmpty() || store_.readOnly() || !store_.lock().holds(folder))
    return;
  if (!folder_.isEmpty() && folder_ != folder) discard();
  if (recovery::matchesSavedFiles(store_)) {
    // Back where the files are (undone, or just saved): nothing to recover. A file this session
    // did not write is left alone: it may be a crashed session's that still waits for an answer.
    discard();
    return;
  }
  const auto error = recovery::write(folder, recovery::snapshotOf(store_));
  if (!error) folder_ = folder;
  emit written(error.value_or(QString()));
}

void RecoveryKeeper::discard() {
  timer_.stop();
  if (!folder_.isEmpty()) recovery::discard(folder_);
  folder_.clear();
}
