// The bulk delete window driven as a person would: options, typed dates, Enter, the buttons.
#include "WindowSteps.h"
#include "maintenance/DelForm.h"

class TestDelForm : public QObject {
  Q_OBJECT

 private slots:
  void deletesTwiceStaysOpenAndEscLeaves() {
    testbooks::Books b({"Equity", "A-現金"});
    for (const char* date : {"2003/10/31", "2003/11/01", "2003/11/30", "2003/12/01", "2003/12/24"})
      b.entry(date, "A-現金", "Equity", 1);
    whenShown(b.dialogs, [&](QDialog& d) {
      QVERIFY(child<QRadioButton>(d, DelForm::kOnDate)->isChecked());
      QCOMPARE(child<QLineEdit>(d, DelForm::kToDate)->text(),
               QStringLiteral("2024/07/15"));  // today
      // The words between the dates, and the second date only for a range.
      for (const auto& [option, words, second] : {std::tuple{DelForm::kAfter, "之後", false},
                                                  {DelForm::kOutside, "至", true},
                                                  {DelForm::kOnDate, "", false},
                                                  {DelForm::kWithin, "至", true}}) {
        click(d, option);
        auto* label = child<QLabel>(d, DelForm::kBetweenDates);
        QCOMPARE(label->text(), QString::fromUtf8(words));
        QVERIFY2(label->width() >= label->sizeHint().width(), option);  // not cut off
        QCOMPARE(child(d, DelForm::kToDate)->isVisible(), second);
      }
      // November, the range typed the other way round and confirmed with Enter; the dates come
      // back written the program's way.
      typeIn(d, DelForm::kToDate, QStringLiteral("2003-11-1"));
      typeIn(d, DelForm::kFromDate, QStringLiteral("2003/11/30"));
      QTest::keyClick(child(d, DelForm::kFromDate), Qt::Key_Return);
      QCOMPARE(child<QLineEdit>(d, DelForm::kToDate)->text(), QStringLiteral("2003/11/01"));
      QVERIFY(d.isVisible());
      // Then everything after the first of December, the hidden second date still counting.
      click(d, DelForm::kAfter);
      typeIn(d, DelForm::kFromDate, QStringLiteral("2003/12/1"));
      click(d, DelForm::kDelete);
      QTest::keyClick(child(d, DelForm::kFromDate),
                      Qt::Key_Escape);  // as "取消(&C)", from a date box too
      QVERIFY(!d.isVisible() && d.result() == QDialog::Rejected);
    });
    openBulkDelete(b.store, b.dialogs, b.view, nullptr);
    QCOMPARE(b.dialogs.messageTexts(), QStringList(2, QStringLiteral("資料刪除完成")));
    QCOMPARE(b.entries().size(), 2u);
    QCOMPARE(b.entries().back().EntryDate, QStringLiteral("2003/12/01"));
    QCOMPARE(b.store.panel(book::Workspace::EntriesPanel), QStringLiteral("資料筆數：2"));
    QCOMPARE(b.view.redraws, (std::vector<bool>{true, true}));
  }
};

QTEST_MAIN(TestDelForm)
#include "tst_delform.moc"
