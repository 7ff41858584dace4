#pragma once

class QEvent;

// Whether the event is a press of Enter, on the main keyboard or the keypad, whatever
// modifiers are held (the memo box tells Ctrl+Enter apart itself).
bool isEnterKey(const QEvent* event);
