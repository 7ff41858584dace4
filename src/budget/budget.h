#pragma once

#include "budget/plan.h"
#include "budget/report.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// The budget of one book: its plans, the edits a person makes to them, and undo and redo of
// those edits. Every edit checks first and either changes one plan and writes the file, or
// returns the refusal in words and changes nothing.
namespace budget {

// The names of the edits, as 復原 and 重做 show them.
namespace editname {
inline const QString kMonth = QStringLiteral("預算金額");
inline const QString kRule = QStringLiteral("預算方式");
inline const QString kCarry = QStringLiteral("預算結轉");
inline const QString kEstimate = QStringLiteral("預估預算");
}  // namespace editname

class Budget {
 public:
  // `folder`: the book's folder, where the file lives; empty keeps the budget in memory only.
  explicit Budget(QString folder = {}, std::vector<Plan> plans = {});

  // The book's budget, or why its file could not be read.
  static std::variant<Budget, QString> open(const QString& bookFolder);

  const std::vector<Plan>& plans() const { return plans_; }
  const QString& folder() const { return folder_; }

  // Each plan of the year, with the account it follows now: by name and kind first (accounts
  // move when others are deleted), then by slot and kind (a renamed account); slot 0 when the
  // account is gone.
  std::vector<BoundPlan> bind(const std::vector<Account>& accounts, int year) const;
  // The account's plan for the year; none when it has none.
  const Plan* planOf(const std::vector<Account>& accounts, const Account& account,
                     int year) const;

  // A month's own amount, typed; an empty text lets the month follow the rule again.
  std::optional<QString> setMonth(const std::vector<Account>& accounts, const Account& account,
                                  int year, int month, const QString& typed);
  // The rule with its amount: a month's amount for the same each month, the year's total for
  // the yearly spread; ignored (and may be empty) for amounts per month. Months' own amounts
  // are given up: the rule now speaks for every month.
  std::optional<QString> setRule(const std::vector<Account>& accounts, const Account& account,
                                 int year, Rule rule, const QString& typed);
  std::optional<QString> setCarryForward(const std::vector<Account>& accounts,
                                         const Account& account, int year, bool on);
  // 預估: the same amount each month from the account's last months (see estimateFrom).
  std::optional<QString> fillEstimate(const std::vector<Account>& accounts,
                                      const Account& account, int year, qint64 amount);

  // Keeps each plan's slot and name as its account's are now (after a rename, a move or a
  // deletion of another account), so that the file follows the chart between budget edits.
  // No step of its own: nothing a person planned changes. The reason when it cannot be written.
  std::optional<QString> follow(const std::vector<Account>& accounts);

  bool canUndo() const { return !done_.empty(); }
  bool canRedo() const { return !undone_.empty(); }
  QString undoName() const { return done_.empty() ? QString() : done_.back().name; }
  QString redoName() const { return undone_.empty() ? QString() : undone_.back().name; }
  std::optional<QString> undo();
  std::optional<QString> redo();

  // Test seam: the clock that stamps each change (UTC).
  void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }

 private:
  struct Step {
    QString name;
    size_t index = 0;
    Plan before;  // a new plan's is marked deleted
    Plan after;
  };
  // Runs `change` on the account's plan (a new one when it has none) and keeps the step; the
  // plan is left as it was when the change refuses or the file cannot be written.
  std::optional<QString> edit(const std::vector<Account>& accounts, const Account& account,
                              int year, const QString& name,
                              const std::function<std::optional<QString>(Plan&)>& change);
  std::optional<QString> cross(std::vector<Step>& from, std::vector<Step>& to, bool back);
  std::optional<QString> store();
  QString newId(int year, const Account& account) const;

  QString folder_;
  std::vector<Plan> plans_;
  std::vector<Step> done_;
  std::vector<Step> undone_;
  std::function<QDateTime()> now_;
};

}  // namespace budget
