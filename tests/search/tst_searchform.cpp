// The search window driven from the main window: results follow each keystroke, a double click
// shows the entry in its ledger or opens the other book it lives in.
#include "WindowSteps.h"
#include "book/book.h"
#include "catalogue/catalogue.h"
#include "search/SearchForm.h"
#include "store/booklist.h"

using F = SearchForm;

namespace {

// An open book "2025" of user amy beside her book "2024", shown in the main window.
struct Program : MainWindowBook {
  Program() {
    testbooks::addAccounts(store, {"A-現金", "E-醫療", "E-餐飲"});
    testbooks::signIn(store, "amy", "2024");
    testbooks::addEntry(store, "2024/05/01", "E-餐飲", "A-現金", 80, "早餐");
    testbooks::addEntry(store, "2024/05/06", "E-醫療", "A-現金", 700, "牙醫 補牙");
    if (!book::save(store).saved() || store::saveDatabaseList(store.user(), {"2025", "2024"}))
      qFatal("the books could not be written");
    store.tables().entryCount = 1;
    testbooks::signIn(store, "amy", "2025");
    testbooks::addEntry(store, "2025/01/02", "E-餐飲", "A-現金", 90, "ATM 旁早餐");
    testbooks::addEntry(store, "2025/03/12", "E-醫療", "A-現金", 1500, "牙醫 洗牙");
    testbooks::addEntry(store, "2025/03/13", "E-餐飲", "A-現金", 120, "午餐");
    window.show();
    store.refillAccountLists();
  }
  void find() { child<QAction>(window, MainForm::kFind)->trigger(); }
  QString shownSlot() {
    return child<QTreeWidget>(window, MainForm::kLedger)->currentItem()->text(5);
  }
};

int rows(QDialog& form) { return child<QTreeView>(form, F::kResults)->model()->rowCount(); }

void doubleClickRow(QDialog& form, int row) {
  auto* list = child<QTreeView>(form, F::kResults);
  const QPoint at = list->visualRect(list->model()->index(row, 1)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);  // a double click's own press
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class SearchFormTest : public QObject {
  Q_OBJECT

 private slots:
  void resultsFollowEachKeystrokeAndADoubleClickShowsTheLedger() {
    Program p;
    QCOMPARE(child<QAction>(p.window, MainForm::kFind)->shortcut(),
             QKeySequence(Qt::CTRL | Qt::Key_F));
    whenShown(p.dialogs, [&](QDialog& form) {
      typeIn(child(form, F::kMemoText), QStringLiteral("餐"));
      QCOMPARE(rows(form), 2);  // 早餐 and 午餐
      QTest::keyClick(child(form, F::kMemoText), Qt::Key_Backspace);
      QCOMPARE(rows(form), 0);  // nothing asked, nothing listed
      QTest::keyClicks(child(form, F::kAmountFrom), "100");
      QTest::keyClicks(child(form, F::kAmountTo), "2000");
      QCOMPARE(child<QLabel>(form, F::kSummary)->text(), QStringLiteral("共 2 筆，金額合計 1,620"));
      QTest::keyClicks(child(form, F::kDateTo), "x");
      QCOMPARE(rows(form), 0);
      QVERIFY(child<QLabel>(form, F::kNotes)->text().startsWith(QStringLiteral("結束日期「x」")));
      QTest::keyClick(child(form, F::kDateTo), Qt::Key_Backspace);
      typeIn(child(form, F::kMemoText), QStringLiteral("牙"));
      QCOMPARE(rows(form), 1);
      p.dialogs.type(p.dir.filePath("results.pdf"));  // the results on paper
      click(form, F::kSavePdf);
      QVERIFY(pdfText(p.dir.filePath("results.pdf")).contains("共 1 筆，金額合計 1,500"));
      doubleClickRow(form, 0);
    });
    p.find();
    QVERIFY(p.dialogs.allAnswersUsed());
    QCOMPARE(p.window.shownAccountSlot(), 2);  // E-醫療
    QCOMPARE(p.shownSlot(), QStringLiteral("2"));
  }

  void aHitInAnotherBookOpensItThroughTheList() {
    Program p;
    whenShown(p.dialogs, [&](QDialog& form) {
      typeIn(child(form, F::kMemoText), QStringLiteral("牙醫"));
      child<QCheckBox>(form, F::kEveryBook)->setChecked(true);
      QCOMPARE(rows(form), 2);
      QCOMPARE(child<QTreeView>(form, F::kResults)->model()->index(1, 0).data().toString(), "2024");
      p.dialogs.answer(Answer::No);  // stays in the window
      doubleClickRow(form, 1);
      QVERIFY(form.isVisible());
      p.dialogs.answer(Answer::Yes);
      doubleClickRow(form, 1);
    });
    p.find();
    QCOMPARE(p.dialogs.lastMessage().text,
             QStringLiteral("這筆資料在帳本「2024」裡。\n要開啟帳本「2024」嗎？"));
    QCOMPARE(p.store.user().databaseName(), QStringLiteral("2024"));
    QVERIFY(p.store.lock().holds(p.store.user().databaseFolder()));
    QCOMPARE(p.shownSlot(), QStringLiteral("2"));
  }

  // A header click sorts: amounts as numbers ("1,500" after "120"), dates as dates; the
  // double click still shows the entry clicked, not the one that stood there before.
  void headerClicksSortAmountsAsNumbersAndDates() {
    Program p;
    p.store.tables().entries[1].EntryDate =
        QStringLiteral("2025/04/01");  // stored first, dated last
    whenShown(p.dialogs, [&](QDialog& form) {
      typeIn(child(form, F::kDateFrom), QStringLiteral("2025/1/1"));
      auto* list = child<QTreeView>(form, F::kResults);
      const auto column = [&](int c) {
        QStringList cells;
        for (int r = 0; r < rows(form); ++r) cells << list->model()->index(r, c).data().toString();
        return cells;
      };
      QCOMPARE(column(F::kSlot), QStringList({"1", "2", "3"}));  // the book's order at first
      const auto clickHeader = [&](int section) {
        const QPoint at(list->header()->sectionViewportPosition(section) + 5, 5);
        QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {}, at);
      };
      clickHeader(F::kAmount);
      QCOMPARE(column(F::kAmount), QStringList({"90", "120", "1,500"}));
      clickHeader(F::kDate);
      QCOMPARE(column(F::kDate), QStringList({"2025/03/12", "2025/03/13", "2025/04/01"}));
      clickHeader(F::kDate);
      QCOMPARE(column(F::kDate), QStringList({"2025/04/01", "2025/03/13", "2025/03/12"}));
      doubleClickRow(form, 2);
    });
    p.find();
    QCOMPARE(p.shownSlot(), QStringLiteral("2"));  // 2025/03/12, the last row shown
  }

  // Opened again in the same run, the window holds what was asked last and lists its hits;
  // a long book name stands whole in its column.
  void keepsTheCriteriaAndShowsLongBookNamesWhole() {
    Program p;
    p.store.user().setDatabaseName(QStringLiteral("二〇二五年全家收支與兩張信用卡的帳本"));
    whenShown(p.dialogs, [&](QDialog& form) {
      typeIn(child(form, F::kMemoText), QStringLiteral("牙"));
      typeIn(child(form, F::kAmountFrom), QStringLiteral("１，５００"));
      QCOMPARE(rows(form), 1);
      click(form, F::kClose);
    });
    p.find();
    whenShown(p.dialogs, [&](QDialog& form) {
      QCOMPARE(child<QLineEdit>(form, F::kMemoText)->text(), QStringLiteral("牙"));
      QCOMPARE(child<QLineEdit>(form, F::kAmountFrom)->text(), QStringLiteral("１，５００"));
      QCOMPARE(rows(form), 1);
      auto* list = child<QTreeView>(form, F::kResults);
      QVERIFY(list->columnWidth(F::kBook) >=
              list->fontMetrics().horizontalAdvance(p.store.user().databaseName()));
      click(form, F::kClose);
    });
    p.find();
  }
};

QTEST_MAIN(SearchFormTest)
#include "tst_searchform.moc"
