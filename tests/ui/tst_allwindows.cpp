// Every window of the program, each opened on a small book with negative amounts, as a screen
// reader and a keyboard meet it, and under a dark desktop theme.
#include "WindowSteps.h"
#include "accounts/AccountForm.h"
#include "budget/BudgetForm.h"
#include "budget/BudgetReportForm.h"
#include "budget/budget.h"
#include "catalogue/OpenForm.h"
#include "entries/InputForm.h"
#include "interchange/ImportForm.h"
#include "maintenance/DelForm.h"
#include "platform/codepage.h"
#include "platform/widgets/colours.h"
#include "reconcile/ReconcileForm.h"
#include "reports/journal/DiaryForm.h"
#include "reports/period/ChartsForm.h"
#include "reports/period/PeriodForm.h"
#include "reports/period/period.h"
#include "reports/statements/BSForm.h"
#include "schedules/ScheduleForm.h"
#include "search/SearchForm.h"
#include "ui/main/AboutForm.h"
#include "users/LoginForm.h"
#include "users/NewUserForm.h"

namespace {

using Opener = std::function<std::unique_ptr<QWidget>(testbooks::Books&)>;

template <class Form>
Opener plain() {
  return [](testbooks::Books& b) { return std::make_unique<Form>(b.store, b.dialogs); };
}

template <class Form>
Opener planned() {
  return [](testbooks::Books& b) {
    static std::unique_ptr<budget::Budget> plans;  // outlives the window, as the book's does
    plans = std::get<std::unique_ptr<budget::Budget>>(budget::Budget::open(b.dir.path()));
    return std::make_unique<Form>(b.store, b.dialogs, *plans);
  };
}

const std::pair<const char*, Opener> kWindows[] = {
    {"MainForm",
     [](testbooks::Books& b) {
       auto window = std::make_unique<MainForm>(b.store, b.dialogs);
       b.store.refillAccountLists();
       window->showAccount(1);  // the cash, below nothing
       return window;
     }},
    {"LoginForm", plain<LoginForm>()},
    {"NewUserForm", plain<NewUserForm>()},
    {"OpenForm", plain<OpenForm>()},
    {"AccountForm", plain<AccountForm>()},
    {"BSForm", plain<BSForm>()},
    {"DiaryForm", plain<DiaryForm>()},
    {"DelForm",
     [](testbooks::Books& b) { return std::make_unique<DelForm>(b.store, b.dialogs, b.view); }},
    {"InputForm",
     [](testbooks::Books& b) { return std::make_unique<InputForm>(b.store, b.dialogs, b.view); }},
    {"SearchForm",
     [](testbooks::Books& b) {
       static search::Remembered remembered;  // the boxes as this run left them
       auto form = std::make_unique<SearchForm>(b.store, b.dialogs, remembered);
       // An amount that is none shows the window's warning line.
       child<QLineEdit>(*form, SearchForm::kAmountFrom)->setText(QStringLiteral("十元"));
       return form;
     }},
    {"PeriodForm", plain<PeriodForm>()},
    {"ChartsForm",
     [](testbooks::Books& b) {
       return std::make_unique<ChartsForm>(
           b.store, b.dialogs, period::buildReport(b.store, period::monthPeriod(2024, 7)));
     }},
    {"ImportForm",
     [](testbooks::Books& b) {
       auto form = std::make_unique<ImportForm>(b.store, b.dialogs);
       // A statement read: an amount paid out, and a line that cannot be read.
       auto* statement = new QTemporaryFile(QDir::tempPath() + "/XXXXXX.csv", form.get());
       if (!statement->open()) qFatal("no temporary file");
       statement->write(codepage::encode(QStringLiteral(
           "交易日期,摘要,支出,存入\r\n112/07/05,午餐,85,\r\n112/13/01,錯誤,1,\r\n")));
       statement->flush();
       child<QLineEdit>(*form, ImportForm::kFilePath)->setText(statement->fileName());
       click(*form, ImportForm::kRead);
       if (child<QTableWidget>(*form, ImportForm::kPreview)->rowCount() != 2)
         qFatal("statement not read");
       return form;
     }},
    {"BudgetForm", planned<BudgetForm>()},
    {"BudgetReportForm", planned<BudgetReportForm>()},
    {"ScheduleForm",
     [](testbooks::Books& b) {
       static schedules::ScheduleBook plan;
       return std::make_unique<ScheduleForm>(b.store, b.dialogs, plan);
     }},
    {"ReconcileForm",
     [](testbooks::Books& b) {
       static std::vector<reconcile::Reconciliation> all;
       return std::make_unique<ReconcileForm>(b.store, b.dialogs, all);
     }},
    {"AboutForm",
     [](testbooks::Books&) {
       return std::make_unique<AboutForm>(QStringLiteral("readme.htm"),
                                          QStringLiteral("someone@example.org"));
     }},
};

// The window of one row over a cash account spent below nothing, shown.
struct ShownWindow {
  testbooks::Books book{{"A-現金", "Equity", "L-卡", "E-餐"}};
  std::unique_ptr<QWidget> form;

