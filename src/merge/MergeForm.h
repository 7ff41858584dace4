#pragma once

#include "merge/merge.h"
#include "platform/widgets/FixedDialog.h"

#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The questions of a merge, one at a time: both sides side by side and the choices. The dialog
// is accepted once every question has its answer; 取消 leaves it with none (the book is then
// saved as a copy, as before merges).
class MergeForm : public FixedDialog {
  Q_OBJECT

 public:
  explicit MergeForm(const std::vector<merge::Conflict>& conflicts, QWidget* parent = nullptr);

  // One per question, in order; complete only after the dialog was accepted.
  const std::vector<merge::Choice>& answers() const { return answers_; }

  static constexpr const char* kTitleName = "mergeTitle";
  static constexpr const char* kStepName = "mergeStep";
  static constexpr const char* kMineName = "mergeMine";
  static constexpr const char* kTheirsName = "mergeTheirs";
  static constexpr const char* kKeepMineName = "keepMine";
  static constexpr const char* kKeepTheirsName = "keepTheirs";
  static constexpr const char* kKeepBothName = "keepBoth";
  static constexpr const char* kPreviousName = "previousConflict";
  static constexpr const char* kCancelName = "cancelMerge";

 private:
  void answer(merge::Choice choice);
  void onPreviousClicked();
  void onCancelClicked();
  void showConflict(size_t index);

  const std::vector<merge::Conflict>& conflicts_;
  std::vector<merge::Choice> answers_;
  size_t current_ = 0;
  QLabel* title_ = nullptr;
  QLabel* step_ = nullptr;
  QPlainTextEdit* mine_ = nullptr;
  QPlainTextEdit* theirs_ = nullptr;
  QPushButton* keepBoth_ = nullptr;
  QPushButton* previous_ = nullptr;
};
