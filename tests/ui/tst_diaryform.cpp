#include "ScriptedDialogs.h"
#include "store/Module1.h"
#include "store/records.h"
#include "ui/forms.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <functional>

class TestDiaryForm : public QObject {
  Q_OBJECT

 private:
  struct Program {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Module1 store{dir.path(), dialogs};
    Program() { store.DataBaseName = QStringLiteral("2003-11"); }
    void addEntry(const QString& date, const QString& a, const QString& b, qint32 amount,
                  const QString& memo) {
      store.EntryTable[store.EntryCount++] = makeEntry(date, a, b, amount, memo);
    }
    void open(const std::function<void(QDialog&)>& steps) {
      bool closed = false;
      dialogs.onModal([&](QDialog& dialog) {
        dialog.show();
        steps(dialog);
        QTest::mouseClick(button(dialog, "Cmd0"), Qt::LeftButton);
        closed = !dialog.isVisible();
        return dialog.result();
      });
      openJournal(store, nullptr);
      QVERIFY2(closed, "確定 leaves the window");
    }
    QByteArray file(const QString& relative) const {
      QFile f(dir.path() + relative);
      return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
  };

  static QPushButton* button(QDialog& d, const char* name) {
    auto* b = d.findChild<QPushButton*>(QLatin1String(name));
    if (!b) qFatal("no button %s", name);
    return b;
  }
  static QAbstractItemModel* list(QDialog& d) {
    auto* view = d.findChild<QTreeView*>(QStringLiteral("Liv1"));
    if (!view) qFatal("no list Liv1");
    return view->model();
  }
  static QString cell(QDialog& d, int row, int column) {
    return list(d)->index(row, column).data().toString();
  }

 private slots:
  void listsEveryEntryInSlotOrder() {
    Program p;
    p.addEntry("2025/03/01", QStringLiteral("A-現金"), "Equity", 1500, QStringLiteral("初值"));
    p.addEntry("2025/01/01", "E-Food", QStringLiteral("A-現金"), -20, "   ");
    bool ran = false;
    p.open([&](QDialog& d) {
      ran = true;
      QCOMPARE(d.windowTitle(), QStringLiteral("日記帳"));
      QAbstractItemModel* m = list(d);
      QCOMPARE(m->rowCount(), 2);
      QStringList headers;
      for (int c = 0; c < m->columnCount(); ++c)
        headers << m->headerData(c, Qt::Horizontal).toString();
      QCOMPARE(headers, QStringList({"日期", "資產增加", "資產減少", "金額", "備註"}));
      // The later date stored first is listed first.
      QCOMPARE(cell(d, 0, 0), QStringLiteral("2025/03/01"));
      QCOMPARE(cell(d, 0, 1), QStringLiteral("A-現金") + QString(16, u' '));
      QCOMPARE(cell(d, 0, 4), QStringLiteral("初值"));
      QCOMPARE(cell(d, 1, 0), QStringLiteral("2025/01/01"));
      QCOMPARE(cell(d, 1, 3), QStringLiteral("-20"));
      QCOMPARE(cell(d, 1, 4), QString());
      const auto align = m->index(1, 3).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
      QVERIFY(align & Qt::AlignRight);
      QCOMPARE(button(d, "Cmd1")->text(), QStringLiteral("存成CSV檔(&C)"));
      QCOMPARE(button(d, "Cmd2")->text(), QStringLiteral("存成純文字檔(T)"));
      QVERIFY(button(d, "Cmd0")->isDefault());
      QTest::keyClick(&d, Qt::Key_Escape);
      QVERIFY(d.isVisible());
    });
    QVERIFY(ran);
  }

  void bothExportsInTurn() {
    Program p;
    p.addEntry("2025/03/01", QStringLiteral("A-現金"), "Equity", 1500, QStringLiteral("初值"));
    p.open([&](QDialog& d) {
      QTest::mouseClick(button(d, "Cmd1"), Qt::LeftButton);
      QCOMPARE(p.dialogs.lastMessage(), done(QStringLiteral("已存成2003-11.csv檔")));
      QTest::mouseClick(button(d, "Cmd2"), Qt::LeftButton);
      QCOMPARE(p.dialogs.lastMessage(), done(QStringLiteral("已存成2003-11.txt檔")));
      QVERIFY(d.isVisible());
    });
    QCOMPARE(p.file("/CSV/2003-11.csv"), "2025/03/01,A-" + QByteArray::fromHex("b27baaf7") +
                                             ",Equity,1500," + QByteArray::fromHex("aaecadc8") +
                                             "\r\n");
    QCOMPARE(p.file("/TXT/2003-11.txt"), "2025/03/01 A-" + QByteArray::fromHex("b27baaf7") +
                                             QByteArray(16, ' ') + " Equity" + QByteArray(14, ' ') +
                                             " 1500" + QByteArray(8, ' ') + " " +
                                             QByteArray::fromHex("aaecadc8") + "\r\n");
  }

  void emptyJournalExportsAnEmptyFile() {
    Program p;
    p.open([&](QDialog& d) {
      QCOMPARE(list(d)->rowCount(), 0);
      QTest::mouseClick(button(d, "Cmd1"), Qt::LeftButton);
    });
    QCOMPARE(p.dialogs.messageTexts(), QStringList{QStringLiteral("已存成2003-11.csv檔")});
    QCOMPARE(p.file("/CSV/2003-11.csv"), QByteArray());
  }

  void failedExportIsNotReportedAsSaved() {
    Program p;
    p.addEntry("2025/03/01", "A-X", "A-Y", 1, "");
    QVERIFY(QDir().mkpath(p.dir.path() + "/TXT/2003-11.txt"));  // a folder in the file's place
    p.open([&](QDialog& d) {
      QTest::mouseClick(button(d, "Cmd2"), Qt::LeftButton);
      QVERIFY(d.isVisible());
    });
    QCOMPARE(p.dialogs.messages().size(), size_t(1));
    const Message shown = p.dialogs.lastMessage();
    QCOMPARE(shown.title, QStringLiteral("注意"));
    QCOMPARE(shown.icon, MessageIcon::Exclamation);
    QVERIFY(shown.text.startsWith(QStringLiteral("沒有存成2003-11.txt檔")));
    QVERIFY(!shown.text.contains(QStringLiteral("已存成")));
  }
};

QTEST_MAIN(TestDiaryForm)
#include "tst_diaryform.moc"
