#pragma once

#include <QFrame>
#include <array>

class QLabel;
class QLineEdit;

namespace panel {

// Lets a key pass only when it types a digit, "-" or "."; every other typed character,
// Backspace included, is dropped. Keys that type nothing (arrows, Delete) pass.
bool ChromaKeyAllowed(const QString& typed);

// `PicChroma`: does a chromaticity point lie inside a quadrilateral typed in by the user? The
// answer is shown in the picture, or which box holds no number; nothing is sent to the meter.
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
