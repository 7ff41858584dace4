#include "catalogue/catalogue.h"

#include "backup/folders.h"
#include "book/book.h"
#include "book/newbook.h"
#include "book/workspace.h"
#include "platform/foldernames.h"
#include "store/booklist.h"
#include "store/database.h"
#include "store/dblock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace catalogue {

namespace {

const QString kPanelLabel = QStringLiteral("資料庫名稱：");

}  // namespace

bool databaseInUse(const book::Workspace& store, const QString& entry) {
  return store.panel(book::Workspace::DatabasePanel) == kPanelLabel + entry;
}

book::SaveResult saveBeforeList(book::Workspace& store, const book::MergeQuestions& ask) {
  if (store.user().databaseName().isEmpty()) return {};
  return book::save(store, ask);
}

std::optional<Message> Catalogue::load() {
  auto loaded = store::loadDatabaseList(store_.user());
  if (const QString* error = std::get_if<QString>(&loaded)) return refusal(*error);
  entries_ = std::get<QStringList>(loaded);
  selected_ = entries_.isEmpty() ? -1 : 0;
  return std::nullopt;
}

void Catalogue::select(int row) { selected_ = (row >= 0 && row < entries_.size()) ? row : -1; }

bool Catalogue::cancelEnabled() const { return openedFromMenu_; }

QString Catalogue::folderOf(const QString& entry) const {
  return store_.user().userFolder() + QLatin1Char('/') + store::databaseFolderName(entry);
}

std::optional<Message> Catalogue::selectedNameRefusal() const {
  // A hand-edited or damaged list may hold a line that is no folder name ("", "..", "a/b"):
  // it must never lead to the user's own folder or outside it.
  const QString& entry = entries_.at(selected_);
  if (auto problem = foldernames::folderNameProblem(store::databaseFolderName(entry),
                                                    foldernames::kDatabaseName)) {
    return refusal(QStringLiteral("清單中的「%1」不是可用的資料庫名稱：%2").arg(entry, *problem));
  }
  return std::nullopt;
}

std::optional<Message> Catalogue::saveIfChanged() {
  if (!store_.user().listChanged()) return std::nullopt;
  if (auto error = store::saveDatabaseList(store_.user(), entries_)) return refusal(*error);
  return std::nullopt;
}

std::vector<backup::BackupInfo> Catalogue::backupsOfSelected() const {
  if (!hasSelection()) return {};
  return backup::list(folderOf(entries_.at(selected_)));
}

std::variant<QString, Message> Catalogue::restoreBackup(const backup::BackupInfo& info) {
  if (!hasSelection()) return refusal(QStringLiteral("請先選取資料庫"));
  // The restore writes its line into the list file: the list as shown goes there first, and is
  // read back afterwards, so neither loses the other's changes.
  if (auto refused = saveIfChanged()) return *refused;
  auto restored = book::restore(store_, entries_.at(selected_), info);
  if (const QString* name = std::get_if<QString>(&restored)) {
    if (auto refused = load()) return *refused;
    select(static_cast<int>(entries_.indexOf(*name)));
  }
  return restored;
}

std::optional<Message> Catalogue::openRefusal() const {
  if (!hasSelection()) return std::nullopt;
  if (auto refused = selectedNameRefusal()) return refused;
  const QString name = entries_.at(selected_);
  const QString folder = folderOf(name);
  // A listed database whose folder has gone is not silently made anew and empty.
  if (!folders::isFolder(folder)) {
    return refusal(
        QStringLiteral("找不到資料庫「%1」的資料夾，無法開啟。\n資料夾可能已被移走或刪除。")
            .arg(name));
  }
  if (!store_.lock().holds(folder) && store::dblock::inUse(folder) &&
      !store::dblock::heldByAnotherComputer(folder))
    return refusal(store::dblock::inUseText());
  return std::nullopt;
}

std::optional<store::dblock::ForeignHolder> Catalogue::selectedHeldElsewhere() const {
  if (!hasSelection() || selectedNameRefusal()) return std::nullopt;
  const QString folder = folderOf(entries_.at(selected_));
  if (store_.lock().holds(folder)) return std::nullopt;
  return store::dblock::heldByAnotherComputer(folder);
}

bool Catalogue::selectedIsNew() const {
  return hasSelection() && store::needsStartingCash(folderOf(entries_.at(selected_)));
}

Catalogue::Outcome Catalogue::open(qint32 startingCash, ForeignLock foreignLock) {
  if (!hasSelection()) return {};
  if (auto refused = openRefusal()) return {Result::Stay, refused};
  const QString name = entries_.at(selected_);
  // Another window, of this program or another copy of it, may have the database open. The
  // lock of the database open until now is given up only once the new one has opened.
  store::DatabaseLock next;
  const bool pastForeignLock = foreignLock != ForeignLock::Refuse && selectedHeldElsewhere();
  if (!store_.lock().holds(folderOf(name)) && !pastForeignLock) {
    if (auto refused = next.acquire(folderOf(name))) return {Result::Stay, refused};
  }
  if (auto refused = saveIfChanged()) return {Result::Stay, refused};
  const QString previous = store_.user().databaseName();
  store_.user().setDatabaseName(name);
  if (auto refused = book::open(store_, startingCash)) {
    // The tables still hold the database that was open before.
    store_.user().setDatabaseName(previous);
    return {Result::Stay, refused};
  }
  if (next.held()) store_.lock().swap(next);
  // Past another computer's lock: no lock at all, the earlier book's included.
  if (pastForeignLock) store_.lock().release();
  store_.setReadOnly(pastForeignLock && foreignLock == ForeignLock::ReadOnly);
  store_.setPanel(book::Workspace::DatabasePanel, kPanelLabel + store_.user().databaseName());
  store_.refillAccountLists();
  emit store_.bookOpened(store_.user().databaseFolder());
  return {Result::Opened, std::nullopt};
}

