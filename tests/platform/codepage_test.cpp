#include "platform/codepage.h"
#include "platform/textfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

TEST(Codepage, UsesMicrosoftTableAndReportsWhatItCannotHold) {
  // The euro sign is A3 E1 in Microsoft's table; IBM's would give C8 FE.
  EXPECT_EQ(codepage::encode(QStringLiteral("€")), hex("a3e1"));
  EXPECT_EQ(codepage::encode(QStringLiteral("A-現金")), hex("412d b27b aaf7"));
  EXPECT_EQ(codepage::decode(hex("412db27baaf7")), QStringLiteral("A-現金"));
  bool lossy = false;
  EXPECT_EQ(codepage::encode(QStringLiteral("a😀b"), &lossy), QByteArray("a?b"));
  EXPECT_TRUE(lossy);
  EXPECT_EQ(codepage::firstUnencodable(QStringLiteral("餐飲😀")), QStringLiteral("😀"));
  EXPECT_TRUE(codepage::canEncode(QStringLiteral("餐飲費 abc")));
}

TEST(Codepage, FixedFieldsCutWithoutSplittingACharacter) {
  // "A" and ten Chinese characters would end on byte 21: the tenth goes, its byte is a blank.
  const QString odd = QStringLiteral("A一二三四五六七八九十");
  EXPECT_EQ(codepage::fieldBytes(odd, 20), hex("41 a440a447a454a57ca4ada4bba443a44ba445 20"));
  const QString stored = codepage::fixedField(odd, 20);
  EXPECT_EQ(stored, QStringLiteral("A一二三四五六七八九") + QString(10, u' '));
  EXPECT_EQ(codepage::fieldFromBytes(codepage::fieldBytes(stored, 20).constData(), 20), stored);
  // Foreign bytes, a lead byte last among them, never run past the field.
  const char field[4] = {'a', '\xa4', 'b', '\xa4'};
  const QString text = codepage::fieldFromBytes(field, 4);
  EXPECT_TRUE(text.startsWith(u'a'));
  EXPECT_EQ(codepage::fieldBytes(text, 4).size(), 4);
}

TEST(TextFile, LinesEndedByLfAloneOrByNothingReadAsCrLfLines) {
  QTemporaryDir dir;
  QFile f(dir.filePath(QStringLiteral("DataBase.lst")));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(hex("32303235a67e 0a 0d0a 616263"));
  f.close();
  EXPECT_EQ(textfile::readLines(f.fileName()).value_or(QStringList()),
            QStringList({QStringLiteral("2025年"), QString(), QStringLiteral("abc")}));
}

}  // namespace
