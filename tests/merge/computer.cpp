// One computer's copy of the program, for twocomputers_test.cpp: the main window and its session
// as the program runs them (headless), driven as a person would drive them.
//   merge_computer <data folder> <memo> [anyway]
// logs in as "Test" (password 839), opens the first book of the list (仍要開啟 past another
// computer's lock when "anyway" is given), enters a lunch of 120 with the memo in the entry
// window, prints "changed", waits for a line on its input and then closes the window, which
// saves. Prints each box shown as "said: ..." and each window nobody answered as "unscripted:".
#include "WindowSteps.h"
#include "catalogue/LockedForm.h"
#include "entries/InputForm.h"

#include <cstdio>
#include <iostream>

namespace {

void tell(const QString& line) {
  std::printf("%s\n", line.toUtf8().constData());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.size() < 2) return 2;
  ScriptedDialogs dialogs;
  book::Workspace store(args[0]);
  MainForm window(store, dialogs);
  Session session(store, dialogs, window);
  queueSignInAndOpen(dialogs);
  if (args.value(2) == "anyway")
    whenShown(dialogs, [](QDialog& locked) { click(locked, LockedForm::kAnywayName); });
  if (!session.start()) return 3;

  const QString memo = args[1];
  whenShown(dialogs, [memo](QDialog& form) {
    auto* increase = child<QComboBox>(form, InputForm::kIncrease);
    increase->setCurrentIndex(increase->findText("E-餐飲", Qt::MatchStartsWith));
    typeIn(form, InputForm::kAmount, "120");
    child<QPlainTextEdit>(form, InputForm::kMemo)->insertPlainText(memo);
    click(form, InputForm::kOk);
    click(form, InputForm::kClose);
  });
  click(window, MainForm::kNew);
  tell("changed");

  std::string line;
  std::getline(std::cin, line);
  window.close();
  for (const QString& said : dialogs.messageTexts())
    tell("said: " + QString(said).replace("\r\n", " / "));
  for (const QString& window : dialogs.unscripted()) tell("unscripted: " + window);
  return 0;
}
