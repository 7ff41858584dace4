#include "platform/sidefile.h"
#include "TestFiles.h"
#include "platform/safefile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

using sidefile::Record;

const QString kKind = QStringLiteral("varnix-test-notes");

QDateTime at(const char* iso) {
  return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs);
}

Record record(const char* id, const char* changed, std::vector<std::pair<QString, QString>> fields,
              bool deleted = false) {
  return Record{QString::fromLatin1(id), at(changed), deleted, std::move(fields)};
}

TEST(SideFile, WritesTheDocumentedBytes) {
  const std::vector<Record> records = {
      record("0a1b", "2026-12-07T13:05:09.042Z",
             {{QStringLiteral("memo"), QStringLiteral("午餐\t7-11\\門市\n二樓\r")},
              {QStringLiteral("account"), QStringLiteral("")},
              {QStringLiteral("bell"), QStringLiteral("\x07")}}),
      record("ff-2", "1999-01-02T03:04:05.000Z", {}, true),
  };
  const QByteArray expected =
      "varnix-test-notes 3\n"
      "0a1b\t2026-12-07T13:05:09.042Z\tlive\tmemo=\xe5\x8d\x88\xe9\xa4\x90\\t7-11\\\\"
      "\xe9\x96\x80\xe5\xb8\x82\\n\xe4\xba\x8c\xe6\xa8\x93\\r\taccount=\tbell=\\x07\n"
      "ff-2\t1999-01-02T03:04:05.000Z\tdeleted\n";
  EXPECT_EQ(std::get<QByteArray>(sidefile::serialize(kKind, 3, records)), expected);
  const auto back = sidefile::parse(expected, kKind, 3);
  ASSERT_TRUE(std::holds_alternative<sidefile::Contents>(back));
  EXPECT_EQ(std::get<sidefile::Contents>(back).records, records);
}

TEST(SideFile, KeepsFieldsItDoesNotKnowAndAcceptsEarlierVersions) {
  const QByteArray newer = "varnix-test-notes 1\nabc\t2026-01-01T00:00:00.000Z\tlive\tz-later=1\n";
  auto contents = std::get<sidefile::Contents>(sidefile::parse(newer, kKind, 2));
  EXPECT_EQ(contents.version, 1);
  contents.records[0].set(QStringLiteral("memo"), QStringLiteral("x"));
  EXPECT_EQ(std::get<QByteArray>(sidefile::serialize(kKind, 2, contents.records)),
            "varnix-test-notes 2\nabc\t2026-01-01T00:00:00.000Z\tlive\tz-later=1\tmemo=x\n");
}

// Every damaged or foreign file is refused in words; reading it changes nothing on disk.
TEST(SideFile, RefusesDamagedAndForeignFiles) {
  const QByteArray head = "varnix-test-notes 1\n";
  const QByteArray good = "a1\t2026-01-01T00:00:00.000Z\tlive\tk=v\n";
  const std::pair<QByteArray, QString> cases[] = {
      {"", QStringLiteral("檔案是空的")},
      {"varnix-other 1\n", QStringLiteral("這不是「varnix-test-notes」檔案")},
      {"\xef\xbb\xbfvarnix-test-notes 1\n", QStringLiteral("這不是「varnix-test-notes」檔案")},
      {"varnix-test-notes 7\n",
       QStringLiteral("檔案由較新版本的程式寫成（第 7 版），請先更新程式")},
      {"varnix-test-notes 01\n", QStringLiteral("第 1 行已損壞")},
      {"varnix-test-notes x\n", QStringLiteral("第 1 行已損壞")},
      {head + good.chopped(1), QStringLiteral("檔案結尾不完整，可能在寫入時中斷")},
      {head + good + good, QStringLiteral("第 3 行的代號「a1」與前面重複")},
      {head + "\n", QStringLiteral("第 2 行已損壞")},
      {head + "A1\t2026-01-01T00:00:00.000Z\tlive\n", QStringLiteral("第 2 行已損壞")},
      {head + "a1\t2026-01-01T00:00:00Z\tlive\n", QStringLiteral("第 2 行已損壞")},
      {head + "a1\t2026-02-30T00:00:00.000Z\tlive\n", QStringLiteral("第 2 行已損壞")},
      {head + "a1\t2026-01-01T00:00:00.000+08\tlive\n", QStringLiteral("第 2 行已損壞")},
      {head + "a1\t2026-01-01T00:00:00.000Z\tgone\n", QStringLiteral("第 2 行已損壞")},
      {head + "a1\t2026-01-01T00:00:00.000Z\tlive\tk=1\tk=2\n", QStringLiteral("第 2 行已損壞")},
      {head + "a1\t2026-01-01T00:00:00.000Z\tlive\tK=1\n", QStringLiteral("第 2 行已損壞")},
      {head + "a1\t2026-01-01T00:00:00.000Z\tlive\tnovalue\n", QStringLiteral("第 2 行已損壞")},
      {head + "a1\t2026-01-01T00:00:00.000Z\tlive\tk=a\\q\n", QStringLiteral("第 2 行已損壞")},
      {head + "a1\t2026-01-01T00:00:00.000Z\tlive\tk=a\\\n", QStringLiteral("第 2 行已損壞")},
      {head + "a1\t2026-01-01T00:00:00.000Z\tlive\tk=\\x4\n", QStringLiteral("第 2 行已損壞")},
      {head + "a1\t2026-01-01T00:00:00.000Z\tlive\tk=\\x41\n", QStringLiteral("第 2 行已損壞")},
      {head + "a1\t2026-01-01T00:00:00.000Z\tlive\tk=\r\n", QStringLiteral("第 2 行已損壞")},
      {head + "a1\t2026-01-01T00:00:00.000Z\tlive\tk=\xa4\xa4\n",
       QStringLiteral("第 2 行含有無法辨識的位元組")},
      {head + "a1\t2026-01-01T00:00:00.000Z\tlive\tk=" + QByteArray(sidefile::kMaxLineBytes, 'x') +
           "\n",
       QStringLiteral("第 2 行過長")},
  };
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("notes.txt"));
  for (const auto& [bytes, reason] : cases) {
    putFile(path, bytes);
    const auto read = sidefile::read(path, kKind, 2);
    ASSERT_TRUE(std::holds_alternative<QString>(read)) << bytes.left(80).toStdString();
    EXPECT_EQ(std::get<QString>(read), QStringLiteral("無法讀取「%1」：%2").arg(path, reason));
    EXPECT_EQ(fileBytes(path), bytes);
  }
}

