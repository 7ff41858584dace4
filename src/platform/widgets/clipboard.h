#pragma once

#include <QString>

// The system clipboard, plain text only.
namespace clipboard {

void setText(const QString& text);
QString text();

}  // namespace clipboard
