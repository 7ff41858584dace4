#include "platform/widgets/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace clipboard {

void setText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

QString text() { return QGuiApplication::clipboard()->text(); }

}  // namespace clipboard
