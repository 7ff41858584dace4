#pragma once

#include "Books.h"
#include "ScriptedDialogs.h"

#include <QtTest>
#include <QtWidgets>

// Steps a person takes in a window, for the window tests.

// The control of this object name; a missing one ends the test program.
template <class T = QWidget>
T* child(QObject& window, const char* name) {
  T* found = window.findChild<T*>(QLatin1String(name));
  if (!found) qFatal("no control %s", name);
  return found;
}

inline void click(QWidget& window, const char* name) {
  QTest::mouseClick(child<QAbstractButton>(window, name), Qt::LeftButton);
}

// Types text key by key, Chinese included (QTest::keyClicks takes Latin-1 only).
inline void typeIn(QWidget* box, const QString& text) {
  for (const QChar c : text) {
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

// The same into the named box, emptied first.
inline void typeIn(QWidget& window, const char* name, const QString& text) {
  auto* box = child<QLineEdit>(window, name);
  box->clear();
  typeIn(box, text);
}

// A PDF's text as pdftotext reads it.
inline QString pdfText(const QString& path) {
  QProcess tool;
  tool.start("pdftotext", {"-layout", "-enc", "UTF-8", path, "-"});
  if (!tool.waitForFinished(30000) || tool.exitCode() != 0) return "<pdftotext failed>";
  return QString::fromUtf8(tool.readAllStandardOutput());
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

// Accounts made in the account editor, each with Enter in its name box.
struct NewAccount {
  const char* kind;  // the option button of the account's kind
  QString name;
  const char* value;
};
inline void addAccounts(QDialog& editor, std::initializer_list<NewAccount> chart) {
  for (const NewAccount& a : chart) {
    child<QRadioButton>(editor, a.kind)->setChecked(true);
    child<QComboBox>(editor, "Cob1")->setEditText(a.name);
    child<QLineEdit>(editor, "Text4")->setText(QLatin1String(a.value));
    QTest::keyClick(child(editor, "Cob1"), Qt::Key_Return);
  }
}

// Entries made in the entry dialog, each with Enter in the amount box; no date keeps today's.
struct TypedEntry {
  int category, account;
  const char* amount;
  QString memo;
  const char* date = nullptr;
};
inline void typeEntries(QDialog& dialog, std::initializer_list<TypedEntry> entries) {
  for (const TypedEntry& e : entries) {
    child<QComboBox>(dialog, "Cob2")->setCurrentIndex(e.category);
    child<QComboBox>(dialog, "Cob3")->setCurrentIndex(e.account);
    if (e.date) {
      child<QLineEdit>(dialog, "Text1")->clear();
      QTest::keyClicks(child(dialog, "Text1"), QString::fromUtf8(e.date));
    }
    child<QPlainTextEdit>(dialog, "Text3")->setPlainText(e.memo);
    child<QLineEdit>(dialog, "Text2")->setText(QLatin1String(e.amount));
    QTest::keyClick(child(dialog, "Text2"), Qt::Key_Return);
    if (!dialog.isVisible()) qFatal("the entry dialog closed on Enter");
  }
}
