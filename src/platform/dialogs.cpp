#include "platform/dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

Message refusal(const QString& text) {
  return {text, QStringLiteral("注意"), MessageIcon::Exclamation, MessageButtons::Ok};
}

Message completion(const QString& text) {
  return {text, QStringLiteral("完成"), MessageIcon::Information, MessageButtons::Ok};
}

Message confirmDelete(const QString& text) {
  return {text, QStringLiteral("刪除資料"), MessageIcon::Exclamation, MessageButtons::YesNo};
}

QString fileDialogFolder(const QString& remembered) {
  if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) return remembered;
  // Qt names ~/Documents even where the desktop made no such folder.
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
  return QDir::homePath();
}

QString Dialogs::chooseFile(const FileRequest& request) {
  const QString folder = fileDialogFolder(lastFolder_);
  const QString start =
      request.purpose == FileRequest::Purpose::Save && !request.suggestedName.isEmpty()
          ? QDir(folder).filePath(request.suggestedName)
          : folder;
  const QString chosen = QDir::fromNativeSeparators(askFile(request, start).trimmed());
  if (!chosen.isEmpty()) lastFolder_ = QFileInfo(chosen).absolutePath();
  return chosen;
}

QString Dialogs::askFile(const FileRequest&, const QString&) { return {}; }
