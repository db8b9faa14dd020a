#pragma once

#include <QFrame>
#include <array>

class QLabel;
class QLineEdit;

namespace panel {

// `PicChroma`: does a chromaticity point lie inside a quadrilateral typed in by the user? The
// answer is shown in the picture, or which box holds no number; nothing is sent to the meter.
// The X boxes type only digits, "-" and "."; the Y boxes take any text.
class ChromaPicture : public QFrame
{
    Q_OBJECT
public:
    explicit ChromaPicture(QWidget* parent = nullptr);

    void testPoint();

private:
    // Index 0 is the point to test, 1..4 the corners P1..P4.
    std::array<QLineEdit*, 5> m_txtNoX{};
    std::array<QLineEdit*, 5> m_txtNoY{};
    QLabel* m_result = nullptr;
};

} // namespace panel
