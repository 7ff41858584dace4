// varnix-cli: reads a book without a window. Everything it does is in cli/commands; this
// file only hands over the arguments and writes what comes back.
#include "cli/commands.h"

#include <QStringList>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
  QStringList args;
  args.reserve(argc);
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  const cli::Result result = cli::runAndExit(args, QStringLiteral(VARNIX_VERSION));
  std::fwrite(result.out.constData(), 1, static_cast<size_t>(result.out.size()), stdout);
  std::fwrite(result.err.constData(), 1, static_cast<size_t>(result.err.size()), stderr);
  // The book's thousands of strings need not be freed one by one before the process ends.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(result.exitCode);
}
