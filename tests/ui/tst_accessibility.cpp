// What a screen reader hears: every control that takes input or a choice has a name, every
// table names its columns, and no two buttons of a window share one.
#include "allwindows.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QAccessibleTableInterface>
#include <QLabel>

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
    if (role == QAccessible::Button) buttonNames << name;
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
    testbooks::Books b({"A-現金", "Equity", "L-卡", "E-餐"});
    testwindows::fill(b);
    std::unique_ptr<QWidget> form = kWindows[window].second(b);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));

    QStringList faults, buttonNames;
    walk(QAccessible::queryAccessibleInterface(form.get()), faults, buttonNames);
    QStringList seen;
    for (const QString& name : buttonNames) {
      if (seen.contains(name)) faults << QStringLiteral("two buttons named ") + name;
      seen << name;
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
  }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