  explicit ShownWindow(int row) {
    book.entry("2024/07/01", "A-現金", "Equity", 1500, QStringLiteral("初值"));
    book.entry("2024/07/02", "E-餐", "A-現金", 2000);
    form = kWindows[static_cast<size_t>(row)].second(book);
    form->show();
  }
};

void addRows() {
  QTest::addColumn<int>("window");
  for (size_t i = 0; i < std::size(kWindows); ++i) QTest::newRow(kWindows[i].first) << int(i);
}

QString describe(QAccessibleInterface* node) {
  const QString name = node->object() ? node->object()->objectName() : QStringLiteral("?");
  return QStringLiteral("%1 (role %2)").arg(name).arg(int(node->role()));
}

void walk(QAccessibleInterface* node, QStringList& faults, QStringList& buttonNames) {
  if (!node || node->state().invisible) return;
  const QAccessible::Role role = node->role();
  static const QList<QAccessible::Role> named = {
      QAccessible::EditableText, QAccessible::ComboBox,    QAccessible::List,
      QAccessible::Table,        QAccessible::Tree,        QAccessible::SpinBox,
      QAccessible::CheckBox,     QAccessible::RadioButton, QAccessible::Button};
  if (named.contains(role)) {
    const QString name = node->text(QAccessible::Name), trimmed = name.trimmed();
    // A caption of one symbol ("←") tells a listener nothing.
    if (trimmed.isEmpty() || (trimmed.size() == 1 && !trimmed[0].isLetterOrNumber()))
      faults << "unnamed " + describe(node);
    // A picker's name falls back to its current choice, which tells nothing of what it is for.
    const auto* widget = qobject_cast<const QWidget*>(node->object());
    if (role == QAccessible::ComboBox && widget && widget->accessibleName().isEmpty()) {
      const QList<QLabel*> labels = widget->window()->findChildren<QLabel*>();
      if (std::none_of(labels.begin(), labels.end(), [&](auto* l) { return l->buddy() == widget; }))
        faults << "no caption for " + describe(node);
    }
    // Push buttons only: a box's clearing cross is told apart by the box it sits in.
    if (qobject_cast<const QPushButton*>(node->object())) buttonNames << name;
  }
  if (QAccessibleTableInterface* table = node->tableInterface()) {
    for (int column = 0; column < table->columnCount(); ++column) {
      if (table->columnDescription(column).trimmed().isEmpty())
        faults << QStringLiteral("column %1 without a header in ").arg(column) + describe(node);
    }
    return;  // the cells are named by their texts
  }
  if (role == QAccessible::List || role == QAccessible::ComboBox) return;
  for (int i = 0; i < node->childCount(); ++i) walk(node->child(i), faults, buttonNames);
}

void checkContrast(QStringList& faults, const QWidget* w, const QString& what, const QColor& text,
                   const QColor& ground) {
  if (const double ratio = contrastRatio(text, ground); ratio < 4.5) {
    faults << QStringLiteral("%1 %2: %3 on %4 is %5:1")
                  .arg(w->objectName(), what, text.name(), ground.name())
                  .arg(ratio, 0, 'f', 2);
  }
}

QStringList unreadable(const QWidget& window) {
  QStringList faults;
  QList<const QWidget*> widgets{&window};
  for (const QWidget* w : window.findChildren<QWidget*>()) widgets << w;
  for (const QWidget* w : widgets) {
    if (!w->isVisibleTo(&window) || !w->isEnabled()) continue;  // not read
    const QPalette& p = w->palette();
    if (qobject_cast<const QHeaderView*>(w)) continue;  // its view's cells, drawn as buttons
    if (auto* view = qobject_cast<const QAbstractItemView*>(w)) {
      // The cells' own colours where the program gives them, the view's otherwise.
      const QAbstractItemModel* model = view->model();
      for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 0; column < model->columnCount(); ++column) {
          const QModelIndex cell = model->index(row, column);
          const QVariant fg = cell.data(Qt::ForegroundRole), bg = cell.data(Qt::BackgroundRole);
          checkContrast(faults, view, QStringLiteral("cell %1,%2").arg(row).arg(column),
                        fg.isValid() ? fg.value<QBrush>().color() : p.color(QPalette::Text),
                        bg.isValid() ? bg.value<QBrush>().color() : p.color(QPalette::Base));
        }
      }
    } else if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w)) {
      checkContrast(faults, w, "text", p.color(QPalette::Text), p.color(QPalette::Base));
    } else if (auto* label = qobject_cast<const QLabel*>(w); label && !label->text().isEmpty()) {
      checkContrast(faults, w, "label", p.color(label->foregroundRole()),
                    p.color(label->backgroundRole()));
    } else if (qobject_cast<const QAbstractButton*>(w)) {
      checkContrast(faults, w, "button", p.color(QPalette::ButtonText), p.color(QPalette::Button));
    }
  }
  return faults;
}

