#include "ui/print/loadable.h"

#include "platform/dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <optional>

namespace loadable {
namespace {

constexpr const char* kModuleName = "varnix-charts.so";

std::optional<Entries>& registered() {
  static std::optional<Entries> entries;
  return entries;
}

QString& chosenFile() {
  static QString file;
  return file;
}

// Where the module is looked for, best first.
QStringList moduleFiles() {
  if (!chosenFile().isEmpty()) return {chosenFile()};
  const QDir program(QCoreApplication::applicationDirPath());
  return {program.filePath(QLatin1String(kModuleName)),
          program.filePath(QStringLiteral("../lib/varnix/plugins/") + QLatin1String(kModuleName))};
}

}  // namespace

void registerEntries(const Entries& entries) { registered() = entries; }

void useModuleFile(const QString& file) { chosenFile() = file; }

const Entries* entries(QString& why) {
  if (registered()) return &*registered();
  QString tried;
  for (const QString& file : moduleFiles()) {
    if (!QFileInfo::exists(file)) continue;
    // Every symbol is bound as it loads, so a module from another build fails here, with its
    // reason, instead of in the middle of drawing. It stays loaded for the rest of the session:
    // the pictures it drew for a page paint with its code.
    QLibrary module(file);
    module.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!module.load()) {
      tried = module.errorString();
      continue;
    }
    if (registered()) return &*registered();
    tried = QStringLiteral("「%1」不是本程式的元件").arg(QDir::toNativeSeparators(file));
  }
  why = tried.isEmpty() ? QStringLiteral("找不到圖表與列印元件「%1」，請重新安裝本程式")
                              .arg(QLatin1String(kModuleName))
                        : QStringLiteral("圖表與列印元件無法載入：%1").arg(tried);
  return nullptr;
}

void withModule(Dialogs& dialogs, const std::function<void(const Entries&)>& use) {
  QString why;
  if (const Entries* module = entries(why)) {
    use(*module);
  } else {
    dialogs.message(refusal(why));
  }
}

void openCharts(book::Workspace& store, Dialogs& dialogs, const period::Report& report,
                QWidget* parent) {
  withModule(dialogs,
             [&](const Entries& module) { module.openCharts(store, dialogs, report, parent); });
}

void openBudgetReport(book::Workspace& store, Dialogs& dialogs, const budget::Budget& plans,
                      QWidget* parent) {
  withModule(dialogs, [&](const Entries& module) {
    module.openBudgetReport(store, dialogs, plans, parent);
  });
}

}  // namespace loadable
