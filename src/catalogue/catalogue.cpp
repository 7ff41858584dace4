#include "catalogue/catalogue.h"

#include "catalogue/folders.h"
#include "catalogue/names.h"
#include "platform/textfile.h"
#include "store/Module1.h"
#include "store/database.h"
#include "store/dblock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kPanelLabel = QStringLiteral("資料庫名稱：");

}  // namespace

QString UserFolder(const Module1& store) { return store.DataBaseFolder + store.UserName; }

QString databaseListPath(const Module1& store) {
  return UserFolder(store) + QLatin1Char('/') + kDatabaseListFile;
}

std::variant<QStringList, QString> LoadDatabaseList(const Module1& store) {
  return readDatabaseList(databaseListPath(store));
}

std::variant<QStringList, QString> readDatabaseList(const QString& path) {
  const QFileInfo info(path);
  // A user folder without its list is a user without databases.
  if (!info.exists()) return QStringList();
  auto lines = info.isFile() ? textfile::readLines(path) : std::nullopt;
  if (!lines) {
    return QStringLiteral("無法讀取資料庫清單「%1」").arg(QDir::toNativeSeparators(path));
  }
  return *lines;
}

std::optional<QString> SaveDatabaseList(const Module1& store, const QStringList& names) {
  if (auto error = textfile::writeLines(databaseListPath(store), names)) {
    return QStringLiteral("資料庫清單沒有存好：%1").arg(*error);
  }
  return std::nullopt;
}

bool DatabaseInUse(const Module1& store, const QString& entry) {
  return store.panel(Module1::DatabasePanel) == kPanelLabel + entry;
}

std::optional<Message> EnterCatalogueFromMenu(Module1& store) {
  if (!store.DataBaseName.isEmpty()) {
    if (auto refused = SaveDatabase(store)) return refused;
  }
  store.OpenedFromMenu = true;
  return std::nullopt;
}

std::optional<Message> Catalogue::load() {
  auto loaded = LoadDatabaseList(store_);
  if (const QString* error = std::get_if<QString>(&loaded)) return refusal(*error);
  entries_ = std::get<QStringList>(loaded);
  selected_ = entries_.isEmpty() ? -1 : 0;
  return std::nullopt;
}

void Catalogue::select(int row) { selected_ = (row >= 0 && row < entries_.size()) ? row : -1; }

bool Catalogue::cancelEnabled() const { return store_.OpenedFromMenu; }

QString Catalogue::folderOf(const QString& entry) const {
  return UserFolder(store_) + QLatin1Char('/') + entry;
}

void Catalogue::show(const QString& text) const { store_.dialogs().message(refusal(text)); }

bool Catalogue::selectedNameUsable() const {
  // A hand-edited or damaged list may hold a line that is no folder name ("", "..", "a/b"):
  // it must never lead to the user's own folder or outside it.
  if (auto problem = names::folderNameProblem(entries_.at(selected_), names::kDatabaseName)) {
    show(QStringLiteral("清單中的「%1」不是可用的資料庫名稱：%2")
             .arg(entries_.at(selected_), *problem));
    return false;
  }
  return true;
}

bool Catalogue::saveIfChanged() {
  if (!store_.CatalogueChanged) return true;
  if (auto error = SaveDatabaseList(store_, entries_)) {
    show(*error);
    return false;
  }
  return true;
}

Catalogue::Result Catalogue::open() {
  if (!hasSelection()) return Result::Stay;
  if (!selectedNameUsable()) return Result::Stay;
  const QString name = entries_.at(selected_);
  // A listed database whose folder has gone is not silently made anew and empty.
  if (!folders::isFolder(folderOf(name))) {
    show(QStringLiteral("找不到資料庫「%1」的資料夾，無法開啟。\n資料夾可能已被移走或刪除。")
             .arg(name));
    return Result::Stay;
  }
  // Another window, of this program or another copy of it, may have the database open. The
  // lock of the database open until now is given up only once the new one has opened.
  DatabaseLock next;
  if (!store_.Lock.holds(folderOf(name))) {
    if (auto refused = next.acquire(folderOf(name))) {
      store_.dialogs().message(*refused);
      return Result::Stay;
    }
  }
  if (!saveIfChanged()) return Result::Stay;
  const QString previous = store_.DataBaseName;
  store_.DataBaseName = name;
  if (auto refused = LoadDatabase(store_)) {
    // The tables still hold the database that was open before.
    store_.DataBaseName = previous;
    store_.dialogs().message(*refused);
    return Result::Stay;
  }
  if (next.held()) store_.Lock.swap(next);
  store_.setPanel(Module1::DatabasePanel, kPanelLabel + store_.DataBaseName);
  store_.FillAccountLists();
  return Result::Opened;
}

