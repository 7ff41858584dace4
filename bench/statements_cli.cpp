// Prints both statements of a database folder as of a date:
//   statements_cli <database folder> <date>
// or writes the same database's entries as a journal for the `ledger` program, to compare
// the two as whole processes:
//   statements_cli --ledger-journal <database folder>
#include "platform/dates.h"
#include "platform/dialogs.h"
#include "reports/statements/statements.h"
#include "store/Module1.h"
#include "store/database.h"
#include "store/ledger.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

namespace {

class NoDialogs : public Dialogs {
 public:
  Answer message(const Message&) override { return Answer::Ok; }
  QString input(const QString&, const QString&, const QString&) override { return {}; }
  int exec(QDialog&) override { return 0; }
};

void write(FILE* out, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), out);
}

// ledger's account tree: the kind becomes the top level.
QString ledgerAccount(const Module1& store, const QString& name) {
  static const char* const kTops[] = {"Equity", "Assets", "Liabilities", "Income", "Expenses"};
  const int kind = kindOfName(store, name);
  const QString bare = TrimTrailingSpaces(name);
  if (kind < 0 || kind > 4) return QStringLiteral("Unknown:") + bare;
  return QString::fromLatin1(kTops[kind]) + QLatin1Char(':') + bare;
}

QString ledgerJournal(const Module1& store) {
  QString text;
  text.reserve(store.EntryCount * 120);
  for (int slot = 1; slot < store.EntryCount; ++slot) {
    const LedgerEntry& e = store.EntryTable[slot];
    text += e.EntryDate + QLatin1Char(' ') + TrimTrailingSpaces(e.Memo) + QLatin1Char('\n');
    text += QLatin1String("    ") + ledgerAccount(store, e.IncreaseAccount) + QLatin1String("  ") +
            QString::number(e.Amount) + QLatin1Char('\n');
    text += QLatin1String("    ") + ledgerAccount(store, e.DecreaseAccount) + QLatin1String("\n\n");
  }
  return text;
}

}  // namespace

// With VARNIX_TIMING set, the time of each step goes to the error output.
class Steps {
 public:
  Steps() : on_(qEnvironmentVariableIsSet("VARNIX_TIMING")) { timer_.start(); }
  void done(const char* step) {
    if (!on_) return;
    std::fprintf(stderr, "%-16s %8.3f ms\n", step,
                 static_cast<double>(timer_.nsecsElapsed()) / 1e6);
    timer_.restart();
  }

 private:
  bool on_;
  QElapsedTimer timer_;
};

int main(int argc, char* argv[]) {
  Steps steps;
  const bool journal = argc == 3 && QByteArray(argv[1]) == "--ledger-journal";
  if (argc != 3) {
    std::fputs(
        "usage: statements_cli <database folder> <date>\n"
        "       statements_cli --ledger-journal <database folder>\n",
        stderr);
    return 2;
  }
  // The store finds a database as DataBase/<user>/<name>: split the given folder that way.
  const QFileInfo folder(QString::fromLocal8Bit(journal ? argv[2] : argv[1]));
  const QString path = folder.absoluteFilePath();
  const QDir userDir = QFileInfo(path).dir();
  NoDialogs dialogs;
  Module1 store(QDir::rootPath(), dialogs);
  steps.done("store");
  store.DataBaseFolder = QFileInfo(userDir.absolutePath()).dir().absolutePath() + QLatin1Char('/');
  store.UserName = userDir.dirName();
  store.DataBaseName = folder.fileName();
  if (!QFileInfo::exists(path + QStringLiteral("/Main.dat"))) {
    std::fputs("no database in that folder\n", stderr);
    return 1;
  }
  if (auto refused = LoadDatabase(store)) {
    write(stderr, refused->text + QLatin1Char('\n'));
    return 1;
  }
  steps.done("load");
  if (journal) {
    write(stdout, ledgerJournal(store));
    return 0;
  }
  const auto date = dates::normalise(QString::fromLocal8Bit(argv[2]));
  if (!date) {
    write(stderr, QStringLiteral("不是正確的日期格式\n"));
    return 1;
  }
  const Statements s = BuildStatements(store, *date);
  steps.done("statements");
  // The two statements as their copy buttons put them on the clipboard, one after the other.
  const QString crlf = QStringLiteral("\r\n");
  write(stdout, s.assets + crlf + s.liabilities + crlf + s.netWorthLine + s.income + crlf +
                    s.expenses + crlf + s.balanceLine + crlf);
  steps.done("print");
  // Everything is written: the tables' thousands of strings need not be freed one by one
  // before the process ends.
  std::fflush(stdout);
  std::_Exit(0);
}
