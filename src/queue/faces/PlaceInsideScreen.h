#pragma once

#include <QPoint>

class QWidget;

// Makes a top-level window open wholly inside the available area of its screen
// (the desktop's panels excluded): shrinks it where it is larger than that area
// and moves it inside. With `over`, the window is first centred over that window
// and shifted by `offset`; without, a window that was never placed is centred on
// the screen. Call it before showing the window.
void PlaceInsideScreen(QWidget* window, const QWidget* over = nullptr, QPoint offset = {});
