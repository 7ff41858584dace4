// The budget's grid, its report and the notice when a month runs over.
#include "TestFiles.h"
#include "WindowSteps.h"
#include "accounts/chart.h"
#include "budget/BudgetForm.h"
#include "budget/BudgetReportForm.h"
#include "budget/actuals.h"
#include "budget/budget.h"
#include "budget/budgetfile.h"
#include "entries/entrycommands.h"

#include <QLabel>
#include <QSpinBox>
#include <QStatusBar>

namespace {

// A book in a folder of its own: the budget's file lives beside it.
struct BudgetBook : testbooks::Books {
  QString folder;
  budget::Budget plans;
  explicit BudgetBook(std::initializer_list<QString> chart)
      : Books(chart), folder(dir.path() + "/book"), plans(folder) {
    QDir().mkpath(folder);
    store.clock().setToday(QDate(2026, 3, 20));
    plans.keepStepsIn(&store.history());
  }
  std::vector<budget::Account> accounts() const { return budget::accountsOf(store); }
};

QStringList rowOf(QTableWidget* table, const QString& name) {
  const auto found = table->findItems(name, Qt::MatchExactly);
  if (found.isEmpty()) return {};
  QStringList cells;
  for (int c = 0; c < table->columnCount(); ++c) cells << table->item(found[0]->row(), c)->text();
  return cells;
}

void typeCell(QTableWidget* grid, const QString& text) {
  // The last cell's editor goes first, so that the one found is the one just opened.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QTest::keyClick(grid, Qt::Key_F2);
  auto* editor = grid->findChild<QLineEdit*>();
  QVERIFY(editor);
  editor->selectAll();
  typeIn(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
  // The view commits and closes its editor on its next turn of the event loop.
  QCoreApplication::processEvents();
}

}  // namespace

class BudgetFormTest : public QObject {
  Q_OBJECT

 private slots:
  // A deleted account's plan is listed last, with its amounts, and takes no typing; a month's
  // amount typed moves on as a spreadsheet does, and a refused one keeps the cell.
  void typingInTheGridAndADeletedAccountsPlan() {
    BudgetBook b({"A-現金", "I-薪資", "E-食費", "E-房租", "E-雜項"});
    QVERIFY(!b.plans.setRule(b.accounts(), b.accounts()[3], 2026, budget::Rule::SameEachMonth,
                             "9,000"));
    QVERIFY(!accounts::deleteAccount(b.store, 5));  // 雜項, with no entries
    QVERIFY(!b.plans.follow(b.accounts()));
    whenShown(b.dialogs, [&](QDialog& form) {
      auto* grid = child<QTableWidget>(form, BudgetForm::kGrid);
      const QStringList gone = rowOf(grid, "已刪除帳戶（E-雜項）");
      QCOMPARE(gone.value(1), QStringLiteral("9,000"));
      QCOMPARE(gone.value(BudgetForm::kTotalColumn), QStringLiteral("108,000"));
      QVERIFY(!(grid->item(grid->rowCount() - 1, 1)->flags() & Qt::ItemIsEditable));
      grid->setCurrentCell(1, BudgetForm::kFirstMonthColumn + 1);  // 食費, February
      typeCell(grid, "12,500");
      QCOMPARE(rowOf(grid, "E-食費").mid(1, 2), (QStringList{"0", "12,500"}));
      QCOMPARE(grid->currentRow(), 2);  // on to 房租, as a spreadsheet goes

      const QByteArray kept = fileBytes(budgetfile::pathIn(b.folder));
      typeCell(grid, "-3");
      QVERIFY(child<QLabel>(form, BudgetForm::kMessage)->text().contains("負數"));
      QCOMPARE(grid->currentRow(), 2);  // the cell stays, empty as it was
      QVERIFY(rowOf(grid, "E-房租")[2].isEmpty());
      QCOMPARE(fileBytes(budgetfile::pathIn(b.folder)), kept);

      // The rule for the whole row, a step of the book's history as the month's was.
      grid->setCurrentCell(1, 1);
      child<QComboBox>(form, BudgetForm::kRule)->setCurrentIndex(2);
      typeIn(form, BudgetForm::kRuleAmount, "100,000");
      click(form, BudgetForm::kApplyRule);
      QCOMPARE(rowOf(grid, "E-食費")[12], QStringLiteral("8,337"));
      QCOMPARE(rowOf(grid, "E-食費").last(), QStringLiteral("100,000"));
      click(form, BudgetForm::kClose);
    });
    openBudget(b.store, b.dialogs, b.plans, nullptr);
    QVERIFY(b.dialogs.messages().empty());  // refusals were said in the window, not in boxes
    QCOMPARE(b.store.history().undoName(), budget::editname::kRule);
  }

