// The schedules window, reached from the entry dialog's 存成定期: the entry kept shows its rule's
// next five dates, which follow every change; 儲存 keeps what the window shows, and each is a
// step that 復原 takes back, the side file following at the next save.
#include "WindowSteps.h"
#include "book/book.h"
#include "entries/InputForm.h"
#include "schedules/ScheduleForm.h"
#include "schedules/schedulefile.h"

class TestScheduleForm : public QObject {
  Q_OBJECT

 private slots:
  void anEntryKeptAsAScheduleIsEditedAndKept() {
    MainWindowBook p;
    p.store.user().setUserName(QStringLiteral("user1"));
    p.store.user().setDatabaseName(QStringLiteral("2025"));
    const QString folder = p.store.user().databaseFolder();
    QDir().mkpath(folder);
    testbooks::addAccounts(p.store, {"A-銀行", "E-房租", "Equity"});
    p.store.clock().setToday(QDate(2025, 1, 31));
    p.window.show();
    p.store.refillAccountLists();
    whenShown(p.dialogs, [&](QDialog& entry) {
      auto* keep = child<QPushButton>(entry, InputForm::kKeepAsSchedule);
      QVERIFY(!keep->isEnabled());
      child<QComboBox>(entry, InputForm::kIncrease)->setCurrentIndex(1);
      typeIn(entry, InputForm::kAmount, "12000");
      click(entry, InputForm::kOk);
      p.dialogs.answer(Answer::Yes);  // edit it now
      whenShown(p.dialogs, [&](QDialog& d) {
        auto* next = child<QLabel>(d, ScheduleForm::kNextDates);
        QCOMPARE(next->text(),
                 QStringLiteral("2025/01/31  2025/02/28  2025/03/31  2025/04/30  2025/05/31"));
        child<QComboBox>(d, ScheduleForm::kWeekendPicker)->setCurrentIndex(1);  // Friday before
        QVERIFY(
            next->text().startsWith("2025/01/31  2025/02/28  2025/03/31  2025/04/30  2025/05/30"));
        typeIn(d, ScheduleForm::kEndDateBox, "2024/12/31");
        QCOMPARE(next->text(), QStringLiteral("結束日期不可早於第一次的日期"));
        click(d, ScheduleForm::kSaveButton);
        QCOMPARE(p.dialogs.lastMessage().text, QStringLiteral("結束日期不可早於第一次的日期"));
        child<QLineEdit>(d, ScheduleForm::kEndDateBox)->clear();
        click(d, ScheduleForm::kSaveButton);
        QCOMPARE(child<QListWidget>(d, ScheduleForm::kScheduleList)->count(), 1);
        click(d, ScheduleForm::kCloseButton);
      });
      click(entry, InputForm::kKeepAsSchedule);
      QVERIFY(!keep->isEnabled());  // one schedule for each entry made
      click(entry, InputForm::kClose);
    });
    click(p.window, MainForm::kNew);
    QVERIFY(p.dialogs.allAnswersUsed());
    QVERIFY(p.dialogs.messageTexts().join('|').contains(
        QStringLiteral("已存成定期記錄：每個月 31 日，每次入帳前詢問，下一次是 2025/02/28。")));

    // Saved with the book: the rule as the window left it, the entry its first occurrence.
    const auto saved = [&] {
      if (!book::save(p.store).saved()) qFatal("cannot save the book");
      return std::get<schedules::ScheduleBook>(schedules::readSchedules(folder));
    };
    const schedules::ScheduleBook plan = saved();
    QCOMPARE(plan.schedules.size(), 1u);
    const schedules::Schedule& rent = plan.schedules[0];
    QCOMPARE(rent.amount, 12000);
    QCOMPARE(rent.rule.first, QDate(2025, 1, 31));
    QCOMPARE(rent.rule.weekend, schedules::WeekendRule::FridayBefore);
    QVERIFY(rent.increase.startsWith(QStringLiteral("E-房租")));
    QCOMPARE(schedules::dueOccurrences(plan, QDate(2025, 3, 1)).size(), 1u);
    // 復原 takes back the window's change, then the schedule itself; the file follows at each
    // save, the schedule and its occurrence marked deleted.
    auto* undo = child<QAction>(p.window, MainForm::kUndo);
    undo->trigger();
    QCOMPARE(saved().schedules[0].rule.weekend, schedules::WeekendRule::None);
    undo->trigger();
    const schedules::ScheduleBook gone = saved();
    QVERIFY(gone.schedules[0].deleted && gone.records[0].deleted);
    QCOMPARE(p.store.tables().entriesInUse(), 1);
  }
};

QTEST_MAIN(TestScheduleForm)
#include "tst_scheduleform.moc"
