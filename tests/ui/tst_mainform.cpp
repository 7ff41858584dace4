// The main window driven as a person would: the ledger of the chosen account, ticking, Enter,
// deleting ticked entries, hints, help and the status bar.
#include "ScriptedDialogs.h"
#include "store/Module1.h"
#include "store/ledger.h"
#include "ui/main/MainForm.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

namespace {

const QColor kRed(254, 54, 60);

// A program with a small open book: cash, equity, an expense, an income and an empty savings
// account.
struct Program {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  Module1 store{dir.path(), dialogs};
  MainForm window{store};

  Program() {
    const std::pair<const char*, qint16> accounts[] = {{"A-現金", kAsset},
                                                       {"Equity", kEquity},
                                                       {"E-餐飲", kExpense},
                                                       {"I-薪水", kIncome},
                                                       {"A-存款", kAsset}};
    for (const auto& [name, kind] : accounts) {
      store.AccountTable[store.AccountCount++] = makeAccount(QString::fromUtf8(name), kind);
    }
    add("2025/01/01", "A-現金", "Equity", 1000, "初值");
    add("2025/01/02", "E-餐飲", "A-現金", 1500, "聚餐");
    add("2025/01/03", "I-薪水", "A-現金", 200, "");
    add("2025/01/04", "A-現金", "A-現金", 70, "對轉");
    store.showAccountCount();
    store.showEntryCount();
    window.show();
    store.FillAccountLists();
  }

  void add(const char* date, const char* increase, const char* decrease, qint32 amount,
           const char* memo) {
    store.EntryTable[store.EntryCount++] =
        makeEntry(QString::fromUtf8(date), QString::fromUtf8(increase), QString::fromUtf8(decrease),
                  amount, QString::fromUtf8(memo));
  }

  template <typename T>
  T* find(const char* name) {
    T* widget = window.findChild<T*>(QLatin1String(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
  }
  QTreeWidget* ledger() { return find<QTreeWidget>("Liv1"); }
  QListWidget* selector() { return find<QListWidget>("Cob1"); }

  QStringList row(int i) {
    QStringList texts;
    for (int c = 0; c < 6; ++c) texts.append(ledger()->topLevelItem(i)->text(c));
    return texts;
  }
  void tick(int i) { ledger()->topLevelItem(i)->setCheckState(0, Qt::Checked); }

  // Where the style puts a cell's check box and its text.
  QRect cellPart(int i, int column, QStyle::SubElement part) {
    QTreeWidgetItem* item = ledger()->topLevelItem(i);
    QStyleOptionViewItem option;
    option.initFrom(ledger());
    option.rect = ledger()->visualRect(ledger()->indexFromItem(item, column));
    option.features = QStyleOptionViewItem::HasDisplay;
    if (column == 0) option.features |= QStyleOptionViewItem::HasCheckIndicator;
    option.text = item->text(column);
    option.font = ledger()->font();
    option.fontMetrics = QFontMetrics(option.font);
    return ledger()->style()->subElementRect(part, &option, ledger());
  }
  // The width a cell's text gets: the style draws it inside its margins.
  int textRoom(int i, int column) {
    const int margin =
        ledger()->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, ledger()) + 1;
    return cellPart(i, column, QStyle::SE_ItemViewItemText).width() - 2 * margin;
  }
  // A person's double click: press and release, then the second press.
  void doubleClick(QPoint at) {
    QTest::mouseClick(ledger()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(ledger()->viewport(), Qt::LeftButton, {}, at);
  }
  // A click on a row's check box, as a person ticks it.
  void clickTick(int i) {
    QTest::mouseClick(ledger()->viewport(), Qt::LeftButton, {},
                      cellPart(i, 0, QStyle::SE_ItemViewItemCheckIndicator).center());
  }
  void choose(int position) {
    QListWidgetItem* item = selector()->item(position);
    QTest::mouseClick(selector()->viewport(), Qt::LeftButton, {},
                      selector()->visualItemRect(item).center());
  }
};

// Receives what the window hands to the system to open.
class OpenedUrls : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls.append(url); }
};

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

