#include "interchange/journalexport.h"

#include "Books.h"
#include "TestFiles.h"
#include "platform/safefile.h"

#include <gtest/gtest.h>

namespace {

struct JournalTest : ::testing::Test, testbooks::Books {
  // Chinese (現金 b27b aaf7, 初值 aaec adc8), the smallest amount, a blank memo, a character the
  // code page lacks; a comma, quotes and the three kinds of line break, each in its own field.
  JournalTest() {
    store.DataBaseName = QStringLiteral("2003-11");
    entry("2025/03/01", "A-現金", "Equity", 1500, "初值, 2025");
    entry("2025/03/02", "E-Food", "A-Bank", -2147483647 - 1, "   ");
    entry("2025/03/03", "A-現😀", "A-\"Y\"", 7, "say\r\nthen\nbye\rend");
  }
};

TEST_F(JournalTest, CsvQuotesOnlyWhatNeedsItInCodePage950) {
  // Quoted for the comma, the quotes doubled, the line breaks kept inside the quotes.
  EXPECT_EQ(csvBytes(journalRows(store)),
            "2025/03/01,A-" + hex("b27baaf7") + ",Equity,1500,\"" + hex("aaecadc8") +  //
                ", 2025\"\r\n" +                                                       //
                "2025/03/02,E-Food,A-Bank,-2147483648,\r\n" +                          //
                "2025/03/03,A-" + hex("b27b") + "?,\"A-\"\"Y\"\"\",7," +               //
                "\"say\r\nthen\nbye\rend\"\r\n");
}

TEST_F(JournalTest, TextColumnsCountCharactersAndKeepEachEntryOnOneLine) {
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

TEST_F(JournalTest, ExportsGoToTheirFoldersAndAFailedOneKeepsTheEarlierFile) {
  const QString csv = dir.path() + "/CSV/2003-11.csv";
  ASSERT_EQ(exportJournal(store, journalRows(store), ExportKind::Text),
            completion(QStringLiteral("已存成2003-11.txt檔")));
  ASSERT_EQ(exportJournal(store, journalRows(store), ExportKind::Csv).title, "完成");
  const QByteArray earlier = fileBytes(csv);
  store.EntryCount = 2;  // a shorter journal that never reaches the disk
  {
    safefile::FailAfterBytes full(10);
    EXPECT_TRUE(warns(exportJournal(store, journalRows(store), ExportKind::Csv),
                      QStringLiteral("沒有存成2003-11.csv檔：")));
  }
  EXPECT_EQ(fileBytes(csv), earlier);
  QFile::remove(csv);
  QDir().mkpath(csv);  // a folder in the file's place
  EXPECT_EQ(exportJournal(store, journalRows(store), ExportKind::Csv).title, "注意");
}

}  // namespace
