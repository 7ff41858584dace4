#include "reports/journal/journal.h"

#include "ScriptedDialogs.h"
#include "platform/safefile.h"
#include "store/Module1.h"
#include "store/records.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }
QByteArray blanks(int n) { return QByteArray(n, ' '); }

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  return file.readAll();
}

class JournalTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};

  JournalTest() { store.DataBaseName = QStringLiteral("2003-11"); }

  void entry(const QString& date, const QString& increase, const QString& decrease, qint32 amount,
             const QString& memo) {
    store.EntryTable[store.EntryCount++] = makeEntry(date, increase, decrease, amount, memo);
  }
};

TEST_F(JournalTest, CsvLinesAreExactInCodePage950) {
  entry("2025/03/01", "A-現金", "Equity", 1500, "初值");
  entry("2025/03/02", "E-Food", "A-Bank", -2147483647 - 1, "   ");
  const QByteArray expected = "2025/03/01,A-" + hex("b27baaf7") + ",Equity,1500," +
                              hex("aaecadc8") + "\r\n" +
                              "2025/03/02,E-Food,A-Bank,-2147483648,\r\n";
  EXPECT_EQ(csvBytes(journalRows(store)), expected);
}

TEST_F(JournalTest, CsvQuotesOnlyFieldsThatNeedIt) {
  struct Case {
    QString memo;
    QByteArray field;
  };
  const Case cases[] = {
      {"lunch, dinner", "\"lunch, dinner\""},   {"the \"big\" one", "\"the \"\"big\"\" one\""},
      {"two\r\nlines", "\"two\r\nlines\""},     {"a\nb", "\"a\nb\""},
      {"plain 'text'; ok", "plain 'text'; ok"},
  };
  for (const Case& c : cases) {
    store.EntryCount = 1;
    entry("2025/01/01", "A-X", "A-Y", 5, c.memo);
    EXPECT_EQ(csvBytes(journalRows(store)), "2025/01/01,A-X,A-Y,5," + c.field + "\r\n")
        << c.memo.toStdString();
  }
  // A name with a comma is quoted too.
  store.EntryCount = 1;
  entry("2025/01/01", "A-X,Y", "A-Z", 1, "");
  EXPECT_EQ(csvBytes(journalRows(store)), QByteArray("2025/01/01,\"A-X,Y\",A-Z,1,\r\n"));
}

TEST_F(JournalTest, TextColumnsCountCharacters) {
  entry("2025/03/01", "A-現金", "Equity", 1500, "初值");
  entry("2025/03/02", "A-ABCDEFGHIJKLMNOPQR", "E-Food", -2147483647 - 1, "     ");
  entry("2025/03/03", "A-X", "A-Y", 7, "first\r\nsecond\nthird\r");
  const QByteArray expected =
      // Chinese name: 4 characters (6 bytes) and 16 blanks, so the columns line up in characters.
      "2025/03/01 A-" + hex("b27baaf7") + blanks(16) + " Equity" + blanks(14) + " 1500" +
      blanks(8) + " " + hex("aaecadc8") + "\r\n" +
      // 20 characters, then the separator; 11-character amount, one filler and the separator;
      // a memo of blanks leaves the separator last.
      "2025/03/02 A-ABCDEFGHIJKLMNOPQR E-Food" + blanks(14) + " -2147483648" + blanks(1) + " " +
      "\r\n" +
      // Line breaks inside the memo are one blank each; the entry keeps its one line.
      "2025/03/03 A-X" + blanks(17) + " A-Y" + blanks(17) + " 7" + blanks(11) +
      " first second third" + "\r\n";
  EXPECT_EQ(textBytes(journalRows(store)), expected);
}

TEST_F(JournalTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  entry("2025/03/01", QStringLiteral("A-現😀"), "Equity", 1, QStringLiteral("a😀b"));
  EXPECT_EQ(csvBytes(journalRows(store)), "2025/03/01,A-" + hex("b27b") + "?,Equity,1,a?b\r\n");
  // The name still fills 20 columns.
  EXPECT_EQ(textBytes(journalRows(store)), "2025/03/01 A-" + hex("b27b") + "?" + blanks(16) +
                                               " Equity" + blanks(14) + " 1" + blanks(11) +
                                               " a?b\r\n");
}

