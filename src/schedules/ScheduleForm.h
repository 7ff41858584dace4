#pragma once

#include "schedules/posting.h"

#include <QDialog>

class Dialogs;
namespace book {
class Workspace;
}
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;

// "定期記錄": the book's schedules, one edited at a time, with the next five dates of the rule
// as it stands in the controls.
class ScheduleForm : public QDialog {
  Q_OBJECT

 public:
  // The controls' names, for tests and screen readers.
  static constexpr char kScheduleList[] = "ScheduleList";
  static constexpr char kIncreasePicker[] = "IncreasePicker";
  static constexpr char kDecreasePicker[] = "DecreasePicker";
  static constexpr char kAmountBox[] = "AmountBox";
  static constexpr char kMemoBox[] = "MemoBox";
  static constexpr char kEstimateBox[] = "EstimateBox";
  static constexpr char kAutoPostBox[] = "AutoPostBox";
  static constexpr char kEveryBox[] = "EveryBox";
  static constexpr char kUnitPicker[] = "UnitPicker";
  static constexpr char kMonthDayPicker[] = "MonthDayPicker";
  static constexpr char kDayBox[] = "DayBox";
  static constexpr char kFirstDateBox[] = "FirstDateBox";
  static constexpr char kEndDateBox[] = "EndDateBox";
  static constexpr char kCountBox[] = "CountBox";
  static constexpr char kWeekendPicker[] = "WeekendPicker";
  static constexpr char kNextDates[] = "NextDates";
  static constexpr char kNewButton[] = "NewButton";
  static constexpr char kSaveButton[] = "SaveButton";
  static constexpr char kDeleteButton[] = "DeleteButton";
  static constexpr char kCloseButton[] = "CloseButton";

  // `changed` is told of each schedule saved or deleted (see schedules::Changed).
  ScheduleForm(book::Workspace& store, Dialogs& dialogs, schedules::ScheduleBook& book,
               QWidget* parent = nullptr, schedules::Changed changed = {});

  // Shows the schedule with this id for editing.
  void showSchedule(const QString& id);

 private:
  void refillList();
  void onChosen(int row);
  void onNew();
  void onSave();
  void onDelete();
  void showNextDates();
  schedules::Rule ruleInControls() const;
  int positionOf(const QString& account) const;

  book::Workspace& store_;
  Dialogs& dialogs_;
  schedules::ScheduleBook& book_;
  schedules::Changed changed_;
  std::vector<int> listed_;  // positions in book_.schedules of the list's rows
  QString editedId_;         // empty: a new schedule

  QListWidget* list_;
  QComboBox* increasePicker_;
  QComboBox* decreasePicker_;
  QLineEdit* amountBox_;
  QLineEdit* memoBox_;
  QCheckBox* estimateBox_;
  QCheckBox* autoPostBox_;
  QSpinBox* everyBox_;
  QComboBox* unitPicker_;
  QComboBox* monthDayPicker_;
  QSpinBox* dayBox_;
  QLineEdit* firstDateBox_;
  QLineEdit* endDateBox_;
  QSpinBox* countBox_;
  QComboBox* weekendPicker_;
  QLabel* nextDates_;
};

// `changed` is told of each schedule saved or deleted; `shownId`: the schedule shown first, none
// when empty.
void openSchedules(book::Workspace& store, Dialogs& dialogs, schedules::ScheduleBook& book,
                   QWidget* parent, const schedules::Changed& changed = {},
                   const QString& shownId = {});
