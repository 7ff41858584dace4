#pragma once

// The windows that other windows open, each built, shown modally through the dialog seam and
// left before the function returns. The main window calls these; each is implemented beside
// its window class.

class Module1;
class LedgerView;
class QString;
class QWidget;

// Account editor (AccountForm). On "完成(&D)" it refills every account list
// (Module1::FillAccountLists), so the main window shows the first account's ledger.
void openAccountEditor(Module1& store, QWidget* parent);

// Financial statements as of today (BSForm).
void openStatements(Module1& store, QWidget* parent);

// The journal with its two exports (DiaryForm).
void openJournal(Module1& store, QWidget* parent);

// Bulk delete by date rules (DelForm); redraws the ledger through `view`.
void openBulkDelete(Module1& store, LedgerView& view, QWidget* parent);

// The about box (AboutForm).
void openAbout(Module1& store, QWidget* parent);

// The login window, and after a successful login the user's database list, which opens a
// database (FillAccountLists then shows its first ledger). `userName` goes into the name box.
// Returns when a database has been opened or the program is to end
// (Module1::endRequested()).
void showLogin(Module1& store, const QString& userName, QWidget* parent);

// "資料庫選單(&D)" of the File menu: saves the open database, then shows the database list
// with "取消" enabled.
void showDatabaseListFromMenu(Module1& store, QWidget* parent);

// "變更密碼(&C)" of the User menu.
void changePassword(Module1& store);

// "登出(&O)" of the User menu: saves the open database and shows the login window again.
void logOutFromMenu(Module1& store, QWidget* parent);