bool hasTickBoxes(const QAbstractItemView& view) {
  const QAbstractItemModel* model = view.model();
  for (int row = 0; model && row < model->rowCount(); ++row)
    for (int column = 0; column < model->columnCount(); ++column)
      if (model->index(row, column).data(Qt::CheckStateRole).isValid()) return true;
  return false;
}

// How far the unticked box of a check box, option or ticked list stands out from its ground: the
// strongest contrast of any of its pixels, as the control's own style draws it; 0 for others.
double untickedContrast(const QWidget& w) {
  QStyleOptionButton button;
  QStyleOptionViewItem cell;
  QStyleOption* option = &button;
  auto element = QStyle::PE_IndicatorCheckBox;
  auto ground = QPalette::Window;
  if (qobject_cast<const QRadioButton*>(&w)) {
    element = QStyle::PE_IndicatorRadioButton;
  } else if (auto* view = qobject_cast<const QAbstractItemView*>(&w); view && hasTickBoxes(*view)) {
    std::tie(option, element, ground) =
        std::tuple(&cell, QStyle::PE_IndicatorItemViewItemCheck, QPalette::Base);
  } else if (!qobject_cast<const QCheckBox*>(&w)) {
    return 0;
  }
  option->initFrom(&w);
  option->state = (option->state & ~QStyle::State_On) | QStyle::State_Off;
  option->rect = QRect(0, 0, 16, 16);
  const QColor background = w.palette().color(ground);
  QImage image(option->rect.size(), QImage::Format_RGB32);
  image.fill(background);
  QPainter painter(&image);
  w.style()->drawPrimitive(element, option, &painter, &w);
  painter.end();
  double strongest = 1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      strongest = std::max(strongest, contrastRatio(image.pixelColor(x, y), background));
  return strongest;
}

}  // namespace

