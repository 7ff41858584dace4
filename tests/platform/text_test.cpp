#include "platform/codepage.h"
#include "platform/dates.h"
#include "platform/numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

TEST(Codepage, UsesMicrosoftTableAndReportsWhatItCannotHold) {
  // The euro sign is A3 E1 in Microsoft's table; IBM's would give C8 FE.
  EXPECT_EQ(codepage::encode(QStringLiteral("€")), hex("a3e1"));
  bool lossy = false;
  EXPECT_EQ(codepage::encode(QStringLiteral("a😀b"), &lossy), QByteArray("a?b"));
  EXPECT_TRUE(lossy);
  EXPECT_EQ(codepage::firstUnencodable(QStringLiteral("餐飲😀")), QStringLiteral("😀"));
}

TEST(Codepage, FixedFieldsCutWithoutSplittingACharacter) {
  // "A" and ten Chinese characters would end on byte 21: the tenth goes, its byte is a blank.
  const QString odd = QStringLiteral("A一二三四五六七八九十");
  EXPECT_EQ(codepage::fieldBytes(odd, 20), hex("41 a440a447a454a57ca4ada4bba443a44ba445 20"));
  EXPECT_EQ(codepage::fixedField(odd, 20),
            QStringLiteral("A一二三四五六七八九") + QString(10, u' '));
  // Foreign bytes, a lead byte last among them, never run past the field.
  const char field[4] = {'a', '\xa4', 'b', '\xa4'};
  EXPECT_EQ(codepage::fieldBytes(codepage::fieldFromBytes(field, 4), 4).size(), 4);
}

TEST(ParseAmount, RoundsHalvesToEvenAndRefusesWhatIsNoNumber) {
  using enum numbers::AmountError;
  constexpr auto kOk = None, kNaN = NotANumber, kRange = OutOfRange;
  const std::tuple<const char16_t*, numbers::AmountError, qint32> cases[] = {
      // clang-format off
      {u" +12 ", kOk, 12},  {u"12.5", kOk, 12},   {u"13.5", kOk, 14},   {u"-2.5", kOk, -2},
      {u"2.50001", kOk, 3}, {u"-2147483648.5", kOk, INT32_MIN},  {u"2147483647.5", kRange, 0},
      {u"   ", Empty, 0},  {u"1,000", kNaN, 0},  {u".", kNaN, 0}, {u"１２", kNaN, 0},
      // clang-format on
  };
  for (const auto& [text, error, value] : cases) {
    const numbers::Amount amount = numbers::parseAmount(QString::fromUtf16(text));
    EXPECT_EQ(std::pair(amount.error, amount.value), std::pair(error, value))
        << QString::fromUtf16(text).toStdString();
  }
}

// The initial value is read as far as it is a number, but a digit group never passes as the
// smaller number in front of it.
TEST(ParseLeadingAmount, ReadsTheNumberInFrontAndRefusesDigitGroups) {
  using enum numbers::AmountError;
  const std::tuple<const char16_t*, numbers::AmountError, qint32> cases[] = {
      // clang-format off
      {u"5000元", None, 5000}, {u"", None, 0},  {u"  ", None, 0},  {u"abc", None, 0},
      {u" -2.5 ", None, -2},   {u"１２", None, 12}, {u"0.125", None, 0}, {u"5000 元", None, 5000},
      {u"1,000", DigitGroups, 1}, {u"1.000", DigitGroups, 1}, {u"2 500", DigitGroups, 2},
      {u"12.500元", DigitGroups, 12}, {u"１，０００", DigitGroups, 1},
      {u"2147483648元", OutOfRange, 0},
      // clang-format on
  };
  for (const auto& [text, error, value] : cases) {
    const numbers::Amount amount = numbers::parseLeadingAmount(QString::fromUtf16(text));
    EXPECT_EQ(std::pair(amount.error, amount.value), std::pair(error, value))
        << QString::fromUtf16(text).toStdString();
  }
}

TEST(ParseDate, ReadsYearFirstAndShortFormsAndChecksTheCalendar) {
  const QDate no;
  const std::tuple<const char*, const char16_t*, QDate> cases[] = {
      // clang-format off
      {"C", u" 2003-02-03 ", QDate(2003, 2, 3)}, {"C", u"2024/02/29", QDate(2024, 2, 29)},
      {"C", u"2023/02/29", no},  {"C", u"2003/2-3", no},  {"C", u"03/2/3", no},
      // The locale's short form; a two-digit year is of this century.
      {"en_US", u"12/6/26", QDate(2026, 12, 6)}, {"en_US", u"1/5/99", QDate(2099, 1, 5)},
      {"en_US", u"2/29/01", no}, {"en_US", u"1/5/1999", QDate(1999, 1, 5)},
      {"de_DE", u"06.12.26", QDate(2026, 12, 6)},
      // clang-format on
  };
  for (const auto& [locale, text, expected] : cases) {
    EXPECT_EQ(
        dates::parse(QString::fromUtf16(text), QLocale(locale), QDate(2026, 12, 6)).value_or(no),
        expected)
        << locale << " " << QString::fromUtf16(text).toStdString();
  }
}

}  // namespace
