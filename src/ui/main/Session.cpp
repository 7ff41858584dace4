#include "ui/main/Session.h"

#include "book/book.h"
#include "book/recovery.h"
#include "book/recoverykeeper.h"
#include "book/workspace.h"
#include "catalogue/LockedForm.h"
#include "catalogue/OpenForm.h"
#include "merge/MergeForm.h"
#include "platform/dialogs.h"
#include "platform/widgets/screen.h"
#include "store/database.h"
#include "ui/main/MainForm.h"
#include "users/LoginForm.h"
#include "users/NewUserForm.h"
#include "users/settings.h"
#include "users/users.h"

#include <QDir>
#include <QEvent>
#include <QTimer>

#include <functional>

namespace {

// Runs `then` from the event loop once `window` has been painted for the first time; never when
// the window is gone before.
void afterFirstPaint(QWidget& window, std::function<void()> then) {
  class Watch : public QObject {
   public:
    Watch(QWidget& window, std::function<void()> then) : QObject(&window), then_(std::move(then)) {
      window.installEventFilter(this);
    }

   protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // After the paint: the window's pixels reach the screen before `then` starts.
        QTimer::singleShot(0, this, [this] {
          then_();
          deleteLater();
        });
      }
      return false;
    }

   private:
    std::function<void()> then_;
  };
  new Watch(window, std::move(then));
}

}  // namespace

Session::Session(book::Workspace& store, Dialogs& dialogs, MainForm& window)
    : store_(store),
      dialogs_(dialogs),
      window_(window),
      recovery_(std::make_unique<RecoveryKeeper>(store)) {
  window_.setSession(this);
  QObject::connect(recovery_.get(), &RecoveryKeeper::written, recovery_.get(),
                   [this](const QString& error) { recoveryWritten(error); });
}

Session::~Session() { window_.setSession(nullptr); }

bool Session::start() {
  QDir().mkpath(store_.user().usersFolder());
  if (window_.built()) {
    showWindow();
  } else {
    // The login centres on the window that is yet to appear.
    centreOnScreen(window_);
  }
  const QString name = settings::readLastUser(store_.user().settingsFile());
  logInAndOpen(name);
  return !store_.endRequested() && !ended_;
}

void Session::showWindow() {
  window_.build();
  centreOnScreen(window_);
  window_.show();
}

void Session::logInAndOpen(const QString& userName) {
  if (!logIn(userName)) return;
  if (databaseList() == catalogue::Catalogue::Result::LoggedOut) afterLogOut();
}

void Session::afterLogOut() { logInAndOpen(store_.user().userName()); }

bool Session::logIn(const QString& userName) {
  LoginForm login(store_, dialogs_, &window_);
  login.setUserName(userName);
  QObject::connect(&login, &LoginForm::newUserRequested, &login,
                   [this, &login] { createUser(login); });
  if (!window_.built()) {
    // The main window is built behind the login once the login is on the screen: the first
    // window a person waits for is the one they answer first.
    afterFirstPaint(login, [this, &login] {
      showWindow();
      login.raise();
      login.activateWindow();
    });
  }
  dialogs_.exec(login);
  if (login.outcome() == LoginForm::Outcome::End) store_.requestEnd(false);
  // Left without either (only a test's script does that): the road ends here.
  const bool loggedIn = login.outcome() == LoginForm::Outcome::LoggedIn && !store_.endRequested();
  // Left before it was ever drawn: the database list still opens over the main window.
  if (loggedIn && !window_.isVisible()) showWindow();
  return loggedIn;
}

void Session::createUser(LoginForm& login) {
  NewUserForm form(store_, dialogs_, &login);
  dialogs_.exec(form);
  if (form.created()) login.setUser(form.userName(), form.password());
}

catalogue::Catalogue::Result Session::databaseList(bool fromMenu) {
  OpenForm form(store_, dialogs_, fromMenu, &window_);
  if (auto refused = form.load()) {
    dialogs_.show(*refused);
    return catalogue::Catalogue::Result::Stay;
  }
  dialogs_.exec(form);
  if (form.outcome() == catalogue::Catalogue::Result::Opened) {
    settleOpenedBook();
  }
  return form.outcome();
}

void Session::offerRecovery() {
  // The file speaks for the program that holds the book's lock: opened past another computer's
  // lock (read-only or anyway), it is that computer's session, alive or not, and stays its own.
  if (!store_.lock().holds(store_.user().databaseFolder())) return;
  recovery::Found found = recovery::find(store_);
  if (const auto* damaged = std::get_if<recovery::Damaged>(&found)) {
    dialogs_.show(recovery::setAside(store_, *damaged));
    return;
  }
  const auto* snapshot = std::get_if<recovery::Snapshot>(&found);
  if (!snapshot) return;
  if (snapshot->accounts ==
          store::accountsFileBytes(store_.tables().accounts, store_.tables().accountCount) &&
      snapshot->entries ==
          store::entriesFileBytes(store_.tables().entries, store_.tables().entryCount)) {
    // The program ended between the save and the file's removal: the book has it all.
    recovery::discard(store_.user().databaseFolder());
    return;
  }
  if (dialogs_.show(recovery::question(*snapshot)) == Answer::Yes) {
    recovery::restore(store_, *snapshot);
    // The session's file from now on: kept up to date, and gone at a clean leave.
    recovery_->writeNow();
    return;
  }
  if (auto refused = recovery::decline(store_, *snapshot)) dialogs_.show(*refused);
}

