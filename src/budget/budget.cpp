#include "budget/budget.h"

#include "budget/budgetfile.h"
#include "history/History.h"
#include "platform/sidefile.h"

#include <QSet>

#include <algorithm>

namespace budget {

Budget::Budget(QString folder, std::vector<Plan> plans)
    : folder_(std::move(folder)), plans_(std::move(plans)), now_(&sidefile::now) {}

std::variant<std::unique_ptr<Budget>, QString> Budget::open(const QString& bookFolder) {
  auto read = budgetfile::load(bookFolder);
  if (const QString* why = std::get_if<QString>(&read)) return *why;
  return std::make_unique<Budget>(bookFolder, std::move(std::get<std::vector<Plan>>(read)));
}

std::vector<BoundPlan> Budget::bind(const std::vector<Account>& accounts, int year) const {
  std::vector<BoundPlan> bound;
  std::vector<size_t> open;
  QSet<int> taken;
  for (const Plan& p : plans_) {
    if (p.year != year || p.deleted) continue;
    bound.push_back({&p, 0});
    open.push_back(bound.size() - 1);
  }
  const auto claim = [&](const std::function<bool(const Plan&, const Account&)>& fits) {
    std::vector<size_t> still;
    for (size_t i : open) {
      const Plan& p = *bound[i].plan;
      for (const Account& a : accounts) {
        if (a.kind == p.kind && !taken.contains(a.slot) && fits(p, a)) {
          bound[i].slot = a.slot;
          taken.insert(a.slot);
          break;
        }
      }
      if (bound[i].slot == 0) still.push_back(i);
    }
    open.swap(still);
  };
  claim([](const Plan& p, const Account& a) { return a.name == p.name && a.slot == p.slot; });
  claim([](const Plan& p, const Account& a) { return a.name == p.name; });
  // A name no plan of the year knows, in the plan's slot and kind: the account was renamed.
  QSet<QString> known;
  for (const BoundPlan& b : bound) known.insert(b.plan->name);
  claim([&](const Plan& p, const Account& a) {
    return p.slot != 0 && a.slot == p.slot && !known.contains(a.name);
  });
  return bound;
}

const Plan* Budget::planOf(const std::vector<Account>& accounts, const Account& account,
                           int year) const {
  for (const BoundPlan& b : bind(accounts, year)) {
    if (b.slot == account.slot) return b.plan;
  }
  return nullptr;
}

QString Budget::newId(int year, const Account& account) const {
  QSet<QString> ids;
  for (const Plan& p : plans_) ids.insert(p.id);
  const QString base = QStringLiteral("%1-%2-%3").arg(year).arg(account.kind).arg(account.slot);
  QString id = base;
  for (int n = 2; ids.contains(id); ++n) id = base + QLatin1Char('-') + QString::number(n);
  return id;
}

std::optional<QString> Budget::edit(const std::vector<Account>& accounts, const Account& account,
                                    int year, const QString& name,
                                    const std::function<std::optional<QString>(Plan&)>& change) {
  if (account.kind != 3 && account.kind != 4) {
    return QStringLiteral("只有收入和支出帳戶可以編列預算");
  }
  const Plan* existing = planOf(accounts, account, year);
  Plan plan;
  Plan before;
  if (existing) {
    plan = *existing;
    before = plan;
  } else {
    plan.id = newId(year, account);
    plan.year = year;
    plan.kind = account.kind;
    plan.slot = account.slot;
    plan.name = account.name;
    // Undone, a new plan stays in the file marked deleted: a copy elsewhere learns of it.
    before = plan;
    before.deleted = true;
  }
  if (auto refused = change(plan)) return refused;
  plan.slot = account.slot;
  plan.name = account.name;
  plan.changed = before.changed;
  if (plan == before) return std::nullopt;  // nothing changed: no step, no write
  plan.changed = stampAfter(before.changed);

  size_t index = existing ? static_cast<size_t>(existing - plans_.data()) : plans_.size();
  if (existing) {
    plans_[index] = plan;
  } else {
    plans_.push_back(plan);
  }
  if (auto failed = store()) {
    if (existing) {
      plans_[index] = before;
    } else {
      plans_.pop_back();
    }
    return failed;
  }
  if (history_) {
    history_->recordSide(name, std::make_unique<history::SideRecords<Plan>>(
                                   alive_, std::move(before), std::move(plan),
                                   [this](const Plan& target) { return put(target); }));
  }
  return std::nullopt;
}

std::optional<QString> Budget::setMonth(const std::vector<Account>& accounts,
                                        const Account& account, int year, int month,
                                        const QString& typed) {
  if (month < 1 || month > 12) return QStringLiteral("月份要在 1 到 12 之間");
  const auto amount = parseBudgetAmount(typed);
  if (const QString* why = std::get_if<QString>(&amount)) return *why;
  const std::optional<qint64> value = std::get<std::optional<qint64>>(amount);
  return edit(accounts, account, year, editname::kMonth, [&](Plan& p) -> std::optional<QString> {
    const size_t m = static_cast<size_t>(month - 1);
    if (p.rule == Rule::PerMonth) {
      p.months[m] = value.value_or(0);
      p.overrides[m].reset();
    } else {
      p.overrides[m] = value;
    }
    return std::nullopt;
  });
}

std::optional<QString> Budget::setRule(const std::vector<Account>& accounts, const Account& account,
                                       int year, Rule rule, const QString& typed) {
  const auto amount = parseBudgetAmount(typed);
  if (const QString* why = std::get_if<QString>(&amount)) return *why;
  const qint64 value = std::get<std::optional<qint64>>(amount).value_or(0);
  return edit(accounts, account, year, editname::kRule, [&](Plan& p) -> std::optional<QString> {
    // Amounts per month start from what the months showed, so nothing typed is lost.
    if (rule == Rule::PerMonth) {
      p.months = plannedMonths(p);
    } else {
      p.amount = value;
    }
    p.rule = rule;
    p.overrides = {};
    return std::nullopt;
  });
}

std::optional<QString> Budget::setCarryForward(const std::vector<Account>& accounts,
                                               const Account& account, int year, bool on) {
  return edit(accounts, account, year, editname::kCarry, [&](Plan& p) -> std::optional<QString> {
    p.carryForward = on;
    return std::nullopt;
  });
}

std::optional<QString> Budget::fillEstimate(const std::vector<Account>& accounts,
                                            const Account& account, int year, qint64 amount) {
  if (amount < 0 || amount > kMaxAmount) return QStringLiteral("預估的金額超出可記錄的範圍");
  return edit(accounts, account, year, editname::kEstimate, [&](Plan& p) -> std::optional<QString> {
    p.rule = Rule::SameEachMonth;
    p.amount = amount;
    p.overrides = {};
    return std::nullopt;
  });
}

std::optional<QString> Budget::follow(const std::vector<Account>& accounts) {
  QSet<int> years;
  for (const Plan& p : plans_) years.insert(p.year);
  std::vector<std::pair<size_t, Plan>> changed;
  for (int year : years) {
    for (const BoundPlan& b : bind(accounts, year)) {
      if (b.slot == 0) {
        if (b.plan->slot == 0) continue;
        Plan gone = *b.plan;
        gone.slot = 0;
        gone.changed = stampAfter(gone.changed);
        changed.emplace_back(static_cast<size_t>(b.plan - plans_.data()), std::move(gone));
        continue;
      }
      const auto account = std::find_if(accounts.begin(), accounts.end(),
                                        [&](const Account& a) { return a.slot == b.slot; });
      if (b.plan->slot == b.slot && b.plan->name == account->name) continue;
      Plan moved = *b.plan;
      moved.slot = b.slot;
      moved.name = account->name;
      moved.changed = stampAfter(moved.changed);
      changed.emplace_back(static_cast<size_t>(b.plan - plans_.data()), std::move(moved));
    }
  }
  if (changed.empty()) return std::nullopt;
  const std::vector<Plan> kept = plans_;
  for (auto& [index, plan] : changed) plans_[index] = std::move(plan);
  if (auto failed = store()) {
    plans_ = kept;
    return failed;
  }
  return std::nullopt;
}

std::optional<QString> Budget::put(const Plan& target) {
  const auto at =
      std::find_if(plans_.begin(), plans_.end(), [&](const Plan& p) { return p.id == target.id; });
  if (at == plans_.end()) return QStringLiteral("預算已經和當時不同");
  const size_t index = static_cast<size_t>(at - plans_.begin());
  const Plan kept = *at;
  Plan next = target;
  // The account as it is now: the chart may have moved on since the step.
  next.slot = kept.slot;
  next.name = kept.name;
  // Stamped now, so that a copy of the file that saw the change does not bring it back.
  next.changed = stampAfter(kept.changed);
  plans_[index] = next;
  if (auto failed = store()) {
    plans_[index] = kept;
    return failed;
  }
  return std::nullopt;
}

std::optional<QString> Budget::sync() { return store(); }

std::optional<QString> Budget::store() {
  if (folder_.isEmpty()) return std::nullopt;
  auto merged = budgetfile::save(folder_, plans_);
  if (const QString* failed = std::get_if<QString>(&merged)) {
    return QStringLiteral("預算無法寫入：%1").arg(*failed);
  }
  plans_ = std::move(std::get<std::vector<Plan>>(merged));
  return std::nullopt;
}

QDateTime Budget::stampAfter(const QDateTime& last) const {
  const QDateTime now = now_();
  return last.isValid() && now <= last ? last.addMSecs(1) : now;
}

}  // namespace budget
