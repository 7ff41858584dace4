#pragma once

#include "schedules/posting.h"

#include <QDialog>

#include <vector>

class Dialogs;
namespace book {
class Workspace;
}
class QLabel;
class QPushButton;
class QTableWidget;

// "自上次執行": the occurrences due since the book was last opened, each on its own row and
// date, with what will be done with it (入帳 by default, so one click posts them all). The ones
// that posted themselves are listed too, already done.
class SinceLastRunForm : public QDialog {
  Q_OBJECT

 public:
  // The controls' names, for tests and screen readers.
  static constexpr char kOccurrences[] = "Occurrences";
  static constexpr char kSummary[] = "Summary";
  static constexpr char kPostButton[] = "PostButton";
  static constexpr char kSkipButton[] = "SkipButton";
  static constexpr char kPostponeButton[] = "PostponeButton";
  static constexpr char kAmountButton[] = "AmountButton";
  static constexpr char kOkButton[] = "OkButton";
  static constexpr char kCancelButton[] = "CancelButton";

  SinceLastRunForm(book::Workspace& store, Dialogs& dialogs, schedules::ScheduleBook& book,
                   std::vector<schedules::DueOccurrence> asked,
                   std::vector<schedules::DueOccurrence> autoPosted, QWidget* parent = nullptr,
                   schedules::Changed changed = {});

 private:
  void setChosen(schedules::Action action);
  void onChangeAmount();
  void onPost();
  void showRow(int row);
  std::vector<int> chosenRows() const;
  bool askEstimates();

  book::Workspace& store_;
  Dialogs& dialogs_;
  schedules::ScheduleBook& book_;
  std::vector<schedules::Decision> decisions_;
  std::vector<bool> amountConfirmed_;
  QTableWidget* table_;
  QLabel* summary_;
  QPushButton* okButton_;
  schedules::Changed changed_;
};

// Posts what posts by itself and lists the rest when anything is due; shows nothing otherwise.
void openSinceLastRun(book::Workspace& store, Dialogs& dialogs, schedules::ScheduleBook& book,
                      QWidget* parent, const schedules::Changed& changed = {});
