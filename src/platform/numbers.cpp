#include "platform/numbers.h"

#include <QRegularExpression>

#include <limits>

namespace numbers {
namespace {

struct Rounded {
  AmountError error = AmountError::None;
  qint64 value = 0;
};

// Rounds the decimal text exactly (no floating point), halves to even; values beyond the
// 64-bit range are reported as out of range.
Rounded roundText(const QString& typed) {
  const QString text = typed.trimmed();
  if (text.isEmpty()) return {AmountError::Empty, 0};
  static const QRegularExpression number(QStringLiteral("^([+-]?)([0-9]*)(?:\\.([0-9]*))?$"));
  const auto m = number.match(text);
  if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty())) {
    return {AmountError::NotANumber, 0};
  }
  const bool negative = m.captured(1) == QLatin1String("-");
  QString whole = m.captured(2);
  const QString fraction = m.captured(3);
  while (whole.size() > 1 && whole.startsWith(QLatin1Char('0'))) whole.remove(0, 1);
  if (whole.size() > 15) return {AmountError::OutOfRange, 0};
  qint64 value = whole.isEmpty() ? 0 : whole.toLongLong();

  if (!fraction.isEmpty()) {
    const QChar first = fraction.at(0);
    bool restZero = true;
    for (qsizetype i = 1; i < fraction.size(); ++i) {
      if (fraction.at(i) != QLatin1Char('0')) restZero = false;
    }
    if (first > QLatin1Char('5') || (first == QLatin1Char('5') && !restZero) ||
        (first == QLatin1Char('5') && restZero && value % 2 == 1)) {
      ++value;
    }
  }
  return {AmountError::None, negative ? -value : value};
}

}  // namespace

Amount parseAmount(const QString& text) {
  const Rounded r = roundText(text);
  if (r.error != AmountError::None) return {r.error, 0};
  if (r.value < std::numeric_limits<qint32>::min() ||
      r.value > std::numeric_limits<qint32>::max()) {
    return {AmountError::OutOfRange, 0};
  }
  return {AmountError::None, static_cast<qint32>(r.value)};
}

Amount parseLeadingAmount(const QString& typed) {
  const QString text = typed.normalized(QString::NormalizationForm_KC);
  static const QRegularExpression leading(QStringLiteral("^\\s*([+-]?)([0-9]*)(?:\\.([0-9]*))?"));
  const auto m = leading.match(text);
  const QString whole = m.captured(2);
  const QString fraction = m.captured(3);
  if (whole.isEmpty() && fraction.isEmpty()) return {};
  const Rounded r = roundText(m.captured(1) + whole + QLatin1Char('.') + fraction);
  if (r.error != AmountError::None) return {r.error, 0};
  if (r.value < std::numeric_limits<qint32>::min() ||
      r.value > std::numeric_limits<qint32>::max()) {
    return {AmountError::OutOfRange, 0};
  }
  const auto value = static_cast<qint32>(r.value);
  // Whole numbers are what people count here; three decimals after a non-zero number are a
  // thousands mark far more often than a tenth of a tenth of a dollar.
  static const QRegularExpression group(QStringLiteral("^[,' ][0-9]"));
  const bool grouped = group.match(text.mid(m.capturedEnd())).hasMatch() ||
                       (fraction.size() == 3 && whole.toLongLong() != 0);
  return {grouped ? AmountError::DigitGroups : AmountError::None, value};
}

QString amountErrorText(AmountError error) {
  switch (error) {
    case AmountError::Empty:
    case AmountError::NotANumber:
      return QStringLiteral("金額必須是數字，不可含有逗號、符號或文字");
    case AmountError::OutOfRange:
      return QStringLiteral("金額超出範圍，請輸入介於 -2147483648 與 2147483647 之間的數字");
    case AmountError::DigitGroups:
      return QStringLiteral("金額不可含有千分位符號，請直接輸入數字");
    case AmountError::None:
      break;
  }
  return {};
}

}  // namespace numbers
