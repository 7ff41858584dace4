#pragma once

#include "book/book.h"
#include "catalogue/catalogue.h"
#include "store/database.h"

#include <QString>

#include <memory>

class Dialogs;
class LoginForm;
class MainForm;
class RecoveryKeeper;
namespace book {
class Workspace;
}

// The road through the program, in one place: the start (data folder prepared, the last user
// read), the login with its new user, the database list, opening a book, the list from the
// menu, the log-out, and the end with or without saving. The login and list windows only say
// how they were left; what comes next is decided here.
class Session {
 public:
  // Takes over the main window's start, menu commands and end.
  Session(book::Workspace& store, Dialogs& dialogs, MainForm& window);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Shows the main window and the login with the last user's name; a main window not yet built
  // is built and shown behind the login once the login is drawn. False when the program is to
  // end before a database was opened.
  bool start();

  // "資料庫選單(&D)": saves the open database, then shows the list with "取消" enabled.
  void databaseListFromMenu();
  // Opens another book of the user's list (a search result's): the open book is saved first;
  // a lock of another computer offers the list's choice (read-only, anyway, or not at all).
  // False (after saying why) when it did not open.
  bool openBook(const QString& name);
  // "變更密碼(&C)".
  void changePassword();
  // "登出(&O)" of the User menu: saves the open database, then logs out.
  void logOut();
  // The end of the program: the open database is saved first when `save` is set. False (after
  // saying why) when it could not be saved: the program then stays, so nothing is lost.
  bool end(bool save);

 private:
  // Shows what a save has to say; false when it refused (the caller then stops).
  bool showSaved(const book::SaveResult& saved);
  // The questions of a merge at save, in the conflict window.
  book::MergeQuestions mergeQuestions();
  // A book just opened with a sync tool's conflict copies beside its files: offers to merge each
  // one in.
  void offerSyncConflicts();
  // Builds the main window if need be, centres and shows it.
  void showWindow();
  // The login and the database list, until a database is open or the program is to end.
  void logInAndOpen(const QString& userName);
  // What follows every log-out, from the menu or from the list.
  void afterLogOut();
  // False when the login was left without a login.
  bool logIn(const QString& userName);
  void createUser(LoginForm& login);
  // The database list; a book it opened is offered its recovered changes.
  // fromMenu: opened from the menu over an open book, which "取消" goes back to.
  catalogue::Catalogue::Result databaseList(bool fromMenu = false);
  // A book just opened after a crash: bring back what the session had, keep it as a backup,
  // or refuse a damaged file.
  void offerRecovery();
  // After a book was opened: recovery, then sync copies, then the book is ready.
  void settleOpenedBook();
  // Shows a failed recovery write once, until a write succeeds again.
  void recoveryWritten(const QString& error);

  book::Workspace& store_;
  Dialogs& dialogs_;
  MainForm& window_;
  bool ended_ = false;
  std::unique_ptr<RecoveryKeeper> recovery_;
  QString recoveryError_;
};
