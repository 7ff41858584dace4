#include "budget/plan.h"

#include "platform/numbers.h"
#include "reports/period/period.h"

#include <QRegularExpression>

#include <algorithm>

namespace budget {

Months plannedMonths(const Plan& plan) {
  Months months{};
  switch (plan.rule) {
    case Rule::SameEachMonth:
      months.fill(plan.amount);
      break;
    case Rule::PerMonth:
      months = plan.months;
      break;
    case Rule::YearlySpread: {
      const qint64 share = plan.amount / 12;
      months.fill(share);
      months[11] = plan.amount - share * 11;
      break;
    }
  }
  for (size_t m = 0; m < 12; ++m) {
    if (plan.overrides[m]) months[m] = *plan.overrides[m];
  }
  return months;
}

qint64 yearTotal(const Months& months) {
  qint64 total = 0;
  for (qint64 v : months) total += v;
  return total;
}

Months availableMonths(const Plan& plan, const Months& actual) {
  Months available = plannedMonths(plan);
  if (!plan.carryForward) return available;
  for (size_t m = 1; m < 12; ++m) available[m] += available[m - 1] - actual[m - 1];
  return available;
}

std::variant<std::optional<qint64>, QString> parseBudgetAmount(const QString& typed,
                                                               qint64 limit) {
  const QString text = typed.normalized(QString::NormalizationForm_KC).trimmed();
  if (text.isEmpty()) return std::optional<qint64>{};
  // Separators only where they group thousands: "1,2345" is a slip, not a number.
  static const QRegularExpression groups(
      QStringLiteral("^([+-]?)([0-9]{1,3}(?:,[0-9]{3})+)(\\.[0-9]*)?$"));
  QString plain = text;
  if (const auto m = groups.match(text); m.hasMatch()) plain.remove(QLatin1Char(','));
  const numbers::Amount amount = numbers::parseAmount(plain);
  if (amount.error == numbers::AmountError::OutOfRange ||
      (amount.ok() && amount.value > limit)) {
    return QStringLiteral("金額「%1」太大，最多只能是 %2").arg(text, period::grouped(limit));
  }
  if (!amount.ok()) {
    return QStringLiteral("「%1」不是金額，請輸入像 5,000 的數字").arg(text);
  }
  if (amount.value < 0) return QStringLiteral("預算不能是負數，請輸入 0 或更大的金額");
  return std::optional<qint64>{amount.value};
}

qint64 divideRounded(qint64 numerator, qint64 denominator) {
  qint64 q = numerator / denominator;
  const qint64 r = numerator % denominator;
  const qint64 twice = 2 * (r < 0 ? -r : r);
  const bool negative = (numerator < 0) != (denominator < 0);
  if (twice > denominator || (twice == denominator && q % 2 != 0)) q += negative ? -1 : 1;
  return q;
}

qint64 estimateFrom(const std::vector<qint64>& history, int count, Estimate how) {
  const size_t used = std::min(history.size(), static_cast<size_t>(std::max(count, 0)));
  if (used == 0) return 0;
  std::vector<qint64> last(history.end() - static_cast<std::ptrdiff_t>(used), history.end());
  for (qint64& v : last) v = std::max<qint64>(v, 0);
  qint64 value = 0;
  if (how == Estimate::Average) {
    qint64 sum = 0;
    for (qint64 v : last) sum += v;
    value = divideRounded(sum, static_cast<qint64>(used));
  } else {
    std::sort(last.begin(), last.end());
    const size_t mid = used / 2;
    value = used % 2 == 1 ? last[mid] : divideRounded(last[mid - 1] + last[mid], 2);
  }
  return std::min(value, kMaxAmount);
}

}  // namespace budget
