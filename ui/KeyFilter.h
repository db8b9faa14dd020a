#pragma once

#include <QObject>
#include <array>
#include <functional>
#include <optional>
#include <utility>

class QKeyEvent;
class QLineEdit;

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

class Dialogs;

// The numbers typed in four boxes, each named for the user; none, and the first box that holds no
// number named in a message, when one holds none.
using NamedBoxes = std::array<std::pair<QLineEdit*, const char*>, 4>;
std::optional<std::array<double, 4>> TypedNumbers(Dialogs& dialogs, const NamedBoxes& boxes);

} // namespace ui
