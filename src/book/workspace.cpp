#include "book/workspace.h"

namespace book {

Workspace::Workspace(const QString& dataFolder, const QString& programFiles)
    : user_(dataFolder, programFiles) {}

std::optional<Message> Workspace::undo() {
  auto refused = history_.undo(tables_);
  if (!refused) {
    showAccountCount();
    showEntryCount();
  }
  return refused;
}

std::optional<Message> Workspace::redo() {
  auto refused = history_.redo(tables_);
  if (!refused) {
    showAccountCount();
    showEntryCount();
  }
  return refused;
}

void Workspace::setPanel(Panel p, const QString& text) {
  panels_[p] = text;
  emit statusChanged();
}

void Workspace::showAccountCount() {
  setPanel(AccountsPanel, QStringLiteral("帳戶數量：%1").arg(tables_.accountsInUse()));
}

void Workspace::showEntryCount() {
  setPanel(EntriesPanel, QStringLiteral("資料筆數：%1").arg(tables_.entriesInUse()));
}

void Workspace::clearPanels() {
  panels_ = {QStringLiteral("使用者："), QStringLiteral("資料庫名稱："),
             QStringLiteral("帳戶數量："), QStringLiteral("資料筆數：")};
  emit statusChanged();
}

void Workspace::requestEnd(bool save) {
  endRequested_ = true;
  emit endRequestedSignal(save);
}

}  // namespace book
