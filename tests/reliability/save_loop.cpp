// Saves a few distinct states of one database in turn until killed (or after a minute);
// prints "ready" once each was saved whole.  save_loop <installation folder> <number of states>
#include "ScriptedDialogs.h"
#include "states.h"

#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

int main(int argc, char* argv[]) {
  if (argc != 3) return 2;
  ScriptedDialogs dialogs;
  std::vector<std::unique_ptr<Module1>> states;
  for (int k = 0; k < std::atoi(argv[2]); ++k) {
    states.push_back(std::make_unique<Module1>(QString::fromLocal8Bit(argv[1]), dialogs));
    states.back()->UserName = QStringLiteral("Test");
    states.back()->DataBaseName = QStringLiteral("2003-11");
    reliability::fillState(*states.back(), k);
  }
  QElapsedTimer running;
  running.start();
  for (bool told = false; running.elapsed() < 60000; told = true) {
    for (const auto& store : states) {
      if (const auto refusal = SaveDatabase(*store)) {
        std::fprintf(stderr, "%s\n", refusal->text.toLocal8Bit().constData());
        return 1;
      }
    }
    if (!told) std::printf("ready\n");
    std::fflush(stdout);
  }
  return 0;
}
