#pragma once
// How every job window opens: centred on the screen it opens on and inside that screen's free area,
// its first size (the one its window sets for itself) kept as its smallest, closed by Escape as by
// its close button.

class QScreen;
class QWidget;

namespace kemnoa::core::ui {

// Sizes, places and equips a job window that is about to be shown for the first time. The screen is
// the one of the active window (the menu) when null, else the primary screen.
void prepareJobWindow(QWidget* window, QScreen* screen = nullptr);

} // namespace kemnoa::core::ui
