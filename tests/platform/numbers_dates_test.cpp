#include "platform/dates.h"
#include "platform/numbers.h"

#include <gtest/gtest.h>

namespace {

using numbers::AmountError;

TEST(ParseAmount, RoundsHalvesToEvenAndRefusesWhatIsNoNumber) {
  struct Case {
    const char16_t* text;
    AmountError error;
    qint32 value;
  };
  const Case cases[] = {
      {u"12", AmountError::None, 12},
      {u" +12 ", AmountError::None, 12},
      {u"-12", AmountError::None, -12},
      {u"007", AmountError::None, 7},
      {u"12.5", AmountError::None, 12},
      {u"13.5", AmountError::None, 14},
      {u"0.5", AmountError::None, 0},
      {u"1.5", AmountError::None, 2},
      {u"-2.5", AmountError::None, -2},
      {u"-3.5", AmountError::None, -4},
      {u"2.50001", AmountError::None, 3},
      {u"2.4999", AmountError::None, 2},
      {u".5", AmountError::None, 0},
      {u"5.", AmountError::None, 5},
      {u"2147483647", AmountError::None, 2147483647},
      {u"-2147483648", AmountError::None, -2147483647 - 1},
      {u"2147483646.5", AmountError::None, 2147483646},
      {u"-2147483648.5", AmountError::None, -2147483647 - 1},
      {u"2147483648", AmountError::OutOfRange, 0},
      {u"2147483647.5", AmountError::OutOfRange, 0},
      {u"-2147483649", AmountError::OutOfRange, 0},
      {u"99999999999999999999999", AmountError::OutOfRange, 0},
      {u"", AmountError::Empty, 0},
      {u"   ", AmountError::Empty, 0},
      {u"1,000", AmountError::NotANumber, 0},
      {u"1 000", AmountError::NotANumber, 0},
      {u"1e3", AmountError::NotANumber, 0},
      {u"0x10", AmountError::NotANumber, 0},
      {u"abc", AmountError::NotANumber, 0},
      {u".", AmountError::NotANumber, 0},
      {u"-", AmountError::NotANumber, 0},
      {u"--1", AmountError::NotANumber, 0},
      {u"12元", AmountError::NotANumber, 0},
      {u"１２", AmountError::NotANumber, 0},  // full-width digits
      {u"١٢", AmountError::NotANumber, 0},    // Arabic-Indic digits
  };
  for (const Case& c : cases) {
    const QString text = QString::fromUtf16(c.text);
    SCOPED_TRACE(text.toStdString());
    const numbers::Amount amount = numbers::parseAmount(text);
    EXPECT_EQ(amount.error, c.error);
    EXPECT_EQ(amount.value, c.value);
  }
  EXPECT_EQ(numbers::parseSmall(QStringLiteral("4")).value, 4);
  EXPECT_EQ(numbers::parseSmall(QStringLiteral("32768")).error, AmountError::OutOfRange);
  EXPECT_EQ(numbers::amountErrorText(AmountError::NotANumber),
            QStringLiteral("金額必須是數字，不可含有逗號、符號或文字"));
  EXPECT_EQ(numbers::amountErrorText(AmountError::Empty),
            numbers::amountErrorText(AmountError::NotANumber));
  EXPECT_EQ(numbers::amountErrorText(AmountError::OutOfRange),
            QStringLiteral("金額超出範圍，請輸入介於 -2147483648 與 2147483647 之間的數字"));
}

TEST(ParseDate, ReadsYearFirstFormsAndChecksTheCalendar) {
  const QLocale locale = QLocale::c();
  const QDate today(2026, 12, 6);
  const std::pair<const char*, QDate> cases[] = {
      {"2003/2/3", QDate(2003, 2, 3)},
      {"2003-02-03", QDate(2003, 2, 3)},
      {" 2003/12/31 ", QDate(2003, 12, 31)},
      {"2024/02/29", QDate(2024, 2, 29)},
      {"2023/02/29", QDate()},
      {"2003/02/30", QDate()},
      {"2003/13/01", QDate()},
      {"2003/00/10", QDate()},
      {"2003/1/0", QDate()},
      {"0000/01/01", QDate()},
      {"2003/2-3", QDate()},
      {"2003/2/3/4", QDate()},
      {"03/2/3", QDate()},
      {"20030203", QDate()},
      {"", QDate()},
      {"abc", QDate()},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    const auto date = dates::parse(QString::fromLatin1(text), locale, today);
    EXPECT_EQ(date.value_or(QDate()), expected);
  }
  EXPECT_FALSE(dates::parse(QStringLiteral("２００３/2/3"), locale, today));
  EXPECT_EQ(dates::format(QDate(2003, 2, 3)), QStringLiteral("2003/02/03"));
  EXPECT_EQ(dates::normalise(QStringLiteral("2025-3-4")), QStringLiteral("2025/03/04"));
  EXPECT_FALSE(dates::normalise(QStringLiteral("2025-3-32")));
}

TEST(ParseDate, ReadsTheShortFormOfTheLocaleInTheCurrentCentury) {
  const QDate today(2026, 12, 6);
  struct Case {
    const char* locale;
    const char16_t* text;
    QDate expected;
  };
  const Case cases[] = {
      {"en_US", u"12/6/26", QDate(2026, 12, 6)},
      {"en_US", u"2/29/00", QDate(2000, 2, 29)},
      {"en_US", u"2/29/01", QDate()},
      {"en_US", u"2/30/03", QDate()},
      {"en_US", u"1/5/99", QDate(2099, 1, 5)},
      {"en_US", u"1/5/1999", QDate(1999, 1, 5)},
      {"en_US", u"1/5/199", QDate()},
      {"de_DE", u"06.12.26", QDate(2026, 12, 6)},
      {"de_DE", u"31.04.26", QDate()},
      {"zh_TW", u"2026/12/6", QDate(2026, 12, 6)},
      {"C", u"6 Dec 2026", QDate(2026, 12, 6)},
      {"C", u"30 Feb 2026", QDate()},
      {"C", u"6 Foo 2026", QDate()},
  };
  for (const Case& c : cases) {
    const QString text = QString::fromUtf16(c.text);
    SCOPED_TRACE(std::string(c.locale) + " " + text.toStdString());
    const auto date = dates::parse(text, QLocale(QString::fromLatin1(c.locale)), today);
    EXPECT_EQ(date.value_or(QDate()), c.expected);
  }
  // What the "today" button writes is read back as the same day.
  for (const QDate day : {QDate(2026, 1, 2), QDate(2000, 2, 29), QDate(2031, 11, 30)}) {
    EXPECT_EQ(dates::parse(dates::formatShort(day)).value_or(QDate()), day)
        << dates::formatShort(day).toStdString();
  }
}

}  // namespace
