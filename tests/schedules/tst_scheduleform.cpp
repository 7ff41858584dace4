// The schedules window: a rule typed in shows its next five dates, and 儲存 keeps it.
#include "WindowSteps.h"
#include "schedules/ScheduleForm.h"

class TestScheduleForm : public QObject {
  Q_OBJECT

 private slots:
  void theNextFiveDatesFollowTheRuleAndSavingKeepsIt() {
    testbooks::Books b({"A-銀行", "E-房租", "Equity"});
    b.store.clock().setToday(QDate(2025, 1, 1));
    schedules::ScheduleBook plan;
    whenShown(b.dialogs, [&](QDialog& d) {
      child<QComboBox>(d, "IncreasePicker")->setCurrentIndex(1);
      child<QComboBox>(d, "DecreasePicker")->setCurrentIndex(0);
      typeIn(d, "AmountBox", "12000");
      typeIn(d, "MemoBox", QStringLiteral("房租"));
      typeIn(d, "FirstDateBox", "2025/1/31");
      child<QSpinBox>(d, "DayBox")->setValue(31);
      QCOMPARE(child<QLabel>(d, "NextDates")->text(),
               QStringLiteral("2025/01/31  2025/02/28  2025/03/31  2025/04/30  2025/05/31"));
      child<QComboBox>(d, "WeekendPicker")->setCurrentIndex(1);  // the Friday before
      QVERIFY(child<QLabel>(d, "NextDates")
                  ->text()
                  .startsWith("2025/01/31  2025/02/28  2025/03/31  2025/04/30  2025/05/30"));
      typeIn(d, "EndDateBox", "2024/12/31");
      QCOMPARE(child<QLabel>(d, "NextDates")->text(),
               QStringLiteral("結束日期不可早於第一次的日期"));
      click(d, "SaveButton");
      QCOMPARE(b.dialogs.lastMessage().text, QStringLiteral("結束日期不可早於第一次的日期"));
      QVERIFY(plan.schedules.empty());
      child<QLineEdit>(d, "EndDateBox")->clear();
      click(d, "SaveButton");
      QCOMPARE(child<QListWidget>(d, "ScheduleList")->count(), 1);
      click(d, "CloseButton");
    });
    openSchedules(b.store, b.dialogs, plan, nullptr);
    QCOMPARE(plan.schedules.size(), 1u);
    const schedules::Schedule& rent = plan.schedules[0];
    QCOMPARE(rent.amount, 12000);
    QCOMPARE(rent.rule.weekend, schedules::WeekendRule::FridayBefore);
    QCOMPARE(rent.rule.first, QDate(2025, 1, 31));
    QVERIFY(rent.increase.startsWith(QStringLiteral("E-房租")));
  }
};

QTEST_MAIN(TestScheduleForm)
#include "tst_scheduleform.moc"