 private slots:
  void everyTextFitsItsPlace() {
    Program p;
    QCOMPARE(p.window.centralWidget()->height() + p.window.statusBar()->height(), 554);
    // A whole date fits beside the check box, and a total of nine digits in 累計.
    p.add("2025/12/28", "A-存款", "Equity", -999999999, "");
    p.choose(4);
    const QFontMetrics metrics(p.ledger()->font());
    QVERIFY(metrics.horizontalAdvance(p.row(0)[0]) <= p.textRoom(0, 0));
    QVERIFY(metrics.horizontalAdvance(p.row(0)[3]) <= p.textRoom(0, 3));
    // Every caption fits its button.
    for (QPushButton* button : p.window.findChildren<QPushButton*>()) {
      QVERIFY2(
          button->fontMetrics().horizontalAdvance(button->text().remove('&')) < button->width() - 4,
          qPrintable(button->objectName()));
    }
  }

  void ledgerShowsRowsColoursAndSelectsTheLast() {
    Program p;
    QCOMPARE(p.selector()->count(), 5);
    QCOMPARE(p.selector()->currentRow(), 0);
    QCOMPARE(p.selector()->item(0)->text(), nameField(QStringLiteral("A-現金")));
    QTreeWidget* ledger = p.ledger();
    QCOMPARE(ledger->topLevelItemCount(), 5);
    QCOMPARE(p.row(0), (QStringList{"2025/01/01", "Equity", "1000", " 1000", "初值", "1"}));
    QCOMPARE(p.row(1), (QStringList{"2025/01/02", "E-餐飲", "-1500", "-500", "聚餐", "2"}));
    QCOMPARE(p.row(2), (QStringList{"2025/01/03", "I-薪水", "200", "-300", "", "3"}));
    QCOMPARE(p.row(3), (QStringList{"2025/01/04", "A-現金", "70", "-230", "對轉", "4"}));
    QCOMPARE(p.row(4), (QStringList{"2025/01/04", "A-現金", "-70", "-300", "對轉", "4"}));
    QCOMPARE(ledger->topLevelItem(1)->foreground(2).color(), kRed);
    QCOMPARE(ledger->topLevelItem(1)->foreground(3).color(), kRed);
    QVERIFY(ledger->topLevelItem(0)->foreground(2).color() != kRed);
    QVERIFY(ledger->topLevelItem(2)->foreground(2).color() != kRed);
    QCOMPARE(ledger->topLevelItem(2)->foreground(3).color(), kRed);
    QCOMPARE(ledger->topLevelItem(0)->textAlignment(2) & Qt::AlignHorizontal_Mask,
             int(Qt::AlignRight));
    QCOMPARE(ledger->topLevelItem(0)->checkState(0), Qt::Unchecked);
    QCOMPARE(ledger->currentItem(), ledger->topLevelItem(4));
    QVERIFY(ledger->topLevelItem(4)->isSelected());
    QCOMPARE(p.window.lastRunningTotal(), -300);

    // Another account by a click on its name; an account without entries shows nothing.
    p.choose(2);
    QCOMPARE(p.window.shownAccountSlot(), 3);
    QCOMPARE(ledger->topLevelItemCount(), 1);
    QCOMPARE(p.row(0), (QStringList{"2025/01/02", "A-現金", "1500", " 1500", "聚餐", "2"}));
    p.choose(4);
    QCOMPARE(ledger->topLevelItemCount(), 0);
    QCOMPARE(ledger->currentItem(), nullptr);
    QCOMPARE(p.window.lastRunningTotal(), 0);
  }

