// Saves a few distinct states of one database in turn until killed (or after a minute);
// prints "ready" once each was saved whole.  save_loop <installation folder> <number of states>
#include "ScriptedDialogs.h"
#include "book/book.h"
#include "states.h"

#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

int main(int argc, char* argv[]) {
  if (argc != 3) return 2;
  ScriptedDialogs dialogs;
  std::vector<std::unique_ptr<book::Workspace>> states;
  for (int k = 0; k < std::atoi(argv[2]); ++k) {
    states.push_back(std::make_unique<book::Workspace>(QString::fromLocal8Bit(argv[1])));
    states.back()->user().setUserName(QStringLiteral("Test"));
    states.back()->user().setDatabaseName(QStringLiteral("2003-11"));
    reliability::fillState(*states.back(), k);
  }
  QElapsedTimer running;
  running.start();
  for (bool told = false; running.elapsed() < 60000; told = true) {
    for (size_t k = 0; k < states.size(); ++k) {
      book::Workspace& store = *states[k];
      const book::SaveResult result = book::save(store);
      // Any notice (a conflict, a failed backup) means the loop is not saving what it should.
      if (const auto& message = result.refusal ? result.refusal : result.notice) {
        std::fprintf(stderr, "%s\n", message->text.toLocal8Bit().constData());
        return 1;
      }
      // The states are one program's successive saves: each knows the files the last wrote.
      states[(k + 1) % states.size()]->setFingerprint(store.fingerprint());
    }
    if (!told) std::printf("ready\n");
    std::fflush(stdout);
  }
  return 0;
}
