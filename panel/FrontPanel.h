#pragma once

#include "panel/DisplayState.h"

#include <QFrame>
#include <array>

class QLabel;
class QPushButton;

namespace panel {

// The meter's face: the liquid-crystal area, the keys below it and the summary beside it.
// It only shows what a DisplayState says; the keys are wired by the window.
class FrontPanel : public QFrame
{
    Q_OBJECT
public:
    explicit FrontPanel(QWidget* parent = nullptr);

    // Copies one display state into the controls, touching only those that change.
    void apply(const DisplayState& state);
    // Greys the display and the summary while no frame arrives, so that the last frame's
    // numbers are not taken for live ones; they stay as they were.
    void setStale(bool stale);

    // The eleven key buttons in the order of PanelKeys, and `Command12` ("Setup").
    QPushButton* keyButton(std::size_t index) const { return m_keys[index]; }
    QPushButton* setupButton() const { return m_setupKey; }
    // The picture "SET UP" shown while the meter is in its own set-up menu.
    QFrame* picSet() const { return m_picSet; }

private:
    QWidget* buildLcd();
    QWidget* buildKeys();
    QWidget* buildSummary();

    QWidget* m_lcd = nullptr;
    QWidget* m_summaryArea = nullptr;
    std::array<QLabel*, 3> m_values{};
    std::array<QLabel*, 3> m_legends{};
    QLabel* m_unit = nullptr;
    QLabel* m_middleUnit = nullptr;
    QLabel* m_wavelengthSign = nullptr;
    QLabel* m_deltaTop = nullptr;
    QLabel* m_deltaMiddle = nullptr;
    QLabel* m_deltaBottom = nullptr;
    QLabel* m_secondDeltaBottom = nullptr;
    QLabel* m_referenceMark = nullptr;
    QLabel* m_memoryMark = nullptr;
    QLabel* m_autoMark = nullptr;
    QLabel* m_sdMark = nullptr;
    QLabel* m_recordMark = nullptr;
    QLabel* m_intervalMark = nullptr;
    QLabel* m_cfMark = nullptr;
    QLabel* m_holdMark = nullptr;
    QLabel* m_memoryCount = nullptr;
    QLabel* m_clock = nullptr;
    std::array<QLabel*, BatterySegments> m_battery{};
    std::array<QLabel*, 15> m_summary{};
    std::array<QPushButton*, 11> m_keys{};
    QPushButton* m_setupKey = nullptr;
    QFrame* m_picSet = nullptr;
    bool m_blinkShown = false; // the blinking line showed its text on the last tick
};

} // namespace panel
