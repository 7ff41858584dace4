// The yardstick under the start-up figures of bench/startup: a bare Qt Widgets window with one
// Chinese label, shown and left to the event loop. What Varnix takes above it is its own.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QLabel label(QStringLiteral("家庭帳本"));
  label.resize(320, 120);
  label.show();
  return app.exec();
}