class TestAllWindows : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QAccessible::setActive(true); }

  // Every control that takes input or a choice has a name, every table names its columns, and
  // no two buttons of a window share one.
  void everyControlHasAName_data() { addRows(); }
  void everyControlHasAName() {
    QFETCH(int, window);
    ShownWindow shown(window);
    QVERIFY(QTest::qWaitForWindowExposed(shown.form.get()));
    QStringList faults, buttonNames;
    walk(QAccessible::queryAccessibleInterface(shown.form.get()), faults, buttonNames);
    for (const QString& name : buttonNames)
      if (buttonNames.count(name) > 1) faults << "two buttons named " + name;
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
  }

  // Tab alone goes round every control that takes input or runs a command; in a group of
  // option buttons reaching one is enough (the arrows choose among them).
  void tabReachesEveryControl_data() { addRows(); }
  void tabReachesEveryControl() {
    QFETCH(int, window);
    ShownWindow shown(window);
    QWidget* form = shown.form.get();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QSet<const QWidget*> reached;
    const QList<QWidget*> all = form->findChildren<QWidget*>();
    for (int press = 0; press < 2 * all.size() + 2 && QApplication::focusWidget(); ++press) {
      QWidget* focus = QApplication::focusWidget();
      // A picker's own box, or a box's clearing cross, stands for its owner.
      for (QWidget* up = focus; up && up != form; up = up->parentWidget()) reached << up;
      QTest::keyClick(focus, Qt::Key_Tab);
    }
    static const char* const kControls[] = {
        "QPushButton",    "QLineEdit",         "QComboBox", "QAbstractSpinBox",
        "QPlainTextEdit", "QAbstractItemView", "QCheckBox", "QRadioButton"};
    QStringList missed;
    for (const QWidget* w : all) {
      const bool control = std::any_of(std::begin(kControls), std::end(kControls),
                                       [&](const char* kind) { return w->inherits(kind); });
      if (!control || !w->isVisibleTo(form) || !w->isEnabled() || reached.contains(w) ||
          qobject_cast<const QHeaderView*>(w) ||
          qobject_cast<const QComboBox*>(w->parentWidget()) ||
          qobject_cast<const QAbstractSpinBox*>(w->parentWidget()))
        continue;
      const QList<QRadioButton*> group = w->parentWidget()->findChildren<QRadioButton*>();
      if (!qobject_cast<const QRadioButton*>(w) ||
          std::none_of(group.begin(), group.end(), [&](auto* r) { return reached.contains(r); }))
        missed << w->objectName();
    }
    QVERIFY2(missed.isEmpty(), qPrintable(missed.join(", ")));
  }

  // Under a dark theme every text stays readable (4.5:1 against what it is drawn on), the
  // colours the program chooses itself included, and every unticked box, option or ledger tick
  // stands out from its ground (3:1), as the program draws them from its start on.
  void everythingShowsWhenDark_data() { addRows(); }
  void everythingShowsWhenDark() {
    QFETCH(int, window);
    QApplication::setStyle(QStyleFactory::create("Fusion"));  // outlines from the window colour
    const QColor grey(53, 53, 53), base(42, 42, 42), light(Qt::white);
    QPalette dark(light, grey, grey.lighter(), grey.darker(), grey, light, light, base, grey);
    QApplication::setPalette(dark);
    MainWindowBook program;  // the program's start
    ShownWindow shown(window);
    QVERIFY(QTest::qWaitForWindowExposed(shown.form.get()));
    QStringList faults = unreadable(*shown.form);
    for (const QWidget* w : shown.form->findChildren<QWidget*>())
      if (const double contrast = untickedContrast(*w); contrast > 0 && contrast < 3)
        faults << QStringLiteral("box %1: %2:1").arg(w->objectName()).arg(contrast, 0, 'f', 2);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
  }
};

QTEST_MAIN(TestAllWindows)
#include "tst_allwindows.moc"
