#include "ui/WindowPlace.h"

#include "ui/ScreenFit.h"

#include <QScreen>
#include <QWidget>

namespace ui {

void PlaceOnPanelScreen(QWidget& window, const QPoint& wanted, const QWidget& panel)
{
    // Before its first show a window knows no frame yet: the panel's is the best guess.
    QSize frame = window.frameGeometry().size() - window.size();
    if (frame.isNull())
        frame = panel.frameGeometry().size() - panel.size();
    const QScreen* screen = panel.screen();
    const QRect fitted = FitOnScreen(QRect(wanted, window.size() + frame),
                                     screen ? screen->availableGeometry() : QRect());
    // resize() sizes the inside of the frame, move() places the frame.
    if (fitted.size() != window.size() + frame)
        window.resize(fitted.size() - frame);
    window.move(fitted.topLeft());
}

} // namespace ui
