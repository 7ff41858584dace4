#pragma once

#include "ScriptedDialogs.h"

#include <QDialog>
#include <QPushButton>
#include <QtTest>

// Steps a person takes in a window, for the window tests.

// The control of this object name; a missing one ends the test program.
template <class T = QWidget>
T* child(QObject& window, const char* name) {
  T* found = window.findChild<T*>(QLatin1String(name));
  if (!found) qFatal("no control %s", name);
  return found;
}

inline void click(QWidget& window, const char* name) {
  QTest::mouseClick(child<QPushButton>(window, name), Qt::LeftButton);
}

// Runs `steps` against the next window shown modally; the window's result is what it returns.
template <class F>
void whenShown(ScriptedDialogs& dialogs, F steps) {
  dialogs.onModal([steps](QDialog& window) {
    window.show();
    steps(window);
    return window.result();
  });
}
