#include "platform/widgets/QtDialogs.h"
#include "store/Module1.h"
#include "ui/main/MainForm.h"
#include "ui/main/Session.h"

#include <QApplication>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QtDialogs dialogs;
  Module1 store(QCoreApplication::applicationDirPath(), dialogs);
  MainForm window(store);
  Session session(store, window);
  if (!session.start()) return 0;
  return app.exec();
}