void Catalogue::addNew() {
  const QString name = store_.dialogs().input(
      QStringLiteral("新增資料庫，建議以年份-月份為資料庫名稱，例如：2003-11"),
      QStringLiteral("新增"), QString());
  if (name.isEmpty()) return;
  if (auto problem = names::folderNameProblem(name, names::kDatabaseName)) {
    show(*problem);
    return;
  }
  const QString folder = folderOf(name);
  if (folders::exists(folder)) {
    show(QStringLiteral("資料庫已存在"));
    return;
  }
  // The folder first: a name in the list always has its folder.
  if (auto error = folders::create(folder)) {
    show(*error);
    return;
  }
  entries_.append(name);
  selected_ = entries_.size() - 1;
  store_.CatalogueChanged = true;
}

void Catalogue::rename() {
  if (hasSelection() && DatabaseInUse(store_, entries_.at(selected_))) {
    show(QStringLiteral("這個資料庫正在使用中"));
    return;
  }
  if (!hasSelection()) return;
  if (!selectedNameUsable()) return;
  if (dblock::inUse(folderOf(entries_.at(selected_)))) {
    show(dblock::inUseText());
    return;
  }
  const QString current = entries_.at(selected_);
  const QString prompt = QStringLiteral("請輸入新的名稱");
  const QString title = QStringLiteral("輸入");
  QString name = store_.dialogs().input(prompt, title, current);
  for (;;) {
    if (name.isEmpty()) return;
    std::optional<QString> problem = names::folderNameProblem(name, names::kDatabaseName);
    // The current name exists too, so it is refused like any other taken name.
    if (!problem && folders::exists(folderOf(name))) {
      problem = QStringLiteral("已有相同名稱的資料庫");
    }
    if (!problem) break;
    show(*problem);
    name = store_.dialogs().input(prompt, title, name);
  }
  if (auto error = folders::rename(folderOf(current), folderOf(name))) {
    show(*error);
    return;
  }
  entries_[selected_] = name;
  store_.CatalogueChanged = true;
}

void Catalogue::remove() {
  if (hasSelection() && DatabaseInUse(store_, entries_.at(selected_))) {
    show(QStringLiteral("這個資料庫正在使用中"));
    return;
  }
  if (!hasSelection()) return;
  if (!names::folderNameProblem(entries_.at(selected_), names::kDatabaseName) &&
      dblock::inUse(folderOf(entries_.at(selected_)))) {
    show(dblock::inUseText());
    return;
  }
  if (store_.dialogs().message(confirmDelete(QStringLiteral("確定刪除這個資料庫嗎？"))) !=
      Answer::Yes) {
    return;
  }
  const QString entry = entries_.at(selected_);
  const QString folder = folderOf(entry);
  // Only a folder is a database; a plain file of that name is none of the catalogue's business,
  // and a line that is no folder name is only taken off the list.
  if (!names::folderNameProblem(entry, names::kDatabaseName) && folders::isFolder(folder)) {
    if (auto error = folders::remove(folder)) {
      // What is left of the folder stays listed, so it can be deleted again.
      show(*error);
      return;
    }
  }
  const int removed = selected_;
  entries_.removeAt(removed);
  if (entries_.isEmpty()) {
    selected_ = -1;
  } else {
    selected_ = removed > 0 ? removed - 1 : 0;
  }
  store_.CatalogueChanged = true;
}

void Catalogue::copy() {
  if (!hasSelection()) return;
  if (!selectedNameUsable()) return;
  const QString source = entries_.at(selected_);
  QString name = source + QStringLiteral("-Copy");
  while (folders::exists(folderOf(name))) name += QStringLiteral("-Copy");
  if (auto error = folders::copy(folderOf(source), folderOf(name))) {
    show(*error);
    return;
  }
  // The copy is opened by nobody: the lock of an open source database stays behind.
  QFile::remove(folderOf(name) + QLatin1Char('/') + dblock::kLockFile);
  entries_.append(name);
  store_.CatalogueChanged = true;
}

void Catalogue::moveSelected(int step) {
  if (!hasSelection()) return;
  const int target = selected_ + step;
  if (target < 0 || target >= entries_.size()) return;
  entries_.swapItemsAt(selected_, target);
  selected_ = target;
  store_.CatalogueChanged = true;
}

void Catalogue::moveUp() { moveSelected(-1); }

void Catalogue::moveDown() { moveSelected(1); }

Catalogue::Result Catalogue::cancel() {
  if (!store_.OpenedFromMenu) {
    show(QStringLiteral("請先開啟資料庫或登出"));
    return Result::Stay;
  }
  if (!saveIfChanged()) return Result::Stay;
  return Result::Cancelled;
}

Catalogue::Result Catalogue::logOut() {
  if (!saveIfChanged()) return Result::Stay;
  store_.clearPanels();
  store_.OpenedFromMenu = false;
  store_.Lock.release();
  store_.history().clear();
  return Result::LoggedOut;
}
