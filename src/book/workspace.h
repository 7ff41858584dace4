#pragma once

#include "history/History.h"
#include "platform/dates.h"
#include "store/booktables.h"
#include "store/dblock.h"
#include "store/fingerprint.h"
#include "store/userplace.h"

#include <QObject>
#include <QString>

#include <array>

namespace book {

// The open book and the session around it: its tables in memory, who has it open and where it
// lies, its lock and fingerprint, its undo history and the status texts the main window shows.
// Created at start and handed by reference to every window that needs it; tests create as many
// as they like.
class Workspace : public QObject {
  Q_OBJECT

 public:
  // dataFolder: where the books and settings live (tests pass a temporary one);
  // programFiles: where the help page lies, the data folder when not given.
  explicit Workspace(const QString& dataFolder, const QString& programFiles = {});

  store::BookTables& tables() { return tables_; }
  const store::BookTables& tables() const { return tables_; }

  store::UserPlace& user() { return user_; }
  const store::UserPlace& user() const { return user_; }

  // The lock file of the open book: no other window opens it meanwhile. Given up when another
  // book is opened, at log-out, and with the workspace at the program's end.
  store::DatabaseLock& lock() { return lock_; }
  const store::DatabaseLock& lock() const { return lock_; }

  // Opened read-only (another computer holds its lock): to be looked at only. The windows offer
  // no command that changes it, no recovery file is kept, and a save writes nothing (book::save).
  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

  // The open book's files as last read or written: a save first checks that nobody else has
  // written them since.
  const store::BookFingerprint& fingerprint() const { return fingerprint_; }
  void setFingerprint(const store::BookFingerprint& fingerprint) { fingerprint_ = fingerprint; }

  // Undo and redo of the open book's changes.
  History& history() { return history_; }
  const History& history() const { return history_; }
  // The history's undo and redo of the open book, with the new counts shown in the status
  // panels (see History::undo).
  std::optional<Message> undo();
  std::optional<Message> redo();

  Clock& clock() { return clock_; }
  const Clock& clock() const { return clock_; }
  QString today() const { return dates::format(clock_.today()); }

  // The four panels of the main window's status bar. Logic writes the texts; the main window
  // shows them.
  enum Panel { UserPanel = 0, DatabasePanel = 1, AccountsPanel = 2, EntriesPanel = 3 };
  const QString& panel(Panel p) const { return panels_[p]; }
  void setPanel(Panel p, const QString& text);
  void showAccountCount();  // "帳戶數量：" + accounts in use
  void showEntryCount();    // "資料筆數：" + entries in use
  void clearPanels();       // the four bare labels

  // Asks every account list of the program to refill itself from the tables and select the
  // first account (the main window then shows its ledger).
  void refillAccountLists() { emit accountListsRefilled(); }

  // Ends the program; `save` tells whether the open book is written first.
  void requestEnd(bool save);
  bool endRequested() const { return endRequested_; }

 signals:
  void statusChanged();
  void accountListsRefilled();
  void endRequestedSignal(bool save);
  // The open book's files were read (opened) or written (saved) in `folder`: the side files
  // that go with the book follow.
  void bookOpened(const QString& folder);
  void bookSaved(const QString& folder);
  // The opened book is settled: a crash's changes brought back or declined, a sync tool's
  // copies merged or not. What acts on the book's entries at opening waits for this.
  void bookReady(const QString& folder);

 private:
  store::BookTables tables_;
  store::UserPlace user_;
  store::DatabaseLock lock_;
  store::BookFingerprint fingerprint_;
  Clock clock_;
  History history_;
  std::array<QString, 4> panels_;
  bool endRequested_ = false;
  bool readOnly_ = false;
};

}  // namespace book
