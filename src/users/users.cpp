#include "users/users.h"

#include "backup/folders.h"
#include "book/book.h"
#include "book/workspace.h"
#include "platform/foldernames.h"
#include "platform/safefile.h"
#include "store/booklist.h"
#include "store/database.h"
#include "users/password.h"
#include "users/settings.h"

#include <QDir>
#include <QFileInfo>

namespace users {
namespace {

QString userFolderOf(const book::Workspace& store, const QString& name) {
  return store.user().usersFolder() + name;
}

}  // namespace

LoginOutcome logIn(book::Workspace& store, const QString& name, const QString& typed) {
  if (auto problem = foldernames::folderNameProblem(name, foldernames::kUserName))
    return {false, refusal(*problem)};
  const QString folder = userFolderOf(store, name);
  if (!folders::exists(folder))
    return {false, refusal(QStringLiteral("沒有這個使用者，請重新輸入"))};
  const QString passwordPath = folder + QLatin1Char('/') + password::kPasswordFile;
  if (!QFileInfo(passwordPath).isFile()) {
    return {false, refusal(QStringLiteral("找不到DataBase.pwd檔案，請檢查"))};
  }
  const password::FileRead stored = password::readPasswordFile(passwordPath);
  if (stored.error) return {false, refusal(*stored.error)};
  if (typed != stored.password) return {false, refusal(QStringLiteral("密碼不正確，請重新輸入"))};
  // The database list follows at once; a list that cannot be read keeps the user out rather
  // than showing an empty one that the next change would write over.
  const auto list = store::readDatabaseList(folder + QLatin1Char('/') + store::kDatabaseListFile);
  if (const QString* error = std::get_if<QString>(&list)) return {false, refusal(*error)};

  store.user().logIn(name, stored.password);
  store.setPanel(book::Workspace::UserPanel, QStringLiteral("使用者：") + name);
  if (auto error = settings::writeLastUser(store.user().settingsFile(), name)) {
    return {true, refusal(QStringLiteral("無法記住這次登入的使用者：%1").arg(*error))};
  }
  return {true, std::nullopt};
}

std::optional<Message> createUser(book::Workspace& store, const QString& name, const QString& pwd) {
  if (auto problem = password::passwordProblem(pwd)) return refusal(*problem);
  if (auto problem = foldernames::folderNameProblem(name, foldernames::kUserName))
    return refusal(*problem);
  const QString folder = userFolderOf(store, name);
  if (folders::exists(folder)) return refusal(QStringLiteral("使用者已存在，請使用其他名稱"));

  QDir().mkpath(store.user().usersFolder());
  if (auto error = folders::create(folder)) return refusal(*error);
  std::optional<QString> error =
      safefile::write(folder + QLatin1Char('/') + store::kDatabaseListFile, QByteArray());
  if (!error) {
    error = password::writePasswordFile(folder + QLatin1Char('/') + password::kPasswordFile, pwd);
  }
  if (error) {
    // A folder without its password file would be a user nobody can log in as.
    folders::remove(folder);
    return refusal(QStringLiteral("無法建立使用者：%1").arg(*error));
  }
  return std::nullopt;
}

std::optional<Message> oldPasswordRefusal(const book::Workspace& store, const QString& typed) {
  if (typed != store.user().passwordLine()) return refusal(QStringLiteral("密碼錯誤"));
  return std::nullopt;
}

std::optional<Message> setPassword(book::Workspace& store, const QString& old,
                                   const QString& fresh) {
  if (auto refused = oldPasswordRefusal(store, old)) return refused;
  if (auto problem = password::passwordProblem(fresh)) return refusal(*problem);
  const QString path = store.user().userFolder() + QLatin1Char('/') + password::kPasswordFile;
  if (auto error = password::writePasswordFile(path, fresh)) {
    return refusal(QStringLiteral("密碼沒有變更：%1").arg(*error));
  }
  store.user().setPasswordLine(fresh);
  return std::nullopt;
}

book::SaveResult saveAndLogOut(book::Workspace& store, const book::MergeQuestions& ask) {
  book::SaveResult result;
  if (!store.user().databaseName().isEmpty()) {
    result = book::save(store, ask);
    if (!result.saved()) return result;
  }
  store.lock().release();
  store.history().clear();
  return result;
}

}  // namespace users
