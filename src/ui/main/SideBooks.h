#pragma once

#include "reconcile/reconciliation.h"
#include "schedules/posting.h"

#include <QObject>
#include <QString>

#include <vector>

class Dialogs;
namespace book {
class Workspace;
}
class QWidget;

// What the open book keeps beside its own files: its schedules and its reconciliations. Read
// when the book is opened (the since-last-run list then shows what is due), written right
// after each save of the book, so the side files never record a posting the book has not
// saved; a crash between the two leaves the entries in the book, where the next opening
// recognises them.
class SideBooks : public QObject {
  Q_OBJECT

 public:
  SideBooks(book::Workspace& store, Dialogs& dialogs, QWidget* window);

  void editSchedules();
  void reconcile();
  // After 復原 or 重做 of the step `name`: a posting's records follow its entries.
  void followHistory(const QString& name, bool undo);

 private:
  void onOpened(const QString& folder);
  void onSaved(const QString& folder);

  book::Workspace& store_;
  Dialogs& dialogs_;
  QWidget* window_;
  schedules::ScheduleBook schedules_;
  std::vector<reconcile::Reconciliation> reconciliations_;
  schedules::RecordSteps done_;
  schedules::RecordSteps undone_;
};
