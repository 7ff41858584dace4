#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

TEST(Codepage, UsesMicrosoftTable) {
  // The euro sign is A3 E1 in Microsoft's table; IBM's "cp950" would give C8 FE.
  EXPECT_EQ(codepage::encode(QStringLiteral("€")), hex("a3e1"));
  EXPECT_EQ(codepage::encode(QStringLiteral("A-現金")), hex("412d b27b aaf7"));
  EXPECT_EQ(codepage::decode(hex("412db27baaf7")), QStringLiteral("A-現金"));
  EXPECT_EQ(codepage::encode(QStringLiteral("中")), hex("a4a4"));
}

TEST(Codepage, ReportsCharactersTheCodePageCannotHold) {
  bool lossy = false;
  EXPECT_EQ(codepage::encode(QStringLiteral("a😀b"), &lossy), QByteArray("a?b"));
  EXPECT_TRUE(lossy);
  EXPECT_FALSE(codepage::canEncode(QStringLiteral("餐飲😀")));
  EXPECT_EQ(codepage::firstUnencodable(QStringLiteral("餐飲😀")), QStringLiteral("😀"));
  EXPECT_TRUE(codepage::canEncode(QStringLiteral("餐飲費 abc")));
}

TEST(Codepage, FixedFieldsCutWithoutSplittingACharacter) {
  // Twenty ASCII letters of twenty-five stay.
  EXPECT_EQ(codepage::fixedField(QStringLiteral("abcdefghijklmnopqrstuvwxy"), 20),
            QStringLiteral("abcdefghijklmnopqrst"));
  // Eleven Chinese characters hold 22 bytes: ten stay, padded to 20 characters.
  const QString eleven = QStringLiteral("一二三四五六七八九十百");
  EXPECT_EQ(codepage::fixedField(eleven, 20),
            QStringLiteral("一二三四五六七八九十") + QString(10, u' '));
  // "A" and ten Chinese characters would end on byte 21: the tenth goes, its byte is a blank.
  const QString odd = QStringLiteral("A一二三四五六七八九十");
  EXPECT_EQ(codepage::fieldBytes(odd, 20).size(), 20);
  EXPECT_EQ(codepage::fieldBytes(odd, 20).right(1), QByteArray(" "));
  EXPECT_EQ(codepage::fixedField(odd, 20),
            QStringLiteral("A一二三四五六七八九") + QString(10, u' '));
  // What memory holds is what the file gives back.
  const QString stored = codepage::fixedField(odd, 20);
  EXPECT_EQ(codepage::fieldFromBytes(codepage::fieldBytes(stored, 20).constData(), 20), stored);
}

}  // namespace
