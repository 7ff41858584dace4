#pragma once

class QWidget;

// Puts a window in the middle of the screen it is on (the primary one before it is shown),
// title bar and frame included, inside the area the task bars leave free.
void centreOnScreen(QWidget& window);
