// Under a dark desktop theme every text of every window stays readable (4.5:1 against what it
// is drawn on), the colours the program chooses itself included.
#include "allwindows.h"
#include "platform/widgets/colours.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStyleFactory>

namespace {

using testwindows::kWindows;

QPalette darkPalette() {
  const QColor window(53, 53, 53), base(42, 42, 42), light(Qt::white);
  QPalette p(light, window, window.lighter(), window.darker(), window, light, light, base, window);
  p.setColor(QPalette::PlaceholderText, QColor(160, 160, 160));
  p.setColor(QPalette::Highlight, QColor(42, 130, 218));
  return p;
}

constexpr double kReadable = 4.5;

void check(QStringList& faults, const QWidget* w, const QString& what, const QColor& text,
           const QColor& ground) {
  const double ratio = contrastRatio(text, ground);
  if (ratio < kReadable) {
    faults << QStringLiteral("%1 %2: %3 on %4 is %5:1")
                  .arg(w->objectName(), what, text.name(), ground.name())
                  .arg(ratio, 0, 'f', 2);
  }
}

// The cells of a view: their own colours where the program gives them, the view's otherwise.
void checkCells(QStringList& faults, const QAbstractItemView* view) {
  const QAbstractItemModel* model = view->model();
  const QPalette& p = view->palette();
  for (int row = 0; row < model->rowCount(); ++row) {
    for (int column = 0; column < model->columnCount(); ++column) {
      const QModelIndex cell = model->index(row, column);
      const QVariant fg = cell.data(Qt::ForegroundRole), bg = cell.data(Qt::BackgroundRole);
      check(faults, view, QStringLiteral("cell %1,%2").arg(row).arg(column),
            fg.isValid() ? fg.value<QBrush>().color() : p.color(QPalette::Text),
            bg.isValid() ? bg.value<QBrush>().color() : p.color(QPalette::Base));
    }
  }
}

QStringList unreadable(const QWidget& window) {
  QStringList faults;
  QList<const QWidget*> widgets{&window};
  for (const QWidget* w : window.findChildren<QWidget*>()) widgets << w;
  for (const QWidget* w : widgets) {
    // Disabled and hidden controls are not read.
    if (!w->isVisibleTo(&window) || !w->isEnabled()) continue;
    const QPalette& p = w->palette();
    if (qobject_cast<const QHeaderView*>(w)) continue;  // its view's cells, drawn as buttons
    if (auto* view = qobject_cast<const QAbstractItemView*>(w)) {
      checkCells(faults, view);
    } else if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w)) {
      check(faults, w, QStringLiteral("text"), p.color(QPalette::Text), p.color(QPalette::Base));
    } else if (auto* label = qobject_cast<const QLabel*>(w); label && !label->text().isEmpty()) {
      check(faults, w, QStringLiteral("label"), p.color(label->foregroundRole()),
            p.color(label->backgroundRole()));
    } else if (qobject_cast<const QAbstractButton*>(w)) {
      check(faults, w, QStringLiteral("button"), p.color(QPalette::ButtonText),
            p.color(QPalette::Button));
    }
  }
  return faults;
}

}  // namespace

class TestDarkPalette : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(darkPalette());
  }

  void everyTextIsReadable_data() { testwindows::addRows(); }
  void everyTextIsReadable() {
    QFETCH(int, window);
    testwindows::ShownWindow shown(window);
    QWidget* form = shown.form.get();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QStringList faults = unreadable(*form);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
  }
};

QTEST_MAIN(TestDarkPalette)
#include "tst_darkpalette.moc"
