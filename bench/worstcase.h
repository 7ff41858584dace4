#pragma once

#include "book/workspace.h"
#include "platform/dialogs.h"

#include <QString>
#include <QTemporaryDir>

// The worst-case database: 100 accounts of all kinds with Chinese names and 3000 entries over
// one year in unsorted date order. Deterministic: the same tables every time.
namespace worstcase {

// Answers every box at once: the benchmarks measure work, not people.
class NoDialogs : public Dialogs {
 public:
  Answer message(const Message&) override { return Answer::Ok; }
  QString input(const QString&, const QString&, const QString&) override { return {}; }
  int exec(QDialog&) override { return 0; }
};

inline const QString kStatementDate = QStringLiteral("2025/12/31");

// Fills the store's tables.
void fill(book::Workspace& store);

// Writes the database "worst" of user "bench" below installFolder (its DataBase folder) and
// returns the database folder.
QString writeFolder(const QString& installFolder);

// Slot of the account that most entries name.
int busiestAccount(const book::Workspace& store);

// The worst-case book written to a temporary installation and opened, as the program has it.
struct OpenBook {
  QTemporaryDir dir;
  book::Workspace store{dir.path()};
  OpenBook();
};

// The main() of a benchmark of windows: a QApplication, offscreen unless QT_QPA_PLATFORM names
// another platform, around Google Benchmark's run of the benchmarks the command line selects.
int runWindowBenchmarks(int argc, char** argv);

}  // namespace worstcase
