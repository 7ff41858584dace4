// A session that changes the book "2003-11" of an installation and then waits to be killed
// (or a minute); prints "written" once its recovery file holds the changes.
//   recovery_session <installation folder>
#include "ScriptedDialogs.h"
#include "book/book.h"
#include "book/recoverykeeper.h"
#include "states.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  if (argc != 2) return 2;
  ScriptedDialogs dialogs;
  book::Workspace store(QString::fromLocal8Bit(argv[1]));
  store.user().setUserName(QStringLiteral("Test"));
  store.user().setDatabaseName(QStringLiteral("2003-11"));
  if (store.lock().acquire(store.user().databaseFolder()) || book::open(store)) return 3;
  RecoveryKeeper keeper(store);
  QObject::connect(&keeper, &RecoveryKeeper::written, &app, [](const QString& error) {
    std::printf("%s\n", error.isEmpty() ? "written" : qPrintable(error));
    std::fflush(stdout);
  });
  reliability::sessionChanges(store);
  QTimer::singleShot(60000, &app, &QCoreApplication::quit);
  return app.exec();
}
