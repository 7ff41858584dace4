// Writes the worst-case database below the folder given on the command line.
#include "worstcase.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  // An option ("--help") is no folder: say how the tool is used instead of writing a book there.
  if (args.size() > 2 || (args.size() == 2 && args.at(1).startsWith(u'-'))) {
    QTextStream(stderr) << "usage: make_worstcase [FOLDER]\n"
                        << "writes the worst-case book below FOLDER (default: here)\n";
    return 2;
  }
  const QString folder = args.size() > 1 ? args.at(1) : QDir::currentPath();
  QTextStream(stdout) << worstcase::writeFolder(folder) << '\n';
  return 0;
}
