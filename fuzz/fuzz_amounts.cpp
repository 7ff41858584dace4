// Typed amounts: any text is refused or gives the whole number nearest to it (halves to the
// even neighbour), within the 32-bit (or 16-bit) range.
#include "platform/numbers.h"
#include "support.h"

#include <cmath>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const numbers::Amount amount = numbers::parseAmount(text);
  if (!amount.ok()) {
    fuzz::require(!numbers::amountErrorText(amount.error).isEmpty(), "a refusal says why");
    return 0;
  }
  fuzz::require(numbers::parseAmount(QString::number(amount.value)).value == amount.value,
                "the value reads back");
  // Against the text read as a double, where a double holds it exactly enough.
  const std::string plain = text.trimmed().toStdString();
  if (plain.size() <= 15 && plain.find_first_not_of("+-.0123456789") == std::string::npos) {
    const double exact = std::strtod(plain.c_str(), nullptr);
    const double distance = std::fabs(exact - amount.value);
    fuzz::require(distance <= 0.5, "nearest whole number");
    if (distance == 0.5) fuzz::require(amount.value % 2 == 0, "halves go to the even neighbour");
  }
  return 0;
}
