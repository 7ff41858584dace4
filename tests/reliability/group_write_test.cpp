#include "platform/safefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Two files replaced together: whatever moment a crash picks, the next opening finds either
// both earlier files or both new ones.
namespace {

QByteArray bytesOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void put(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

TEST(GroupWriteTest, CrashAtEveryStepLeavesOneWholeGeneration) {
  struct Moment {
    const char* what;
    QStringList left;  // what the crash left beside the earlier files
    bool newGeneration;
  };
  const Moment moments[] = {
      {"while writing the first new file", {"A.new"}, false},
      {"while writing the second new file", {"A.new", "B.new"}, false},
      {"after the marker", {"A.new", "B.new", "Varnix.saving"}, true},
      {"after the first replacement", {"B.new", "Varnix.saving"}, true},
      {"before the marker went", {"Varnix.saving"}, false},
  };
  for (const Moment& moment : moments) {
    SCOPED_TRACE(moment.what);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString a = dir.filePath(QStringLiteral("A"));
    const QString b = dir.filePath(QStringLiteral("B"));
    put(a, "old A");
    put(b, "old B");
    for (const QString& name : moment.left) {
      if (name == QLatin1String("Varnix.saving")) {
        put(dir.filePath(name), "A\r\nB\r\n");
      } else {
        put(dir.filePath(name), "new " + name.left(1).toLatin1());
      }
    }
    // The first replacement happened: A holds the new bytes already.
    if (QString(moment.what).contains(QLatin1String("first replacement"))) put(a, "new A");
    if (QString(moment.what).contains(QLatin1String("marker went"))) {
      put(a, "new A");
      put(b, "new B");
    }

    ASSERT_EQ(safefile::finishGroup(dir.path(), {QStringLiteral("A"), QStringLiteral("B")}),
              std::nullopt);
    const bool fresh = bytesOf(a) == "new A";
    EXPECT_EQ(bytesOf(b), fresh ? QByteArray("new B") : QByteArray("old B"));
    if (!QString(moment.what).contains(QLatin1String("marker went"))) {
      EXPECT_EQ(fresh, moment.newGeneration);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"A", "B"}));
  }
}

TEST(GroupWriteTest, WritesBothOrNeither) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString a = dir.filePath(QStringLiteral("A"));
  const QString b = dir.filePath(QStringLiteral("B"));
  ASSERT_EQ(safefile::writeGroup(dir.path(), {{"A", "first A"}, {"B", "first B"}}), std::nullopt);
  EXPECT_EQ(bytesOf(a), "first A");
  EXPECT_EQ(bytesOf(b), "first B");
  {
    // The second file does not fit: the first is not replaced either.
    safefile::FailAfterBytes full(8);
    const auto error =
        safefile::writeGroup(dir.path(), {{"A", "second A"}, {"B", "second B, longer"}});
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->contains(QDir::toNativeSeparators(b))) << error->toStdString();
  }
  EXPECT_EQ(bytesOf(a), "first A");
  EXPECT_EQ(bytesOf(b), "first B");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"A", "B"}));
}

}  // namespace
