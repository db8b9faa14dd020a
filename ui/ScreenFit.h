#pragma once

#include <QList>
#include <QRect>
#include <optional>

namespace ui {

// Where a window whose frame is wanted at `frame` opens on a screen whose free area is
// `available`: the wanted place where it fits there wholly, else moved the least that puts it
// wholly there; never larger than that area. An empty area (no screen) changes nothing.
QRect FitOnScreen(const QRect& frame, const QRect& available);

// Where a window whose frame was kept at `saved` opens again: fitted on the free area among
// `screens` that holds most of it; nothing when it lies on none of them (a screen unplugged
// since), so that the window takes its first place.
std::optional<QRect> RestoredFrame(const QRect& saved, const QList<QRect>& screens);

} // namespace ui
