#pragma once

#include <QRect>

namespace ui {

// Where a window whose frame is wanted at `frame` opens on a screen whose free area is
// `available`: the wanted place where it fits there wholly, else moved the least that puts it
// wholly there; never larger than that area. An empty area (no screen) changes nothing.
QRect FitOnScreen(const QRect& frame, const QRect& available);

} // namespace ui
