#pragma once

#include <QIcon>

namespace panel {

inline constexpr int ToolbarIconSize = 32; // logical pixels; drawn at 1x and 2x
inline constexpr int ToolbarImageCount = 10;

// The toolbar's image list, 1 to ToolbarImageCount, drawn in the program's own colours: save,
// open, interval, list, graph, clock, logger, set-up, erase and the chromaticity horseshoe.
// The horseshoe doubles as the Save button's look while a recording on the PC runs. Any other
// index gives an empty icon.
QIcon ToolbarImage(int image);

} // namespace panel
