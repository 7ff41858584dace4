#pragma once

#include "reconcile/reconciliation.h"
#include "schedules/posting.h"

#include <QObject>
#include <QString>

#include <memory>
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
// recognises them. Every change a person makes to them is a step of the book's history.
class SideBooks : public QObject {
  Q_OBJECT

 public:
  SideBooks(book::Workspace& store, Dialogs& dialogs, QWidget* window);

  void editSchedules();
  void reconcile();

 private:
  void onOpened(const QString& folder);
  void onSaved(const QString& folder);

  book::Workspace& store_;
  Dialogs& dialogs_;
  QWidget* window_;
  schedules::ScheduleBook schedules_;
  std::vector<reconcile::Reconciliation> reconciliations_;
  // The history's steps of these records end with them: a new book gets new ones.
  std::shared_ptr<const int> alive_;
};
