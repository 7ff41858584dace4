#pragma once

#include "backup/backups.h"
#include "book/book.h"
#include "platform/message.h"
#include "store/database.h"
#include "store/dblock.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace book {
class Workspace;
}

namespace catalogue {

// True when status panel 2 shows this database as the open one.
bool databaseInUse(const book::Workspace& store, const QString& entry);

// "資料庫選單(&D)" of the File menu, before the list is shown: the open database is saved (and
// the list may then be left by "取消"). With a refusal (saving failed) the list is not shown, so
// nothing unsaved can be replaced by another database; a notice of the save is shown first.
book::SaveResult saveBeforeList(book::Workspace& store, const book::MergeQuestions& ask = {});

// The database list as the catalogue window shows it, with its commands. Changes to folders
// reach the disk at once; the list file is rewritten when the window is left (and only when
// it changed). The commands ask nothing: the window asks the questions and input
// boxes, the commands decide and return their refusals, with nothing changed.
class Catalogue {
 public:
  // How a command leaves the window.
  enum class Result { Stay, Opened, Cancelled, LoggedOut };
  // A leaving command's outcome: the window is left, or stays (with the refusal to show, if any).
  struct Outcome {
    Result result = Result::Stay;
    std::optional<Message> refusal;
  };

  // openedFromMenu: the list was opened from the menu with a book open, and may be left by
  // "取消" back to it.
  explicit Catalogue(book::Workspace& store, bool openedFromMenu = false)
      : store_(store), openedFromMenu_(openedFromMenu) {}

  // Reads the user's list and selects the first entry; the refusal when it cannot be read.
  std::optional<Message> load();

  // "備份與還原": the backups of the selected book, newest first, and one of them brought back
  // as a new book right after it in the list (selected then), never over the book itself.
  std::vector<backup::BackupInfo> backupsOfSelected() const;
  std::variant<QString, Message> restoreBackup(const backup::BackupInfo& info);

  const QStringList& entries() const { return entries_; }
  int selected() const { return selected_; }  // -1: none
  bool hasSelection() const { return selected_ >= 0 && selected_ < entries_.size(); }
  void select(int row);
  // "開啟(&O)", "更名(&R)", "刪除(&D)", "複製(&C)" act only on a list with entries.
  bool selectionCommandsEnabled() const { return !entries_.isEmpty(); }
  bool cancelEnabled() const;

  // What to do with a database whose lock another computer holds: refuse it (as always), open
  // it read-only (its saves never write its files), or open it anyway and merge at save.
  enum class ForeignLock { Refuse, ReadOnly, OpenAnyway };

  // "開啟(&O)". Before the starting cash of a new database is asked: the refusal when the
  // selected database cannot be opened; then whether it is new. A lock of another computer is
  // no refusal here: selectedHeldElsewhere() names it, and open() is told what to do.
  std::optional<Message> openRefusal() const;
  bool selectedIsNew() const;
  std::optional<store::dblock::ForeignHolder> selectedHeldElsewhere() const;
  // Opens the selected database; `startingCash` goes into the opening entry of a new one.
  // Opened past another computer's lock, the database holds no lock of this program.
  Outcome open(qint32 startingCash = 0, ForeignLock foreignLock = ForeignLock::Refuse);

  // "新增(&N)" with the name typed.
  std::optional<Message> addNew(const QString& name);

  // "更名(&R)": renameRefusal() before the new name is asked, newNameRefusal() for each name
  // typed (the window asks again), then rename().
  std::optional<Message> renameRefusal() const;
  std::optional<Message> newNameRefusal(const QString& name) const;
  std::optional<Message> rename(const QString& name);

  // "刪除(&D)": removeRefusal() before the question, remove() after a Yes.
  std::optional<Message> removeRefusal() const;
  std::optional<Message> remove();

  std::optional<Message> copy();
  void moveUp();
  void moveDown();
  Outcome cancel();
  Outcome logOut();

 private:
  QString folderOf(const QString& entry) const;
  // The refusal when the selected line of the list names no usable folder.
  std::optional<Message> selectedNameRefusal() const;
  // Writes the list when it changed; the refusal when it could not be written.
  std::optional<Message> saveIfChanged();
  void moveSelected(int step);

  book::Workspace& store_;
  bool openedFromMenu_;
  QStringList entries_;
  int selected_ = -1;
};

}  // namespace catalogue
