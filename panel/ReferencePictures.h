#pragma once

#include "panel/DisplayState.h"

#include <QObject>
#include <array>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLayout;
class QPushButton;
class QRadioButton;
class QWidget;

namespace panel {

// The reference pictures on the panel: `PicRef` (unit list and a choice of view) and the three
// views `PicTcp`, `PicXY`, `Picuv` with their digit boxes. Nothing here talks to the meter.
class ReferencePictures : public QObject
{
    Q_OBJECT
public:
    // Creates the pictures hidden inside host and adds them to layout.
    ReferencePictures(QWidget* host, QLayout* layout);

    // Adds the two units to the reference unit list, once at start-up.
    void addUnits();
    // The reference texts of the last live frame, for the next opening of a view.
    void setReferenceTexts(const ReferenceTexts& texts) { m_texts = texts; }
    // The panel's Setup key: shows the reference menu when hidden, hides it when shown.
    void toggleReferenceMenu();

    // `PicRef`: the unit list and the choice of view.
    QFrame* referenceMenu() const { return m_referenceMenu; }

private:
    struct DigitView
    {
        QFrame* picture = nullptr;
        QGroupBox* evFrame = nullptr;
        std::array<QComboBox*, 4> ev{};
        QLabel* evMarker = nullptr;
        std::array<QComboBox*, 4> first{};
        std::array<QComboBox*, 4> second{};
    };

    QFrame* makePicture(const char* name, const QString& caption);
    DigitView makeDigitView(const char* picName, const char* evFrameName, const char* evBoxes,
                            const char* evMarker, const char* firstCaption, const char* firstBoxes,
                            const char* firstMarker, const char* secondCaption,
                            const char* secondBoxes, const char* secondMarker, const char* okName,
                            const char* exitName);
    void buildReferenceMenu();
    void buildPicTcp();
    void openView(DigitView& view);
    void openTemperatureView();

    QWidget* m_host;
    QLayout* m_layout;
    ReferenceTexts m_texts;
    QFrame* m_referenceMenu = nullptr;
    QComboBox* m_comboRefLxFc = nullptr;
    QRadioButton* m_optTcp = nullptr;
    QRadioButton* m_optXY = nullptr;
    QRadioButton* m_optuv = nullptr;
    QFrame* m_picTcp = nullptr;
    DigitView m_picXY;
    DigitView m_picuv;
};

} // namespace panel
