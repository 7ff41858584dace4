#include "platform/widgets/fonts.h"

#include <QStringList>

QFont uiFont(qreal points) {
  QFont font;
  font.setFamilies(
      {QStringLiteral("新細明體"), QStringLiteral("PMingLiU"), QStringLiteral("Noto Sans CJK TC")});
  font.setPointSizeF(points);
  return font;
}

QFont fixedPitchFont(qreal points) {
  QFont font;
  font.setFamilies({QStringLiteral("細明體"), QStringLiteral("MingLiU"),
                    QStringLiteral("Noto Sans Mono CJK TC")});
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPointSizeF(points);
  return font;
}