  void tickingARowSelectsIt() {
    Program p;
    p.clickTick(1);
    QCOMPARE(p.ledger()->topLevelItem(1)->checkState(0), Qt::Checked);
    QCOMPARE(p.ledger()->currentItem(), p.ledger()->topLevelItem(1));
    QVERIFY(p.ledger()->topLevelItem(1)->isSelected());
    p.ledger()->topLevelItem(3)->setCheckState(0, Qt::Unchecked);  // no change: nothing moves
    QCOMPARE(p.ledger()->currentItem(), p.ledger()->topLevelItem(1));
    p.ledger()->topLevelItem(2)->setCheckState(0, Qt::Checked);
    p.ledger()->topLevelItem(2)->setCheckState(0, Qt::Unchecked);
    QCOMPARE(p.ledger()->currentItem(), p.ledger()->topLevelItem(2));
    QCOMPARE(p.window.tickedSlots(), std::vector<int>{2});
  }

  void doubleClickEditsTheSelectedRowsEntry() {
    Program p;
    QStringList seen;
    auto look = [&](QDialog& entry) {
      seen.append(entry.windowTitle() + QLatin1Char('|') +
                  entry.findChild<QLineEdit*>(QStringLiteral("Text2"))->text());
      QTest::mouseClick(entry.findChild<QPushButton*>(QStringLiteral("Cmd2")), Qt::LeftButton);
      return 0;
    };
    // The row just ticked is the one edited.
    p.clickTick(1);
    p.dialogs.onModal(look);
    p.doubleClick(p.ledger()->visualItemRect(p.ledger()->topLevelItem(1)).center());
    QCOMPARE(seen, QStringList{QStringLiteral("編輯資料|1500")});
    QCOMPARE(p.store.EditIndex, 2);

    // 新增(&N) opens the same dialog for a new entry.
    p.dialogs.onModal(look);
    QTest::mouseClick(p.find<QPushButton>("Cmd1"), Qt::LeftButton);
    QCOMPARE(seen.last(), QStringLiteral("新增資料|0"));

    // An empty ledger opens nothing.
    p.choose(4);
    p.doubleClick(QPoint(100, 100));
    QCOMPARE(seen.size(), 2);
    QVERIFY(p.dialogs.unscripted().isEmpty());
  }

  void enterMeansNewUnlessAButtonHasTheFocus() {
    Program p;
    QPushButton* newEntry = p.find<QPushButton>("Cmd1");
    QSignalSpy news(newEntry, &QPushButton::clicked);
    p.window.activateWindow();
    for (QWidget* place :
         {static_cast<QWidget*>(p.ledger()), static_cast<QWidget*>(p.selector())}) {
      place->setFocus();
      QTest::keyClick(place, Qt::Key_Return);
      QTest::keyClick(place, Qt::Key_Enter, Qt::KeypadModifier);
    }
    QCOMPARE(news.count(), 4);
    // Enter on the hints button gives the hints, not a new entry.
    QPushButton* hints = p.find<QPushButton>("Cmd2");
    hints->setFocus();
    QTest::keyClick(hints, Qt::Key_Return);
    QCOMPARE(news.count(), 4);
    QCOMPARE(p.dialogs.lastMessage().title, QStringLiteral("提示"));
  }