TEST(SideFile, NeverWritesWhatItWouldRefuseToRead) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("notes.txt"));
  putFile(path, "kept");
  const std::vector<std::vector<Record>> bad = {
      {record("Upper", "2026-01-01T00:00:00.000Z", {})},
      {record("a", "2026-01-01T00:00:00.000Z", {}), record("a", "2026-01-02T00:00:00.000Z", {})},
      {record("a", "2026-01-01T00:00:00.000Z", {{QStringLiteral("k=v"), QString()}})},
      {Record{QStringLiteral("a"), QDateTime(), false, {}}},
  };
  for (const auto& records : bad) {
    EXPECT_TRUE(sidefile::write(path, kKind, 1, records).has_value());
    EXPECT_EQ(fileBytes(path), "kept");
  }
  {
    safefile::FailAfterBytes full(10);
    EXPECT_TRUE(sidefile::write(path, kKind, 1, {}).has_value());
  }
  EXPECT_EQ(fileBytes(path), "kept");
  const auto missing = sidefile::read(dir.filePath(QStringLiteral("none.txt")), kKind, 1);
  EXPECT_TRUE(std::get<sidefile::Contents>(missing).records.empty());
}

TEST(SideFileMerge, LaterChangeWinsAndDeletionsTravel) {
  const std::vector<Record> ours = {
      record("a", "2026-01-02T00:00:00.000Z", {{QStringLiteral("v"), QStringLiteral("ours")}}),
      record("b", "2026-01-05T00:00:00.000Z", {}, true),
      record("c", "2026-01-01T00:00:00.000Z", {{QStringLiteral("v"), QStringLiteral("only ours")}}),
  };
  const std::vector<Record> theirs = {
      record("b", "2026-01-04T00:00:00.000Z", {{QStringLiteral("v"), QStringLiteral("edited")}}),
      record("a", "2026-01-03T00:00:00.000Z", {{QStringLiteral("v"), QStringLiteral("theirs")}}),
      record("d", "2026-01-01T00:00:00.000Z", {}, true),
  };
  const std::vector<Record> expected = {theirs[1], ours[1], ours[2], theirs[2]};
  EXPECT_EQ(sidefile::merge(ours, theirs), expected);
  EXPECT_EQ(sidefile::merge(theirs, ours), expected);
}

// Random copies of the same ids: the merge is the same both ways, merging again changes
// nothing, and each id keeps the change no other copy beats.
TEST(SideFileMerge, IsSymmetricIdempotentAndAssociative) {
  std::mt19937 random(19);
  const auto copy = [&] {
    std::vector<Record> records;
    for (int id = 0; id < 6; ++id) {
      if (random() % 3 == 0) continue;
      // Few distinct times, so that ties between a deletion and an edit happen often.
      Record r{QString::number(id),
               QDateTime::fromMSecsSinceEpoch(random() % 3, Qt::UTC),
               random() % 2 == 0,
               {{QStringLiteral("v"), QString::number(random() % 3)}}};
      records.push_back(r);
    }
    return records;
  };
  for (int round = 0; round < 200; ++round) {
    const auto a = copy(), b = copy(), c = copy();
    const auto ab = sidefile::merge(a, b);
    ASSERT_EQ(ab, sidefile::merge(b, a));
    ASSERT_EQ(sidefile::merge(ab, ab), ab);
    ASSERT_EQ(sidefile::merge(ab, c), sidefile::merge(a, sidefile::merge(b, c)));
  }
}

}  // namespace
