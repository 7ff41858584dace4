#pragma once

#include "platform/dialogs.h"
#include "store/database.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

class Module1;

// The user's databases: "DataBase.lst" in the user's folder, one name a line in the user's own
// order, and one folder per database beside it.

inline const QString kDatabaseListFile = QStringLiteral("DataBase.lst");

// DataBaseFolder + UserName, no trailing separator.
QString UserFolder(const Module1& store);
QString databaseListPath(const Module1& store);

// The names in file order. A missing file counts as an empty list; a file that cannot be read
// gives the reason in words.
std::variant<QStringList, QString> LoadDatabaseList(const Module1& store);
std::variant<QStringList, QString> readDatabaseList(const QString& path);

// Writes the whole list safely, each name followed by CR LF; the reason in words on failure.
std::optional<QString> SaveDatabaseList(const Module1& store, const QStringList& names);

// True when status panel 2 shows this database as the open one.
bool DatabaseInUse(const Module1& store, const QString& entry);

// "資料庫選單(&D)" of the File menu, before the list is shown: the open database is saved and
// the list may be left by "取消". With a refusal (saving failed) the list is not shown, so
// nothing unsaved can be replaced by another database; a notice of the save is shown first.
SaveResult EnterCatalogueFromMenu(Module1& store);

// The database list as the catalogue window shows it, with its commands. Changes to folders
// reach the disk at once; the list file is rewritten when the window is left (and only when
// CatalogueChanged is set). Messages and questions go through the store's dialogs.
class Catalogue {
 public:
  // How a command leaves the window.
  enum class Result { Stay, Opened, Cancelled, LoggedOut };

  explicit Catalogue(Module1& store) : store_(store) {}

  // Reads the user's list and selects the first entry; the refusal when it cannot be read.
  std::optional<Message> load();

  const QStringList& entries() const { return entries_; }
  int selected() const { return selected_; }  // -1: none
  void select(int row);
  // "開啟(&O)", "更名(&R)", "刪除(&D)", "複製(&C)" act only on a list with entries.
  bool selectionCommandsEnabled() const { return !entries_.isEmpty(); }
  bool cancelEnabled() const;

  Result open();
  void addNew();
  void rename();
  void remove();
  void copy();
  void moveUp();
  void moveDown();
  Result cancel();
  Result logOut();

 private:
  QString folderOf(const QString& entry) const;
  bool hasSelection() const { return selected_ >= 0 && selected_ < entries_.size(); }
  void show(const QString& text) const;
  // False (after saying so) when the selected line of the list is no folder name.
  bool selectedNameUsable() const;
  // Writes the list when it changed; false (after saying so) when it could not be written.
  bool saveIfChanged();
  void moveSelected(int step);

  Module1& store_;
  QStringList entries_;
  int selected_ = -1;
};
