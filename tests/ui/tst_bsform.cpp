#include "../maintenance/books.h"
#include "WindowSteps.h"
#include "platform/widgets/clipboard.h"
#include "reports/statements/BSForm.h"

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
};

QTEST_MAIN(TestBSForm)
#include "tst_bsform.moc"