  void deletionAsksAndRemovesTheTickedEntries() {
    Program p;
    QPushButton* remove = p.find<QPushButton>("Cmd3");
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(p.dialogs.lastMessage(), refusal(QStringLiteral("請先勾選要刪除的記錄")));
    QCOMPARE(p.store.EntryCount, 5);

    // No: the entries and the ticks stay.
    p.tick(1);
    p.tick(2);
    p.dialogs.answer(Answer::No);
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(p.dialogs.lastMessage(), confirmDelete(QStringLiteral("確定刪除資料嗎？")));
    QCOMPARE(p.store.EntryCount, 5);
    QCOMPARE(p.window.tickedSlots(), (std::vector<int>{2, 3}));

    p.dialogs.answer(Answer::Yes);
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(p.store.EntryCount, 3);
    QCOMPARE(p.ledger()->topLevelItemCount(), 3);
    // The later entry moved down to slot 2 and shows its new number.
    QCOMPARE(p.row(2), (QStringList{"2025/01/04", "A-現金", "-70", " 1000", "對轉", "2"}));
    QCOMPARE(p.ledger()->currentItem(), p.ledger()->topLevelItem(2));
    QVERIFY(p.window.tickedSlots().empty());
    QCOMPARE(p.find<QLabel>("Panel4")->text(), QStringLiteral("資料筆數：2"));
    QCOMPARE(p.find<QLabel>("Panel3")->text(), QStringLiteral("帳戶數量：5"));
    p.store.setPanel(Module1::UserPanel, QStringLiteral("使用者：user1"));
    QCOMPARE(p.find<QLabel>("Panel1")->text(), QStringLiteral("使用者：user1"));
    QVERIFY(p.dialogs.unscripted().isEmpty());
  }

  void anEntryWithTwoRowsIsDeletedOnce() {
    Program p;
    p.tick(3);
    p.tick(4);
    p.dialogs.answer(Answer::Yes);
    QTest::mouseClick(p.find<QPushButton>("Cmd3"), Qt::LeftButton);
    QCOMPARE(p.store.EntryCount, 4);
    QCOMPARE(p.ledger()->topLevelItemCount(), 3);
    QCOMPARE(p.row(2)[4], QStringLiteral(""));
  }

  void hintsShowTheThreeLines() {
    Program p;
    QTest::mouseClick(p.find<QPushButton>("Cmd2"), Qt::LeftButton);
    const Message hints{QStringLiteral("1. 第一次使用請先按編輯帳戶來建立自己的帳戶\r\n\r\n"
                                       "2. 點選右邊的選單可以切換各帳戶的交易紀錄\r\n\r\n"
                                       "3. 在交易紀錄上點兩下可以編輯"),
                        QStringLiteral("提示"), MessageIcon::Information, MessageButtons::Ok};
    QCOMPARE(p.dialogs.lastMessage(), hints);
  }

  void helpOpensTheReadmeBesideTheProgramSilently() {
    Program p;
    OpenedUrls opened;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
    QAction* help = p.window.findChild<QAction*>(QStringLiteral("Help"));
    QVERIFY(help);
    help->trigger();  // no readme.htm yet: nothing opens, nothing is said
    QVERIFY(opened.urls.isEmpty());
    QVERIFY(p.dialogs.shown().empty());
    QFile readme(p.dir.filePath(QStringLiteral("readme.htm")));
    QVERIFY(readme.open(QIODevice::WriteOnly));
    readme.close();
    help->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(readme.fileName())});
    QVERIFY(p.dialogs.shown().empty());
  }

  void refillingTheListsShowsTheFirstAccountAgain() {
    Program p;
    p.choose(2);
    p.store.AccountTable[3] = makeAccount(QStringLiteral("E-伙食"), kExpense);
    for (int slot = 1; slot < p.store.EntryCount; ++slot) {
      if (p.store.EntryTable[slot].IncreaseAccount == nameField(QStringLiteral("E-餐飲"))) {
        p.store.EntryTable[slot].IncreaseAccount = nameField(QStringLiteral("E-伙食"));
      }
    }
    p.store.FillAccountLists();
    QCOMPARE(p.selector()->currentRow(), 0);
    QCOMPARE(p.selector()->item(2)->text(), nameField(QStringLiteral("E-伙食")));
    QCOMPARE(p.ledger()->topLevelItemCount(), 5);
    QCOMPARE(p.row(1)[1], QStringLiteral("E-伙食"));
    QCOMPARE(p.ledger()->currentItem(), p.ledger()->topLevelItem(4));
  }
};

QTEST_MAIN(MainFormTest)
#include "tst_mainform.moc"
