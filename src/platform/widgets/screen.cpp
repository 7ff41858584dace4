#include "platform/widgets/screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void centreOnScreen(QWidget& window) {
  const QScreen* screen = window.screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  // Before the first showing the frame is not known yet; the client area stands in for it.
  QRect frame = window.frameGeometry();
  if (!window.isVisible()) frame = QRect(QPoint(), window.size());
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}
