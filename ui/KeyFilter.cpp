#include "ui/KeyFilter.h"

#include "ui/Dialogs.h"
#include "ui/TextValue.h"

#include <QKeyEvent>
#include <QLineEdit>

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

std::optional<std::array<double, 4>> TypedNumbers(Dialogs& dialogs, const NamedBoxes& boxes)
{
    std::array<double, 4> typed{};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const std::optional<double> value = TypedNumber(boxes[i].first->text());
        if (!value) {
            dialogs.message(QStringLiteral("%1 holds no number, try again!")
                                .arg(QLatin1String(boxes[i].second)),
                            MsgButtons::Ok, MsgIcon::Critical);
            return std::nullopt;
        }
        typed[i] = *value;
    }
    return typed;
}

} // namespace ui
