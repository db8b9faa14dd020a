#include "ui/KeyFilter.h"

#include <QKeyEvent>

namespace ui {

bool KeyReachesBox(const QKeyEvent& key, const std::function<bool(QChar)>& takes)
{
    if (key.matches(QKeySequence::SelectAll))
        return true;
    switch (key.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        break;
    }
    const QString text = key.text();
    if (text.isEmpty())
        return true; // types nothing: Shift, function keys
    return text.size() == 1 && takes(text[0]);
}

CharacterFilter::CharacterFilter(std::function<bool(QChar)> takes, QObject* parent)
    : QObject(parent), m_takes(std::move(takes))
{
}

bool CharacterFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress &&
        !KeyReachesBox(*static_cast<const QKeyEvent*>(event), m_takes))
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace ui