TEST_F(JournalTest, ExportsWriteNamedFilesAndReplaceTheEarlierOne) {
  EXPECT_FALSE(QDir(store.CsvFolder).exists());
  entry("2025/03/01", "A-X", "A-Y", 1, "one");
  for (ExportKind kind : {ExportKind::Csv, ExportKind::Text}) {
    const Message shown = exportJournal(store, journalRows(store), kind);
    const bool csv = kind == ExportKind::Csv;
    EXPECT_EQ(shown, done(csv ? QStringLiteral("已存成2003-11.csv檔")
                              : QStringLiteral("已存成2003-11.txt檔")));
    EXPECT_EQ(exportPath(store, kind),
              dir.path() + (csv ? "/CSV/2003-11.csv" : "/TXT/2003-11.txt"));
  }
  EXPECT_EQ(fileBytes(dir.path() + "/CSV/2003-11.csv"), QByteArray("2025/03/01,A-X,A-Y,1,one\r\n"));

  // The second export replaces the first; no entries give an empty file.
  store.EntryCount = 1;
  EXPECT_EQ(exportJournal(store, journalRows(store), ExportKind::Csv).title, "完成");
  EXPECT_EQ(fileBytes(dir.path() + "/CSV/2003-11.csv"), QByteArray());
  EXPECT_EQ(QDir(dir.path() + "/CSV").entryList(QDir::Files), QStringList{"2003-11.csv"});
}

TEST_F(JournalTest, FailedExportSaysSoAndKeepsTheEarlierFile) {
  entry("2025/03/01", "A-X", "A-Y", 1, "one");
  const auto rows = journalRows(store);
  ASSERT_EQ(exportJournal(store, rows, ExportKind::Text).title, "完成");
  const QByteArray earlier = fileBytes(exportPath(store, ExportKind::Text));
  entry("2025/03/02", "A-X", "A-Y", 2, "two");
  {
    safefile::FailAfterBytes full(10);  // the disk fills up mid-write
    const Message shown = exportJournal(store, journalRows(store), ExportKind::Text);
    EXPECT_EQ(shown.title, "注意");
    EXPECT_TRUE(shown.text.startsWith(QStringLiteral("沒有存成2003-11.txt檔：")))
        << shown.text.toStdString();
  }
  EXPECT_EQ(fileBytes(exportPath(store, ExportKind::Text)), earlier);

  // A folder where the file should be.
  ASSERT_TRUE(QDir().mkpath(store.CsvFolder + "2003-11.csv"));
  EXPECT_EQ(exportJournal(store, rows, ExportKind::Csv).title, "注意");
  EXPECT_TRUE(QFileInfo(store.CsvFolder + "2003-11.csv").isDir());

  // A file where the folder should be.
  QDir(store.TxtFolder).removeRecursively();
  QFile blocker(dir.path() + "/TXT");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  const Message noFolder = exportJournal(store, rows, ExportKind::Text);
  EXPECT_EQ(noFolder.title, "注意");
  EXPECT_TRUE(noFolder.text.contains(QStringLiteral("無法建立資料夾")));
}

TEST_F(JournalTest, ReadOnlyFolderRefusesAndKeepsTheEarlierFile) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  entry("2025/03/01", "A-X", "A-Y", 1, "one");
  ASSERT_EQ(exportJournal(store, journalRows(store), ExportKind::Csv).title, "完成");
  const QByteArray earlier = fileBytes(exportPath(store, ExportKind::Csv));
  QFile::setPermissions(store.CsvFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  entry("2025/03/02", "A-X", "A-Y", 2, "two");
  const Message shown = exportJournal(store, journalRows(store), ExportKind::Csv);
  QFile::setPermissions(store.CsvFolder,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_EQ(shown.title, "注意");
  EXPECT_NE(shown.text.indexOf(QStringLiteral("沒有存成2003-11.csv檔")), -1);
  EXPECT_EQ(fileBytes(exportPath(store, ExportKind::Csv)), earlier);
}

}  // namespace
