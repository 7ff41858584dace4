#include "ui/main/SideBooks.h"

#include "history/History.h"
#include "platform/dialogs.h"
#include "reconcile/ReconcileForm.h"
#include "reconcile/reconcilefile.h"
#include "schedules/ScheduleForm.h"
#include "schedules/SinceLastRunForm.h"
#include "schedules/schedulefile.h"
#include "book/workspace.h"

SideBooks::SideBooks(book::Workspace& store, Dialogs& dialogs, QWidget* window)
    : QObject(window), store_(store), dialogs_(dialogs), window_(window) {
  connect(&store_, &book::Workspace::bookOpened, this, &SideBooks::onOpened);
  connect(&store_, &book::Workspace::bookSaved, this, &SideBooks::onSaved);
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

void SideBooks::reconcile() {
  openReconcile(store_, dialogs_, reconciliations_, window_,
                reconcile::stepsOf(store_, reconciliations_, alive_));
}
