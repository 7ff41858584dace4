#pragma once

#include "history/History.h"
#include "platform/dates.h"
#include "store/dblock.h"
#include "store/fingerprint.h"
#include "store/records.h"

#include <QObject>
#include <QString>

#include <array>

class Dialogs;

// The folder a database name stands for. Windows drops trailing blanks and dots from a folder
// name, so a "DataBase.lst" line "2003-11 " written there names the folder "2003-11"; lists
// moved over keep their lines and still find their folders.
QString databaseFolderName(const QString& name);

// The one store of the running program: the open database's two tables with their counts and
// the state the windows share. Created at start and handed by reference to every window that
// needs it; tests create as many as they like.
class Module1 : public QObject {
  Q_OBJECT

 public:
  // dataFolder: where the books and settings live (tests pass a temporary one);
  // programFiles: where the help page lies, the data folder when not given.
  Module1(const QString& dataFolder, Dialogs& dialogs, const QString& programFiles = {});

  // The open database.
  AccountTableType AccountTable;
  EntryTableType EntryTable;
  int AccountCount = 1;  // first free slot: accounts in use + 1
  int EntryCount = 1;    // first free slot: entries in use + 1

  // Shared state.
  QString DataFolder;      // no trailing separator; the program's folder when portable
  QString ProgramFiles;    // the help page and icon: beside the program or share/varnix
  QString DataBaseFolder;  // DataFolder + "/DataBase/"
  QString CsvFolder;       // DataFolder + "/CSV/"
  QString TxtFolder;       // DataFolder + "/TXT/"
  QString UserName;
  QString DataBaseName;
  bool OpenedFromMenu = false;
  bool CatalogueChanged = false;
  int EditIndex = 0;
  QString PasswordLine;
  // The lock file of the open database: no other window opens it meanwhile. Given up when
  // another database is opened, at log-out, and with the store at the program's end.
  DatabaseLock Lock;
  // The open book's files as last read or written: a save first checks that nobody else has
  // written them since.
  BookFingerprint Fingerprint;

  // Undo and redo of the open book's changes.
  History& history() { return history_; }
  const History& history() const { return history_; }

  Dialogs& dialogs() const { return dialogs_; }
  Clock& clock() { return clock_; }
  const Clock& clock() const { return clock_; }
  QString today() const { return dates::format(clock_.today()); }

  // Paths.
  QString userFolder() const { return DataBaseFolder + UserName; }
  QString databaseFolder() const {
    return userFolder() + QLatin1Char('/') + databaseFolderName(DataBaseName);
  }
  QString helpPage() const { return ProgramFiles + QStringLiteral("/readme.htm"); }
  QString settingsFile() const { return DataFolder + QStringLiteral("/Varnix.ini"); }

  int entriesInUse() const { return EntryCount - 1; }
  int accountsInUse() const { return AccountCount - 1; }

  // The four panels of the main window's status bar. Logic writes the texts; the main window
  // shows them.
  enum Panel { UserPanel = 0, DatabasePanel = 1, AccountsPanel = 2, EntriesPanel = 3 };
  const QString& panel(Panel p) const { return panels_[p]; }
  void setPanel(Panel p, const QString& text);
  void showAccountCount();  // "帳戶數量：" + accounts in use
  void showEntryCount();    // "資料筆數：" + entries in use
  void clearPanels();       // the four bare labels

  // Asks every account list of the program to refill itself from AccountTable and select the
  // first account (the main window then shows its ledger).
  void FillAccountLists() { emit accountListsRefilled(); }

  // Ends the program; `save` tells whether the open database is written first.
  void requestEnd(bool save);
  bool endRequested() const { return endRequested_; }

  // Slot of the account with exactly this (padded) name, 0 when there is none.
  int accountSlot(const QString& name) const;

 signals:
  void statusChanged();
  void accountListsRefilled();
  void endRequestedSignal(bool save);
  // The open book's files were read (opened) or written (saved) in `folder`: the side files
  // that go with the book follow.
  void bookOpened(const QString& folder);
  void bookSaved(const QString& folder);

 private:
  Dialogs& dialogs_;
  Clock clock_;
  History history_;
  std::array<QString, 4> panels_;
  bool endRequested_ = false;
};
