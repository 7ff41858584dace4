#include "platform/codepage.h"

#include <gtest/gtest.h>

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

}  // namespace
