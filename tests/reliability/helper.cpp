// The programs the reliability tests start, to be killed or raced:
//   helper save-loop <installation folder> <number of states>  saves a few distinct states of one
//       database in turn until killed (or after a minute); prints "ready" once each was saved.
//   helper session <installation folder>  changes the book "2003-11" and waits to be killed (or a
//       minute); prints "written" once its recovery file holds the changes.
//   helper lock <database folder> [<start file>]  with a start file: waits for it, tries the
//       lock, prints "won" or "lost", and holds what it won until "<start file>.end" appears;
//       without: takes the lock and dies without giving it up.
#include "book/book.h"
#include "book/recoverykeeper.h"
#include "states.h"
#include "store/dblock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

void tell(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

std::unique_ptr<book::Workspace> book2003(const QString& installation) {
  auto store = std::make_unique<book::Workspace>(installation);
  store->user().setUserName(QStringLiteral("Test"));
  store->user().setDatabaseName(QStringLiteral("2003-11"));
  return store;
}

int saveLoop(const QString& installation, int count) {
  std::vector<std::unique_ptr<book::Workspace>> states;
  for (int k = 0; k < count; ++k) {
    states.push_back(book2003(installation));
    reliability::fillState(*states.back(), k);
  }
  QElapsedTimer running;
  running.start();
  for (bool told = false; running.elapsed() < 60000; told = true) {
    for (size_t k = 0; k < states.size(); ++k) {
      const book::SaveResult result = book::save(*states[k]);
      // Any notice (a conflict, a failed backup) means the loop is not saving what it should.
      if (const auto& message = result.refusal ? result.refusal : result.notice) {
        std::fprintf(stderr, "%s\n", message->text.toLocal8Bit().constData());
        return 1;
      }
      // The states are one program's successive saves: each knows the files the last wrote.
      states[(k + 1) % states.size()]->setFingerprint(states[k]->fingerprint());
    }
    if (!told) tell("ready");
  }
  return 0;
}

int session(QCoreApplication& app, const QString& installation) {
  const auto store = book2003(installation);
  if (store->lock().acquire(store->user().databaseFolder()) || book::open(*store)) return 3;
  RecoveryKeeper keeper(*store);
  QObject::connect(&keeper, &RecoveryKeeper::written, &app, [](const QString& error) {
    tell(error.isEmpty() ? "written" : qPrintable(error));
  });
  reliability::sessionChanges(*store);
  QTimer::singleShot(60000, &app, &QCoreApplication::quit);
  return app.exec();
}

int lock(const QString& folder, const QString& start) {
  store::DatabaseLock lock;
  if (start.isEmpty()) {
    if (lock.acquire(folder)) return 1;
    std::_Exit(0);  // no destructor runs: the lock stays behind as after a crash
  }
  while (!QFileInfo::exists(start)) QThread::usleep(200);
  tell(lock.acquire(folder) ? "lost" : "won");
  while (!QFileInfo::exists(start + QStringLiteral(".end"))) QThread::msleep(5);
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  const QString what = args.value(0), place = args.value(1);
  if (what == "save-loop" && args.size() == 3) return saveLoop(place, args[2].toInt());
  if (what == "session" && args.size() == 2) return session(app, place);
  if (what == "lock" && (args.size() == 2 || args.size() == 3)) return lock(place, args.value(2));
  return 2;
}
