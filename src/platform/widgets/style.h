#pragma once

#include <QProxyStyle>

// The program's one layer over the desktop's own style. Fusion and its kin outline an unticked
// box or option in a shade of the window colour, which vanishes on a dark theme; there the
// outline is drawn from the text colour instead, in every window at once.
class ProgramStyle : public QProxyStyle {
 public:
  // Over a fresh copy of the desktop's style (the application's, this layer aside).
  ProgramStyle();

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};

// Puts the program's layer over the application's style; a second call changes nothing.
void useProgramStyle();
