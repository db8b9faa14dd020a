#pragma once

class QPoint;
class QWidget;

namespace ui {

// Moves the frame of `window` to `wanted`, or the least from there that keeps it wholly on the
// free area of the screen that holds `panel`, and shrinks it to that area when larger.
void PlaceOnPanelScreen(QWidget& window, const QPoint& wanted, const QWidget& panel);

} // namespace ui