  void theReportFiltersOverrunsAndPrintsThem() {
    BudgetBook b({"A-現金", "I-薪資", "E-食費", "E-房租"});
    b.entry("2026/01/05", "I-薪資", "A-現金", 30000);
    b.entry("2026/03/10", "E-食費", "A-現金", 6100);
    b.entry("2026/03/11", "E-房租", "A-現金", 9000);
    const auto accounts = b.accounts();
    QVERIFY(!b.plans.setRule(accounts, accounts[1], 2026, budget::Rule::SameEachMonth, "5,000"));
    QVERIFY(!b.plans.setRule(accounts, accounts[2], 2026, budget::Rule::SameEachMonth, "10,000"));
    b.store.clock().setToday(QDate(2029, 7, 1));  // a book kept years ago
    whenShown(b.dialogs, [&](QDialog& form) {
      // It opens on the book's latest month, not on today's empty one.
      QCOMPARE(child<QSpinBox>(form, BudgetReportForm::kYear)->value(), 2026);
      QCOMPARE(child<QSpinBox>(form, BudgetReportForm::kMonth)->value(), 3);
      auto* table = child<QTableWidget>(form, BudgetReportForm::kTable);
      QCOMPARE(rowOf(table, "E-食費"),
               (QStringList{"E-食費", "5,000", "6,100", "-1,100", "122.0%"}));
      QVERIFY(!rowOf(table, "E-房租").isEmpty());
      QTest::mouseClick(child<QCheckBox>(form, BudgetReportForm::kOverOnly), Qt::LeftButton);
      QVERIFY(!rowOf(table, "E-食費").isEmpty());
      QVERIFY(rowOf(table, "E-房租").isEmpty());  // 9,000 of 10,000

      b.dialogs.type(b.dir.filePath("report.pdf"));
      click(form, BudgetReportForm::kSavePdf);
      const QString text = pdfText(b.dir.filePath("report.pdf"));
      for (const char* expected : {"預算與實際", "2026/03", "E-食費", "-1,100", "122.0%"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
      QVERIFY(!text.contains("E-房租"));

      b.dialogs.type(b.dir.filePath("report.csv"));
      click(form, BudgetReportForm::kSaveCsv);
      QVERIFY(
          fileBytes(b.dir.filePath("report.csv")).contains("支出,E-食費,5000,6100,-1100,122.0"));
      click(form, BudgetReportForm::kClose);
    });
    openBudgetReport(b.store, b.dialogs, b.plans, nullptr);
  }

  void aSavedEntryPastEightyAndAHundredPercentIsToldInANoteThatCoversNoControl() {
    MainWindowBook b;
    testbooks::addAccounts(b.store, {"A-現金", "E-食費"});
    testbooks::signIn(b.store, "Test", "home");
    const QString folder = b.store.user().databaseFolder();
    const auto accounts = budget::accountsOf(b.store);
    budget::Budget there(folder);  // as another computer keeps the same file
    QVERIFY(!there.setRule(accounts, accounts[0], 2026, budget::Rule::SameEachMonth, "5,000"));
    b.window.show();
    auto* note = child<QLabel>(b.window, BookBudget::kNotice);
    b.store.refillAccountLists();  // the book opened
    const auto spend = [&](const char* amount) {
      const entries::EntryInput input{false, 0, 1, 0, "2026/03/05", amount, {}};  // 食費 from 現金
      QVERIFY(std::holds_alternative<int>(entries::storeEntry(b.store, input)));
    };
    spend("3000");
    QVERIFY(note->isHidden());
    spend("1200");
    QCOMPARE(note->text(), QStringLiteral("注意：E-食費 2026/03 已用預算的 84%"));
    QVERIFY(note->isVisible());
    spend("1000");
    QCOMPARE(note->text(), QStringLiteral("注意：E-食費 2026/03 已超出預算 200"));
    // Nothing that takes a click or a key lies under it, nor the status bar's panels.
    const QRect shown(note->mapTo(&b.window, QPoint()), note->size());
    for (QWidget* w : b.window.findChildren<QWidget*>()) {
      if (w == note || !w->isVisible() || w->isAncestorOf(note)) continue;
      if (w->focusPolicy() == Qt::NoFocus && !qobject_cast<QStatusBar*>(w)) continue;
      QVERIFY2(!shown.intersects(QRect(w->mapTo(&b.window, QPoint()), w->size())),
               qPrintable(w->objectName()));
    }
    QVERIFY(b.dialogs.messages().empty());

    // The other computer raises the plan; the book saved, the open budget has it.
    QVERIFY(!there.setRule(accounts, accounts[0], 2026, budget::Rule::SameEachMonth, "9,000"));
    emit b.store.bookSaved(folder);
    whenShown(b.dialogs, [&](QDialog& form) {
      QCOMPARE(rowOf(child<QTableWidget>(form, BudgetForm::kGrid), "E-食費").value(3),
               QStringLiteral("9,000"));
      click(form, BudgetForm::kClose);
    });
    child<QAction>(b.window, MainForm::kBudgetPlan)->trigger();
  }
};

QTEST_MAIN(BudgetFormTest)
#include "tst_budgetform.moc"