std::optional<Message> Catalogue::addNew(const QString& name) {
  if (auto problem = foldernames::folderNameProblem(name, foldernames::kDatabaseName))
    return refusal(*problem);
  const QString folder = folderOf(name);
  if (folders::exists(folder)) return refusal(QStringLiteral("資料庫已存在"));
  // The folder first: a name in the list always has its folder.
  if (auto error = folders::create(folder)) return refusal(*error);
  entries_.append(name);
  selected_ = entries_.size() - 1;
  store_.user().markListChanged();
  return std::nullopt;
}

std::optional<Message> Catalogue::renameRefusal() const {
  if (!hasSelection()) return std::nullopt;
  if (databaseInUse(store_, entries_.at(selected_))) {
    return refusal(QStringLiteral("這個資料庫正在使用中"));
  }
  if (auto refused = selectedNameRefusal()) return refused;
  if (store::dblock::inUse(folderOf(entries_.at(selected_))))
    return refusal(store::dblock::inUseText());
  return std::nullopt;
}

std::optional<Message> Catalogue::newNameRefusal(const QString& name) const {
  if (auto problem = foldernames::folderNameProblem(name, foldernames::kDatabaseName))
    return refusal(*problem);
  // The current name exists too, so it is refused like any other taken name.
  if (folders::exists(folderOf(name))) return refusal(QStringLiteral("已有相同名稱的資料庫"));
  return std::nullopt;
}

std::optional<Message> Catalogue::rename(const QString& name) {
  if (!hasSelection()) return std::nullopt;
  if (auto refused = renameRefusal()) return refused;
  if (auto refused = newNameRefusal(name)) return refused;
  const QString current = entries_.at(selected_);
  if (auto error = folders::rename(folderOf(current), folderOf(name))) return refusal(*error);
  entries_[selected_] = name;
  store_.user().markListChanged();
  return std::nullopt;
}

std::optional<Message> Catalogue::removeRefusal() const {
  if (!hasSelection()) return std::nullopt;
  const QString& entry = entries_.at(selected_);
  if (databaseInUse(store_, entry)) return refusal(QStringLiteral("這個資料庫正在使用中"));
  if (!selectedNameRefusal() && store::dblock::inUse(folderOf(entry))) {
    return refusal(store::dblock::inUseText());
  }
  return std::nullopt;
}

std::optional<Message> Catalogue::remove() {
  if (!hasSelection()) return std::nullopt;
  if (auto refused = removeRefusal()) return refused;
  const QString entry = entries_.at(selected_);
  const QString folder = folderOf(entry);
  // Only a folder is a database; a plain file of that name is none of the catalogue's business,
  // and a line that is no folder name is only taken off the list.
  if (!selectedNameRefusal() && folders::isFolder(folder)) {
    // What is left of a folder that could not be removed stays listed, so it can be deleted
    // again.
    if (auto error = folders::remove(folder)) return refusal(*error);
  }
  const int removed = selected_;
  entries_.removeAt(removed);
  if (entries_.isEmpty()) {
    selected_ = -1;
  } else {
    selected_ = removed > 0 ? removed - 1 : 0;
  }
  store_.user().markListChanged();
  return std::nullopt;
}

std::optional<Message> Catalogue::copy() {
  if (!hasSelection()) return std::nullopt;
  if (auto refused = selectedNameRefusal()) return refused;
  const QString source = entries_.at(selected_);
  QString name = source + QStringLiteral("-Copy");
  while (folders::exists(folderOf(name))) name += QStringLiteral("-Copy");
  if (auto error = folders::copy(folderOf(source), folderOf(name))) return refusal(*error);
  // The copy is opened by nobody: the lock of an open source database stays behind.
  QFile::remove(folderOf(name) + QLatin1Char('/') + store::dblock::kLockFile);
  entries_.append(name);
  store_.user().markListChanged();
  return std::nullopt;
}

void Catalogue::moveSelected(int step) {
  if (!hasSelection()) return;
  const int target = selected_ + step;
  if (target < 0 || target >= entries_.size()) return;
  entries_.swapItemsAt(selected_, target);
  selected_ = target;
  store_.user().markListChanged();
}

void Catalogue::moveUp() { moveSelected(-1); }

void Catalogue::moveDown() { moveSelected(1); }

Catalogue::Outcome Catalogue::cancel() {
  if (!openedFromMenu_) {
    return {Result::Stay, refusal(QStringLiteral("請先開啟資料庫或登出"))};
  }
  if (auto refused = saveIfChanged()) return {Result::Stay, refused};
  return {Result::Cancelled, std::nullopt};
}

Catalogue::Outcome Catalogue::logOut() {
  if (auto refused = saveIfChanged()) return {Result::Stay, refused};
  store_.clearPanels();
  store_.lock().release();
  store_.history().clear();
  return {Result::LoggedOut, std::nullopt};
}

}  // namespace catalogue
