// The merge's questions as a person answers them: one at a time, both sides shown, 兩者都留
// only where both can stay, back to change an answer, and 取消 leaving with none.
#include "WindowSteps.h"
#include "merge/MergeForm.h"

namespace {

const std::vector<merge::Conflict> kConflicts{
    {merge::ConflictKind::AccountChangedBoth, "兩邊都改了帳戶「E-餐飲」", "E-吃飯（支出）",
     "E-伙食（支出）", false},
    {merge::ConflictKind::EntryChangedBoth, "兩邊都改了同一筆記錄",
     "2024/01/10　E-餐飲 ← A-現金　120　午餐", "2024/01/10　E-餐飲 ← A-現金　150　午餐", true},
    {merge::ConflictKind::EntryChangedDeleted, "一邊改了這筆記錄，另一邊刪除了它",
     "2024/08/01　E-餐飲 ← A-現金　55　晚餐", "（已刪除）", false},
};

}  // namespace

class MergeFormTest : public QObject {
  Q_OBJECT

 private slots:
  void eachQuestionShowsBothSidesAndTakesItsAnswer() {
    MergeForm form(kConflicts);
    form.show();
    for (size_t i = 0; i < kConflicts.size(); ++i) {
      QCOMPARE(child<QLabel>(form, MergeForm::kTitleName)->text(), kConflicts[i].title);
      QCOMPARE(child<QLabel>(form, MergeForm::kStepName)->text(),
               QStringLiteral("第 %1 個，共 3 個要決定").arg(i + 1));
      QCOMPARE(child<QPlainTextEdit>(form, MergeForm::kMineName)->toPlainText(),
               kConflicts[i].mine);
      QCOMPARE(child<QPlainTextEdit>(form, MergeForm::kTheirsName)->toPlainText(),
               kConflicts[i].theirs);
      QCOMPARE(child<QPushButton>(form, MergeForm::kKeepBothName)->isEnabled(),
               kConflicts[i].allowsBoth);
      QCOMPARE(form.result(), int(QDialog::Rejected));  // nothing decided before the last answer
      click(form, i == 0 ? MergeForm::kKeepMineName
                         : (i == 1 ? MergeForm::kKeepBothName : MergeForm::kKeepTheirsName));
    }
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QVERIFY(!form.isVisible());
    QCOMPARE(form.answers(), (std::vector<merge::Choice>{merge::Choice::Mine, merge::Choice::Both,
                                                         merge::Choice::Theirs}));
  }

  // 上一個 goes back to change an answer; Esc then leaves with none.
  void previousChangesAnEarlierAnswerAndEscapeCancels() {
    MergeForm form(kConflicts);
    form.show();
    QVERIFY(!child<QPushButton>(form, MergeForm::kPreviousName)->isEnabled());
    click(form, MergeForm::kKeepMineName);
    click(form, MergeForm::kPreviousName);
    QCOMPARE(child<QLabel>(form, MergeForm::kTitleName)->text(), kConflicts[0].title);
    click(form, MergeForm::kKeepTheirsName);
    click(form, MergeForm::kKeepMineName);
    QCOMPARE(form.answers(),
             (std::vector<merge::Choice>{merge::Choice::Theirs, merge::Choice::Mine}));
    QTest::keyClick(&form, Qt::Key_Escape);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(!form.isVisible());
    QVERIFY(form.answers().empty());
  }
};

QTEST_MAIN(MergeFormTest)
#include "tst_mergeform.moc"
