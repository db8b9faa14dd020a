#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;

namespace ui {

// Whether a key pressed in a box that takes only some characters reaches the box. Keys that
// edit or move (Backspace, Delete, the arrows, Home, End, Tab) and select-all always do, so that
// a typo can be put right; a key that types one character only when `takes` accepts it; any
// other key does not (a paste would bring in any text).
bool KeyReachesBox(const QKeyEvent& key, const std::function<bool(QChar)>& takes);

// Drops the key presses KeyReachesBox refuses, in every box it is installed on.
class CharacterFilter : public QObject
{
public:
    CharacterFilter(std::function<bool(QChar)> takes, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(QChar)> m_takes;
};

} // namespace ui
