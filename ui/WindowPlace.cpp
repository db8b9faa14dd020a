#include "ui/WindowPlace.h"

#include "ui/ScreenFit.h"
#include "ui/Settings.h"

#include <QGuiApplication>
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

bool RestorePlace(QWidget& window, const QString& name)
{
    const std::optional<QRect> kept = Settings().windowFrame(name);
    if (!kept)
        return false;
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    const std::optional<QRect> place = RestoredFrame(*kept, screens);
    if (!place)
        return false;
    window.resize(place->size());
    window.move(place->topLeft());
    return true;
}

void PlaceRemembered(QWidget& window, const QString& name, const QPoint& wanted,
                     const QWidget& panel)
{
    if (!RestorePlace(window, name))
        PlaceOnPanelScreen(window, wanted, panel);
}

void RememberPlace(const QWidget& window, const QString& name)
{
    // The size inside the frame: resize() takes that, and a frame added on every run would grow.
    Settings().setWindowFrame(name, QRect(window.frameGeometry().topLeft(), window.size()));
}

} // namespace ui
