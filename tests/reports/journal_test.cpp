#include "reports/journal/journal.h"

#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "platform/safefile.h"
#include "store/Module1.h"
#include "store/records.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }
QByteArray blanks(int n) { return QByteArray(n, ' '); }

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
  // Chinese names and memo (現金 b27b aaf7, 現 b27b, 初值 aaec adc8), the smallest amount, a memo
  // of blanks only, a character the code page lacks; a comma, quotes and all three kinds of
  // line break, each alone in its field.
  void journal() {
    entry("2025/03/01", "A-現金", "Equity", 1500, "初值, 2025");
    entry("2025/03/02", "E-Food", "A-Bank", -2147483647 - 1, "   ");
    entry("2025/03/03", "A-現😀", "A-\"Y\"", 7, "say\r\nthen\nbye\rend");
  }
};

TEST_F(JournalTest, CsvQuotesOnlyWhatNeedsItInCodePage950) {
  journal();
  // Quoted for the comma, the quotes doubled, the line breaks kept inside the quotes.
  EXPECT_EQ(csvBytes(journalRows(store)),
            "2025/03/01,A-" + hex("b27baaf7") + ",Equity,1500,\"" + hex("aaecadc8") +  //
                ", 2025\"\r\n" +                                                       //
                "2025/03/02,E-Food,A-Bank,-2147483648,\r\n" +                          //
                "2025/03/03,A-" + hex("b27b") + "?,\"A-\"\"Y\"\"\",7," +               //
                "\"say\r\nthen\nbye\rend\"\r\n");
}

TEST_F(JournalTest, TextColumnsCountCharactersAndKeepEachEntryOnOneLine) {
  journal();
  EXPECT_EQ(textBytes(journalRows(store)),
            // 4 characters (6 bytes) and 16 blanks: the columns line up in characters.
            "2025/03/01 A-" + hex("b27baaf7") + blanks(16) + " Equity" + blanks(14) + " 1500" +
                blanks(8) + " " + hex("aaecadc8") + ", 2025\r\n" +
                // An 11-character amount, one filler; a memo of blanks leaves the separator last.
                "2025/03/02 E-Food" + blanks(14) + " A-Bank" + blanks(14) + " -2147483648" +
                blanks(1) + " \r\n" +
                // The emoji is one "?" and one column; each line break in the memo is one blank.
                "2025/03/03 A-" + hex("b27b") + "?" + blanks(16) + " A-\"Y\"" + blanks(15) + " 7" +
                blanks(11) + " say then bye end\r\n");
}

TEST_F(JournalTest, FailedExportSaysSoAndKeepsTheEarlierFileWhole) {
  entry("2025/03/01", "A-X", "A-Y", 1, "one");
  ASSERT_EQ(exportJournal(store, journalRows(store), ExportKind::Text),
            done(QStringLiteral("已存成2003-11.txt檔")));
  const QByteArray earlier = fileBytes(dir.path() + "/TXT/2003-11.txt");
  ASSERT_EQ(earlier,
            "2025/03/01 A-X" + blanks(17) + " A-Y" + blanks(17) + " 1" + blanks(11) + " one\r\n");
  entry("2025/03/02", "A-X", "A-Y", 2, "two");
  {
    safefile::FailAfterBytes full(10);  // the disk fills up mid-write
    const Message shown = exportJournal(store, journalRows(store), ExportKind::Text);
    EXPECT_EQ(shown.title, QStringLiteral("注意"));
    EXPECT_TRUE(shown.text.startsWith(QStringLiteral("沒有存成2003-11.txt檔：\n")))
        << shown.text.toStdString();
  }
  EXPECT_EQ(fileBytes(dir.path() + "/TXT/2003-11.txt"), earlier);
  EXPECT_EQ(QDir(dir.path() + "/TXT").entryList(QDir::Files), QStringList{"2003-11.txt"});

  // A file where the folder should be.
  ASSERT_TRUE(QDir(store.CsvFolder).removeRecursively());
  QFile blocker(dir.path() + "/CSV");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  const Message noFolder = exportJournal(store, journalRows(store), ExportKind::Csv);
  EXPECT_EQ(noFolder.title, QStringLiteral("注意"));
  EXPECT_TRUE(noFolder.text.contains(QStringLiteral("無法建立資料夾")))
      << noFolder.text.toStdString();
}

}  // namespace
