#include "ScriptedDialogs.h"
#include "platform/widgets/clipboard.h"
#include "store/Module1.h"
#include "store/records.h"
#include "ui/forms.h"

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

const QColor kBlack(Qt::black);
const QColor kRed(255, 0, 0);
const QString kRule = QString(34, u'-');

QColor textColour(QWidget* box) { return box->palette().color(QPalette::Text); }

}  // namespace

class TestBSForm : public QObject {
  Q_OBJECT

 private:
  struct Program {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Module1 store{dir.path(), dialogs};
    Program() {
      store.clock().setToday(QDate(2025, 6, 1));
      store.AccountTable[1] = makeAccount(QStringLiteral("A-現金"), kAsset);
      store.AccountTable[2] = makeAccount(QStringLiteral("Equity"), kEquity);
      store.AccountCount = 3;
      store.EntryTable[1] =
          makeEntry("2025/01/01", QStringLiteral("A-現金"), "Equity", 1500, QStringLiteral("初值"));
      store.EntryCount = 2;
    }
    void addAccount(const QString& name, qint16 kind) {
      store.AccountTable[store.AccountCount++] = makeAccount(name, kind);
    }
    void addEntry(const QString& date, const QString& a, const QString& b, qint32 amount) {
      store.EntryTable[store.EntryCount++] = makeEntry(date, a, b, amount, {});
    }
    // Opens the window and runs the steps against it; they end with its "確定".
    void open(const std::function<void(QDialog&)>& steps) {
      dialogs.onModal([&](QDialog& dialog) {
        dialog.show();
        steps(dialog);
        if (dialog.isVisible())
          QTest::mouseClick(child<QPushButton>(dialog, "Cmd1"), Qt::LeftButton);
        return dialog.result();
      });
      openStatements(store, nullptr);
    }
  };

  template <typename T>
  static T* child(QDialog& dialog, const char* name) {
    T* w = dialog.findChild<T*>(QLatin1String(name));
    if (!w) qFatal("no control %s", name);
    return w;
  }
  static QString text(QDialog& d, const char* name) {
    if (auto* box = d.findChild<QPlainTextEdit*>(QLatin1String(name))) return box->toPlainText();
    return child<QLineEdit>(d, name)->text();
  }
  static void showDate(QDialog& d, const QString& date) {
    QLineEdit* box = child<QLineEdit>(d, "Text7");
    box->clear();
    QTest::keyClicks(box, date);
    QTest::mouseClick(child<QPushButton>(d, "Cmd4"), Qt::LeftButton);
  }

 private slots:
  void openingShowsTodaysStatements() {
    Program p;
    bool ran = false;
    p.open([&](QDialog& d) {
      ran = true;
      QCOMPARE(d.windowTitle(), QStringLiteral("財務報表"));
      QCOMPARE(text(d, "Text7"), QStringLiteral("2025/06/01"));
      QCOMPARE(text(d, "Text1"), QStringLiteral("資產\n") + kRule + "\nA-現金" + QString(16, u' ') +
                                     "  1500\n" + kRule + QStringLiteral("\n資產總合   1500"));
      QVERIFY(text(d, "Text3").endsWith(QStringLiteral("負債總合   0")));
      QVERIFY(text(d, "Text5").startsWith(QStringLiteral("財產淨值  1500")));
      QCOMPARE(text(d, "Text6"), QStringLiteral("結餘  0"));
      QCOMPARE(textColour(child<QLineEdit>(d, "Text5")), kBlack);
      QCOMPARE(textColour(child<QLineEdit>(d, "Text6")), kBlack);
      QCOMPARE(textColour(child<QPlainTextEdit>(d, "Text3")), QColor(254, 54, 60));
      QCOMPARE(textColour(child<QPlainTextEdit>(d, "Text4")), QColor(254, 54, 60));
      QVERIFY(child<QPushButton>(d, "Cmd1")->isDefault());
      // Esc and the window manager's close leave it open; "確定" closes it.
      QTest::keyClick(&d, Qt::Key_Escape);
      QVERIFY(!d.close());
      QVERIFY(d.isVisible());
      QTest::mouseClick(child<QPushButton>(d, "Cmd1"), Qt::LeftButton);
      QVERIFY(!d.isVisible());
    });
    QVERIFY(ran);
    QVERIFY(p.dialogs.messages().empty());
  }

