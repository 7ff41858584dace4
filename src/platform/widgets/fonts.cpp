#include "platform/widgets/fonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QRawFont>

QFont uiFont(qreal points) {
  QFont font;
  font.setFamilies(
      {QStringLiteral("新細明體"), QStringLiteral("PMingLiU"), QStringLiteral("Noto Sans CJK TC")});
  font.setPointSizeF(points);
  return font;
}

QStringList fixedPitchCandidates() {
  return {QStringLiteral("細明體"),
          QStringLiteral("MingLiU"),
          QStringLiteral("Noto Sans Mono CJK TC"),
          QStringLiteral("Noto Sans Mono CJK HK"),
          QStringLiteral("Sarasa Mono TC"),
          QStringLiteral("AR PL UMing TW"),
          QStringLiteral("WenQuanYi Zen Hei Mono")};
}

bool keepsTheGrid(const QString& family) {
  if (!QFontDatabase::families().contains(family, Qt::CaseInsensitive)) return false;
  // Measured large and unhinted: the design advances, not one size's rounding.
  QFont font(family);
  font.setPixelSize(240);
  font.setHintingPreference(QFont::PreferNoHinting);
  // A Chinese character drawn by a fallback font says nothing about this family.
  if (!QRawFont::fromFont(font).supportsCharacter(QChar(u'帳'))) return false;
  const QFontMetricsF metrics(font);
  const qreal half = metrics.horizontalAdvance(QLatin1Char(' '));
  if (half <= 0) return false;
  for (const QChar c : QStringLiteral("0A-")) {
    if (metrics.horizontalAdvance(c) != half) return false;
  }
  for (const QChar c : QStringLiteral("帳現總")) {
    if (metrics.horizontalAdvance(c) != 2 * half) return false;
  }
  return true;
}

QFont fixedPitchFont(qreal points) {
  // Looked up once: the installed families do not change while the program runs.
  static const QStringList families = [] {
    QStringList found;
    for (const QString& family : fixedPitchCandidates()) {
      if (keepsTheGrid(family)) {
        found << family;
        break;
      }
    }
    // Nothing keeps the grid: a Chinese face of fixed pitch is still better than none.
    found << QStringLiteral("Noto Sans Mono CJK TC");
    return found;
  }();
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPointSizeF(points);
  return font;
}
