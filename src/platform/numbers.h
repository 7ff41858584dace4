#pragma once

#include <QString>
#include <QtGlobal>

// Reading typed amounts. A number is an optional sign, digits and an optional decimal part;
// digit-group separators and exponents are no part of a number. Halves round to the even
// neighbour, and the whole value must fit a 32-bit signed integer.
namespace numbers {

enum class AmountError { None, Empty, NotANumber, OutOfRange, DigitGroups };

struct Amount {
  AmountError error = AmountError::None;
  qint32 value = 0;

  bool ok() const { return error == AmountError::None; }
};

Amount parseAmount(const QString& text);

// The number a text begins with, the way the account editor reads an initial value: "5000元"
// is 5000, and a text that begins with no number (an empty one too) is 0. Full-width digits
// count as digits. Refused: a value out of range, and digit groups ("1,000", "1 000", or
// "1.000" with its three decimals), which would be read as a smaller number than the one
// meant; `value` then holds that smaller number.
Amount parseLeadingAmount(const QString& text);

// The program's refusal texts for a typed amount that is no number or out of range.
QString amountErrorText(AmountError error);

}  // namespace numbers
