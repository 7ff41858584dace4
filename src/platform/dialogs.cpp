#include "platform/dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
