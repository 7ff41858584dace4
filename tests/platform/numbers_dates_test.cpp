#include "platform/dates.h"
#include "platform/numbers.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using numbers::AmountError;

TEST(ParseAmount, RoundsHalvesToEvenAndRefusesWhatIsNoNumber) {
  constexpr AmountError kOk = AmountError::None, kNaN = AmountError::NotANumber,
                        kRange = AmountError::OutOfRange;
  const struct {
    const char16_t* text;
    AmountError error;
    qint32 value;
  } cases[] = {
      // clang-format off
      {u" +12 ", kOk, 12},  {u"007", kOk, 7},     {u"12.5", kOk, 12},   {u"13.5", kOk, 14},
      {u"-2.5", kOk, -2},   {u"-3.5", kOk, -4},   {u"2.50001", kOk, 3}, {u".5", kOk, 0},
      {u"5.", kOk, 5},      {u"2147483647", kOk, 2147483647}, {u"-2147483648.5", kOk, INT32_MIN},
      {u"2147483648", kRange, 0},  {u"2147483647.5", kRange, 0},  {u"-2147483649", kRange, 0},
      {u"   ", AmountError::Empty, 0}, {u"1,000", kNaN, 0}, {u"1 000", kNaN, 0},
      {u"1e3", kNaN, 0},    {u"0x10", kNaN, 0},   {u".", kNaN, 0},      {u"--1", kNaN, 0},
      {u"12元", kNaN, 0},   {u"１２", kNaN, 0},  // full-width digits
      // clang-format on
  };
  for (const auto& c : cases) {
    const QString text = QString::fromUtf16(c.text);
    SCOPED_TRACE(text.toStdString());
    const numbers::Amount amount = numbers::parseAmount(text);
    EXPECT_EQ(amount.error, c.error);
    EXPECT_EQ(amount.value, c.value);
  }
  EXPECT_EQ(numbers::parseSmall(QStringLiteral("32768")).error, kRange);
}

TEST(ParseDate, ReadsYearFirstAndShortFormsAndChecksTheCalendar) {
  const QDate no;
  const struct {
    const char* locale;
    const char16_t* text;
    QDate expected;
  } cases[] = {
      // clang-format off
      {"C", u"2003/2/3", QDate(2003, 2, 3)},     {"C", u" 2003-02-03 ", QDate(2003, 2, 3)},
      {"C", u"2024/02/29", QDate(2024, 2, 29)},  {"C", u"2023/02/29", no},
      {"C", u"2003/02/30", no}, {"C", u"2003/13/01", no}, {"C", u"2003/1/0", no},
      {"C", u"2003/2-3", no},   {"C", u"03/2/3", no},     {"C", u"20030203", no},
      {"C", u"２００３/2/3", no},
      // The locale's short form; a two-digit year is one of this century.
      {"en_US", u"12/6/26", QDate(2026, 12, 6)}, {"en_US", u"1/5/99", QDate(2099, 1, 5)},
      {"en_US", u"2/29/00", QDate(2000, 2, 29)}, {"en_US", u"2/29/01", no},
      {"en_US", u"1/5/1999", QDate(1999, 1, 5)}, {"de_DE", u"06.12.26", QDate(2026, 12, 6)},
      {"de_DE", u"31.04.26", no},
      // clang-format on
  };
  for (const auto& c : cases) {
    const QString text = QString::fromUtf16(c.text);
    SCOPED_TRACE(std::string(c.locale) + " " + text.toStdString());
    const auto date =
        dates::parse(text, QLocale(QString::fromLatin1(c.locale)), QDate(2026, 12, 6));
    EXPECT_EQ(date.value_or(no), c.expected);
  }
}

}  // namespace
