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

std::optional<QRect> RestoredFrame(const QRect& saved, const QList<QRect>& screens)
{
    std::optional<QRect> best;
    long long bestArea = 0;
    for (const QRect& screen : screens) {
        const QRect common = saved.intersected(screen);
        const long long area = static_cast<long long>(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = FitOnScreen(saved, screen);
        }
    }
    return best;
}

} // namespace ui
