#pragma once

#include "platform/message.h"

#include <QString>
#include <QStringList>

#include <optional>

// Where the program keeps a household's data, and where it finds its own files.
//
// Portable: the program's folder itself, when it already holds "Varnix.ini" or "DataBase",
// or when it is writable and the program does not lie in a system-wide installation (a program
// in <prefix>/bin beside <prefix>/share/varnix). Installed: $XDG_DATA_HOME/Varnix (normally
// ~/.local/share/Varnix). `--data-dir DIR` comes first, then VARNIX_DATA_DIR, then the rule.
namespace datafolders {

// What the command line asks for. Parsed before any window exists, so that --help and
// --version work without a display.
struct CommandLine {
  enum class Action { Start, Help, Version, Refuse };
  Action action = Action::Start;
  QString dataDir;  // --data-dir, empty when not given
  QString error;    // for Refuse: what was wrong, in words
};
CommandLine parseArguments(const QStringList& arguments);
QString helpText(const QString& program);
QString versionText(const QString& program);

// What the choice depends on; read from the process at start, given directly by the tests.
struct Surroundings {
  QString programFolder;  // the folder of the executable
  QString dataDirArgument;
  QString dataDirVariable;  // VARNIX_DATA_DIR
  QString xdgDataHome;      // XDG_DATA_HOME
  QString home;
};
Surroundings fromProcess(const QString& programFolder, const QString& dataDirArgument);

enum class Mode { Chosen, Portable, Installed };
struct Place {
  Mode mode;
  QString dataFolder;
  QString programFiles;  // help page, icon and the defaults of a first start
};
Place choose(const Surroundings& surroundings);

// Makes the data folder ready: creates it owner-only when missing, makes sure it can be
// written, and lays the sample user and "Varnix.ini" where they are missing (never over
// anything of a person's). The refusal to show when the folder cannot be used.
std::optional<Message> prepare(const Place& place);

}  // namespace datafolders
