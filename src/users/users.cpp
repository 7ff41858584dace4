#include "users/users.h"

#include "catalogue/catalogue.h"
#include "catalogue/folders.h"
#include "catalogue/names.h"
#include "platform/safefile.h"
#include "store/Module1.h"
#include "store/database.h"
#include "users/password.h"
#include "users/settings.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString userFolderOf(const Module1& store, const QString& name) {
  return store.DataBaseFolder + name;
}

}  // namespace

LoginOutcome LogIn(Module1& store, const QString& name, const QString& typed) {
  if (auto problem = names::folderNameProblem(name, names::kUserName))
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
  const auto list = readDatabaseList(folder + QLatin1Char('/') + kDatabaseListFile);
  if (const QString* error = std::get_if<QString>(&list)) return {false, refusal(*error)};

  store.UserName = name;
  store.PasswordLine = stored.password;
  store.setPanel(Module1::UserPanel, QStringLiteral("使用者：") + name);
  store.CatalogueChanged = false;
  if (auto error = settings::writeLastUser(store.settingsFile(), name)) {
    return {true, refusal(QStringLiteral("無法記住這次登入的使用者：%1").arg(*error))};
  }
  return {true, std::nullopt};
}

std::optional<Message> CreateUser(Module1& store, const QString& name, const QString& pwd) {
  if (auto problem = password::passwordProblem(pwd)) return refusal(*problem);
  if (auto problem = names::folderNameProblem(name, names::kUserName)) return refusal(*problem);
  const QString folder = userFolderOf(store, name);
  if (folders::exists(folder)) return refusal(QStringLiteral("使用者已存在，請使用其他名稱"));

  QDir().mkpath(store.DataBaseFolder);
  if (auto error = folders::create(folder)) return refusal(*error);
  std::optional<QString> error =
      safefile::write(folder + QLatin1Char('/') + kDatabaseListFile, QByteArray());
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

std::optional<Message> oldPasswordRefusal(const Module1& store, const QString& typed) {
  if (typed != store.PasswordLine) return refusal(QStringLiteral("密碼錯誤"));
  return std::nullopt;
}

std::optional<Message> setPassword(Module1& store, const QString& old, const QString& fresh) {
  if (auto refused = oldPasswordRefusal(store, old)) return refused;
  if (auto problem = password::passwordProblem(fresh)) return refusal(*problem);
  const QString path = store.userFolder() + QLatin1Char('/') + password::kPasswordFile;
  if (auto error = password::writePasswordFile(path, fresh)) {
    return refusal(QStringLiteral("密碼沒有變更：%1").arg(*error));
  }
  store.PasswordLine = fresh;
  return std::nullopt;
}

SaveResult saveAndLogOut(Module1& store) {
  SaveResult result;
  if (!store.DataBaseName.isEmpty()) {
    result = SaveDatabase(store);
    if (!result.saved()) return result;
  }
  store.OpenedFromMenu = false;
  store.Lock.release();
  store.history().clear();
  return result;
}
