// The floor of the whole-process yardsticks: a Qt Core program that reads its arguments and
// does nothing else. What varnix-cli takes above this is its own work.
#include <QString>

#include <cstdio>

int main(int argc, char* argv[]) {
  const QString first = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  return first.size() > 1000 ? 1 : 0;
}
