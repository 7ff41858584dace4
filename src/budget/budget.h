#pragma once

#include "budget/plan.h"
#include "budget/report.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class History;

// The budget of one book: its plans and the edits a person makes to them. Every edit checks
// first and either changes one plan, writes the file and leaves one step in the book's history
// (復原 and 重做 of the main window), or returns the refusal in words and changes nothing.
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
  // The history's steps refer to this budget: it stays where it was made.
  Budget(const Budget&) = delete;
  Budget& operator=(const Budget&) = delete;

  // The book's budget, or why its file could not be read.
  static std::variant<std::unique_ptr<Budget>, QString> open(const QString& bookFolder);

  // Where each edit leaves its step; none keeps no steps.
  void keepStepsIn(History* history) { history_ = history; }
  // The open book now lives in another folder (saved aside as a new book): the file follows.
  void moveTo(const QString& bookFolder) { folder_ = bookFolder; }
  // The plans merged with the file as it is on disk now (another computer's copy, synced into
  // the book's folder), written back when they differ: what either side changed last is kept.
  // The reason in words when the file cannot be read or written; nothing changes then.
  std::optional<QString> sync();

  const std::vector<Plan>& plans() const { return plans_; }
  const QString& folder() const { return folder_; }

  // Each plan of the year, with the account it follows now: by name and kind first (accounts
  // move when others are deleted), then by slot and kind (a renamed account); slot 0 when the
  // account is gone. A plan whose account was seen gone (its slot 0) is found by its name only:
  // a new account in the slot its account left is another account.
  std::vector<BoundPlan> bind(const std::vector<Account>& accounts, int year) const;
  // The account's plan for the year; none when it has none.
  const Plan* planOf(const std::vector<Account>& accounts, const Account& account, int year) const;

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
  std::optional<QString> fillEstimate(const std::vector<Account>& accounts, const Account& account,
                                      int year, qint64 amount);

  // Keeps each plan's slot and name as its account's are now (after a rename, a move or a
  // deletion of another account), so that the file follows the chart between budget edits. A
  // plan whose account is gone keeps its name and loses its slot (0), so that no account made
  // later in that slot takes it over; undoing the deletion brings its account back by name.
  // No step of its own: nothing a person planned changes. The reason when it cannot be written.
  std::optional<QString> follow(const std::vector<Account>& accounts);

  // Test seam: the clock that stamps each change (UTC).
  void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }

 private:
  // Runs `change` on the account's plan (a new one when it has none) and keeps the step; the
  // plan is left as it was when the change refuses or the file cannot be written.
  std::optional<QString> edit(const std::vector<Account>& accounts, const Account& account,
                              int year, const QString& name,
                              const std::function<std::optional<QString>(Plan&)>& change);
  // 復原 and 重做: the plan as it was (before a new plan was made: marked deleted), stamped
  // now, with the account it follows now.
  std::optional<QString> put(const Plan& target);
  // Writes the plans, merged with the file on disk, and takes the merged plans on.
  std::optional<QString> store();
  // A change's time: now, and always after the plan's last change, so that the merge with the
  // file on disk (which may hold that last change) keeps this one.
  QDateTime stampAfter(const QDateTime& last) const;
  QString newId(int year, const Account& account) const;

  QString folder_;
  std::vector<Plan> plans_;
  std::function<QDateTime()> now_;
  History* history_ = nullptr;
  std::shared_ptr<const int> alive_ = std::make_shared<const int>(0);
};

}  // namespace budget
