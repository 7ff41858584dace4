#include "store/Module1.h"

#include <QDir>

namespace {

QString withSlash(const QString& folder, const QString& name) {
  // A program at a drive's root has a path that already ends in a separator.
  if (folder.endsWith(QLatin1Char('/'))) return folder + name + QLatin1Char('/');
  return folder + QLatin1Char('/') + name + QLatin1Char('/');
}

}  // namespace

QString databaseFolderName(const QString& name) {
  qsizetype end = name.size();
  while (end > 0 &&
         (name.at(end - 1) == QLatin1Char(' ') || name.at(end - 1) == QLatin1Char('.'))) {
    --end;
  }
  return name.left(end);
}

Module1::Module1(const QString& dataFolder, Dialogs& dialogs, const QString& programFiles)
    : DataFolder(QDir::fromNativeSeparators(dataFolder)), dialogs_(dialogs) {
  if (DataFolder.endsWith(QLatin1Char('/')) && DataFolder.size() > 1 &&
      !DataFolder.endsWith(QLatin1String(":/")) && DataFolder != QLatin1String("/")) {
    DataFolder.chop(1);
  }
  ProgramFiles = programFiles.isEmpty() ? DataFolder : QDir::fromNativeSeparators(programFiles);
  DataBaseFolder = withSlash(DataFolder, QStringLiteral("DataBase"));
  CsvFolder = withSlash(DataFolder, QStringLiteral("CSV"));
  TxtFolder = withSlash(DataFolder, QStringLiteral("TXT"));
}

void Module1::setPanel(Panel p, const QString& text) {
  panels_[p] = text;
  emit statusChanged();
}

void Module1::showAccountCount() {
  setPanel(AccountsPanel, QStringLiteral("帳戶數量：%1").arg(accountsInUse()));
}

void Module1::showEntryCount() {
  setPanel(EntriesPanel, QStringLiteral("資料筆數：%1").arg(entriesInUse()));
}

void Module1::clearPanels() {
  panels_ = {QStringLiteral("使用者："), QStringLiteral("資料庫名稱："),
             QStringLiteral("帳戶數量："), QStringLiteral("資料筆數：")};
  emit statusChanged();
}

void Module1::requestEnd(bool save) {
  endRequested_ = true;
  emit endRequestedSignal(save);
}

int Module1::accountSlot(const QString& name) const {
  for (int slot = 1; slot < AccountCount; ++slot) {
    if (sameField(AccountTable[slot].AccountName, name)) return slot;
  }
  return 0;
}
