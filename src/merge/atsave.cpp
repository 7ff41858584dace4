#include "merge/atsave.h"

namespace merge {

std::variant<AtSave, QString> planAtSave(const QString& bookFolder, const store::BookTables& ours,
                                         const store::BookTables& theirs) {
  auto base = findBase(bookFolder);
  if (const QString* none = std::get_if<QString>(&base)) return *none;
  auto planned = plan(std::get<Base>(base).tables, ours, theirs);
  if (const QString* refused = std::get_if<QString>(&planned)) return *refused;
  return AtSave{std::move(std::get<Plan>(planned)), std::get<Base>(base).fromBackup};
}

Message mergedNotice(const Summary& summary, bool baseFromBackup) {
  QString text = QStringLiteral(
                     "帳本已在另一台電腦改過，已把兩邊的變更合併後存檔：\r\n"
                     "從另一台電腦新增 %1 筆記錄，刪除 %2 筆記錄")
                     .arg(summary.added)
                     .arg(summary.deleted);
  if (!summary.renamed.isEmpty())
    text += QStringLiteral("\r\n帳戶改名：%1").arg(summary.renamed.join(QStringLiteral("、")));
  if (baseFromBackup)
    text += QStringLiteral("\r\n這台電腦沒有上次讀寫時的內容，以最新的備份為合併的基準");
  return completion(text);
}

QString fallbackReason(const QString& why) {
  return QStringLiteral("兩台電腦的變更無法合併（%1），所以另存一份").arg(why);
}

}  // namespace merge
