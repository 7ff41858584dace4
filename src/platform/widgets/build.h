#pragma once

#include <QRect>
#include <QString>

#include <initializer_list>
#include <utility>

class QBoxLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// The few lines every window repeats when it lays out its controls: a control gets its name
// (tests and screen readers find it by that), its caption and, for the fixed layouts, its place
// in pixels. A control with an empty geometry is left to a layout.
namespace build {

// Whether Enter in the window may click the button. Report windows keep printing and saving
// to a deliberate click or access key.
enum class Enter { Clicks, Ignored };

QPushButton* button(QWidget* parent, const char* name, const QString& caption, QRect geometry = {},
                    Enter enter = Enter::Clicks);
QLabel* label(QWidget* parent, const char* name, const QString& caption, QRect geometry = {});
QLineEdit* lineEdit(QWidget* parent, const char* name, QRect geometry = {});
// One of a group of option buttons; the group is the parent's (or a QButtonGroup's) business.
QRadioButton* option(QWidget* parent, const char* name, const QString& caption,
                     QRect geometry = {});

// A caption with its one-line box, both placed; the caption's buddy is the box, so its access
// key reaches it.
struct LabelledBox {
  QLabel* label = nullptr;
  QLineEdit* box = nullptr;
};
LabelledBox addLabelledBox(QWidget* parent, const char* labelName, const QString& caption,
                           QRect labelGeometry, const char* boxName, QRect boxGeometry);

// A row of buttons after a stretch: the usual foot of a resizable report window.
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);

// Names controls for a screen reader where no caption of their own stands beside them.
void nameForListeners(std::initializer_list<std::pair<QWidget*, QString>> controls);

}  // namespace build
