// The list of occurrences due since the last opening, driven as a person would.
#include "WindowSteps.h"
#include "schedules/SinceLastRunForm.h"

using namespace schedules;

namespace {

Schedule monthly(const char* id, const char* category, qint32 amount, QDate first, Mode mode) {
  Schedule s;
  s.id = id;
  s.increase = store::nameField(category);
  s.decrease = store::nameField("A-銀行");
  s.amount = amount;
  s.memo = store::memoField(QString(category).mid(2));
  s.mode = mode;
  s.rule.first = first;
  s.rule.dayOfMonth = first.day() == 30 ? 31 : first.day();
  return s;
}

// Rent asks (04/30, 05/31, 06/30), the phone bill is an estimate (07/10), the salary posts
// itself (07/05); the book is opened on 2024/07/15.
struct Due : testbooks::Books {
  ScheduleBook plan;
  Due() : Books({"A-銀行", "I-薪水", "E-房租", "E-電話", "Equity"}) {
    plan.schedules = {monthly("rent", "E-房租", 12000, QDate(2024, 4, 30), Mode::Ask),
                      monthly("phone", "E-電話", 900, QDate(2024, 7, 10), Mode::PostByItself),
                      monthly("salary", "I-薪水", 50000, QDate(2024, 7, 5), Mode::PostByItself)};
    plan.schedules[1].estimate = true;
  }
  QStringList postedDates() const {
    QStringList out;
    for (const store::LedgerEntry& e : entries())
      out << e.EntryDate + ' ' + QString::number(e.Amount);
    return out;
  }
};

void selectRow(QDialog& d, int row) { child<QTableWidget>(d, "Occurrences")->selectRow(row); }

}  // namespace

class TestSinceLastRunForm : public QObject {
  Q_OBJECT

 private slots:
  void eachActionDoesItsOwnThingInOneStep() {
    Due b;
    whenShown(b.dialogs, [&](QDialog& d) {
      auto* table = child<QTableWidget>(d, "Occurrences");
      QCOMPARE(table->rowCount(), 5);
      QCOMPARE(table->item(4, 5)->text(), QStringLiteral("已自動入帳"));
      selectRow(d, 1);
      click(d, "SkipButton");
      selectRow(d, 2);
      click(d, "PostponeButton");
      selectRow(d, 3);
      b.dialogs.type("888");
      click(d, "AmountButton");
      QCOMPARE(table->item(3, 3)->text(), QStringLiteral("888"));
      click(d, "OkButton");
    });
    openSinceLastRun(b.store, b.dialogs, b.plan, nullptr);
    QVERIFY(b.dialogs.allAnswersUsed());
    QCOMPARE(b.postedDates(),
             QStringList({"2024/07/05 50000", "2024/04/30 12000", "2024/07/10 888"}));
    // Only the postponed rent is still due; the batch went in as one step after the salary's.
    const auto due = dueOccurrences(b.plan, b.store.clock().today());
    QCOMPARE(due.size(), 1u);
    QCOMPARE(due[0].occurrence.date, QDate(2024, 6, 30));
    QVERIFY(!b.store.undo());
    QCOMPARE(b.postedDates(), QStringList({"2024/07/05 50000"}));
  }

  void anEstimateIsAskedForAndCancellingPostsNothing() {
    Due b;
    b.plan.schedules.erase(b.plan.schedules.begin() + 2);  // no salary
    whenShown(b.dialogs, [&](QDialog& d) {
      b.dialogs.cancelInput();  // the phone bill's amount
      click(d, "OkButton");
      QVERIFY(d.isVisible());
      b.dialogs.type("1,000");
      click(d, "OkButton");
      QVERIFY(d.isVisible());
      b.dialogs.type("1000");
      click(d, "OkButton");
    });
    openSinceLastRun(b.store, b.dialogs, b.plan, nullptr);
    QVERIFY(b.dialogs.allAnswersUsed());
    QCOMPARE(b.dialogs.messages().size(), 1u);  // the refused "1,000"
    QCOMPARE(b.postedDates(), QStringList({"2024/04/30 12000", "2024/05/31 12000",
                                           "2024/06/30 12000", "2024/07/10 1000"}));
  }
};

QTEST_MAIN(TestSinceLastRunForm)
#include "tst_sincelastrunform.moc"
