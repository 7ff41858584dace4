#include "book/workspace.h"
#include "platform/datafolder.h"
#include "platform/qttexts.h"
#include "platform/widgets/QtDialogs.h"
#include "ui/main/MainForm.h"
#include "ui/main/Session.h"

#include <QApplication>

#include <cstdio>

#ifdef VARNIX_FONTCONFIG
#include <fontconfig/fontconfig.h>

#include <thread>
#endif

int main(int argc, char* argv[]) {
  // Read before any window: --help and --version answer without a display.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const datafolders::CommandLine line = datafolders::parseArguments(arguments);
  using Action = datafolders::CommandLine::Action;
  if (line.action != Action::Start) {
    const QString text =
        line.action == Action::Help      ? datafolders::helpText(QStringLiteral("varnix"))
        : line.action == Action::Version ? datafolders::versionText(QStringLiteral("varnix"))
                                         : line.error + QStringLiteral("\n請見 varnix --help\n");
    std::fputs(text.toLocal8Bit().constData(), line.action == Action::Refuse ? stderr : stdout);
    return line.action == Action::Refuse ? 2 : 0;
  }

#ifdef VARNIX_FONTCONFIG
  // Fontconfig reads its configuration and font caches when the first text is measured: the
  // login's. Read on a thread of its own, that overlaps the connection to the display.
  std::thread fonts([] { FcInit(); });
#endif
  QApplication app(argc, argv);
#ifdef VARNIX_FONTCONFIG
  fonts.join();
#endif
  // The window class and the desktop entry share one name, so desktops group the windows.
  QApplication::setApplicationName(QStringLiteral("varnix"));
  QGuiApplication::setDesktopFileName(QStringLiteral("varnix"));
  installQtTexts(app);
  QtDialogs dialogs;
  const datafolders::Place place = datafolders::choose(
      datafolders::fromProcess(QCoreApplication::applicationDirPath(), line.dataDir));
  if (const auto refusal = datafolders::prepare(place)) {
    std::fputs((refusal->text + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
    dialogs.show(*refusal);
    return 1;
  }
  book::Workspace store(place.dataFolder, place.programFiles);
  // Built behind the login once the login is on the screen.
  MainForm window(store, dialogs, MainForm::Building::Later);
  Session session(store, dialogs, window);
  if (!session.start()) return 0;
  return app.exec();
}
