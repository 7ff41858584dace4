#pragma once

#include <QFont>

// The program's fonts: the Windows faces where the system has them, Noto CJK TC elsewhere.

// Captions, buttons and boxes.
QFont uiFont(qreal points = 9);

// Fixed pitch, for texts whose columns must line up.
QFont fixedPitchFont(qreal points = 9);
