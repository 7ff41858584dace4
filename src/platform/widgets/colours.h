#pragma once

#include <QColor>

class QWidget;

// The WCAG contrast ratio of two colours, from 1 (the same) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);

// A dark theme's background, on which the colours chosen for white need lightening.
bool isDark(const QColor& background);

// The colour to draw a coloured text in on `background`. On a light background it is the given
// colour, as the windows were drawn; on a dark one (a dark desktop theme) it is lightened until
// it reads at 4.5:1, so a red amount stays red and readable.
QColor readableOn(const QColor& colour, const QColor& background);

// Draws the text of an input box or display in `colour` kept readable on the box's own
// background; an invalid colour gives the theme's own text colour back.
void setTextColour(QWidget* box, const QColor& colour);
