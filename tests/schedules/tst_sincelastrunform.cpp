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

void selectRow(QDialog& d, int row) {
  child<QTableWidget>(d, SinceLastRunForm::kOccurrences)->selectRow(row);
}

}  // namespace

class TestSinceLastRunForm : public QObject {
  Q_OBJECT

 private slots:
  // The estimate (the phone bill) is asked for at 確定: cancelled or refused, nothing is posted.
  void eachActionDoesItsOwnThingInOneStep() {
    Due b;
    whenShown(b.dialogs, [&](QDialog& d) {
      auto* table = child<QTableWidget>(d, SinceLastRunForm::kOccurrences);
      QCOMPARE(table->rowCount(), 5);
      QCOMPARE(table->item(4, 5)->text(), QStringLiteral("已自動入帳"));
      selectRow(d, 1);
      click(d, SinceLastRunForm::kSkipButton);
      selectRow(d, 2);
      click(d, SinceLastRunForm::kPostponeButton);
      selectRow(d, 0);
      b.dialogs.type("888");
      click(d, SinceLastRunForm::kAmountButton);
      QCOMPARE(table->item(0, 3)->text(), QStringLiteral("888"));
      b.dialogs.cancelInput();  // the phone bill's amount
      click(d, SinceLastRunForm::kOkButton);
      b.dialogs.type("1,000");
      click(d, SinceLastRunForm::kOkButton);
      QVERIFY(d.isVisible());
      b.dialogs.type("1000");
      click(d, SinceLastRunForm::kOkButton);
    });
    openSinceLastRun(b.store, b.dialogs, b.plan, nullptr);
    QVERIFY(b.dialogs.allAnswersUsed());
    QCOMPARE(b.dialogs.messages().size(), 1u);  // the refused "1,000"
    QCOMPARE(b.postedDates(),
             QStringList({"2024/07/05 50000", "2024/04/30 888", "2024/07/10 1000"}));
    // Only the postponed rent is still due; the batch went in as one step after the salary's.
    const auto due = dueOccurrences(b.plan, b.store.clock().today());
    QCOMPARE(due.size(), 1u);
    QCOMPARE(due[0].occurrence.date, QDate(2024, 6, 30));
    QVERIFY(!b.store.undo());
    QCOMPARE(b.postedDates(), QStringList({"2024/07/05 50000"}));
  }
};

QTEST_MAIN(TestSinceLastRunForm)
#include "tst_sincelastrunform.moc"