  void dateField_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("assetsTotal");
    QTest::newRow("dashes") << "2024-12-31" << true << "0";
    QTest::newRow("no leading zeros") << "2025/1/1" << true << "1500";
    QTest::newRow("not a date") << "abc" << false << "";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("no such day") << "2025/02/30" << false << "";
  }

  void dateField() {
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, assetsTotal);
    Program p;
    p.open([&](QDialog& d) {
      showDate(d, QStringLiteral("2024/12/31"));  // before the first entry
      QVERIFY(text(d, "Text1").contains(QStringLiteral("  0\n")));
      const QString before = text(d, "Text1");
      showDate(d, typed);
      QCOMPARE(text(d, "Text7"), typed);  // kept as typed
      if (accepted) {
        QVERIFY(p.dialogs.messages().empty());
        QVERIFY(text(d, "Text1").endsWith(QStringLiteral("資產總合   ") + assetsTotal));
      } else {
        QCOMPARE(p.dialogs.lastMessage(), refusal(QStringLiteral("不是正確的日期格式")));
        QCOMPARE(text(d, "Text1"), before);
      }
    });
  }

  void enterInDateFieldShowsAndKeepsTheWindow() {
    Program p;
    p.open([&](QDialog& d) {
      QLineEdit* box = child<QLineEdit>(d, "Text7");
      box->setFocus();
      box->clear();
      QTest::keyClicks(box, QStringLiteral("2024/12/31"));
      QTest::keyClick(box, Qt::Key_Return);
      QVERIFY(d.isVisible());
      QVERIFY(text(d, "Text5").startsWith(QStringLiteral("財產淨值  0")));
      QTest::keyClicks(box, QStringLiteral("x"));
      QTest::keyClick(box, Qt::Key_Enter);
      QVERIFY(d.isVisible());
      QCOMPARE(p.dialogs.messageTexts(), QStringList{QStringLiteral("不是正確的日期格式")});
    });
  }

  void resultsAreRedOnlyWhileNegative() {
    Program p;
    p.addAccount(QStringLiteral("L-卡"), kLiability);
    p.addAccount(QStringLiteral("E-餐"), kExpense);
    p.addEntry("2025/02/01", QStringLiteral("E-餐"), QStringLiteral("L-卡"), 2000);
    p.open([&](QDialog& d) {
      QCOMPARE(text(d, "Text6"), QStringLiteral("結餘  -2000"));
      QCOMPARE(textColour(child<QLineEdit>(d, "Text5")), kRed);
      QCOMPARE(textColour(child<QLineEdit>(d, "Text6")), kRed);
      showDate(d, QStringLiteral("2025/01/31"));
      QCOMPARE(textColour(child<QLineEdit>(d, "Text5")), kBlack);
      QCOMPARE(textColour(child<QLineEdit>(d, "Text6")), kBlack);
    });
  }

  void copiesEachStatementExactly() {
    Program p;
    p.addAccount(QStringLiteral("I-薪資"), kIncome);
    p.addEntry("2025/03/01", QStringLiteral("I-薪資"), QStringLiteral("A-現金"), 300);
    const QString cash = QStringLiteral("A-現金") + QString(16, u' ') + "  ";
    p.open([&](QDialog& d) {
      QTest::mouseClick(child<QPushButton>(d, "Cmd2"), Qt::LeftButton);
      QCOMPARE(clipboard::text(), QStringLiteral("資產\r\n") + kRule + "\r\n" + cash + "1800\r\n" +
                                      kRule + QStringLiteral("\r\n資產總合   1800\r\n負債\r\n") +
                                      kRule + "\r\n" + kRule +
                                      QStringLiteral("\r\n負債總合   0\r\n財產淨值  1800\r\n"));
      QTest::mouseClick(child<QPushButton>(d, "Cmd3"), Qt::LeftButton);
      QCOMPARE(clipboard::text(),
               QStringLiteral("收入\r\n") + kRule + QStringLiteral("\r\nI-薪資") +
                   QString(16, u' ') + "  300\r\n" + kRule +
                   QStringLiteral("\r\n收入總合   300\r\n支出\r\n") + kRule + "\r\n" + kRule +
                   QStringLiteral("\r\n支出總合   0\r\n結餘  300"));
      QVERIFY(p.dialogs.messages().empty());
    });
  }
};

QTEST_MAIN(TestBSForm)
#include "tst_bsform.moc"
