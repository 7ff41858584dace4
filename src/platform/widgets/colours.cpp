#include "platform/widgets/colours.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include <cmath>

namespace {

double channel(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

double luminance(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
         0.0722 * channel(rgb.blueF());
}

constexpr double kReadable = 4.5;

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isDark(const QColor& background) { return luminance(background) < 0.18; }

QColor readableOn(const QColor& colour, const QColor& background) {
  // Mid-grey and lighter: the colours were chosen for such a background and are kept as they are.
  if (!isDark(background) || contrastRatio(colour, background) >= kReadable) {
    return colour;
  }
  QColor lighter = colour.toRgb();
  for (int step = 1; step <= 20 && contrastRatio(lighter, background) < kReadable; ++step) {
    const double t = step / 20.0;  // towards white, keeping the hue
    lighter.setRgbF(float(colour.redF() + (1 - colour.redF()) * t),
                    float(colour.greenF() + (1 - colour.greenF()) * t),
                    float(colour.blueF() + (1 - colour.blueF()) * t));
  }
  return lighter;
}

void setTextColour(QWidget* box, const QColor& colour) {
  QPalette palette = box->palette();
  palette.setColor(QPalette::Text, colour.isValid()
                                       ? readableOn(colour, palette.color(QPalette::Base))
                                       : QApplication::palette(box).color(QPalette::Text));
  box->setPalette(palette);
}
