// The bulk delete window driven as a person would: options, typed dates, the delete button,
// Enter, and cancel.

#include "ScriptedDialogs.h"
#include "maintenance/DelForm.h"
#include "store/LedgerView.h"
#include "store/Module1.h"
#include "ui/forms.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The main window's ledger as far as the bulk delete reaches it.
class FakeLedger : public LedgerView {
 public:
  QList<bool> redraws;
  int shownAccountSlot() const override { return 2; }
  void showAccount(int) override {}
  void redrawLedger(bool selectLastRow) override { redraws.append(selectLastRow); }
  void appendRow(const LedgerRow&) override {}
  void selectEntry(int) override {}
  qint64 lastRunningTotal() const override { return 0; }
  int rowCount() const override { return 0; }
};

struct Book {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
  FakeLedger ledger;

  Book() {
    store.clock().setToday(QDate(2003, 12, 1));
    store.AccountTable[1] = makeAccount(QStringLiteral("Equity"), kEquity);
    store.AccountTable[2] = makeAccount(QStringLiteral("A-現金"), kAsset);
    store.AccountTable[3] = makeAccount(QStringLiteral("E-餐飲"), kExpense);
    store.AccountCount = 4;
    for (const char* date :
         {"2003/10/31", "2003/11/01", "2003/11/15", "2003/11/30", "2003/12/01", "2003/12/24"}) {
      add(QString::fromLatin1(date));
    }
    store.showEntryCount();
  }
  void add(const QString& date) {
    store.EntryTable[store.EntryCount++] =
        makeEntry(date, QStringLiteral("E-餐飲"), QStringLiteral("A-現金"), 100, QString());
  }
  QStringList dates() const {
    QStringList out;
    for (int i = 1; i < store.EntryCount; ++i) out.append(store.EntryTable[i].EntryDate);
    return out;
  }
};

template <typename W>
W* child(QDialog& dialog, const char* name) {
  W* w = dialog.findChild<W*>(QLatin1String(name));
  if (!w) qFatal("no control %s", name);
  return w;
}

void setText(QDialog& d, const char* name, const QString& text) {
  QLineEdit* edit = child<QLineEdit>(d, name);
  edit->clear();
  QTest::keyClicks(edit, text);
}

void click(QDialog& d, const char* name) {
  QTest::mouseClick(child<QAbstractButton>(d, name), Qt::LeftButton);
}

// Runs `steps` against the shown window, then leaves it with "取消(&C)".
void runDelForm(Book& book, const std::function<void(QDialog&)>& steps) {
  bool ran = false;
  book.dialogs.onModal([&](QDialog& d) {
    d.show();
    steps(d);
    ran = true;
    click(d, "Cmd0");
    return d.result();
  });
  openBulkDelete(book.store, book.ledger, nullptr);
  QVERIFY(ran);
  QVERIFY(book.dialogs.unscripted().isEmpty());
}

}  // namespace

class TestDelForm : public QObject {
  Q_OBJECT

 private slots:
  void optionsShowTheirWordsAndSecondDate();
  void deletes_data();
  void deletes();
  void staysOpenForAnotherDeletion();
  void refuses_data();
  void refuses();
  void leftOnlyByCancel();
};

void TestDelForm::optionsShowTheirWordsAndSecondDate() {
  Book book;
  runDelForm(book, [&](QDialog& d) {
    QCOMPARE(d.windowTitle(), QStringLiteral("刪除多筆記錄"));
    QVERIFY(child<QRadioButton>(d, "Option1")->isChecked());
    QCOMPARE(child<QLineEdit>(d, "Text1")->text(), QStringLiteral("2003/12/01"));
    QCOMPARE(child<QLineEdit>(d, "Text2")->text(), QStringLiteral("2003/12/01"));
    setText(d, "Text2", QStringLiteral("2003/11/01"));
    struct Step {
      const char* option;
      QString label;
      bool second;
    };
    for (const Step& s :
         {Step{"Option3", QStringLiteral("至"), true},
          Step{"Option2", QStringLiteral("之後"), false},
          Step{"Option4", QStringLiteral("至"), true}, Step{"Option1", QString(), false}}) {
      click(d, s.option);
      QLabel* label = child<QLabel>(d, "Label1");
      QCOMPARE(label->text(), s.label);
      QVERIFY2(label->width() >= label->sizeHint().width(), s.option);  // not cut off
      QCOMPARE(child<QLineEdit>(d, "Text2")->isVisible(), s.second);
    }
    // Hidden, the second date kept its text.
    QCOMPARE(child<QLineEdit>(d, "Text2")->text(), QStringLiteral("2003/11/01"));
  });
}

