#include "platform/codepage.h"
#include "platform/safefile.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

namespace {

QByteArray contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(SafeFile, AFailedWriteLeavesTheOldFileWholeAndNoTemporary) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Main.dat"));
  ASSERT_FALSE(safefile::write(path, QByteArray("old contents")));
  {
    // The budget counts over every write: the first fits, the second does not.
    safefile::FailAfterBytes full(15);
    EXPECT_FALSE(safefile::write(dir.filePath(QStringLiteral("a.txt")), QByteArray("0123456789")));
    const auto error = safefile::write(path, QByteArray("new contents, longer"));
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->startsWith(QStringLiteral("無法寫入「"))) << error->toStdString();
    EXPECT_TRUE(safefile::write(path, QByteArray("x")));
  }
  EXPECT_EQ(contents(path), QByteArray("old contents"));
  QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
  files.sort();
  EXPECT_EQ(files, QStringList({QStringLiteral("Main.dat"), QStringLiteral("a.txt")}));

  const QString lost = dir.filePath(QStringLiteral("no/such/x"));
  EXPECT_EQ(safefile::write(lost, "x").value_or(QString()),
            QStringLiteral("無法寫入「%1」：找不到資料夾「%2」")
                .arg(QDir::toNativeSeparators(lost),
                     QDir::toNativeSeparators(dir.filePath(QStringLiteral("no/such")))));
  EXPECT_TRUE(safefile::write(dir.path(), "x"));  // a folder is no file
  EXPECT_FALSE(safefile::read(dir.filePath(QStringLiteral("missing"))));
  ASSERT_FALSE(safefile::write(path, QByteArray("new")));
  EXPECT_EQ(safefile::read(path).value_or(QByteArray()), QByteArray("new"));
}

TEST(TextFile, LinesAreBig5WithCrLf) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("DataBase.lst"));
  const QStringList lines = {QStringLiteral("2025年"), QString(), QStringLiteral("abc")};
  EXPECT_EQ(textfile::toBytes(lines), QByteArray::fromHex("32303235a67e 0d0a 0d0a 616263 0d0a"));
  ASSERT_FALSE(textfile::writeLines(path, lines));
  EXPECT_EQ(textfile::readLines(path).value_or(QStringList()), lines);

  // Lines ended by LF alone, and a last line without an end, read the same.
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(QByteArray::fromHex("32303235a67e 0a 0d0a 616263"));
  f.close();
  EXPECT_EQ(textfile::readLines(path).value_or(QStringList()), lines);
}

// The remembered character forms must say exactly what ICU says, for every character.
TEST(Codepage, RememberedFormsAgreeWithTheConverter) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* icu = ucnv_open("windows-950-2000", &status);
  ASSERT_TRUE(U_SUCCESS(status));
  ucnv_setFromUCallBack(icu, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  int mismatches = 0;
  for (char32_t c = 0x80; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const QString text(QChar(static_cast<char16_t>(c)));
    const UChar unit = static_cast<UChar>(c);
    char out[8];
    status = U_ZERO_ERROR;
    ucnv_reset(icu);
    const int32_t n = ucnv_fromUChars(icu, out, 8, &unit, 1, &status);
    // ICU drops an invisible character it cannot map (a soft hyphen); the program reports it.
    const bool mapped = (U_SUCCESS(status) || status == U_STRING_NOT_TERMINATED_WARNING) && n > 0;
    const QByteArray expected = mapped ? QByteArray(out, n) : QByteArray("?");
    // Twice: once asking, once remembered.
    for (int round = 0; round < 2; ++round) {
      if (codepage::encode(text) != expected || codepage::canEncode(text) != mapped) {
        ADD_FAILURE() << "encode U+" << std::hex << static_cast<unsigned>(c);
        ++mismatches;
      }
    }
    if (mapped && n == 2 && codepage::decode(expected) != text) {
      // A byte pair may decode to another character only when ICU decodes it so as well.
      UChar back[4];
      status = U_ZERO_ERROR;
      const int32_t m = ucnv_toUChars(icu, back, 4, out, 2, &status);
      if (codepage::decode(expected) != QString::fromUtf16(back, m)) ++mismatches;
    }
  }
  EXPECT_EQ(mismatches, 0);

  // Every byte pair decodes as ICU decodes it, also pairs that are no character.
  mismatches = 0;
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 0; trail <= 0xFF; ++trail) {
      const char bytes[3] = {static_cast<char>(lead), static_cast<char>(trail), 'x'};
      for (int size = 2; size <= 3; ++size) {
        UChar back[8];
        status = U_ZERO_ERROR;
        ucnv_reset(icu);
        const int32_t m = ucnv_toUChars(icu, back, 8, bytes, size, &status);
        if (codepage::decode(bytes, size) != QString::fromUtf16(back, m) && ++mismatches < 5) {
          ADD_FAILURE() << "decode " << std::hex << lead << " " << trail << " " << size << " "
                        << codepage::decode(bytes, size).toStdU16String().size() << " vs " << m
                        << " " << QString::fromUtf16(back, m).toStdString();
        }
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
  ucnv_close(icu);
}

TEST(Codepage, ForeignBytesInAFieldNeverOverrun) {
  // A lead byte as the field's last byte, and bytes that are no character.
  const char field[4] = {'a', '\xa4', 'b', '\xa4'};
  const QString text = codepage::fieldFromBytes(field, 4);
  EXPECT_EQ(text.size(), 4);
  EXPECT_TRUE(text.startsWith(u'a'));
  EXPECT_EQ(codepage::fieldBytes(text, 4).size(), 4);
}

}  // namespace
