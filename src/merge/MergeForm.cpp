#include "merge/MergeForm.h"

#include "platform/widgets/build.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

MergeForm::MergeForm(const std::vector<merge::Conflict>& conflicts, QWidget* parent)
    : FixedDialog(parent), conflicts_(conflicts) {
  setWindowTitle(QStringLiteral("合併兩台電腦的帳本"));
  auto* layout = new QVBoxLayout(this);
  step_ = build::label(this, kStepName, QString());
  title_ = build::label(this, kTitleName, QString());
  title_->setWordWrap(true);
  layout->addWidget(step_);
  layout->addWidget(title_);

  auto* sides = new QGridLayout;
  sides->addWidget(build::label(this, "mineCaption", QStringLiteral("我的（這台電腦）")), 0, 0);
  sides->addWidget(build::label(this, "theirsCaption", QStringLiteral("對方的（另一台電腦）")), 0, 1);
  for (QPlainTextEdit** side : {&mine_, &theirs_}) {
    *side = new QPlainTextEdit(this);
    (*side)->setReadOnly(true);
    (*side)->setObjectName(QLatin1String(side == &mine_ ? kMineName : kTheirsName));
  }
  sides->addWidget(mine_, 1, 0);
  sides->addWidget(theirs_, 1, 1);
  layout->addLayout(sides);

  auto* keepMine = build::button(this, kKeepMineName, QStringLiteral("保留我的(&M)"));
  auto* keepTheirs = build::button(this, kKeepTheirsName, QStringLiteral("保留對方的(&T)"));
  keepBoth_ = build::button(this, kKeepBothName, QStringLiteral("兩者都留(&B)"));
  previous_ = build::button(this, kPreviousName, QStringLiteral("上一個(&P)"));
  auto* cancel = build::button(this, kCancelName, QStringLiteral("取消"));
  setCancelButton(cancel);
  layout->addLayout(build::buttonRow({previous_, keepMine, keepTheirs, keepBoth_, cancel}));
  connect(keepMine, &QPushButton::clicked, this, [this] { answer(merge::Choice::Mine); });
  connect(keepTheirs, &QPushButton::clicked, this, [this] { answer(merge::Choice::Theirs); });
  connect(keepBoth_, &QPushButton::clicked, this, [this] { answer(merge::Choice::Both); });
  connect(previous_, &QPushButton::clicked, this, &MergeForm::onPreviousClicked);
  connect(cancel, &QPushButton::clicked, this, &MergeForm::onCancelClicked);
  setClientSize(640, 320);
  showConflict(0);
}

void MergeForm::showConflict(size_t index) {
  current_ = index;
  if (current_ >= conflicts_.size()) return;
  const merge::Conflict& conflict = conflicts_[current_];
  step_->setText(QStringLiteral("第 %1 個，共 %2 個要決定").arg(current_ + 1).arg(conflicts_.size()));
  title_->setText(conflict.title);
  mine_->setPlainText(conflict.mine);
  theirs_->setPlainText(conflict.theirs);
  keepBoth_->setEnabled(conflict.allowsBoth);
  previous_->setEnabled(current_ > 0);
}

void MergeForm::answer(merge::Choice choice) {
  if (current_ >= conflicts_.size()) return;
  answers_.resize(current_);
  answers_.push_back(choice);
  if (answers_.size() == conflicts_.size()) {
    leave(QDialog::Accepted);
    return;
  }
  showConflict(current_ + 1);
}

void MergeForm::onPreviousClicked() {
  if (current_ > 0) showConflict(current_ - 1);
}

void MergeForm::onCancelClicked() {
  answers_.clear();
  leave(QDialog::Rejected);
}
