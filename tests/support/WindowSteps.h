#pragma once

#include "Books.h"
#include "ScriptedDialogs.h"
#include "catalogue/OpenForm.h"
#include "ui/main/MainForm.h"
#include "ui/main/Session.h"
#include "users/LoginForm.h"

#include <QtTest>
#include <QtWidgets>

// Steps a person takes in a window, for the window tests.

// The main window on a store of its own folder, with the session that runs its road.
struct MainWindowBook {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  book::Workspace store{dir.path()};
  MainForm window{store, dialogs};
  Session session{store, dialogs, window};
};

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

// What a command-line tool prints; "<tool failed>" when it does not end cleanly.
inline QString toolOutput(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  if (!process.waitForFinished(60000) || process.exitCode() != 0) return "<" + tool + " failed>";
  return QString::fromUtf8(process.readAllStandardOutput());
}

// A PDF's text as pdftotext reads it.
inline QString pdfText(const QString& path) {
  return toolOutput("pdftotext", {"-layout", "-enc", "UTF-8", path, "-"});
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

// Queues logging in as the sample user and opening the first book of the list.
inline void queueSignInAndOpen(ScriptedDialogs& dialogs) {
  whenShown(dialogs, [](QDialog& login) {
    typeIn(login, LoginForm::kUserName, "Test");
    typeIn(login, LoginForm::kPassword, "839");
    click(login, LoginForm::kOk);
  });
  whenShown(dialogs, [](QDialog& list) { click(list, OpenForm::kOpen); });
}