void Session::offerSyncConflicts() {
  // Read-only, the book's files are the other computer's to change.
  if (store_.readOnly()) return;
  for (const merge::SyncConflict& conflict :
       merge::syncConflictsIn(store_.user().databaseFolder())) {
    Message question{
        QStringLiteral("資料庫「%1」的資料夾裡有同步軟體留下的另一份帳本（%2），"
                       "是另一台電腦同時改過的版本。\r\n要把它的變更合併進來嗎？"
                       "合併後會存檔，同步軟體留下的檔案改名保留（結尾加上「.merged」）。")
            .arg(store_.user().databaseName(), conflict.label),
        QStringLiteral("合併"), MessageIcon::Question, MessageButtons::YesNo};
    if (dialogs_.show(question) != Answer::Yes) continue;
    dialogs_.show(book::mergeSyncConflict(store_, conflict, mergeQuestions()));
  }
}

void Session::recoveryWritten(const QString& error) {
  if (error.isEmpty() || error == recoveryError_) {
    recoveryError_ = error;
    return;
  }
  recoveryError_ = error;
  dialogs_.show(refusal(
      QStringLiteral("無法寫下當機時用來找回變更的檔案：%1\n帳本本身不受影響，離開時仍會存檔。")
          .arg(error)));
}

book::MergeQuestions Session::mergeQuestions() {
  return [this](const std::vector<merge::Conflict>& conflicts)
             -> std::optional<std::vector<merge::Choice>> {
    MergeForm form(conflicts, &window_);
    if (dialogs_.exec(form) != QDialog::Accepted || form.answers().size() != conflicts.size())
      return std::nullopt;
    return form.answers();
  };
}

bool Session::showSaved(const book::SaveResult& saved) {
  // A notice (a backup that failed, a book saved under a new name) is worth a box even when the
  // save itself went through.
  if (saved.notice) dialogs_.show(*saved.notice);
  if (saved.refusal) dialogs_.show(*saved.refusal);
  return saved.saved();
}

void Session::databaseListFromMenu() {
  if (!showSaved(catalogue::saveBeforeList(store_, mergeQuestions()))) return;
  recovery_->discard();
  if (databaseList(true) == catalogue::Catalogue::Result::LoggedOut) afterLogOut();
}

bool Session::openBook(const QString& name) {
  if (!store_.user().databaseName().isEmpty()) {
    if (!showSaved(book::save(store_, mergeQuestions()))) return false;
    recovery_->discard();
  }
  catalogue::Catalogue list(store_);
  if (auto refused = list.load()) {
    dialogs_.show(*refused);
    return false;
  }
  const int row = static_cast<int>(list.entries().indexOf(name));
  if (row < 0) {
    dialogs_.show(refusal(QStringLiteral("資料庫清單裡已經沒有「%1」").arg(name)));
    return false;
  }
  list.select(row);
  // Another computer's lock offers the same choice as the database list does.
  if (auto refused = list.openRefusal()) {
    dialogs_.show(*refused);
    return false;
  }
  const auto foreignLock = askPastForeignLock(list, dialogs_, &window_);
  if (!foreignLock) return false;
  const catalogue::Catalogue::Outcome opened = list.open(0, *foreignLock);
  if (opened.refusal) dialogs_.show(*opened.refusal);
  if (opened.result != catalogue::Catalogue::Result::Opened) return false;
  settleOpenedBook();
  return true;
}

void Session::settleOpenedBook() {
  offerRecovery();
  offerSyncConflicts();
  emit store_.bookReady(store_.user().databaseFolder());
}

void Session::changePassword() {
  Dialogs& dialogs = dialogs_;
  const QString title = QStringLiteral("輸入");
  const QString old = dialogs.input(QStringLiteral("輸入舊密碼"), title, QString());
  if (old.isEmpty()) return;
  if (auto refused = users::oldPasswordRefusal(store_, old)) {
    dialogs.show(*refused);
    return;
  }
  const QString fresh = dialogs.input(QStringLiteral("輸入新密碼(3-8個字元)"), title, QString());
  if (fresh.isEmpty()) return;
  if (auto refused = users::setPassword(store_, old, fresh)) dialogs.show(*refused);
}

void Session::logOut() {
  if (!showSaved(users::saveAndLogOut(store_, mergeQuestions()))) return;
  recovery_->discard();
  afterLogOut();
}

bool Session::end(bool save) {
  // Nothing opened, nothing to write.
  if (save && !store_.user().databaseName().isEmpty()) {
    if (!showSaved(book::save(store_, mergeQuestions()))) return false;
  }
  recovery_->discard();
  ended_ = true;
  return true;
}
