// Writes the worst-case database below the folder given on the command line.
#include "worstcase.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  const QString folder = args.size() > 1 ? args.at(1) : QDir::currentPath();
  QTextStream(stdout) << worstcase::writeFolder(folder) << '\n';
  return 0;
}
