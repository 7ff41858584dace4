#include "WindowSteps.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/fonts.h"
#include "reports/statements/BSForm.h"
#include "reports/statements/statements.h"

class TestBSForm : public QObject {
  Q_OBJECT

 private slots:
  // The card's debt leaves today's net worth below zero, in red. 顯示 with no such day refuses;
  // Enter with an earlier date recomputes; each copy button copies its own three statements.
  void showsRecoloursAndCopies() {
    testbooks::Books b({"A-現金", "Equity", "L-卡", "E-餐"});
    b.store.clock().setToday(QDate(2025, 6, 1));
    b.entry("2025/01/01", "A-現金", "Equity", 1500);
    b.entry("2025/02/01", "L-卡", "Equity", 2000);
    whenShown(b.dialogs, [&](QDialog& form) {
      auto* netWorth = child<QLineEdit>(form, BSForm::kNetWorth);
      QCOMPARE(child<QLineEdit>(form, BSForm::kDate)->text(), QStringLiteral("2025/06/01"));
      QCOMPARE(netWorth->palette().color(QPalette::Text), QColor(255, 0, 0));
      typeIn(form, BSForm::kDate, QStringLiteral("2025/02/30"));
      click(form, BSForm::kShow);
      QCOMPARE(netWorth->text(), QStringLiteral("財產淨值  -500\r\n"));  // as it was
      typeIn(form, BSForm::kDate, QStringLiteral("2025/1/31"));
      QTest::keyClick(child(form, BSForm::kDate), Qt::Key_Return);  // shows, and keeps the window
      QVERIFY(form.isVisible());
      QCOMPARE(netWorth->palette().color(QPalette::Text), QColor(Qt::black));
      const statements::StatementTexts s =
          statements::buildStatements(b.store, QStringLiteral("2025/01/31"));
      QCOMPARE(netWorth->text(), s.netWorthLine);
      click(form, BSForm::kCopyBalanceSheet);
      QCOMPARE(clipboard::text(), s.assets + "\r\n" + s.liabilities + "\r\n" + s.netWorthLine);
      click(form, BSForm::kCopyIncomeStatement);
      QCOMPARE(clipboard::text(), s.income + "\r\n" + s.expenses + "\r\n" + s.balanceLine);
      click(form, BSForm::kOk);
      QVERIFY(!form.isVisible());
    });
    openStatements(b.store, b.dialogs, nullptr);
    QCOMPARE(b.dialogs.messages(), std::vector{refusal(QStringLiteral("不是正確的日期格式"))});
  }

  // The statement boxes are displays: nothing typed reaches them, and Enter in one is "確定",
  // the window's default button.
  void enterInAStatementBoxCloses() {
    testbooks::Books b({"A-現金", "Equity"});
    BSForm unshown(b.store,
                   b.dialogs);  // by its own choice, not only as the first button the focus meets
    QVERIFY(child<QPushButton>(unshown, BSForm::kOk)->isDefault());
    whenShown(b.dialogs, [&](QDialog& form) {
      auto* box = child<QPlainTextEdit>(form, BSForm::kAssets);
      const QString before = box->toPlainText();
      box->setFocus();
      QTest::keyClicks(box, QStringLiteral("x"));
      QTest::keyClick(box, Qt::Key_Return);
      QVERIFY(!form.isVisible());
      QCOMPARE(box->toPlainText(), before);
    });
    openStatements(b.store, b.dialogs, nullptr);
    QVERIFY(b.dialogs.allAnswersUsed());
  }

  // Every amount starts at the same pixel whatever the length of its account's name, in both
  // columns; the boxes draw in a font whose Chinese is twice its Latin.
  void amountsStartAtOnePixel() {
    testbooks::Books b({"A-現金", "A-銀行存款", "Equity", "L-卡", "I-利息收入", "E-餐飲費"});
    b.entry("2025/01/01", "A-現金", "Equity", 1500);
    b.entry("2025/01/04", "E-餐飲費", "L-卡", 350);
    whenShown(b.dialogs, [&](QDialog& form) {
      QSet<int> starts;
      for (const char* name :
           {BSForm::kAssets, BSForm::kIncome, BSForm::kLiabilities, BSForm::kExpenses}) {
        auto* box = child<QPlainTextEdit>(form, name);
        QVERIFY(keepsTheGrid(QFontInfo(box->font()).family()));
        for (int i = 2; i < box->document()->blockCount() - 2; ++i) {  // between the rules
          const QTextBlock line = box->document()->findBlockByNumber(i);
          QTextCursor amount(line);
          amount.movePosition(QTextCursor::EndOfBlock);
          while (line.text().at(amount.positionInBlock() - 1).isDigit())
            amount.movePosition(QTextCursor::PreviousCharacter);
          starts << box->cursorRect(amount).left();
        }
      }
      QCOMPARE(starts.size(), 1);
      click(form, BSForm::kOk);
    });
    openStatements(b.store, b.dialogs, nullptr);
  }
};

QTEST_MAIN(TestBSForm)
#include "tst_bsform.moc"
