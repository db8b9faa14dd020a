#include "ui/ScreenFit.h"

#include <algorithm>

namespace ui {

QRect FitOnScreen(const QRect& frame, const QRect& available)
{
    if (available.isEmpty())
        return frame;
    const QSize size = frame.size().boundedTo(available.size());
    const int x =
        std::clamp(frame.x(), available.x(), available.x() + available.width() - size.width());
    const int y =
        std::clamp(frame.y(), available.y(), available.y() + available.height() - size.height());
    return {QPoint(x, y), size};
}

} // namespace ui
