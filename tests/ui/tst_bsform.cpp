#include "Books.h"
#include "WindowSteps.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/fonts.h"
#include "reports/statements/BSForm.h"

#include <QTextBlock>

class TestBSForm : public QObject {
  Q_OBJECT

 private slots:
  // Today the card's debt leaves the net worth (not the balance) below zero, in red. 顯示 with no
  // such day refuses and changes nothing; Enter with an earlier date recomputes and turns it black;
  // the two copy buttons copy their three statements with CR LF.
  void showsRecoloursAndCopies() {
    testbooks::Books b({"A-現金", "Equity", "L-卡", "E-餐"});
    b.store.clock().setToday(QDate(2025, 6, 1));
    b.entry("2025/01/01", "A-現金", "Equity", 1500);
    b.entry("2025/02/01", "L-卡", "Equity", 2000);
    const QString rule = QString(34, u'-') + "\r\n";
    const QString blanks(17, u' ');  // after a name of 3 characters

    whenShown(b.dialogs, [&](QDialog& form) {
      auto* netWorth = child<QLineEdit>(form, "Text5");
      auto* date = child<QLineEdit>(form, "Text7");
      QCOMPARE(date->text(), QStringLiteral("2025/06/01"));
      QCOMPARE(netWorth->text(), QStringLiteral("財產淨值  -500\r\n"));
      QCOMPARE(netWorth->palette().color(QPalette::Text), QColor(255, 0, 0));
      date->clear();
      QTest::keyClicks(date, QStringLiteral("2025/02/30"));
      click(form, "Cmd4");
      QCOMPARE(b.dialogs.messageTexts(), QStringList{QStringLiteral("不是正確的日期格式")});
      QCOMPARE(netWorth->text(), QStringLiteral("財產淨值  -500\r\n"));
      date->clear();
      QTest::keyClicks(date, QStringLiteral("2025/1/31"));
      QTest::keyClick(date, Qt::Key_Return);  // shows, as 顯示 does, and keeps the window
      QVERIFY(form.isVisible());
      QCOMPARE(netWorth->text(), QStringLiteral("財產淨值  1500\r\n"));
      QCOMPARE(netWorth->palette().color(QPalette::Text), QColor(Qt::black));
      click(form, "Cmd2");
      QCOMPARE(clipboard::text(), QStringLiteral("資產\r\n") + rule + QStringLiteral("A-現金") +
                                      QString(16, u' ') + "  1500\r\n" + rule +
                                      QStringLiteral("資產總合   1500\r\n負債\r\n") + rule +
                                      QStringLiteral("L-卡") + blanks + "  0\r\n" + rule +
                                      QStringLiteral("負債總合   0\r\n財產淨值  1500\r\n"));
      click(form, "Cmd3");
      QCOMPARE(clipboard::text(), QStringLiteral("收入\r\n") + rule + rule +
                                      QStringLiteral("收入總合   0\r\n支出\r\n") + rule +
                                      QStringLiteral("E-餐") + blanks + "  0\r\n" + rule +
                                      QStringLiteral("支出總合   0\r\n結餘  0"));
      click(form, "Cmd1");
      QVERIFY(!form.isVisible());
    });
    openStatements(b.store, nullptr);
    QCOMPARE(b.dialogs.messages(), std::vector{refusal(QStringLiteral("不是正確的日期格式"))});
  }

  // The six boxes are displays: nothing typed reaches them, and Enter in any of them is "確定".
  void enterInAStatementBoxCloses() {
    testbooks::Books b({"A-現金", "Equity"});
    b.entry("2025/01/01", "A-現金", "Equity", 1500);
    const auto textOf = [](QWidget* box) {
      if (auto* lines = qobject_cast<QPlainTextEdit*>(box)) return lines->toPlainText();
      return qobject_cast<QLineEdit*>(box)->text();
    };
    for (const char* name : {"Text1", "Text4", "Text5"}) {
      whenShown(b.dialogs, [&](QDialog& form) {
        QWidget* box = child(form, name);
        box->setFocus();
        const QString before = textOf(box);
        QTest::keyClicks(box, QStringLiteral("x"));
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY2(!form.isVisible(), name);
        QCOMPARE(textOf(box), before);
      });
      openStatements(b.store, nullptr);
      QVERIFY(b.dialogs.allAnswersUsed());
    }
  }

  // Every amount of a statement starts at the same pixel, whatever the length of its account's
  // name, in both columns; the boxes draw in a font whose Chinese is twice its Latin.
  void amountsStartAtOnePixel() {
    testbooks::Books b(
        {"A-現金", "A-銀行存款", "Equity", "L-卡", "I-薪資", "I-利息收入", "E-餐飲費"});
    b.store.clock().setToday(QDate(2025, 6, 1));
    b.entry("2025/01/01", "A-現金", "Equity", 1500);
    b.entry("2025/01/02", "I-薪資", "A-銀行存款", 42000);
    b.entry("2025/01/04", "E-餐飲費", "L-卡", 350);
    whenShown(b.dialogs, [&](QDialog& form) {
      QSet<int> starts;
      int lines = 0;
      for (const char* name : {"Text1", "Text2", "Text3", "Text4"}) {
        auto* box = child<QPlainTextEdit>(form, name);
        QVERIFY(keepsTheGrid(QFontInfo(box->font()).family()));
        const QTextDocument* document = box->document();
        // Title, rule, the accounts, rule, total.
        for (int i = 2; i < document->blockCount() - 2; ++i, ++lines) {
          const QTextBlock line = document->findBlockByNumber(i);
          QTextCursor amount(line);
          amount.movePosition(QTextCursor::EndOfBlock);
          while (line.text().at(amount.positionInBlock() - 1).isDigit())
            amount.movePosition(QTextCursor::PreviousCharacter);
          starts << box->cursorRect(amount).left();
        }
      }
      QCOMPARE(lines, 6);
      QCOMPARE(starts.size(), 1);
      click(form, "Cmd1");
    });
    openStatements(b.store, nullptr);
  }
};

QTEST_MAIN(TestBSForm)
#include "tst_bsform.moc"
