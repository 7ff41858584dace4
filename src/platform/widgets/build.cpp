#include "platform/widgets/build.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace build {
namespace {

void place(QWidget* widget, const char* name, QRect geometry) {
  widget->setObjectName(QLatin1String(name));
  if (geometry.isValid()) widget->setGeometry(geometry);
}

}  // namespace

QPushButton* button(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                    Enter enter) {
  auto* b = new QPushButton(caption, parent);
  if (enter == Enter::Ignored) b->setAutoDefault(false);
  place(b, name, geometry);
  return b;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
  auto* l = new QLabel(caption, parent);
  place(l, name, geometry);
  return l;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, QRect geometry) {
  auto* box = new QLineEdit(parent);
  place(box, name, geometry);
  return box;
}

QRadioButton* option(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
  auto* o = new QRadioButton(caption, parent);
  place(o, name, geometry);
  return o;
}

LabelledBox addLabelledBox(QWidget* parent, const char* labelName, const QString& caption,
                           QRect labelGeometry, const char* boxName, QRect boxGeometry) {
  LabelledBox pair{label(parent, labelName, caption, labelGeometry),
                   lineEdit(parent, boxName, boxGeometry)};
  pair.label->setBuddy(pair.box);
  return pair;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QPushButton* b : buttons) row->addWidget(b);
  return row;
}

void nameForListeners(std::initializer_list<std::pair<QWidget*, QString>> controls) {
  for (const auto& [control, name] : controls) control->setAccessibleName(name);
}

}  // namespace build
