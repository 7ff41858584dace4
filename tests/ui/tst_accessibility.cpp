// What a screen reader hears: every control that takes input or a choice has a name, every
// table names its columns, and no two buttons of a window share one.
#include "allwindows.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSet>

#include <algorithm>

namespace {

using testwindows::kWindows;

bool needsName(QAccessible::Role role) {
  switch (role) {
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::SpinBox:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::Button:
      return true;
    default:
      return false;
  }
}

QString describe(QAccessibleInterface* node) {
  const QObject* object = node->object();
  return QStringLiteral("%1 (role %2)")
      .arg(object ? object->objectName() : QStringLiteral("?"))
      .arg(int(node->role()));
}

// A caption of one symbol ("←") tells a listener nothing.
bool meaningful(const QString& name) {
  const QString trimmed = name.trimmed();
  return !trimmed.isEmpty() && (trimmed.size() > 1 || trimmed[0].isLetterOrNumber());
}

bool captioned(const QWidget& widget) {
  if (!widget.accessibleName().isEmpty()) return true;
  const QList<QLabel*> labels = widget.window()->findChildren<QLabel*>();
  return std::any_of(labels.begin(), labels.end(),
                     [&](const QLabel* label) { return label->buddy() == &widget; });
}

void walk(QAccessibleInterface* node, QStringList& faults, QStringList& buttonNames) {
  if (!node || node->state().invisible) return;
  const QAccessible::Role role = node->role();
  if (needsName(role)) {
    const QString name = node->text(QAccessible::Name);
    if (!meaningful(name)) faults << QStringLiteral("unnamed ") + describe(node);
    // A picker's name falls back to its current choice, which tells nothing of what it is for.
    const auto* widget = qobject_cast<const QWidget*>(node->object());
    if (role == QAccessible::ComboBox && widget && !captioned(*widget)) {
      faults << QStringLiteral("no caption for ") + describe(node);
    }
    // Push buttons only: a box's clearing cross is told apart by the box it sits in.
    if (qobject_cast<const QPushButton*>(node->object())) buttonNames << name;
  }
  if (QAccessibleTableInterface* table = node->tableInterface()) {
    for (int column = 0; column < table->columnCount(); ++column) {
      if (table->columnDescription(column).trimmed().isEmpty()) {
        faults << QStringLiteral("column %1 without a header in ").arg(column) + describe(node);
      }
    }
    return;  // the cells are named by their texts
  }
  if (role == QAccessible::List || role == QAccessible::ComboBox) return;
  for (int i = 0; i < node->childCount(); ++i) walk(node->child(i), faults, buttonNames);
}

}  // namespace

class TestAccessibility : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QAccessible::setActive(true); }

  void everyControlHasAName_data() { testwindows::addRows(); }
  void everyControlHasAName() {
    QFETCH(int, window);
    testwindows::ShownWindow shown(window);
    QWidget* form = shown.form.get();
    QVERIFY(QTest::qWaitForWindowExposed(form));

    QStringList faults, buttonNames;
    walk(QAccessible::queryAccessibleInterface(form), faults, buttonNames);
    QStringList seen;
    for (const QString& name : buttonNames) {
      if (seen.contains(name)) faults << QStringLiteral("two buttons named ") + name;
      seen << name;
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
  }

  // Tab alone goes round every control that takes input or runs a command; in a group of
  // option buttons reaching one is enough (the arrows choose among them).
  void tabReachesEveryControl_data() { testwindows::addRows(); }
  void tabReachesEveryControl() {
    QFETCH(int, window);
    testwindows::ShownWindow shown(window);
    QWidget* form = shown.form.get();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));

    QSet<const QWidget*> reached;
    const QList<QWidget*> all = form->findChildren<QWidget*>();
    for (int press = 0; press < 2 * all.size() + 2; ++press) {
      QWidget* focus = QApplication::focusWidget();
      if (!focus) break;
      reached << focus;
      // A picker's own box, or a box's clearing cross, stands for its owner.
      for (QWidget* up = focus->parentWidget(); up && up != form; up = up->parentWidget())
        reached << up;
      QTest::keyClick(focus, Qt::Key_Tab);
    }
    QStringList missed;
    for (const QWidget* w : all) {
      const bool control =
          qobject_cast<const QPushButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
          qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
          qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
          qobject_cast<const QCheckBox*>(w);
      const auto* option = qobject_cast<const QRadioButton*>(w);
      if ((!control && !option) || !w->isVisibleTo(form) || !w->isEnabled()) continue;
      if (qobject_cast<const QHeaderView*>(w) ||
          qobject_cast<const QComboBox*>(w->parentWidget()) ||
          qobject_cast<const QAbstractSpinBox*>(w->parentWidget()))
        continue;
      if (reached.contains(w)) continue;
      if (option) {
        const QList<QRadioButton*> group = w->parentWidget()->findChildren<QRadioButton*>();
        if (std::any_of(group.begin(), group.end(),
                        [&](const QRadioButton* r) { return reached.contains(r); }))
          continue;
      }
      missed << w->objectName();
    }
    QVERIFY2(missed.isEmpty(), qPrintable(missed.join(QStringLiteral(", "))));
  }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
