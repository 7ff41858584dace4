#pragma once

#include "platform/message.h"
#include "reconcile/protection.h"
#include "schedules/posting.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class Dialogs;
namespace book {
class Workspace;
}
class QWidget;

// What the open book keeps beside its own files: its schedules and its reconciliations. Read
// when the book is opened; the since-last-run list shows what is due once the book is ready,
// after a crash's changes were offered back. Written right after each save of the book, so the
// side files never record a posting the book has not saved; a crash between the two leaves the
// entries in the book, where the next opening recognises them. A book that never had either
// gets no side file. Every change a person makes to them is a step of the book's history.
class SideBooks : public QObject {
  Q_OBJECT

 public:
  SideBooks(book::Workspace& store, Dialogs& dialogs, QWidget* window);

  void editSchedules();
  // The wizard, on the account whose ledger is shown when it can be reconciled.
  void reconcile(int shownAccountSlot);
  // The wizard over a statement just imported (its offer: account, date, balance, ticks).
  void reconcileStatement(int accountSlot, const QDate& date, std::optional<qint64> ending,
                          const std::vector<int>& matchedSlots);
  // 存成定期 of the entry in `slot`: kept with its defaults, the person told so and offered the
  // schedules window to change them. Keeping it is a step of the book's history.
  void keepEntryAsSchedule(int slot);

  // Reconciled entries: the ledger's mark (slot -> the reconciliation's name); the question
  // before one is changed or deleted; and, once it was, the entries released from their
  // reconciliations (which then no longer balance while the book lacks them as they were).
  QHash<int, QString> reconciledSlots() const;
  bool mayChangeEntries(const std::vector<int>& entrySlots, bool deleting);
  // The one question before the ticked entries are deleted: the usual one, or, when any of them
  // is reconciled, one that also names the reconciliations.
  Message deleteQuestion(const std::vector<int>& entrySlots);
  // The entries asked about last were changed or deleted. Called within the change's history
  // step, the release is part of it: 復原 and 重做 take both together.
  void entriesChanged();

 private:
  void onOpened(const QString& folder);
  void onSaved(const QString& folder);
  void onReady(const QString& folder);

  book::Workspace& store_;
  Dialogs& dialogs_;
  QWidget* window_;
  schedules::ScheduleBook schedules_;
  std::vector<reconcile::Reconciliation> reconciliations_;
  // The history's steps of these records end with them: a new book gets new ones.
  std::shared_ptr<const int> alive_;
  reconcile::Held asked_;  // the reconciled entries the last question named
  bool askedDeleting_ = false;
};