void TestDelForm::deletes_data() {
  QTest::addColumn<QString>("option");
  QTest::addColumn<QString>("first");
  QTest::addColumn<QString>("second");
  QTest::addColumn<bool>("byEnter");  // Enter in the first date instead of a click
  QTest::addColumn<QStringList>("kept");
  const QStringList outsideNovember{"2003/10/31", "2003/12/01", "2003/12/24"};
  QTest::newRow("within") << "Option3"
                          << "2003/11/30"
                          << "2003/11/01" << false << outsideNovember;
  QTest::newRow("within, swapped, dashes, Enter") << "Option3"
                                                  << "2003-11-1"
                                                  << "2003/11/30" << true << outsideNovember;
  QTest::newRow("outside") << "Option4"
                           << "2003/11/30"
                           << "2003/11/01" << false
                           << QStringList{"2003/11/01", "2003/11/15", "2003/11/30"};
  QTest::newRow("after today") << "Option2"
                               << "2003/12/01"
                               << "2003/12/01" << true
                               << QStringList{"2003/10/31", "2003/11/01", "2003/11/15",
                                              "2003/11/30", "2003/12/01"};
  QTest::newRow("every entry") << "Option4"
                               << "2004/01/01"
                               << "2004/12/31" << false << QStringList{};
}

void TestDelForm::deletes() {
  QFETCH(QString, option);
  QFETCH(QString, first);
  QFETCH(QString, second);
  QFETCH(bool, byEnter);
  QFETCH(QStringList, kept);
  Book book;
  runDelForm(book, [&](QDialog& d) {
    click(d, option.toLatin1().constData());
    setText(d, "Text2", second);
    setText(d, "Text1", first);
    if (byEnter) {
      QTest::keyClick(child<QLineEdit>(d, "Text1"), Qt::Key_Return);
    } else {
      click(d, "Cmd1");
    }
    QCOMPARE(book.dialogs.messages(), std::vector<Message>{done(QStringLiteral("資料刪除完成"))});
    // The dates come back written the program's way.
    QCOMPARE(child<QLineEdit>(d, "Text1")->text(), *dates::normalise(first));
    QCOMPARE(child<QLineEdit>(d, "Text2")->text(), *dates::normalise(second));
  });
  QCOMPARE(book.dates(), kept);
  QCOMPARE(book.store.panel(Module1::EntriesPanel),
           QStringLiteral("資料筆數：%1").arg(kept.size()));
  QCOMPARE(book.ledger.redraws, QList<bool>{true});
}

void TestDelForm::staysOpenForAnotherDeletion() {
  Book book;
  runDelForm(book, [&](QDialog& d) {
    setText(d, "Text1", QStringLiteral("2003/11/15"));
    click(d, "Cmd1");
    QVERIFY(d.isVisible());
    // Nothing on that day any more: still reported as done, the count unchanged.
    click(d, "Cmd1");
    QCOMPARE(book.dialogs.messageTexts(),
             (QStringList{QStringLiteral("資料刪除完成"), QStringLiteral("資料刪除完成")}));
    QCOMPARE(book.store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：5"));
    QVERIFY(d.isVisible());
  });
  QCOMPARE(book.ledger.redraws, (QList<bool>{true, true}));
}

void TestDelForm::refuses_data() {
  QTest::addColumn<QString>("first");
  QTest::addColumn<QString>("second");  // typed while "範圍內" shows it, then hidden again
  QTest::addColumn<QString>("message");
  QTest::newRow("hidden second date empty") << "2003/11/15"
                                            << ""
                                            << "請先輸入日期";
  QTest::newRow("no date") << "abc"
                           << "2003-11-5"
                           << "不是正確的日期格式";
}

void TestDelForm::refuses() {
  QFETCH(QString, first);
  QFETCH(QString, second);
  QFETCH(QString, message);
  Book book;
  runDelForm(book, [&](QDialog& d) {
    click(d, "Option3");
    setText(d, "Text2", second);
    click(d, "Option1");
    setText(d, "Text1", first);
    click(d, "Cmd1");
    QCOMPARE(book.dialogs.messages(), std::vector<Message>{refusal(message)});
    // Nothing is rewritten when the command refuses.
    QCOMPARE(child<QLineEdit>(d, "Text1")->text(), first);
    QCOMPARE(child<QLineEdit>(d, "Text2")->text(), second);
  });
  QCOMPARE(book.dates().size(), 6);
  QCOMPARE(book.store.panel(Module1::EntriesPanel), QStringLiteral("資料筆數：6"));
  QVERIFY(book.ledger.redraws.isEmpty());
}

void TestDelForm::leftOnlyByCancel() {
  Book book;
  int result = -1;
  auto steps = [&](QDialog& d) {
    d.show();
    QVERIFY(!(d.windowFlags() & Qt::WindowCloseButtonHint));
    d.close();  // the title bar's close
    QVERIFY(d.isVisible());
    QTest::keyClick(&d, Qt::Key_Escape);  // Esc is the cancel button
    QVERIFY(!d.isVisible());
    result = d.result();
  };
  book.dialogs.onModal([&](QDialog& d) {
    steps(d);
    return d.result();
  });
  openBulkDelete(book.store, book.ledger, nullptr);
  QCOMPARE(result, int(QDialog::Rejected));
  QVERIFY(book.dialogs.messages().empty());
  QCOMPARE(book.dates().size(), 6);
}

QTEST_MAIN(TestDelForm)
#include "tst_delform.moc"
