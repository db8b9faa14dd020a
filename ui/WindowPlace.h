#pragma once

#include <QString>

class QPoint;
class QWidget;

namespace ui {

// Moves the frame of `window` to `wanted`, or the least from there that keeps it wholly on the
// free area of the screen that holds `panel`, and shrinks it to that area when larger.
void PlaceOnPanelScreen(QWidget& window, const QPoint& wanted, const QWidget& panel);

// Puts `window` where it was left last time under `name` when that still lies on a screen, and
// returns true; otherwise leaves it alone.
bool RestorePlace(QWidget& window, const QString& name);
// RestorePlace, or else PlaceOnPanelScreen with `wanted`.
void PlaceRemembered(QWidget& window, const QString& name, const QPoint& wanted,
                     const QWidget& panel);
// Keeps where `window` is (its frame's corner and its size) under `name` for the next run.
void RememberPlace(const QWidget& window, const QString& name);

} // namespace ui
