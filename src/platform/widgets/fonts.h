#pragma once

#include <QFont>
#include <QStringList>

// The program's fonts: the Windows faces where the system has them, Noto CJK TC elsewhere.
// Every window takes its fonts from here.

// Captions, buttons and boxes.
QFont uiFont(qreal points = 9);

// Fixed pitch, for texts whose columns must line up (the statements, the ledger, the account
// selector): the first installed family of fixedPitchCandidates() that keeps the grid.
QFont fixedPitchFont(qreal points = 9);

// The families tried for fixedPitchFont(), best first.
QStringList fixedPitchCandidates();

// Whether `family` is installed and draws a Chinese character exactly as wide as two blanks,
// two digits or two Latin letters, so that text padded with blanks lines up. A family that
// fontconfig only substitutes (細明體 on a system without it) does not count.
bool keepsTheGrid(const QString& family);
