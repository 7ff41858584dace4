// The search window driven from the main window: results follow each keystroke, a double click
// shows the entry in its ledger or opens the other book it lives in.
#include "WindowSteps.h"
#include "catalogue/catalogue.h"
#include "store/database.h"

namespace {

// An open book "2025" of user amy beside her book "2024", shown in the main window.
struct Program : MainWindowBook {
  Program() {
    store.UserName = "amy";
    testbooks::addAccounts(store, {"A-現金", "E-醫療", "E-餐飲"});
    store.DataBaseName = "2024";
    QDir().mkpath(store.databaseFolder());
    testbooks::addEntry(store, "2024/05/01", "E-餐飲", "A-現金", 80, "早餐");
    testbooks::addEntry(store, "2024/05/06", "E-醫療", "A-現金", 700, "牙醫 補牙");
    if (!SaveDatabase(store).saved() || SaveDatabaseList(store, {"2025", "2024"}))
      qFatal("the books could not be written");
    store.EntryCount = 1;
    store.DataBaseName = "2025";
    QDir().mkpath(store.databaseFolder());
    testbooks::addEntry(store, "2025/01/02", "E-餐飲", "A-現金", 90, "ATM 旁早餐");
    testbooks::addEntry(store, "2025/03/12", "E-醫療", "A-現金", 1500, "牙醫 洗牙");
    testbooks::addEntry(store, "2025/03/13", "E-餐飲", "A-現金", 120, "午餐");
    window.show();
    store.FillAccountLists();
  }
  QString shownSlot() { return child<QTreeWidget>(window, "Liv1")->currentItem()->text(5); }
};

int rows(QDialog& form) { return child<QTreeView>(form, "Results")->model()->rowCount(); }

void doubleClickRow(QDialog& form, int row) {
  auto* list = child<QTreeView>(form, "Results");
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
    auto* find = child<QAction>(p.window, "Find");
    QCOMPARE(find->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    whenShown(p.dialogs, [&](QDialog& form) {
      typeIn(child(form, "MemoText"), QStringLiteral("餐"));
      QCOMPARE(rows(form), 2);  // 早餐 and 午餐
      QTest::keyClick(child(form, "MemoText"), Qt::Key_Backspace);
      QCOMPARE(rows(form), 0);  // nothing asked, nothing listed
      QTest::keyClicks(child(form, "AmountFrom"), "100");
      QTest::keyClicks(child(form, "AmountTo"), "2000");
      QCOMPARE(child<QLabel>(form, "Summary")->text(), QStringLiteral("共 2 筆，金額合計 1,620"));
      QTest::keyClicks(child(form, "DateTo"), "x");
      QCOMPARE(rows(form), 0);
      QVERIFY(child<QLabel>(form, "Notes")->text().startsWith(QStringLiteral("結束日期「x」")));
      QTest::keyClick(child(form, "DateTo"), Qt::Key_Backspace);
      typeIn(child(form, "MemoText"), QStringLiteral("牙"));
      QCOMPARE(rows(form), 1);
      p.dialogs.type(p.dir.filePath("results.pdf"));  // the results on paper
      click(form, "SavePdf");
      QVERIFY(pdfText(p.dir.filePath("results.pdf")).contains("共 1 筆，金額合計 1,500"));
      doubleClickRow(form, 0);
    });
    find->trigger();
    QVERIFY(p.dialogs.allAnswersUsed());
    QCOMPARE(p.window.shownAccountSlot(), 2);  // E-醫療
    QCOMPARE(p.shownSlot(), QStringLiteral("2"));
  }

  void aHitInAnotherBookOpensItThroughTheList() {
    Program p;
    whenShown(p.dialogs, [&](QDialog& form) {
      typeIn(child(form, "MemoText"), QStringLiteral("牙醫"));
      child<QCheckBox>(form, "EveryBook")->setChecked(true);
      QCOMPARE(rows(form), 2);
      QCOMPARE(child<QTreeView>(form, "Results")->model()->index(1, 0).data().toString(), "2024");
      p.dialogs.answer(Answer::No);  // stays in the window
      doubleClickRow(form, 1);
      QVERIFY(form.isVisible());
      p.dialogs.answer(Answer::Yes);
      doubleClickRow(form, 1);
    });
    child<QAction>(p.window, "Find")->trigger();
    QCOMPARE(p.dialogs.lastMessage().text,
             QStringLiteral("這筆資料在帳本「2024」裡。\n要開啟帳本「2024」嗎？"));
    QCOMPARE(p.store.DataBaseName, QStringLiteral("2024"));
    QVERIFY(p.store.Lock.holds(p.store.databaseFolder()));
    QCOMPARE(p.shownSlot(), QStringLiteral("2"));
  }
};

QTEST_MAIN(SearchFormTest)
#include "tst_searchform.moc"
