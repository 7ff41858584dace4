#include "platform/sidefile.h"
#include "TestFiles.h"

#include <QTemporaryDir>

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
  const QByteArray live = head + "a1\t2026-01-01T00:00:00.000Z\tlive\t";
  std::vector<std::pair<QByteArray, QString>> cases = {
      {"", QStringLiteral("檔案是空的")},
      {"varnix-other 1\n", QStringLiteral("這不是「varnix-test-notes」檔案")},
      {"\xef\xbb\xbfvarnix-test-notes 1\n", QStringLiteral("這不是「varnix-test-notes」檔案")},
      {"varnix-test-notes 7\n",
       QStringLiteral("檔案由較新版本的程式寫成（第 7 版），請先更新程式")},
      {head + good.chopped(1), QStringLiteral("檔案結尾不完整，可能在寫入時中斷")},
      {head + good + good, QStringLiteral("第 3 行的代號「a1」與前面重複")},
      {live + "k=\xa4\xa4\n", QStringLiteral("第 2 行含有無法辨識的位元組")},
      {live + "k=" + QByteArray(sidefile::kMaxLineBytes, 'x') + "\n",
       QStringLiteral("第 2 行過長")},
  };
  // An id in capitals, a time without milliseconds or not in UTC, a key twice, an unknown or
  // needless escape, a carriage return.
  for (const char* line :
       {"\n", "A1\t2026-01-01T00:00:00.000Z\tlive\n", "a1\t2026-01-01T00:00:00Z\tlive\n",
        "a1\t2026-01-01T00:00:00.000+08\tlive\n"})
    cases.emplace_back(head + line, QStringLiteral("第 2 行已損壞"));
  for (const char* field : {"k=1\tk=2\n", "k=a\\q\n", "k=\\x41\n", "k=\r\n"})
    cases.emplace_back(live + field, QStringLiteral("第 2 行已損壞"));
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

// Random copies of the same ids: each id keeps its latest change (a deletion winning a tie),
// whatever the order of the copies, and merging again changes nothing.
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
    for (const Record& kept : ab) {
      for (const auto* copy : {&a, &b}) {
        for (const Record& r : *copy) {
          const auto rank = [](const Record& x) { return std::pair(x.changed, x.deleted); };
          ASSERT_TRUE(r.id != kept.id || rank(r) <= rank(kept));
        }
      }
    }
    ASSERT_EQ(sidefile::merge(ab, ab), ab);
    ASSERT_EQ(sidefile::merge(ab, c), sidefile::merge(a, sidefile::merge(b, c)));
  }
}

}  // namespace
