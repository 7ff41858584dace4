#include "platform/widgets/links.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

void openLink(const QString& address) {
  QDesktopServices::openUrl(QUrl(address, QUrl::StrictMode));
}
