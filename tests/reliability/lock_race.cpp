// One copy of the program opening a database, to be started many times at once.
//   lock_race <database folder> <start file>  waits for the start file, tries the lock, prints
//       "won" or "lost", and holds what it won until "<start file>.end" appears.
//   lock_race <database folder>               takes the lock and dies without giving it up.
#include "store/dblock.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  if (argc != 2 && argc != 3) return 2;
  const QString folder = QString::fromLocal8Bit(argv[1]);
  store::DatabaseLock lock;
  if (argc == 2) {
    if (lock.acquire(folder)) return 1;
    std::_Exit(0);  // no destructor runs: the lock stays behind as after a crash
  }
  const QString start = QString::fromLocal8Bit(argv[2]);
  while (!QFileInfo::exists(start)) QThread::usleep(200);
  const bool won = !lock.acquire(folder);
  std::printf(won ? "won\n" : "lost\n");
  std::fflush(stdout);
  while (!QFileInfo::exists(start + QStringLiteral(".end"))) QThread::msleep(5);
  return 0;
}
