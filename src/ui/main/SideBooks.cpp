#include "ui/main/SideBooks.h"

#include "book/workspace.h"
#include "history/History.h"
#include "platform/dialogs.h"
#include "platform/sidefile.h"
#include "reconcile/ReconcileForm.h"
#include "reconcile/reconcilefile.h"
#include "schedules/ScheduleForm.h"
#include "schedules/SinceLastRunForm.h"
#include "schedules/editing.h"
#include "schedules/schedulefile.h"

SideBooks::SideBooks(book::Workspace& store, Dialogs& dialogs, QWidget* window)
    : QObject(window), store_(store), dialogs_(dialogs), window_(window) {
  connect(&store_, &book::Workspace::bookOpened, this, &SideBooks::onOpened);
  connect(&store_, &book::Workspace::bookSaved, this, &SideBooks::onSaved);
  connect(&store_, &book::Workspace::bookReady, this, &SideBooks::onReady);
  alive_ = std::make_shared<const int>(0);
}

void SideBooks::onOpened(const QString& folder) {
  schedules_ = {};
  reconciliations_.clear();
  auto plans = schedules::readSchedules(folder);
  if (auto* reason = std::get_if<QString>(&plans)) {
    dialogs_.show(refusal(QStringLiteral("無法讀取定期記錄：%1").arg(*reason)));
  } else {
    schedules_ = std::get<schedules::ScheduleBook>(plans);
  }
  auto done = reconcile::readReconciliations(folder);
  if (auto* reason = std::get_if<QString>(&done)) {
    dialogs_.show(refusal(QStringLiteral("無法讀取對帳記錄：%1").arg(*reason)));
  } else {
    reconciliations_ = std::get<std::vector<reconcile::Reconciliation>>(done);
  }
}

void SideBooks::onReady(const QString&) {
  // A book opened read-only posts nothing: what is due waits for a session that may save.
  if (store_.readOnly()) return;
  openSinceLastRun(store_, dialogs_, schedules_, window_,
                   schedules::stepsOf(store_, schedules_, alive_));
}

void SideBooks::onSaved(const QString& folder) {
  auto plans = schedules::writeSchedules(folder, schedules_);
  if (auto* reason = std::get_if<QString>(&plans))
    dialogs_.show(refusal(QStringLiteral("定期記錄沒有存好：%1").arg(*reason)));
  else
    schedules_ = std::get<schedules::ScheduleBook>(plans);
  auto done = reconcile::writeReconciliations(folder, reconciliations_);
  if (auto* reason = std::get_if<QString>(&done))
    dialogs_.show(refusal(QStringLiteral("對帳記錄沒有存好：%1").arg(*reason)));
  else
    reconciliations_ = std::get<std::vector<reconcile::Reconciliation>>(done);
}

void SideBooks::editSchedules() {
  openSchedules(store_, dialogs_, schedules_, window_,
                schedules::stepsOf(store_, schedules_, alive_));
}

void SideBooks::reconcile(int shownAccountSlot) {
  ReconcileForm form(store_, dialogs_, reconciliations_, window_,
                     reconcile::stepsOf(store_, reconciliations_, alive_));
  form.chooseAccount(shownAccountSlot);
  dialogs_.exec(form);
}

void SideBooks::reconcileStatement(int accountSlot, const QDate& date, std::optional<qint64> ending,
                                   const std::vector<int>& matchedSlots) {
  ReconcileForm form(store_, dialogs_, reconciliations_, window_,
                     reconcile::stepsOf(store_, reconciliations_, alive_));
  form.offerStatement(accountSlot, date, ending, matchedSlots);
  dialogs_.exec(form);
}

void SideBooks::keepEntryAsSchedule(int slot) {
  if (slot < 1 || slot >= store_.tables().entryCount) return;
  const QString id = sidefile::newId();
  const schedules::ScheduleBook before = schedules_;
  const Message told = schedules::keepEntryAsSchedule(schedules_, store_.tables().entries[slot], id,
                                                      store_.clock().now());
  if (schedules_.schedules.size() != before.schedules.size())
    schedules::stepsOf(store_, schedules_, alive_)(stepnames::kKeepEntryAsSchedule, before);
  if (dialogs_.show(told) == Answer::Yes) {
    openSchedules(store_, dialogs_, schedules_, window_,
                  schedules::stepsOf(store_, schedules_, alive_), id);
  }
}

QHash<int, QString> SideBooks::reconciledSlots() const {
  return reconcile::reconciledSlots(store_, reconciliations_);
}

bool SideBooks::mayChangeEntries(const std::vector<int>& entrySlots, bool deleting) {
  asked_ = reconcile::heldAmong(store_, reconciliations_, entrySlots);
  askedDeleting_ = deleting;
  if (asked_.keys.empty()) return true;
  if (dialogs_.show(reconcile::protectionQuestion(reconciliations_, asked_, deleting)) ==
      Answer::Yes)
    return true;
  asked_ = {};
  return false;
}

Message SideBooks::deleteQuestion(const std::vector<int>& entrySlots) {
  asked_ = reconcile::heldAmong(store_, reconciliations_, entrySlots);
  askedDeleting_ = true;
  if (asked_.keys.empty()) return confirmDelete(QStringLiteral("確定刪除資料嗎？"));
  return reconcile::protectionQuestion(reconciliations_, asked_, true);
}

void SideBooks::entriesChanged() {
  if (asked_.keys.empty()) return;
  const std::vector<reconcile::Reconciliation> before = reconciliations_;
  reconcile::release(reconciliations_, asked_, askedDeleting_, store_.clock().now());
  asked_ = {};
  // Outside the change's own step (a bulk delete) the release is a step of its own, named as
  // the change before it.
  reconcile::stepsOf(store_, reconciliations_, alive_)(store_.history().undoName(), before);
}
