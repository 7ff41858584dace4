#include "platform/widgets/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace shell {

void openDocument(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile()) return;
  QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

void openAddress(const QString& address) {
  const QUrl url(address, QUrl::StrictMode);
  if (!url.isValid() || url.scheme().isEmpty()) return;
  QDesktopServices::openUrl(url);
}

}  // namespace shell
