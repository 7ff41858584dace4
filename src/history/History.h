#pragma once

#include "history/sidechange.h"
#include "platform/message.h"

#include <QObject>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace store {
struct BookTables;
}
namespace history {
struct Step;
struct Tables;
}  // namespace history

// The names of the steps, as 復原 and 重做 show them ("復原 多筆刪除").
namespace stepnames {
inline const QString kNewEntry = QStringLiteral("新增記錄");
inline const QString kEditEntry = QStringLiteral("修改記錄");
inline const QString kDeleteEntries = QStringLiteral("刪除記錄");
inline const QString kBulkDelete = QStringLiteral("多筆刪除");
inline const QString kClosing = QStringLiteral("結帳");
inline const QString kNewAccount = QStringLiteral("新增帳戶");
inline const QString kRenameAccount = QStringLiteral("更改帳戶名稱");
inline const QString kChangeKind = QStringLiteral("更改帳戶類別");
inline const QString kDeleteAccount = QStringLiteral("刪除帳戶");
inline const QString kMoveAccount = QStringLiteral("移動帳戶");
inline const QString kImport = QStringLiteral("匯入對帳單");
}  // namespace stepnames

// Undo and redo of the open book. Every command that changes the book leaves one step here;
// 復原 takes the book back across the last step, 重做 forward again, in order. A new step
// forgets what was undone. The history belongs to the open book: it lasts through saves and
// is forgotten when another book is opened and at log-out.
class History : public QObject {
  Q_OBJECT

 public:
  static constexpr int kDepth = 100;

  explicit History(int depth = kDepth);
  ~History() override;

  bool canUndo() const { return !done_.empty(); }
  bool canRedo() const { return !undone_.empty(); }
  // The name of the step 復原 (重做) would take; empty when there is none.
  QString undoName() const;
  QString redoName() const;
  int undoCount() const { return static_cast<int>(done_.size()); }
  int redoCount() const { return static_cast<int>(undone_.size()); }

  // Keeps what the store's tables went through since `before` as the step `name`. A command
  // that changed nothing (one that refused) leaves no step and keeps the redo side.
  void record(const history::Tables& before, const store::BookTables& tables, const QString& name);
  // Keeps a change to one of the book's side files as the step `name`. While a command's
  // HistoryStep is under way the change joins that command's step instead: a posting's
  // entries and the side file's record of it are undone together.
  void recordSide(const QString& name, std::unique_ptr<history::SideChange> change);

  // Takes the book's tables back across the last step (forward across the last undone one).
  // The side files the step changed are put back with the tables. The refusal when there is
  // nothing to undo (redo), or when the book is no longer as the step left it (the history is
  // then forgotten), or when a side file cannot be written (the step stays); the book and its
  // side files stay as they are.
  std::optional<Message> undo(store::BookTables& tables);
  std::optional<Message> redo(store::BookTables& tables);

  void clear();
  // Tells which book is open (its folder); the steps of another book are forgotten.
  void belongTo(const QString& bookFolder);
  // The open book, steps and all, now lives in this folder (saved as a new book).
  void moveTo(const QString& bookFolder) { book_ = bookFolder; }

  // Memory the steps hold.
  std::size_t bytes() const;

 signals:
  // The steps, or their names, changed: menus follow.
  void changed();

 private:
  friend class HistoryStep;
  using Steps = std::deque<std::unique_ptr<history::Step>>;
  std::optional<Message> cross(store::BookTables& tables, history::Direction direction);

  int depth_;
  Steps done_;    // the last step at the back
  Steps undone_;  // the step 重做 takes at the back
  QString book_;
  int stepsUnderWay_ = 0;  // HistorySteps alive: only the outermost one records
  std::vector<std::unique_ptr<history::SideChange>> pendingSides_;  // of the step under way
};

// One command's step. Made once the command has passed its checks, just before its first
// change; when it goes out of scope, what the command changed becomes a step of the store's
// history. A command made of other commands (an import of many entries) is one step: the
// steps of the commands inside it keep nothing of their own.
class HistoryStep {
 public:
  HistoryStep(History& history, const store::BookTables& tables, QString name);
  ~HistoryStep();
  HistoryStep(const HistoryStep&) = delete;
  HistoryStep& operator=(const HistoryStep&) = delete;

 private:
  History& history_;
  const store::BookTables& tables_;
  QString name_;
  std::unique_ptr<history::Tables> before_;
};
