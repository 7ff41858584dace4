// The schedules window, reached from the entry dialog's 存成定期: the entry kept shows its rule's
// next five dates, which follow every change; 儲存 keeps what the window shows, and each is a
// step that 復原 takes back, the side file following at the next save. And the list of
// occurrences due since the last opening, driven as a person would.
#include "Schedules.h"
#include "WindowSteps.h"
#include "book/book.h"
#include "entries/InputForm.h"
#include "schedules/ScheduleForm.h"
#include "schedules/SinceLastRunForm.h"
#include "schedules/schedulefile.h"

using namespace schedules;
using testschedules::monthly;

class TestScheduleForm : public QObject {
  Q_OBJECT

 private slots:
  void anEntryKeptAsAScheduleIsEditedAndKept() {
    MainWindowBook p;
    testbooks::signIn(p.store, "user1", "2025");
    const QString folder = p.store.user().databaseFolder();
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
      return std::get<ScheduleBook>(readSchedules(folder));
    };
    const ScheduleBook plan = saved();
    QCOMPARE(plan.schedules.size(), 1u);
    const Schedule& rent = plan.schedules[0];
    QCOMPARE(rent.amount, 12000);
    QCOMPARE(rent.rule.first, QDate(2025, 1, 31));
    QCOMPARE(rent.rule.weekend, WeekendRule::FridayBefore);
    QVERIFY(rent.increase.startsWith(QStringLiteral("E-房租")));
    QCOMPARE(dueOccurrences(plan, QDate(2025, 3, 1)).size(), 1u);
    // 復原 takes back the window's change, then the schedule itself; the file follows at each
    // save, the schedule and its occurrence marked deleted.
    auto* undo = child<QAction>(p.window, MainForm::kUndo);
    undo->trigger();
    QCOMPARE(saved().schedules[0].rule.weekend, WeekendRule::None);
    undo->trigger();
    const ScheduleBook gone = saved();
    QVERIFY(gone.schedules[0].deleted && gone.records[0].deleted);
    QCOMPARE(p.store.tables().entriesInUse(), 1);
  }

  // Rent asks (04/30, 05/31, 06/30), the phone bill is an estimate (07/10), the salary posts
  // itself (07/05); the book is opened on 2024/07/15. The estimate is asked for at 確定:
  // cancelled or refused, nothing is posted.
  void eachActionDoesItsOwnThing() {
    testbooks::Books b({"A-銀行", "I-薪水", "E-房租", "E-電話", "Equity"});
    ScheduleBook plan;
    plan.schedules = {monthly("rent", "E-房租", 12000, QDate(2024, 4, 30)),
                      monthly("phone", "E-電話", 900, QDate(2024, 7, 10), Mode::PostByItself),
                      monthly("salary", "I-薪水", 50000, QDate(2024, 7, 5), Mode::PostByItself)};
    plan.schedules[0].rule.dayOfMonth = 31;
    plan.schedules[1].estimate = true;
    const auto posted = [&] {
      QStringList out;
      for (const store::LedgerEntry& e : b.entries())
        out << e.EntryDate + ' ' + QString::number(e.Amount);
      return out;
    };
    whenShown(b.dialogs, [&](QDialog& d) {
      auto* table = child<QTableWidget>(d, SinceLastRunForm::kOccurrences);
      QCOMPARE(table->rowCount(), 5);
      QCOMPARE(table->item(4, 5)->text(), QStringLiteral("已自動入帳"));
      table->selectRow(1);
      click(d, SinceLastRunForm::kSkipButton);
      table->selectRow(2);
      click(d, SinceLastRunForm::kPostponeButton);
      table->selectRow(0);
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
    openSinceLastRun(b.store, b.dialogs, plan, nullptr);
    QVERIFY(b.dialogs.allAnswersUsed());
    QCOMPARE(b.dialogs.messages().size(), 1u);  // the refused "1,000"
    QCOMPARE(posted(), QStringList({"2024/07/05 50000", "2024/04/30 888", "2024/07/10 1000"}));
    // Only the postponed rent is still due.
    const auto due = dueOccurrences(plan, b.store.clock().today());
    QCOMPARE(due.size(), 1u);
    QCOMPARE(due[0].occurrence.date, QDate(2024, 6, 30));
  }
};

QTEST_MAIN(TestScheduleForm)
#include "tst_scheduleform.moc"
