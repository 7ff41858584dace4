#include "Books.h"
#include "WindowSteps.h"
#include "interchange/exports.h"
#include "reports/journal/DiaryForm.h"
#include "reports/journal/journal.h"
#include "store/Module1.h"
#include "store/records.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>

class TestDiaryForm : public QObject {
  Q_OBJECT

  static QByteArray file(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }

 private slots:
  // The later date stored first is listed first; both exports say where they went and hold the
  // journal the window lists.
  void listsInSlotOrderAndExportsBoth() {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Module1 store(dir.path(), dialogs);
    store.DataBaseName = QStringLiteral("2003-11");
    testbooks::addEntry(store, "2025/03/01", "A-現金", "Equity", 1500, "初值");
    testbooks::addEntry(store, "2025/01/01", "E-Food", "A-現金", -20, "   ");

    whenShown(dialogs, [&](QDialog& form) {
      const QAbstractItemModel* list = child<QTreeView>(form, "Liv1")->model();
      QStringList rows;
      for (int row = 0; row < list->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < list->columnCount(); ++column)
          cells << list->index(row, column).data().toString();
        rows << cells.join(u'|');
      }
      QCOMPARE(rows, QStringList({QStringLiteral("2025/03/01|A-現金%1|Equity%2|1500|初值")
                                      .arg(QString(16, u' '), QString(14, u' ')),
                                  QStringLiteral("2025/01/01|E-Food%1|A-現金%2|-20|")
                                      .arg(QString(14, u' '), QString(16, u' '))}));
      click(form, "Cmd1");
      QCOMPARE(dialogs.lastMessage(), completion(QStringLiteral("已存成2003-11.csv檔")));
      click(form, "Cmd2");
      QCOMPARE(dialogs.lastMessage(), completion(QStringLiteral("已存成2003-11.txt檔")));
      form.findChild<QAction*>("ExportCsvUtf8")->trigger();
      QCOMPARE(dialogs.lastMessage(), completion(QStringLiteral("已存成2003-11-UTF8.csv")));
      form.findChild<QAction*>("ExportJournal")->trigger();
      QCOMPARE(dialogs.lastMessage(), completion(QStringLiteral("已存成2003-11.journal")));
      click(form, "Cmd0");
      QVERIFY(!form.isVisible());
    });
    openJournal(store, nullptr);
    QCOMPARE(file(dir.path() + "/CSV/2003-11.csv"), csvBytes(journalRows(store)));
    QCOMPARE(file(dir.path() + "/TXT/2003-11.txt"), textBytes(journalRows(store)));
    QCOMPARE(file(dir.path() + "/CSV/2003-11-UTF8.csv"), spreadsheetCsvBytes(store));
    QCOMPARE(file(dir.path() + "/TXT/2003-11.journal"), ledgerJournalBytes(store));
  }
};

QTEST_MAIN(TestDiaryForm)
#include "tst_diaryform.moc"
